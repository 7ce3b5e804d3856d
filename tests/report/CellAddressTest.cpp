#include "report/Sub_ExcelSubRtn.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;

TEST(CellAddress, ColumnLettersAcrossTheLetterCarries) {
    const struct {
        int n;
        const char16_t* letters;
    } cases[] = {{1, u"A"},     {23, u"W"},      {26, u"Z"},  {27, u"AA"},
                 {46, u"AT"},   {52, u"AZ"},     {53, u"BA"}, {702, u"ZZ"},
                 {703, u"AAA"}, {16384, u"XFD"}, {0, u""},    {-3, u""}};
    for (const auto& c : cases)
        EXPECT_EQ(ColumnLetters(c.n), QString::fromUtf16(c.letters)) << c.n;
}

TEST(CellAddress, CellRangeWritesBothCornersAndASingleCellAsARangeOfItself) {
    EXPECT_EQ(CellRange(4, 3, 4, 3), u"C4:C4");
    EXPECT_EQ(CellRange(1, 1, 65000, 42), u"A1:AP65000");
    EXPECT_EQ(CellRange(10, 27, 12, 52), u"AA10:AZ12");
}
