#include "extract/Classifications.h"
#include "app/AnsiCodec.h"
#include "app/OutputItemList.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;

namespace {

QByteArray cp932(const QString& text) {
    return *AnsiCodec::encode(text);
}

} // namespace

TEST(Classifications, SplitsTrimsAndCountsEntries) {
    const ClassificationTable table = ParseClassifications(
        cp932(QStringLiteral("1, 来店動機 ,01,チラシ,02, 紹介 ,03,通りがかり,04,ＤＭ,05,その他\r\n"
                             "2,職業,A,会社員,B,\"パート,アルバイト\",C,,D,学生\r\n"
                             "3,趣味\r\n"
                             "4,居住地区,01,\"北\"\"区\"\"\",02,南区,")));
    ASSERT_EQ(table.size(), 4);
    EXPECT_EQ(table[0].LevelName, QStringLiteral("来店動機"));
    EXPECT_EQ(table[0].EntryCount, 5);
    EXPECT_EQ(table[0].ListItems().value(1), QStringLiteral("02:紹介"));
    // A quoted comma stays in its field; an empty name before the last named one still counts.
    EXPECT_EQ(table[1].Names[1], QStringLiteral("パート,アルバイト"));
    EXPECT_EQ(table[1].EntryCount, 4);
    EXPECT_EQ(table[1].ListItems().value(2), QStringLiteral("C:"));
    // No named entry: twenty items of ":" only.
    EXPECT_EQ(table[2].EntryCount, 20);
    EXPECT_EQ(table[2].ListItems(), QStringList(20, QStringLiteral(":")));
    // Doubled quotes inside a quoted field stand for one quote.
    EXPECT_EQ(table[3].Names[0], QStringLiteral("北\"区\""));
    EXPECT_EQ(table[3].EntryCount, 2);
    EXPECT_EQ(LevelName(table, 4), QStringLiteral("居住地区"));
    EXPECT_EQ(LevelName(table, 5), QString());
}

TEST(Classifications, OddFilesGiveEmptyOrPartialTablesNeverACrash) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("S3BUNRU.DAT"));
    QStringList faults;
    EXPECT_TRUE(LoadClassifications(path, &faults).isEmpty()); // missing
    EXPECT_EQ(faults, QStringList());

    // Empty lines are levels without a name; more than 42 fields keep the first 42.
    QString wide = QStringLiteral("9,多い");
    for (int i = 1; i <= 25; ++i)
        wide += QStringLiteral(",%1,名%1").arg(i);
    test::WriteBytes(path, cp932(QStringLiteral("\r\n") + wide + QStringLiteral("\r\n")));
    ClassificationTable table = LoadClassifications(path, &faults);
    ASSERT_EQ(table.size(), 2);
    EXPECT_EQ(table[0].LevelName, QString());
    EXPECT_EQ(table[1].EntryCount, 20);
    EXPECT_EQ(table[1].Names[19], QStringLiteral("名20"));
    EXPECT_EQ(faults,
              QStringList{QStringLiteral("2 行目: 項目が 52 個あります（1 行に 42 個まで）")});

    // An unbalanced quote swallows the rest of its line only.
    test::WriteBytes(path, cp932(QStringLiteral("1,\"開いたまま,01,a\n2,次,01,b\n")));
    table = LoadClassifications(path);
    ASSERT_EQ(table.size(), 2);
    EXPECT_EQ(table[0].LevelName, QStringLiteral("開いたまま,01,a"));
    EXPECT_EQ(table[1].Names[0], QStringLiteral("b"));

    // At most 999 lines are read.
    test::WriteBytes(path, QByteArray("1,x\n").repeated(1200));
    EXPECT_EQ(LoadClassifications(path).size(), 999);

    test::WriteBytes(path, test::PseudoRandomBytes(5000, 9) + "\x81");
    faults.clear();
    LoadClassifications(path, &faults);
    EXPECT_FALSE(faults.isEmpty());
}

