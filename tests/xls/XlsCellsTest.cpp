#include "app/Currency.h"
#include "tests/support/Printers.h"
#include "tests/support/SmallFileSystem.h"
#include "tests/xls/BiffFile.h"
#include "tests/xls/OutsideReaders.h"
#include "tests/xls/XlsFixture.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"
#include "workbook/xls/XlsWriter.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace plw;
using namespace plw::test;

namespace {

// A workbook of one sheet (a copy of the template's index sheet) that fill() writes into.
class XlsCellsTest : public ::testing::Test {
protected:
    Worksheet* sheet() {
        QString error;
        EXPECT_TRUE(mBook.openTemplate(TemplatePath(), &error)) << error.toStdString();
        Worksheet* copy = mBook.copySheet(u"抽出条件"_qs, u"シート"_qs, &error);
        EXPECT_TRUE(copy) << error.toStdString();
        return copy;
    }

    // Writes the workbook, checks its structure and answers the records and what xlrd read of
    // the sheet (empty without xlrd).
    QJsonObject writeAndRead(std::vector<BiffRecord>* records = nullptr) {
        const QString file = mDir.filePath(u"cells.xls"_qs);
        WriteXls(mBook, file);
        ExpectSound(file);
        if (records)
            *records = ReadRecords(file);
        if (!HasXlrd())
            return {};
        QString error;
        QJsonObject book;
        EXPECT_TRUE(ReadWithXlrd(file, &book, &error)) << error.toStdString();
        return book[u"sheets"_qs][0].toObject();
    }

