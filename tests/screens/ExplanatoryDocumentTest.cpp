#include "app/ExplanatoryDocument.h"

#include "app/DocumentOpener.h"
#include "app/XdgDocumentOpener.h"
#include "tests/screens/ScreenAidDoubles.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// Runs from a folder of its own, given back afterwards; the program is in bin/ of an
// installation of its own, with its data folder share/plwan40/.
class InFolder : public ::testing::Test {
protected:
    void SetUp() override {
        QDir::setCurrent(mCurrent.path());
        ASSERT_TRUE(mProgram.mkpath(QStringLiteral(".")));
        ASSERT_TRUE(mData.mkpath(QStringLiteral(".")));
    }
    void TearDown() override { QDir::setCurrent(mWas); }

    QString mWas = QDir::currentPath();
    QTemporaryDir mCurrent;
    QTemporaryDir mRoot;
    const QDir mProgram{mRoot.filePath(QStringLiteral("bin"))};
    const QDir mData{mRoot.filePath(QStringLiteral("share/plwan40"))};
    test::ScriptedPrompter mPrompter;
    test::RecordingOpener mOpener;
};

TEST(ExplanatoryDocument, IsBuiltBesideTheProgramAndExplainsTheDates) {
    const QString path = QDir(QStringLiteral(PLWAN40_PROGRAM_FOLDER))
                             .filePath(QStringLiteral("説明：RFM分析日付の関係.pdf"));
    ASSERT_TRUE(QFile::exists(path));
    const QString info = test::ProgramOutput(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+[12]\\n"))))
        << info.toStdString();
    // The text is real text: every date of the analysis and the switch that changes R.
    const QString text =
        test::ProgramOutput(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})
            .remove(QRegularExpression(QStringLiteral("\\s")));
    for (const char16_t* words :
         {u"説明：RFM分析日付の関係", u"基準日", u"最終来店日の範囲", u"購買日付詳細範囲",
          u"最終来店日を購買日付詳細範囲の日付とする", u"R＝79日", u"401日", u"21,000円"})
        EXPECT_TRUE(text.contains(QString::fromUtf16(words)))
            << QString::fromUtf16(words).toStdString();
}

TEST_F(InFolder, FoundBesideTheProgramThenInItsDataFolderThenInTheCurrentFolder) {
    const QString current = mCurrent.filePath(ExplanatoryDocumentName);
    const QString data = mData.filePath(ExplanatoryDocumentName);
    const QString beside = mProgram.filePath(ExplanatoryDocumentName);
    for (const QString& path : {current, data, beside}) {
        test::WriteBytes(path, "%PDF");
        OpenExplanatoryDocument(mProgram.path(), mOpener, mPrompter);
    }
    EXPECT_EQ(mOpener.opened, (QStringList{current, data, beside}));
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(InFolder, MissingDocumentIsReportedWithThePlacesLookedAt) {
    OpenExplanatoryDocument(mProgram.path(), mOpener, mPrompter);
    EXPECT_TRUE(mOpener.opened.isEmpty());
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_EQ(mPrompter.messages()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(mPrompter.messages()[0].text,
              QStringLiteral("説明：RFM分析日付の関係.pdf が見つかりません。\r探した場所：\r") +
                  mProgram.path() + QChar(u'\r') + mData.path() + QChar(u'\r') + mCurrent.path());
}

// xdg-open replaced by a script that ends as told. Only a failure to start the viewer is
// reported: an opener failing at once, or missing. Without a desktop environment xdg-open runs
// the viewer and fails when the viewer is ended by a signal: an opener that ends so after its
// first moments, or is itself ended by a signal, had opened the document and says nothing.
TEST_F(InFolder, OnlyAFailureToStartTheViewerIsReported) {
    const QString document = mProgram.filePath(ExplanatoryDocumentName);
    test::WriteBytes(document, "%PDF");
    const auto opener = [&](const QString& name, const QString& body) {
        const QString script = mProgram.filePath(name);
        test::WriteBytes(script, (QStringLiteral("#!/bin/sh\n") + body + u'\n').toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        return script;
    };
    // The opener is gone before its process ends, as after a click; a start window of a second.
    const auto openWith = [&](const QString& program, int waitMs = 5000) {
        const qsizetype before = mPrompter.messages().size();
        XdgDocumentOpener(mPrompter, program, 1000).open(document);
        (void)QTest::qWaitFor([&] { return mPrompter.messages().size() > before; }, waitMs);
        return mPrompter.messages().size() > before ? mPrompter.messages().back().text : QString();
    };
    EXPECT_EQ(openWith(opener(u"ok"_qs, u"exit 0"_qs), 500), QString());
    EXPECT_TRUE(openWith(opener(u"none"_qs, u"exit 3"_qs))
                    .contains(u"この種類のファイルを表示するプログラムが登録されていません。"_qs));
    EXPECT_TRUE(
        openWith(opener(u"gone"_qs, u"exit 2"_qs)).contains(u"ファイルが見つかりません。"_qs));
    EXPECT_TRUE(openWith(opener(u"failed"_qs, u"exit 4"_qs))
                    .contains(u"表示するプログラムを起動できませんでした。"_qs));
    const QString missing = openWith(mProgram.filePath(QStringLiteral("no-such-opener")));
    EXPECT_TRUE(missing.contains(QStringLiteral("xdg-open が見つかりません")))
        << missing.toStdString();
    EXPECT_TRUE(missing.startsWith(ExplanatoryDocumentName));

    // The viewer shown for a while, then ended by a signal; the opener itself ended by one.
    EXPECT_EQ(openWith(opener(u"viewer-killed"_qs, u"sleep 1.5; exit 4"_qs), 2500), QString());
    EXPECT_EQ(openWith(opener(u"opener-killed"_qs, u"kill -TERM $$"_qs), 1000), QString());
}

} // namespace
