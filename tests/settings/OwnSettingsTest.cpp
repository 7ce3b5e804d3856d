// The program's own settings of the output screen (PLWAN40.OPT).

#include "settings/OwnSettings.h"

#include "app/AnsiCodec.h"
#include "app/RecordFile.h"
#include "settings/OutputScreenState.h"
#include "tests/support/Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

bool SameOwnSettings(const OutputScreenState& a, const OutputScreenState& b) {
    return a.CompareWith == b.CompareWith && a.MailingList == b.MailingList &&
           a.MailingGroups == b.MailingGroups && a.MailingKind == b.MailingKind &&
           a.MailingFile == b.MailingFile;
}

TEST(OwnSettingsTest, WhatIsWrittenReadsBackAndAMissingFileKeepsTheDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.OPT"));
    OutputScreenState state;
    EXPECT_EQ(ReadOwnSettings(path, state).Outcome, StoredFileRead::State::Missing);
    EXPECT_TRUE(SameOwnSettings(state, OutputScreenState()));
    EXPECT_EQ(state.CompareWith.Choice, ComparisonChoice::Kind::Previous);

    const ComparisonChoice choices[] = {{ComparisonChoice::Kind::Previous, QDate()},
                                        {ComparisonChoice::Kind::None, QDate()},
                                        {ComparisonChoice::Kind::BaseDate, QDate(2026, 8, 31)}};
    for (const ComparisonChoice& choice : choices) {
        OutputScreenState written;
        written.CompareWith = choice;
        written.MailingList = true;
        written.MailingGroups = {true, false, false, false, true, true};
        written.MailingKind = MailingConsent::Mail;
        written.MailingFile = QStringLiteral("/home/店/宛名リスト.csv");
        QString error;
        ASSERT_TRUE(WriteOwnSettings(path, written, &error)) << error.toStdString();
        OutputScreenState read;
        EXPECT_TRUE(ReadOwnSettings(path, read).ok());
        EXPECT_TRUE(SameOwnSettings(read, written));
    }
}

TEST(OwnSettingsTest, AFileOfAnythingElseIsDamagedAndChangesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.OPT"));
    // The fields separated by "|".
    const auto write = [&](const char* fields) {
        RecordWriter writer(OwnSettingsRecordLength);
        for (const QString& field : QString::fromUtf8(fields).split(u'|'))
            writer.text(field);
        ASSERT_TRUE(WriteRecord(path, 1, writer, nullptr));
    };
    const struct {
        const char* fields;
        const char* cause;
    } cases[] = {
        {"V10YUK||0||DM|", "この設定の記録ではありません"},
        {"V10OPT|20261340|0||DM|", "比較する基準日 20261340 が正しくありません"},
        {"V10OPT||1|AZ|DM|", "宛名リストのグループ AZ が正しくありません"},
        {"V10OPT||1|A|FAX|", "宛名リストの設定が正しくありません"},
    };
    for (const auto& c : cases) {
        write(c.fields);
        OutputScreenState state;
        state.MailingFile = QStringLiteral("kept");
        const StoredFileRead read = ReadOwnSettings(path, state);
        EXPECT_TRUE(read.damaged()) << c.cause;
        EXPECT_EQ(read.Cause, QString::fromUtf8(c.cause));
        EXPECT_EQ(state.MailingFile, QStringLiteral("kept"));
    }
}

} // namespace