    Workbook mBook;
    QTemporaryDir mDir;
};

QString TextAt(const QJsonObject& sheet, int row, int column) {
    return sheet[u"cells"_qs][QStringLiteral("%1,%2").arg(row).arg(column)][u"value"_qs].toString();
}

double NumberAt(const QJsonObject& sheet, int row, int column) {
    return sheet[u"cells"_qs][QStringLiteral("%1,%2").arg(row).arg(column)][u"value"_qs].toDouble();
}

TEST_F(XlsCellsTest, StringsLongerThanARecordContinueAndKeepEveryCharacter) {
    Worksheet* target = sheet();
    QStringList texts;
    // Many short strings, so that the table spans several records and EXTSST has buckets; long
    // ones of one-byte and two-byte characters that cross record boundaries mid-string.
    for (int i = 0; i < 3000; ++i)
        texts << QStringLiteral("顧客%1-%2").arg(i).arg(QString(i % 7, u'x'));
    texts << QString(9000, u'a') << QString(9001, u'漢')
          << QString(5000, u'b') + QString(4000, u'ｶ') << QString(20000, u'é') << QString()
          << u"tab\there and\nnew line"_qs;
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_TRUE(target->cells().setText(i + 1, 2, texts[i]));
    std::vector<BiffRecord> records;
    const QJsonObject read = writeAndRead(&records);
    EXPECT_EQ(plw::test::SharedStrings(records), texts);
    if (read.isEmpty())
        GTEST_SKIP() << "xlrd is not installed";
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_EQ(TextAt(read, i, 1), texts[i]) << i;
}

TEST_F(XlsCellsTest, NumbersAndAmountsKeepEveryDigitInTheirShortestRecord) {
    Worksheet* target = sheet();
    struct Case {
        double number;
        std::uint16_t record; // RK, or NUMBER when no RK form holds the value
    };
    const Case cases[] = {
        {0, 0x027E},           {1, 0x027E},
        {-1, 0x027E},          {536870911, 0x027E},
        {-536870912, 0x027E},  {536870912, 0x027E}, // a double with a short mantissa
        {0.5, 0x027E},         {12.34, 0x027E},
        {-0.01, 0x027E},       {1e300, 0x0203},
        {0.123456789, 0x0203}, {123456789.123, 0x0203},
    };
    for (int i = 0; i < int(std::size(cases)); ++i)
        ASSERT_TRUE(target->cells().setNumber(i + 10, 3, cases[i].number));
    // Amounts: whole yen, fractions of yen, and beyond what a 30-bit RK holds.
    const qint64 amounts[] = {1234560000, 12345, -5, 99999999999990000, 7777777770000};
    for (int i = 0; i < int(std::size(amounts)); ++i)
        ASSERT_TRUE(target->cells().setCurrency(i + 30, 3, Currency::fromScaled(amounts[i])));
    // A row of neighbouring numbers becomes one MULRK, neighbouring styled blanks one MULBLANK.
    for (int column = 1; column <= 5; ++column) {
        ASSERT_TRUE(target->cells().setNumber(40, column, column * 10));
        ASSERT_TRUE(target->cells().setStyle(41, column, 3));
    }
    std::vector<BiffRecord> records;
    const QJsonObject read = writeAndRead(&records);
    std::map<int, std::uint16_t> kinds;
    for (const BiffRecord& record : records)
        if (record.id == 0x027E || record.id == 0x0203 || record.id == 0x00BD ||
            record.id == 0x00BE)
            kinds[U16(record.data, 0)] = record.id;
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(kinds[i + 9], cases[i].record) << cases[i].number;
    EXPECT_EQ(kinds[39], 0x00BD);
    EXPECT_EQ(kinds[40], 0x00BE);
    if (read.isEmpty())
        GTEST_SKIP() << "xlrd is not installed";
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(NumberAt(read, i + 9, 2), cases[i].number) << i;
    for (int i = 0; i < int(std::size(amounts)); ++i)
        EXPECT_EQ(NumberAt(read, i + 29, 2), Currency::fromScaled(amounts[i]).toDouble()) << i;
    for (int column = 1; column <= 5; ++column)
        EXPECT_EQ(NumberAt(read, 39, column - 1), column * 10);
}

TEST_F(XlsCellsTest, RowBlocksIndexSparseRowsUpToTheLastRowAndKeepTheirHeights) {
    Worksheet* target = sheet();
    const int rows[] = {5, 31, 32, 33, 64, 65, 1000, 40000, 65536};
    for (int row : rows)
        ASSERT_TRUE(target->cells().setText(row, 1, QStringLiteral("row %1").arg(row)));
    // A row with its own height and no cells, and one with a style of its own.
    target->cells().setRowAttributes(100, {{"ht", "30"}, {"customHeight", "1"}});
    target->cells().setRowAttributes(33, {{"s", "3"}, {"customFormat", "1"}});
    const QJsonObject read = writeAndRead();
    if (read.isEmpty())
        GTEST_SKIP() << "xlrd is not installed";
    for (int row : rows)
        EXPECT_EQ(TextAt(read, row - 1, 0), QStringLiteral("row %1").arg(row));
    EXPECT_EQ(read[u"heights"_qs][u"99"_qs].toInt(), 600);
}

TEST_F(XlsCellsTest, TheCustomerListCapOf65000RowsFitsTheFormat) {
    Worksheet* target = sheet();
    for (int row = 1; row <= 65001; ++row) {
        ASSERT_TRUE(target->cells().setText(row, 1, QStringLiteral("%1").arg(row)));
        ASSERT_TRUE(target->cells().setNumber(row, 2, row));
    }
    const QJsonObject read = writeAndRead();
    if (read.isEmpty())
        GTEST_SKIP() << "xlrd is not installed";
    EXPECT_EQ(TextAt(read, 65000, 0), u"65001"_qs);
    EXPECT_EQ(NumberAt(read, 65000, 1), 65001);
}

TEST_F(XlsCellsTest, CellsBeyondTheFormatsGridAreNamedInsteadOfDropped) {
    Worksheet* target = sheet();
    ASSERT_TRUE(target->cells().setText(65537, 1, u"below"_qs));
    XlsWriter writer(mBook);
    QString error;
    ASSERT_TRUE(writer.prepare(&error)) << error.toStdString();
    EXPECT_TRUE(writer.unhandledConstruct().contains(u"65536"_qs))
        << writer.unhandledConstruct().toStdString();
    EXPECT_FALSE(writer.write(mDir.filePath(u"x.xls"_qs), {}, &error));
}

// A disk that fills up while the .xls is written: the operator reads the system's cause in
// Japanese, and neither the file nor a piece of it is left.
TEST_F(XlsCellsTest, AFullDiskLeavesNoPieceOfTheFileAndSaysTheSystemsCause) {
    Worksheet* target = sheet();
    for (int row = 1; row <= 2000; ++row)
        ASSERT_TRUE(target->cells().setText(row, 1, u"顧客 %1 の住所と名前"_qs.arg(row * 7919)));
    XlsWriter writer(mBook);
    QString error;
    ASSERT_TRUE(writer.prepare(&error)) << error.toStdString();
    const QString folder = mDir.filePath(u"small"_qs);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + u"/結果.xls"_qs;
    const std::optional<QString> outcome =
        InSmallFileSystem(folder, SmallFileSystemKind::Full, [&] {
            QString why;
            const bool written = writer.write(file, {}, &why);
            return (written ? u"written"_qs : why) + u'|' +
                   QDir(folder).entryList(QDir::Files | QDir::Hidden).join(u' ');
        });
    if (!outcome)
        GTEST_SKIP() << "this system gives no process a file system of its own";
    EXPECT_EQ(*outcome, file + u" に書き込めません: ディスクの空き容量が足りません|"_qs);
}

} // namespace
