#include "tests/writers/WriterShop.h"

#include "rfm/PLWAN4_hrhen.h"
#include "workbook/CellAddress.h"
#include "workbook/ChartXml.h"
#include "workbook/Styles.h"
#include "workbook/Worksheet.h"

#include <stdexcept>

using namespace plw;

namespace {

// The words the count and amount sheets' names end with.
const QString kCount = QStringLiteral("人数");
const QString kAmount = QStringLiteral("金額");

// The label rows of the blocks of viewpoint ranks 5 to 1.
constexpr int kTops[5] = {3, 14, 25, 39, 50};

// A painting in which swapping any two ranks of a code changes its class, so a cell written at
// the wrong place shows the wrong colour; class 6 leaves the cell without a group.
QString PaintedGroup(const QString& code) {
    static const QString letters[7] = {QStringLiteral("A"),
                                       QStringLiteral("B"),
                                       QStringLiteral("C"),
                                       QStringLiteral("D"),
                                       QStringLiteral("E"),
                                       QStringLiteral("X"),
                                       QString()};
    const int r = code[0].digitValue(), f = code[1].digitValue(), m = code[2].digitValue();
    return letters[(r + 2 * f + 4 * m) % 7];
}

int ExpectedColour(const QString& code) {
    const QString group = PaintedGroup(code);
    if (group == u"A")
        return 3;
    if (group == u"B")
        return 45;
    if (group == u"C")
        return 10;
    if (group == u"D")
        return 8;
    if (group == u"E")
        return 24;
    return 15;
}

struct Place {
    int row = 0;
    int column = 0;
};

Place At(const QString& address) {
    CellRect rect;
    EXPECT_TRUE(CellAddress::ParseRange(address, &rect)) << address.toStdString();
    return {rect.firstRow, rect.firstColumn};
}

class MatrixSheets : public test::WriterShop {
protected:
    void SetUp() override {
        WriterShop::SetUp();
        if (HasFatalFailure())
            return;
        for (int k = 1; k <= 125; ++k)
            mParameterScreen.GroupMatrix[k - 1] = PaintedGroup(CellCode(k));
    }

    // Every cell a value of its own: count k, amount k + 0.25.
    void distinctStatistics() {
        for (int k = 1; k <= 125; ++k) {
            mStatistics.Cells[k - 1].Count = k;
            mStatistics.Cells[k - 1].Amount = Currency::fromScaled(k * Currency::Scale + 2500);
        }
        mStatistics.MaxCellCount = 125;
        mStatistics.MaxCellAmount = Currency::fromScaled(125 * Currency::Scale + 2500);
    }

    void writeAll() {
        AnalysisSheetWriters writers = sheetWriters();
        for (const MatrixMode mode : {MatrixMode::Count, MatrixMode::Amount})
            writers.WriteRSheet(*mRun, mode);
        for (const MatrixMode mode : {MatrixMode::Count, MatrixMode::Amount})
            writers.WriteFSheet(*mRun, mode);
        for (const MatrixMode mode : {MatrixMode::Count, MatrixMode::Amount})
            writers.WriteMSheet(*mRun, mode);
    }

    // A sheet of the saved workbook; a missing one fails the test.
    Worksheet& sheet(const QString& name) {
        QString error;
        Worksheet* found = mRead.sheet(name, &error);
        if (!found)
            throw std::runtime_error(error.toStdString());
        return *found;
    }

    double valueAt(const Worksheet& s, Place p) const {
        const CellValue cell = s.cells().cell(p.row, p.column);
        EXPECT_TRUE(cell.kind == CellKind::Number || cell.kind == CellKind::Currency)
            << s.name().toStdString() << " R" << p.row << "C" << p.column;
        return cell.kind == CellKind::Currency ? cell.currency.toDouble() : cell.number;
    }

    int fillAt(const Worksheet& s, Place p) {
        return mRead.styles().fillColorIndex(s.styleOf(p.row, p.column));
    }
    int patternAt(const Worksheet& s, Place p) {
        return mRead.styles().fillPattern(s.styleOf(p.row, p.column));
    }

