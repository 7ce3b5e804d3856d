#pragma once

#include "app/DocumentOpener.h"
#include "screens/HardCopyDialog.h"
#include "screens/HardCopyPrinter.h"

#include <QDir>
#include <QImage>
#include <QList>
#include <QPrinter>
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

namespace plw::test {

// The installed printers of a test: each job becomes a PDF file in a folder.
class PdfPrinters final : public HardCopyPrinter {
public:
    PdfPrinters(QString folder, QStringList names)
        : mFolder(std::move(folder)), mNames(std::move(names)) {}

    QStringList printerNames() const override { return mNames; }
    QString currentPrinter() const override {
        return !mCurrent.isEmpty() ? mCurrent : mNames.isEmpty() ? QString() : mNames.front();
    }
    bool setCurrentPrinter(const QString& name) override {
        if (!mNames.contains(name))
            return false;
        mCurrent = name;
        return true;
    }
    std::unique_ptr<QPrinter> openPrinter() override {
        if (mNames.isEmpty())
            return nullptr;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        files << QDir(mFolder).filePath(QStringLiteral("job%1.pdf").arg(files.size() + 1));
        printer->setOutputFileName(files.back());
        return printer;
    }

    QStringList files;

private:
    QString mFolder;
    QStringList mNames;
    QString mCurrent;
};

// Plays the operator of the hard-copy window: records each picture and date shown, runs
// whileShown (the operator taking time), and answers from a script (Cancel when it runs out).
class ScriptedHardCopyDialog final : public HardCopyDialog {
public:
    HardCopyChoice choose(const QImage& picture, const QString& dateTime, QWidget*) override {
        sizes << picture.size();
        dates << dateTime;
        if (whileShown)
            whileShown();
        return answers.isEmpty() ? HardCopyChoice::Cancel : answers.takeFirst();
    }
    QList<HardCopyChoice> answers;
    QList<QSize> sizes;
    QStringList dates;
    std::function<void()> whileShown;
};

// Records the documents it was asked to open.
struct RecordingOpener final : DocumentOpener {
    void open(const QString& path) override { opened << path; }
    QStringList opened;
};

} // namespace plw::test