// What cannot be a classification file is named, line by line, with its cause; the table is
// still read as it stands.
TEST(Classifications, WhatCannotBeAClassificationFileIsNamedWithItsCause) {
    const QByteArray sound = cp932(QStringLiteral("1,来店動機,01,チラシ,02,紹介\r\n"
                                                  "2,職業,11,会社員,12,学生\r\n"));
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList faults;
    };
    const Case cases[] = {
        {"a byte that begins no character",
         QByteArray(sound).insert(10, '\xFF'),
         {QStringLiteral("1 行目: CP932（シフトJIS）の文字ではないバイトがあります（行の 11 "
                         "バイト目、0xff）")}},
        {"a lead byte without its trail byte",
         sound + "3,\x81",
         {QStringLiteral("3 行目: CP932（シフトJIS）の文字ではないバイトがあります（行の 3 "
                         "バイト目、0x81）")}},
        {"a line break inside a quoted name",
         cp932(QStringLiteral("1,来店動機,01,\"チラ\r\nシ\",02,紹介\r\n2,職業,11,会社員\r\n")),
         {QStringLiteral("1 行目: 引用符（\"）が閉じないまま行が終わっています"),
          QStringLiteral("2 行目: 引用符（\"）が閉じないまま行が終わっています")}},
        {"43 fields",
         cp932(QStringLiteral("1,来店動機") + QStringLiteral(",a").repeated(41)),
         {QStringLiteral("1 行目: 項目が 43 個あります（1 行に 42 個まで）")}},
        {"entries without a level name",
         cp932(QStringLiteral("1,来店動機,01,a\r\n2,,11,b\r\n")),
         {QStringLiteral("2 行目: 項目があるのに分類名がありません")}},
        {"a level name twice",
         cp932(QStringLiteral("1,来店動機,01,a\r\n2,職業\r\n3, 来店動機 ,01,b\r\n")),
         {QStringLiteral("3 行目: 分類名「来店動機」が 1 行目と同じです")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList faults;
        const ClassificationTable table = ParseClassifications(c.bytes, &faults);
        EXPECT_FALSE(table.isEmpty());
        EXPECT_EQ(faults, c.faults);
    }
}

// The shop edits the file by hand: what a valid file may look like is read without complaint.
TEST(Classifications, ValidButChangedFilesAreReadWithoutComplaint) {
    struct Case {
        const char* what;
        QString text;
        QStringList levels;
    };
    const Case cases[] = {
        {"a renamed entry",
         QStringLiteral(
             "1,来店動機,01,チラシ,02,口コミ\r\n2,職業,11,会社員\r\n3,趣味\r\n4,地区\r\n"),
         {QStringLiteral("来店動機"), QStringLiteral("職業"), QStringLiteral("趣味"),
          QStringLiteral("地区")}},
        {"a level fewer",
         QStringLiteral("1,来店動機,01,チラシ\r\n2,職業,11,会社員\r\n"),
         {QStringLiteral("来店動機"), QStringLiteral("職業"), QString(), QString()}},
        {"a level with one entry and a quoted comma, LF endings, no last line break",
         QStringLiteral("1,\"来店,動機\",01,\"チラシ\"\"A\"\"\"\n\n3,趣味,01,読書"),
         {QStringLiteral("来店,動機"), QString(), QStringLiteral("趣味"), QString()}},
        {"empty lines and a line of a number only",
         QStringLiteral("\r\n5\r\n\r\n4,地区,,\r\n"),
         {QString(), QString(), QString(), QStringLiteral("地区")}},
        {"exactly 42 fields, all quoted",
         QStringLiteral("\"1\",\"来店動機\"") + QStringLiteral(",\"a\",\"b\"").repeated(20),
         {QStringLiteral("来店動機"), QString(), QString(), QString()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList faults;
        const ClassificationTable table = ParseClassifications(cp932(c.text), &faults);
        EXPECT_EQ(faults, QStringList());
        QStringList levels;
        for (int level = 1; level <= ClassificationLevels; ++level)
            levels << LevelName(table, level);
        EXPECT_EQ(levels, c.levels);
    }
}

TEST(OutputItemList, NamesTheLastFourItemsAfterTheLevels) {
    const QStringList items =
        BuildOutputItemList({QStringLiteral("来店動機"), QStringLiteral("職業")});
    ASSERT_EQ(items.size(), 32);
    EXPECT_EQ(items[0], QStringLiteral("000:最終購買額"));
    EXPECT_EQ(items[27], QStringLiteral("270:メールアドレス"));
    EXPECT_EQ(items[28], QStringLiteral("280:来店動機"));
    EXPECT_EQ(items[29], QStringLiteral("290:職業"));
    EXPECT_EQ(items[31], QStringLiteral("310:"));

    // The customer list shows the items not left out, in the list's own order.
    EXPECT_EQ(ItemsToOutput(items.mid(0, 4), {items[2], items[0], QStringLiteral("999:")}),
              QStringList({items[1], items[3]}));
}
