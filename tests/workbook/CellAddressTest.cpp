#include "workbook/CellAddress.h"

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
        EXPECT_EQ(CellAddress::ColumnLetters(c.n), QString::fromUtf16(c.letters)) << c.n;
}
