#include "workbook/CellAddress.h"

#include "workbook/SheetReference.h"

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

// Deleting columns K to N and P of the customer list (as the list does without the purchase
// period and with one item removed) moves the references a defined name holds.
TEST(CellAddress, ReferencesFollowDeletedColumns) {
    const QList<int> deleted = {11, 12, 13, 14, 16};
    const struct {
        const char16_t* formula;
        const char16_t* after;
    } cases[] = {
        // Print titles: columns left of the deletion and whole rows stay.
        {u"'RFM顧客一覧'!$A:$E,'RFM顧客一覧'!$1:$1", u"'RFM顧客一覧'!$A:$E,'RFM顧客一覧'!$1:$1"},
        // A print area over every column shrinks by the five; $ signs stay where they were.
        {u"'RFM顧客一覧'!$A$1:$AT$65001", u"'RFM顧客一覧'!$A$1:$AO$65001"},
        {u"RFM顧客一覧!B2:Q9", u"RFM顧客一覧!B2:L9"},
        {u"'rfm顧客一覧'!O3", u"'rfm顧客一覧'!K3"}, // sheet names match without regard to case
        {u"'RFM顧客一覧'!$J:$O", u"'RFM顧客一覧'!$J:$K"},
        // Everything it named is gone.
        {u"'RFM顧客一覧'!$K$2:$N$9", u"#REF!"},
        {u"SUM('RFM顧客一覧'!P1,'RFM顧客一覧'!Q1)", u"SUM(#REF!,'RFM顧客一覧'!L1)"},
        // Other sheets, texts and names that only look like references stay.
        {u"'抽出条件'!$P$1", u"'抽出条件'!$P$1"},
        {u"\"'RFM顧客一覧'!P1\"", u"\"'RFM顧客一覧'!P1\""},
        {u"'RFM顧客一覧'!Total", u"'RFM顧客一覧'!Total"},
        {u"'RFM顧客一覧'!P", u"'RFM顧客一覧'!P"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SheetReference::DeleteColumns(QString::fromUtf16(c.formula),
                                                QStringLiteral("RFM顧客一覧"), deleted),
                  QString::fromUtf16(c.after))
            << QString::fromUtf16(c.formula).toStdString();
}
