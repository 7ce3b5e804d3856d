#include "workbook/SheetReference.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;

TEST(SheetReference, ParseSplitsTheSheetFromTheAddress) {
    const struct {
        const char16_t* reference;
        const char16_t* sheet; // nullptr: refused
        const char16_t* address;
    } cases[] = {
        {u"'RFM顧客一覧'!$A$1:$AT$65001", u"RFM顧客一覧", u"$A$1:$AT$65001"},
        {u"'Bob''s data'!A1", u"Bob's data", u"A1"},
        {u"'Sheet 1'!", u"Sheet 1", u""},
        {u"Sheet1!B4:C9", u"Sheet1", u"B4:C9"},
        {u"グループ値!$B$3", u"グループ値", u"$B$3"},
        // No sheet, an empty one, an open quote, or what only a list or a function holds.
        {u"$C$4", nullptr, nullptr},
        {u"!A1", nullptr, nullptr},
        {u"''!A1", nullptr, nullptr},
        {u"'Bob''s data!A1", nullptr, nullptr},
        {u"'Sheet1'A1", nullptr, nullptr},
        {u"(Sheet1!A1,Sheet1!B1)", nullptr, nullptr},
        {u"SUM(Sheet1!A1)", nullptr, nullptr},
        {u"Sheet 1!A1", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const QString reference = QString::fromUtf16(c.reference);
        QString sheet;
        QStringView address;
        EXPECT_EQ(SheetReference::Parse(reference, &sheet, &address), c.sheet != nullptr)
            << reference.toStdString();
        if (c.sheet) {
            EXPECT_EQ(sheet, QString::fromUtf16(c.sheet));
            EXPECT_EQ(address, QString::fromUtf16(c.address));
        }
    }
}

// Deleting columns K to N and P of the customer list (as the list does without the purchase
// period and with one item removed) moves the references a defined name holds.
TEST(SheetReference, ReferencesFollowDeletedColumns) {
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
