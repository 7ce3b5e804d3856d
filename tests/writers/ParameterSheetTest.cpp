#include "tests/writers/WriterShop.h"

#include "rfm/PLWAN4_hrhen.h"
#include "workbook/CellAddress.h"
#include "workbook/Styles.h"
#include "workbook/Worksheet.h"

using namespace plw;

namespace {

using ParameterSheet = test::WriterShop;

// Thresholds of ranks 5 to 2 in C5:F7 as entered, the base date in K4, and the group matrix
// coloured in the three arrangements.
TEST_F(ParameterSheet, ThresholdsBaseDateAndTheMatrixInThreeArrangements) {
    mParameterScreen.RThreshold = {QStringLiteral("365"), QStringLiteral("365"),
                                   QStringLiteral("180"), QStringLiteral("90"),
                                   QStringLiteral("30")};
    mParameterScreen.FThreshold = {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("4"),
                                   QStringLiteral("8"), QStringLiteral("12")};
    mParameterScreen.MThreshold = {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2.5"),
                                   QStringLiteral("5"), QStringLiteral("10")};
    mParameterScreen.BaseDate = QStringLiteral("20261130");
    // Every cell "E" (24), except a few codes each in a group of its own; 111 has no group.
    mParameterScreen.GroupMatrix.fill(QStringLiteral("E"));
    const struct {
        const char* code;
        const char* group;
        int colour;
    } painted[] = {{"555", "A", 3}, {"515", "B", 45}, {"551", "C", 10},
                   {"155", "D", 8}, {"324", "X", 15}, {"111", "", 15}};
    for (const auto& p : painted)
        mParameterScreen.GroupMatrix[CellIndex(QString::fromLatin1(p.code)) - 1] =
            QString::fromLatin1(p.group);
    const auto colourOf = [&](const char* code) {
        for (const auto& p : painted)
            if (qstrcmp(p.code, code) == 0)
                return p.colour;
        return 24;
    };

    sheetWriters().WriteParameterSheet(*mRun);
    Workbook& book = saved();
    QString error;
    Worksheet* sheet = book.sheet(QStringLiteral("RFM解析パラメータ"), &error);
    ASSERT_NE(sheet, nullptr) << error.toStdString();

    const char* thresholds[3][4] = {
        {"30", "90", "180", "365"}, {"12", "8", "4", "2"}, {"10", "5", "2.5", "1"}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(sheet->cells().cell(5 + row, 3 + column).text,
                      QString::fromLatin1(thresholds[row][column]))
                << "R" << 5 + row << "C" << 3 + column;
    EXPECT_TRUE(sheet->cells().cell(5, 7).isEmpty()); // rank 1 is not shown
    EXPECT_EQ(sheet->cells().cell(4, 11).text, u"2026/11/30");

    // Cell and the code it shows: R view rows 12-16 (blocks R, columns F, rows M), F view rows
    // 19-23 (blocks F, columns R, rows M), M view rows 26-30 (blocks M, columns F, rows R).
    const struct {
        const char* cell;
        const char* code;
    } cells[] = {
        {"C12", "555"},  {"G12", "515"}, {"C16", "551"},  {"T13", "324"},
        {"AI16", "111"}, {"J12", "455"}, {"C19", "555"},  {"G19", "155"},
        {"C23", "551"},  {"T20", "234"}, {"AI23", "111"}, {"C26", "555"},
        {"G26", "515"},  {"C30", "155"}, {"Y29", "242"},  {"AE30", "151"},
    };
    for (const auto& c : cells) {
        CellRect at;
        ASSERT_TRUE(CellAddress::ParseRange(QString::fromLatin1(c.cell), &at));
        const int style = sheet->styleOf(at.firstRow, at.firstColumn);
        EXPECT_EQ(book.styles().fillColorIndex(style), colourOf(c.code)) << c.cell << " " << c.code;
        EXPECT_EQ(book.styles().fillPattern(style), 1) << c.cell;
        EXPECT_TRUE(sheet->cells().cell(at.firstRow, at.firstColumn).isEmpty()) << c.cell;
    }
    // The gaps between blocks stay unfilled.
    for (const char* gap : {"H12", "H16", "AJ26", "C17"}) {
        CellRect at;
        ASSERT_TRUE(CellAddress::ParseRange(QString::fromLatin1(gap), &at));
        EXPECT_EQ(book.styles().fillColorIndex(sheet->styleOf(at.firstRow, at.firstColumn)), 0)
            << gap;
    }
    EXPECT_EQ(mRecorded.steps, QStringList{QStringLiteral("解析パラメータ")});
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

} // namespace