    QString textAt(const Worksheet& s, const QString& address) {
        const Place p = At(address);
        return s.cells().cell(p.row, p.column).text;
    }
};

// Every corner the layout could get wrong, and a few inner cells that no swap of ranks maps onto
// itself: the value is that of the code's cell, the colour that of its group.
TEST_F(MatrixSheets, EveryCodeSitsAtItsCellWithItsValueAndGroupColour) {
    distinctStatistics();
    writeAll();
    saved();
    struct Case {
        QString dimension; // the viewpoint letter of the sheets
        QString cell;
        QString code;
    };
    const Case cases[] = {
        {QStringLiteral("Ｒ"), QStringLiteral("C4"), QStringLiteral("555")},
        {QStringLiteral("Ｒ"), QStringLiteral("G4"), QStringLiteral("515")},
        {QStringLiteral("Ｒ"), QStringLiteral("C8"), QStringLiteral("551")},
        {QStringLiteral("Ｒ"), QStringLiteral("F42"), QStringLiteral("223")},
        {QStringLiteral("Ｒ"), QStringLiteral("G55"), QStringLiteral("111")},
        {QStringLiteral("Ｒ"), QStringLiteral("D17"), QStringLiteral("443")},
        {QStringLiteral("Ｆ"), QStringLiteral("C4"), QStringLiteral("555")},
        {QStringLiteral("Ｆ"), QStringLiteral("G4"), QStringLiteral("155")},
        {QStringLiteral("Ｆ"), QStringLiteral("C8"), QStringLiteral("551")},
        {QStringLiteral("Ｆ"), QStringLiteral("E52"), QStringLiteral("314")},
        {QStringLiteral("Ｆ"), QStringLiteral("G30"), QStringLiteral("131")},
        {QStringLiteral("Ｍ"), QStringLiteral("C4"), QStringLiteral("555")},
        {QStringLiteral("Ｍ"), QStringLiteral("G4"), QStringLiteral("515")},
        {QStringLiteral("Ｍ"), QStringLiteral("C8"), QStringLiteral("155")},
        {QStringLiteral("Ｍ"), QStringLiteral("D44"), QStringLiteral("142")},
        {QStringLiteral("Ｍ"), QStringLiteral("F17"), QStringLiteral("324")},
    };
    // The painting reaches the colours that matter: no group (515) and X (551) both give 15.
    ASSERT_TRUE(PaintedGroup(QStringLiteral("515")).isEmpty());
    ASSERT_EQ(PaintedGroup(QStringLiteral("551")), u"X");
    for (const Case& c : cases) {
        const int k = CellIndex(c.code);
        for (const QString& mode : {kCount, kAmount}) {
            const QString name = c.dimension + QStringLiteral("視点") + mode;
            SCOPED_TRACE((name + u' ' + c.cell + u' ' + c.code).toStdString());
            const Worksheet& s = sheet(name);
            const Place p = At(c.cell);
            EXPECT_EQ(valueAt(s, p), mode == kCount ? k : k + 0.25);
            EXPECT_EQ(fillAt(s, p), ExpectedColour(c.code));
            EXPECT_EQ(patternAt(s, p), 1);
        }
    }
    EXPECT_EQ(mRecorded.steps,
              (QStringList{QStringLiteral("RFM分析１(R)"), QStringLiteral("RFM分析１(R)"),
                           QStringLiteral("RFM分析１(F)"), QStringLiteral("RFM分析１(F)"),
                           QStringLiteral("RFM分析１(M)"), QStringLiteral("RFM分析１(M)")}));
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

// The F and M sheets carry their own arrangement's labels; the R sheets keep the template's.
TEST_F(MatrixSheets, LabelsFollowTheSheetsArrangement) {
    writeAll();
    saved();
    struct Case {
        QString sheet;
        QString cell;
        QString label;
    };
    const Case cases[] = {
        {QStringLiteral("Ｒ視点人数"), QStringLiteral("B3"), QStringLiteral("R5")},
        {QStringLiteral("Ｒ視点人数"), QStringLiteral("C3"), QStringLiteral("F5")},
        {QStringLiteral("Ｒ視点人数"), QStringLiteral("B55"), QStringLiteral("M1")},
        {QStringLiteral("Ｆ視点人数"), QStringLiteral("B3"), QStringLiteral("F5")},
        {QStringLiteral("Ｆ視点金額"), QStringLiteral("B14"), QStringLiteral("F4")},
        {QStringLiteral("Ｆ視点金額"), QStringLiteral("C14"), QStringLiteral("R5")},
        {QStringLiteral("Ｆ視点金額"), QStringLiteral("G14"), QStringLiteral("R1")},
        {QStringLiteral("Ｆ視点金額"), QStringLiteral("B15"), QStringLiteral("M5")},
        {QStringLiteral("Ｆ視点金額"), QStringLiteral("B19"), QStringLiteral("M1")},
        {QStringLiteral("Ｆ視点人数"), QStringLiteral("B50"), QStringLiteral("F1")},
        {QStringLiteral("Ｍ視点人数"), QStringLiteral("B39"), QStringLiteral("M2")},
        {QStringLiteral("Ｍ視点人数"), QStringLiteral("D39"), QStringLiteral("F4")},
        {QStringLiteral("Ｍ視点人数"), QStringLiteral("B41"), QStringLiteral("R4")},
        {QStringLiteral("Ｍ視点金額"), QStringLiteral("G25"), QStringLiteral("F1")},
        {QStringLiteral("Ｍ視点金額"), QStringLiteral("B30"), QStringLiteral("R1")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textAt(sheet(c.sheet), c.cell), c.label)
            << (c.sheet + u' ' + c.cell).toStdString();
}

// All five charts of a sheet share the largest cell of the whole matrix as their top, count and
// amount sheets each their own; every bar has the colour of its cell; the series axis is reversed.
TEST_F(MatrixSheets, ChartsShareTheSheetMaximumAndColourTheirBarsLikeTheCells) {
    distinctStatistics();
    mStatistics.MaxCellCount = 120;
    mStatistics.MaxCellAmount = Currency::fromScaled(371234);
    writeAll();
    saved();
    for (const QString& dimension :
         {QStringLiteral("Ｒ"), QStringLiteral("Ｆ"), QStringLiteral("Ｍ")}) {
        for (const QString& mode : {kCount, kAmount}) {
            Worksheet& s = sheet(dimension + QStringLiteral("視点") + mode);
            for (int n = 5; n >= 1; --n) {
                SCOPED_TRACE(
                    (s.name() + QStringLiteral(" GRAF_R") + QString::number(n)).toStdString());
                QString error;
                ChartXml* chart = s.chart(QStringLiteral("GRAF_R") + QString::number(n), &error);
                ASSERT_NE(chart, nullptr) << error.toStdString();
                double minimum = -1, maximum = -1;
                ASSERT_TRUE(chart->valueAxisScale(&minimum, &maximum));
                EXPECT_EQ(minimum, 0);
                EXPECT_EQ(maximum, mode == kCount ? 120 : 37.1234);
                EXPECT_TRUE(chart->seriesAxisReversed());
                const int top = kTops[5 - n];
                for (int a = 1; a <= 5; ++a)
                    for (int b = 1; b <= 5; ++b) {
                        const Place cell{top + 6 - a, 8 - b};
                        EXPECT_EQ(chart->pointColorIndex(6 - a, 6 - b), fillAt(s, cell))
                            << "series " << 6 - a << " point " << 6 - b;
                    }
            }
        }
    }
    // The bars carry the group colours themselves, not only whatever the cells got.
    ChartXml* r5 = sheet(QStringLiteral("Ｒ視点人数")).chart(QStringLiteral("GRAF_R5"), nullptr);
    ASSERT_NE(r5, nullptr);
    EXPECT_EQ(r5->pointColorIndex(1, 1), ExpectedColour(QStringLiteral("555")));
    EXPECT_EQ(r5->pointColorIndex(1, 5), ExpectedColour(QStringLiteral("515")));
    EXPECT_EQ(r5->pointColorIndex(5, 1), ExpectedColour(QStringLiteral("551")));
    EXPECT_EQ(r5->pointColorIndex(2, 3), ExpectedColour(QStringLiteral("534")));
}

// Nobody bought anything: a scale from 0 to 0 would be refused, so the axes stay automatic.
TEST_F(MatrixSheets, NoMaximumAboveZeroLeavesTheValueAxesAutomatic) {
    for (CellStatistics& cell : mStatistics.Cells)
        cell = CellStatistics{};
    mStatistics.Cells[0].Amount = Currency::fromInteger(-3); // returns only
    mStatistics.MaxCellCount = 0;
    mStatistics.MaxCellAmount = Currency::fromInteger(-3);
    AnalysisSheetWriters writers = sheetWriters();
    writers.WriteRSheet(*mRun, MatrixMode::Count);
    writers.WriteRSheet(*mRun, MatrixMode::Amount);
    saved();
    for (const QString& name : {QStringLiteral("Ｒ視点人数"), QStringLiteral("Ｒ視点金額")})
        for (int n = 1; n <= 5; ++n) {
            ChartXml* chart =
                sheet(name).chart(QStringLiteral("GRAF_R") + QString::number(n), nullptr);
            ASSERT_NE(chart, nullptr);
            double minimum = 0, maximum = 0;
            EXPECT_FALSE(chart->valueAxisScale(&minimum, &maximum)) << name.toStdString() << n;
            EXPECT_TRUE(chart->seriesAxisReversed());
        }
    EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
}

// Unit captions over every block, and the thresholds of ranks 5 to 2 as entered.
TEST_F(MatrixSheets, CaptionsAndThresholdTable) {
    mParameterScreen.RThreshold = {QStringLiteral("365"), QStringLiteral("365"),
                                   QStringLiteral("180"), QStringLiteral("90"),
                                   QStringLiteral("30")};
    mParameterScreen.FThreshold = {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("4"),
                                   QStringLiteral("8"), QStringLiteral("12")};
    mParameterScreen.MThreshold = {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2.5"),
                                   QStringLiteral("5"), QStringLiteral("10")};
    AnalysisSheetWriters writers = sheetWriters();
    writers.WriteRSheet(*mRun, MatrixMode::Count);
    writers.WriteMSheet(*mRun, MatrixMode::Amount);
    saved();
    for (const QString& name : {QStringLiteral("Ｒ視点人数"), QStringLiteral("Ｍ視点金額")}) {
        const Worksheet& s = sheet(name);
        const QString unit =
            name == u"Ｒ視点人数" ? QStringLiteral("(人)") : QStringLiteral("(万円)");
        for (const char* cell : {"G2", "G13", "G24", "G38", "G49"})
            EXPECT_EQ(textAt(s, QString::fromLatin1(cell)), unit) << name.toStdString() << cell;
        const QStringList table[3] = {
            {QStringLiteral("30"), QStringLiteral("90"), QStringLiteral("180"),
             QStringLiteral("365")},
            {QStringLiteral("12"), QStringLiteral("8"), QStringLiteral("4"), QStringLiteral("2")},
            {QStringLiteral("10"), QStringLiteral("5"), QStringLiteral("2.5"), QStringLiteral("1")},
        };
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column) {
                const CellValue cell = s.cells().cell(3 + row, 18 + column);
                EXPECT_EQ(cell.kind, CellKind::Text);
                EXPECT_EQ(cell.text, table[row][column])
                    << name.toStdString() << " R" << 3 + row << "C" << 18 + column;
            }
        EXPECT_TRUE(s.cells().cell(3, 22).isEmpty()); // rank 1 is not shown
    }
}

// The shop as scored: the cells of a sheet add up to the statistics, and a combination without
// customers shows 0 in its group's colour.
TEST_F(MatrixSheets, ScoredCellsAddUpAndEmptyCombinationsShowZero) {
    AnalysisSheetWriters writers = sheetWriters();
    writers.WriteRSheet(*mRun, MatrixMode::Count);
    writers.WriteMSheet(*mRun, MatrixMode::Amount);
    saved();
    qint64 counted = 0;
    Currency amount;
    for (const CellStatistics& cell : mStatistics.Cells) {
        counted += cell.Count;
        amount += cell.Amount;
    }
    EXPECT_EQ(counted, mExtracted);

    const Worksheet& counts = sheet(QStringLiteral("Ｒ視点人数"));
    const Worksheet& amounts = sheet(QStringLiteral("Ｍ視点金額"));
    double countSum = 0, amountSum = 0;
    for (const int top : kTops)
        for (int row = top + 1; row <= top + 5; ++row)
            for (int column = 3; column <= 7; ++column) {
                countSum += valueAt(counts, {row, column});
                amountSum += valueAt(amounts, {row, column});
            }
    EXPECT_EQ(countSum, double(counted));
    EXPECT_NEAR(amountSum, amount.toDouble(), 1e-6);

    // An empty combination on the R sheet: block of R, row of M, column of F.
    int empty = 0;
    for (int k = 1; k <= 125 && !empty; ++k)
        if (mStatistics.Cells[k - 1].Count == 0)
            empty = k;
    ASSERT_NE(empty, 0) << "40 customers fill fewer than 125 combinations";
    const QString code = CellCode(empty);
    const int r = code[0].digitValue(), f = code[1].digitValue(), m = code[2].digitValue();
    const Place place{kTops[5 - r] + 6 - m, 8 - f};
    EXPECT_EQ(valueAt(counts, place), 0) << code.toStdString();
    EXPECT_EQ(fillAt(counts, place), ExpectedColour(code)) << code.toStdString();
}

} // namespace
