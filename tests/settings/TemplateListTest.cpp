#include "settings/TemplateList.h"
#include "settings/TemplateChooser.h"

#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// A work folder holding template files with chosen modification times.
class TemplateFolder : public ::testing::Test {
protected:
    void addFile(const QString& fileName, const QString& stamp) {
        QFile file(mDir.filePath(fileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write("x"), 1);
        ASSERT_TRUE(file.flush()); // a later write would change the time again
        ASSERT_TRUE(
            file.setFileTime(QDateTime::fromString(stamp, QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                             QFileDevice::FileModificationTime));
    }
    QString workFolder() const { return mDir.path() + QLatin1Char('/'); }

    static QStringList names(const QList<TemplateEntry>& entries) {
        QStringList out;
        for (const TemplateEntry& entry : entries)
            out << entry.Name;
        return out;
    }

    QTemporaryDir mDir;
    test::ScriptedPrompter mPrompter;
};

} // namespace

TEST_F(TemplateFolder, ListsOneKindNewestFirstWithNameFromCharacter31) {
    addFile(QStringLiteral("b.F01"), QStringLiteral("2026/01/02 10:00:00"));
    addFile(QStringLiteral("売上上位.f01"), QStringLiteral("2026/01/03 09:05:07"));
    addFile(QStringLiteral("c.F01"), QStringLiteral("2025/12/31 23:59:59"));
    addFile(QStringLiteral("other.F02"), QStringLiteral("2026/02/01 00:00:00"));
    addFile(QStringLiteral(".hidden.F01"), QStringLiteral("2026/02/01 00:00:00"));
    addFile(QStringLiteral("up\\out.F01"), QStringLiteral("2026/02/01 00:00:00"));
    addFile(QStringLiteral("F01"), QStringLiteral("2026/02/01 00:00:00"));
    ASSERT_TRUE(QDir(mDir.path()).mkdir(QStringLiteral("folder.F01")));

    TemplateList list;
    list.scan(workFolder(), QStringLiteral("F01"));
    EXPECT_EQ(list.lines(), QStringList({QStringLiteral("0001 | 2026/01/03 09:05:07 |  売上上位"),
                                         QStringLiteral("0002 | 2026/01/02 10:00:00 |  b"),
                                         QStringLiteral("0003 | 2025/12/31 23:59:59 |  c")}));
    for (const QString& line : list.lines())
        EXPECT_EQ(TemplateList::NameFromLine(line), line.section(QLatin1Char('|'), 2).mid(2));

    list.sortByName();
    EXPECT_EQ(names(list.visible()),
              QStringList({QStringLiteral("売上上位"), QStringLiteral("c"), QStringLiteral("b")}));
    EXPECT_EQ(list.lines().at(1), QStringLiteral("0002 | 2025/12/31 23:59:59 |  c"));
    list.sortByTimeStamp();
    EXPECT_EQ(names(list.visible()).first(), QStringLiteral("売上上位"));
}

TEST_F(TemplateFolder, KeepsTheNewestFilesBeyondTheLimit) {
    const QDateTime start(QDate(2020, 1, 1), QTime(0, 0));
    for (int i = 0; i < TemplateList::MaxFiles + 2; ++i)
        addFile(QStringLiteral("t%1.F02").arg(i),
                start.addSecs(i).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    TemplateList list;
    list.scan(workFolder(), QStringLiteral("F02"));
    EXPECT_EQ(list.full().size(), TemplateList::MaxFiles);
    EXPECT_EQ(list.skipped(), 2);
    EXPECT_EQ(list.visible().first().Name, QStringLiteral("t901"));
    EXPECT_FALSE(list.isVisible(QStringLiteral("t0")));
    EXPECT_FALSE(list.isVisible(QStringLiteral("t1")));
    EXPECT_TRUE(list.isVisible(QStringLiteral("t2")));
}

TEST_F(TemplateFolder, FilterModes) {
    const QStringList all = {QStringLiteral("ABC"), QStringLiteral("abc"), QStringLiteral("ＡＢＣ"),
                             QStringLiteral("営業A"), QStringLiteral("営業B")};
    for (int i = 0; i < all.size(); ++i)
        addFile(all[i] + QStringLiteral(".T01"), QStringLiteral("2026/01/0%1 00:00:00").arg(i + 1));
    TemplateList list;
    list.scan(workFolder(), QStringLiteral("T01"));

    struct Case {
        TemplateFilter mode;
        QString text1;
        QString text2;
        QStringList expected; // newest first
    };
    const Case cases[] = {
        {TemplateFilter::First,
         QString(),
         QString(),
         {u"営業B"_qs, u"営業A"_qs, u"ＡＢＣ"_qs, u"abc"_qs, u"ABC"_qs}},
        {TemplateFilter::First, u" A "_qs, QString(), {u"営業A"_qs, u"ABC"_qs}},
        {TemplateFilter::Both, u"営業"_qs, u"A"_qs, {u"営業A"_qs}},
        {TemplateFilter::Either, u"abc"_qs, u"ＡＢＣ"_qs, {u"ＡＢＣ"_qs, u"abc"_qs}},
        {TemplateFilter::Either,
         QString(),
         u"B"_qs,
         {u"営業B"_qs, u"営業A"_qs, u"ＡＢＣ"_qs, u"abc"_qs, u"ABC"_qs}},
        {TemplateFilter::First, u"x"_qs, QString(), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.filter(c.mode, c.text1, c.text2), QString());
        EXPECT_EQ(names(list.visible()), c.expected) << int(c.mode) << " " << c.text1.toStdString();
    }

    list.filter(TemplateFilter::First, QStringLiteral("営業"), QString());
    for (const TemplateFilter mode : {TemplateFilter::Both, TemplateFilter::Either}) {
        EXPECT_EQ(list.filter(mode, QStringLiteral("A"), QStringLiteral(" ")),
                  QStringLiteral("条件を指定してください"));
        EXPECT_EQ(names(list.visible()), QStringList({u"営業B"_qs, u"営業A"_qs})) << int(mode);
    }
    list.clearFilter();
    EXPECT_EQ(list.visible().size(), 5);
}

TEST_F(TemplateFolder, CaptionAndLoadOnlyKind) {
    TemplateChooser chooser(workFolder(), QStringLiteral("*F02"), mPrompter);
    EXPECT_TRUE(chooser.loadOnly());
    EXPECT_EQ(chooser.extension(), QStringLiteral("F02"));
    EXPECT_EQ(chooser.caption(), QStringLiteral("テンプレート (使用フォルダ:") + workFolder() +
                                     QStringLiteral(")   *.F02"));
    addFile(QStringLiteral("a.F02"), QStringLiteral("2026/01/01 00:00:00"));
    chooser.open();
    EXPECT_FALSE(chooser.save(QStringLiteral("b")));
    chooser.remove(QStringLiteral("a"));
    EXPECT_TRUE(QFile::exists(mDir.filePath(QStringLiteral("a.F02"))));
    EXPECT_TRUE(mPrompter.messages().isEmpty());
    EXPECT_FALSE(TemplateChooser(workFolder(), QStringLiteral("F02"), mPrompter).loadOnly());
}

TEST_F(TemplateFolder, LoadChecksTheVisibleListThenAsks) {
    addFile(QStringLiteral("春.T01"), QStringLiteral("2026/01/01 00:00:00"));
    addFile(QStringLiteral("夏.t01"), QStringLiteral("2026/01/02 00:00:00"));
    TemplateChooser chooser(workFolder(), QStringLiteral("T01"), mPrompter);
    chooser.open();
    ASSERT_TRUE(chooser.filter(TemplateFilter::First, QStringLiteral("夏"), QString()));

    struct Case {
        QString typed;
        QString message;
    };
    const Case refused[] = {
        {QStringLiteral("  "), QStringLiteral("設定して下さい")},
        {QStringLiteral("秋"), QStringLiteral("テンプレートにありません")},
        {QStringLiteral("春"), QStringLiteral("テンプレートにありません")}, // filtered out
    };
    for (const Case& c : refused) {
        test::ScriptedPrompter prompter;
        TemplateChooser one(workFolder(), QStringLiteral("T01"), prompter);
        one.open();
        one.filter(TemplateFilter::First, QStringLiteral("夏"), QString());
        EXPECT_FALSE(one.load(c.typed));
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(prompter.messages()[0].text, c.message);
        EXPECT_EQ(prompter.messages()[0].icon, MessageIcon::Critical);
        EXPECT_EQ(one.focusControl(), QStringLiteral("txtSyosiki"));
        EXPECT_EQ(one.action(), TemplateAction::Cancelled);
    }

    mPrompter.answerNext(MessageAnswer::Cancel);
    EXPECT_FALSE(chooser.load(QStringLiteral("夏")));
    EXPECT_EQ(chooser.action(), TemplateAction::Cancelled);
    EXPECT_TRUE(chooser.load(QStringLiteral("夏 ")));
    EXPECT_EQ(mPrompter.texts(),
              QStringList(2, QStringLiteral("テンプレートから読み込みます。よろしいですか？")));
    EXPECT_EQ(mPrompter.messages().last().buttons, MessageButtons::OkCancel);
    EXPECT_EQ(chooser.action(), TemplateAction::Load);
    EXPECT_EQ(chooser.path(), workFolder() + QStringLiteral("夏.T01"));
    EXPECT_TRUE(chooser.cancel());
    EXPECT_EQ(chooser.action(), TemplateAction::Cancelled);
    EXPECT_EQ(chooser.path(), QString());

    EXPECT_FALSE(chooser.filter(TemplateFilter::Both, QStringLiteral("夏"), QString()));
    EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("条件を指定してください"));
    EXPECT_EQ(chooser.focusControl(), QStringLiteral("txtGrepMoji2"));
}

TEST_F(TemplateFolder, SaveRefusesNamesLeadingOutOfTheFolder) {
    TemplateChooser chooser(workFolder(), QStringLiteral("F01"), mPrompter);
    chooser.open();
    struct Case {
        QString typed;
        QString message;
    };
    const Case refused[] = {
        {QString(), QStringLiteral("設定して下さい")},
        {QStringLiteral("../x"), QStringLiteral("正しいファイル名ではありません")},
        {QStringLiteral("a/b"), QStringLiteral("正しいファイル名ではありません")},
        {QStringLiteral("..\\x"), QStringLiteral("正しいファイル名ではありません")},
        {QStringLiteral(".secret"), QStringLiteral("正しいファイル名ではありません")},
        {QStringLiteral("a*b"), QStringLiteral("正しいファイル名ではありません")},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(chooser.save(c.typed)) << c.typed.toStdString();
        EXPECT_EQ(mPrompter.texts().last(), c.message) << c.typed.toStdString();
        EXPECT_EQ(chooser.action(), TemplateAction::Cancelled);
    }
    // A name of the list or a new one: saved over after the one confirmation.
    EXPECT_TRUE(chooser.save(QStringLiteral("新しい 名前 ")));
    EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("テンプレートに保存します。いいですか？"));
    EXPECT_EQ(chooser.action(), TemplateAction::Save);
    EXPECT_EQ(chooser.path(), workFolder() + QStringLiteral("新しい 名前.F01"));
}

