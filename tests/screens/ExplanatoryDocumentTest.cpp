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

// xdg-open replaced by a script that ends with the given status.
TEST_F(InFolder, OpenerFailuresAreReportedWhenTheOpenerEnds) {
    const QString document = mProgram.filePath(ExplanatoryDocumentName);
    test::WriteBytes(document, "%PDF");
    const auto opener = [&](int status) {
        const QString script = mProgram.filePath(QStringLiteral("open-%1").arg(status));
        test::WriteBytes(script, QStringLiteral("#!/bin/sh\nexit %1\n").arg(status).toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        return script;
    };
    // The opener is gone before its process ends, as after a click.
    const auto openWith = [&](const QString& program, int waitMs = 5000) {
        const qsizetype before = mPrompter.messages().size();
        XdgDocumentOpener(mPrompter, program).open(document);
        (void)QTest::qWaitFor([&] { return mPrompter.messages().size() > before; }, waitMs);
        return mPrompter.messages().size() > before ? mPrompter.messages().back().text : QString();
    };
    EXPECT_EQ(openWith(opener(0), 500), QString());
    EXPECT_TRUE(openWith(opener(3)).contains(
        QStringLiteral("この種類のファイルを表示するプログラムが登録されていません。")));
    EXPECT_TRUE(openWith(opener(2)).contains(QStringLiteral("ファイルが見つかりません。")));
    const QString missing = openWith(mProgram.filePath(QStringLiteral("no-such-opener")));
    EXPECT_TRUE(missing.contains(QStringLiteral("xdg-open が見つかりません")))
        << missing.toStdString();
    EXPECT_TRUE(missing.startsWith(ExplanatoryDocumentName));
}

} // namespace
