#include "workbook/ColumnWidths.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;

TEST(ColumnWidthsTest, TextUnitsCountWideCharactersTwice) {
    const struct {
        QString text;
        double units;
    } cases[] = {
        {QString(), 0},
        {QStringLiteral("Abc 12"), 6},
        {QStringLiteral("顧客番号"), 8},
        {QStringLiteral("ｶﾞｲﾄﾞ"), 5}, // half-width katakana, voiced mark included
        {QStringLiteral("カタカナ"), 8},
        {QStringLiteral("ＡＢ１"), 6}, // full-width forms
        {QStringLiteral("　"), 2},     // ideographic space
        {QStringLiteral("A-顧客"), 6},
        {QStringLiteral("か\u3099"), 2}, // combining voiced mark
        {QStringLiteral("한글"), 4},
        {QStringLiteral("𠀋"), 2}, // beyond the basic plane: one character
        {QStringLiteral("ab\n顧客番号\nc"), 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColumnWidths::TextUnits(c.text), c.units) << c.text.toStdString();
}

TEST(ColumnWidthsTest, DisplayTextFollowsTheNumberFormat) {
    auto number = [](double value) {
        CellValue cell;
        cell.kind = CellKind::Number;
        cell.number = value;
        return cell;
    };
    auto currency = [](qint64 scaled) {
        CellValue cell;
        cell.kind = CellKind::Currency;
        cell.currency = Currency::fromScaled(scaled);
        return cell;
    };
    CellValue text;
    text.kind = CellKind::Text;
    text.text = QStringLiteral("1,234 円");

    const struct {
        CellValue value;
        const char* code;
        const char* shown;
    } cases[] = {
        {CellValue(), "General", ""},
        {text, "#,##0", "1,234 円"},
        {number(0), "General", "0"},
        {number(1234.5), "General", "1234.5"},
        {number(0.1 + 0.2), "General", "0.3"},
        {number(1.0 / 3), "General", "0.333333333"},
        {number(-2.5), "General", "-2.5"},
        {number(12345678901), "General", "12345678901"},
        {number(99999999999.6), "General", "1E+11"},
        {number(123456789012), "General", "1.23457E+11"},
        {number(-1e-12), "General", "-1E-12"},
        {number(1234567.891), "#,##0", "1,234,568"},
        {number(-1234.56), "#,##0.0", "-1,234.6"},
        {number(999.96), "#,##0.0", "1,000.0"},
        {number(123), "#,##0.00", "123.00"},
        {number(0.125), "0.00", "0.13"},
        {number(1.005), "0.00", "1.01"},
        {number(-0.4), "0", "0"},
        {number(0.05), "0.0", "0.1"},
        {number(12), "yyyy/mm/dd", "12"},
        {number(0.5), "0%", "0.5"},
        {currency(123456789), "#,##0", "12,346"},
        {currency(123456789), "General", "12345.6789"},
        {currency(-50000), " #,##0 ", "-5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColumnWidths::DisplayText(c.value, QString::fromUtf8(c.code)),
                  QString::fromUtf8(c.shown))
            << c.code << " " << c.shown;
}

TEST(ColumnWidthsTest, FittedWidthScalesWithTheFont) {
    EXPECT_EQ(ColumnWidths::FittedWidth(0, 11), 0);
    EXPECT_EQ(ColumnWidths::FittedWidth(-3, 11), 0);
    EXPECT_DOUBLE_EQ(ColumnWidths::FittedWidth(10, 11), 11.5);
    EXPECT_DOUBLE_EQ(ColumnWidths::FittedWidth(10, 22), 21.5);
    EXPECT_DOUBLE_EQ(ColumnWidths::FittedWidth(10, 0), 11.5);
    EXPECT_EQ(ColumnWidths::FittedWidth(1000, 11), 255);
}

TEST(ColumnWidths, NumberUnitsCountWhatTheCellShows) {
    for (const double value : {0.0, 7.0, -7.0, 999.0, 1000.0, -1234567.0, 9999999999.0,
                               12345678901.0, 0.5, 1234.5678, 1e-12})
        for (const QString& format : {QStringLiteral("General"), QStringLiteral("0"),
                                      QStringLiteral("#,##0"), QStringLiteral("#,##0.00")}) {
            CellValue cell;
            cell.kind = CellKind::Number;
            cell.number = value;
            EXPECT_EQ(ColumnWidths::NumberUnits(value, format),
                      ColumnWidths::TextUnits(ColumnWidths::DisplayText(cell, format)))
                << value << " " << format.toStdString();
        }
}
