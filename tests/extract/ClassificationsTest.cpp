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
    EXPECT_TRUE(LoadClassifications(path).isEmpty()); // missing

    // Empty lines are levels without a name; more than 42 fields keep the first 42.
    QString wide = QStringLiteral("9,多い");
    for (int i = 1; i <= 25; ++i)
        wide += QStringLiteral(",%1,名%1").arg(i);
    test::WriteBytes(path, cp932(QStringLiteral("\r\n") + wide + QStringLiteral("\r\n")));
    ClassificationTable table = LoadClassifications(path);
    ASSERT_EQ(table.size(), 2);
    EXPECT_EQ(table[0].LevelName, QString());
    EXPECT_EQ(table[1].EntryCount, 20);
    EXPECT_EQ(table[1].Names[19], QStringLiteral("名20"));

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
    LoadClassifications(path);
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
