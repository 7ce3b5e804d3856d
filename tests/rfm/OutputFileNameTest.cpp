#include "rfm/Sub_TokuFur_Sub.h"

#include "settings/AnalysisParameters.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace plw {
namespace {

TEST(ChosenWorkbook, AFileWithoutAThreeLetterExtensionGetsXls) {
    struct Case {
        QString chosen, folder, file;
    };
    const Case cases[] = {
        {u"/tmp/a.csv"_qs, u"/tmp/"_qs, u"a.csv"_qs}, // any three-letter extension stays
        {u"/tmp/a.b"_qs, u"/tmp/"_qs, u"a.b.XLS"_qs},
        {u"/tmp/.xls"_qs, u"/tmp/"_qs, u".xls"_qs},
        {u"十月"_qs, QString(), u"十月.XLS"_qs},
    };
    for (const Case& c : cases) {
        const ChosenWorkbook workbook = CompleteChosenWorkbook(c.chosen);
        EXPECT_EQ(workbook.Folder, c.folder) << c.chosen.toStdString();
        EXPECT_EQ(workbook.File, c.file) << c.chosen.toStdString();
    }
}

class OutputFileName : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // The documents folder follows HOME; it does not exist yet.
        setenv("HOME", QFile::encodeName(dir.path()).constData(), 1);
        setenv("XDG_CONFIG_HOME",
               QFile::encodeName(dir.path() + QStringLiteral("/.config")).constData(), 1);
    }

    // The check's result, the field's text afterwards and the message shown ("" for none).
    struct Outcome {
        bool result = false;
        QString text;
        QString message;
    };
    Outcome check(QString text) {
        test::ScriptedPrompter prompter;
        const bool result = CheckOutputFileName(text, prompter, AnalysisParameters());
        return {result, text, prompter.texts().join(u'|')};
    }

    QTemporaryDir dir;
};

TEST_F(OutputFileName, RefusesWhatCannotBeAnXlsWorkbookWithTheMessageOfItsRule) {
    const QString folder = dir.path();
    struct Case {
        QString typed;
        QString message;
    };
    const QString invalid = QStringLiteral("正しいファイル名ではありません");
    const Case cases[] = {
        {QStringLiteral("　 "), QStringLiteral("指定して下さい")},
        {folder + QStringLiteral("/a*b.xls"), invalid},
        {folder + QStringLiteral("/missing/book.xls"),
         QStringLiteral("保存先のフォルダがありません: ") + folder + QStringLiteral("/missing/")},
        {folder + u'/' + QString(86, QChar(u'分')) + QStringLiteral(".xls"),
         QStringLiteral("ファイル名が長すぎます（255 バイトまで）: ") + QString(86, QChar(u'分')) +
             QStringLiteral(".xls")},
        // The rules apply to the name as typed: a device name is no name in any folder.
        {QStringLiteral("con.xls"), invalid},
        {folder + QStringLiteral("/CON.xls"), invalid},
        {folder + QStringLiteral("/book.csv"),
         QStringLiteral("エクセルファイル(XLS)以外は扱えません。")},
        {folder + QStringLiteral("/book.xlsx"),
         QStringLiteral("エクセルファイル(XLS)以外は扱えません。")},
        // A control character would split the printed path.
        {folder + QStringLiteral("/bo\nok.xls"), invalid},
        {QStringLiteral("book\t.xls"), invalid},
        {folder + QStringLiteral("/book\u0085.xls"), invalid},
        // A folder is named from the root, never relative to where the program started.
        {QStringLiteral("../x.xls"),
         QStringLiteral("保存先のフォルダは「/」から始まる絶対パスで指定してください: ../")},
        {QStringLiteral("sub/x.xls"),
         QStringLiteral("保存先のフォルダは「/」から始まる絶対パスで指定してください: sub/")},
        {QStringLiteral("sub\\x.xls"),
         QStringLiteral("保存先のフォルダは「/」から始まる絶対パスで指定してください: sub\\")},
    };
    for (const Case& c : cases) {
        const Outcome outcome = check(c.typed);
        EXPECT_FALSE(outcome.result) << c.typed.toStdString();
        EXPECT_EQ(outcome.message, c.message) << c.typed.toStdString();
    }
}

TEST_F(OutputFileName, CompletesABareNameAndAMissingExtension) {
    const QString documents = dir.path() + QStringLiteral("/Documents");
    const Outcome bare = check(QStringLiteral("  分析結果 "));
    EXPECT_TRUE(bare.result) << bare.message.toStdString();
    EXPECT_EQ(bare.text, documents + QStringLiteral("/分析結果.xls"));
    // Checking creates nothing: the documents folder is made when the workbook is saved.
    EXPECT_FALSE(QDir(documents).exists());

    for (const char* typed : {"/book.xls", "/book.XLS", "/book"}) {
        const Outcome outcome = check(dir.path() + QString::fromUtf8(typed));
        EXPECT_TRUE(outcome.result) << typed;
        EXPECT_TRUE(outcome.text.endsWith(u".xls", Qt::CaseInsensitive)) << typed;
        EXPECT_EQ(outcome.message, QString()) << typed;
    }
}

TEST_F(OutputFileName, RefusesAFolderThatCannotTakeTheWorkbookSayingWhich) {
    const QString locked = dir.path() + QStringLiteral("/locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const Outcome readOnly = check(locked + QStringLiteral("/book.xls"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    EXPECT_FALSE(readOnly.result);
    EXPECT_EQ(readOnly.message,
              QStringLiteral("保存先のフォルダに書き込めません: ") + locked + u'/');
}

TEST_F(OutputFileName, RefusesANameTheParameterRecordCannotHold) {
    QString folder = dir.path();
    for (int level = 0; level < 12; ++level)
        folder += u'/' + QString(200, QChar(u'a' + level));
    ASSERT_TRUE(QDir().mkpath(folder));
    const Outcome tooLong = check(folder + QStringLiteral("/book.xls"));
    EXPECT_FALSE(tooLong.result);
    EXPECT_EQ(tooLong.message, QStringLiteral("ファイル名が長すぎます"));

    const Outcome foreign = check(dir.path() + QStringLiteral("/book\u00e9.xls"));
    EXPECT_FALSE(foreign.result);
    EXPECT_TRUE(foreign.message.startsWith(QStringLiteral("ファイル名に使えない文字")))
        << foreign.message.toStdString();
}

} // namespace
} // namespace plw