TEST_F(TemplateFolder, DeleteRemovesTheFileAndReportsFailures) {
    addFile(QStringLiteral("old.f02"), QStringLiteral("2026/01/01 00:00:00"));
    addFile(QStringLiteral("keep.F02"), QStringLiteral("2026/01/02 00:00:00"));
    TemplateChooser chooser(workFolder(), QStringLiteral("F02"), mPrompter);
    chooser.open();

    mPrompter.answerNext(MessageAnswer::Cancel);
    chooser.remove(QStringLiteral("old"));
    EXPECT_TRUE(QFile::exists(mDir.filePath(QStringLiteral("old.f02"))));
    chooser.remove(QStringLiteral("old"));
    EXPECT_FALSE(QFile::exists(mDir.filePath(QStringLiteral("old.f02"))));
    EXPECT_EQ(mPrompter.texts(),
              QStringList(2, QStringLiteral("テンプレートから削除します。よろしいですか？")));
    EXPECT_EQ(chooser.list().lines(),
              QStringList({QStringLiteral("0001 | 2026/01/02 00:00:00 |  keep")}));
    EXPECT_EQ(chooser.action(), TemplateAction::Cancelled); // the dialog stays open

    chooser.remove(QStringLiteral("old"));
    EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("テンプレートにありません"));

    // The file went away behind the list's back: the failure is reported, the list rebuilt.
    QFile::remove(mDir.filePath(QStringLiteral("keep.F02")));
    chooser.remove(QStringLiteral("keep"));
    EXPECT_TRUE(
        mPrompter.texts().last().startsWith(QStringLiteral("テンプレートを削除できません\r")));
    EXPECT_EQ(mPrompter.messages().last().icon, MessageIcon::Critical);
    EXPECT_TRUE(chooser.list().lines().isEmpty());
}
