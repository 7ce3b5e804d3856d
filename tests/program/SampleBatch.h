#pragma once

// A sample installation written for one test and the batch program run on it as a process.

#include "settings/AnalysisParameters.h"
#include "tests/support/Files.h"
#include "tools/sample/SampleInstallation.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace plw::test {

struct BatchRan {
    int status = -1;
    QString out;
    QString err;
};

class SampleBatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        sample::SampleOptions options;
        options.folder = mDir.path() + QStringLiteral("/inst");
        options.customers = 30;
        QString error;
        ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &mSample))
            << error.toStdString();
    }

    QString prm() const { return mSample.workFolder + QStringLiteral("PLWAN40.PRM"); }

    // The saved output: the parameter sheet, and the customer list when asked for (its columns
    // show the classification levels); the sample's saved conditions use no classification.
    void saveOutput(bool customerList) {
        AnalysisParameters p;
        ASSERT_TRUE(ReadParameterFile(prm(), p).ok());
        for (QString* sheet : {&p.OutGroupValues, &p.OutRCount, &p.OutRAmount, &p.OutFCount,
                               &p.OutFAmount, &p.OutMCount, &p.OutMAmount})
            *sheet = QStringLiteral("0");
        p.OutParameters = QStringLiteral("1");
        p.OutCustomerList = customerList ? QStringLiteral("1") : QStringLiteral("0");
        QString error;
        ASSERT_TRUE(WriteParameterFile(prm(), p, &error)) << error.toStdString();
    }

    BatchRan run() const {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(
            QStringLiteral(PLWAN40_PROGRAM_FOLDER "/plwan40"),
            {QStringLiteral("--batch"), QStringLiteral("--location"), mSample.locationFile});
        EXPECT_TRUE(program.waitForFinished(120000));
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                QString::fromUtf8(program.readAllStandardOutput()),
                QString::fromUtf8(program.readAllStandardError())};
    }

    QTemporaryDir mDir;
    sample::SampleSummary mSample;
};

} // namespace plw::test
