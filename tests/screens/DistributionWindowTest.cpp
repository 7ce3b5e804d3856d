#include "screens/DistributionWindow.h"

#include "screens/GroupMatrixWidget.h"
#include "screens/HistogramWidget.h"
#include "screens/TextField.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/ScriptedPrompter.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

using namespace plw;

namespace {

Environment environment() {
    Environment e;
    e.PrinterDestination = QStringLiteral("SCR");
    e.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS");
    return e;
}

Thresholds FiveToOne(std::initializer_list<const char16_t*> texts) {
    Thresholds values;
    int i = 4;
    for (const char16_t* text : texts)
        values[size_t(i--)] = QString::fromUtf16(text);
    return values;
}

// Twenty customers: days 0, 10, ..., 190; visits 1 for most; amounts 10,000 yen apart.
RankDistribution Customers() {
    RankedValues values;
    for (int i = 0; i < 20; ++i) {
        RankFigures figures;
        figures.Days = i * 10;
        figures.Visits = i < 14 ? 1 : i - 12;
        figures.Units = i;
        values.add(figures, i * 10000 + 1);
    }
    return RankDistribution(std::move(values));
}

// The window opened on a parameter screen state, recording how it went back.
struct Window {
    Window() : window(environment(), prompter, state) {
        state.RThreshold = FiveToOne({u"30", u"60", u"90", u"180", u"180"});
        state.FThreshold = FiveToOne({u"5", u"4", u"3", u"2", u"2"});
        state.MThreshold = FiveToOne({u"15", u"10", u"5", u"1", u"1"});
        for (QString& letter : state.GroupMatrix)
            letter = QStringLiteral("X");
        state.PaintGroup = 1; // A
        window.setReturnHandler([this](bool copied) { returned = copied; });
    }

    QString label(const QString& name) const {
        auto* l = window.findChild<QLabel*>(name);
        EXPECT_NE(l, nullptr) << name.toStdString();
        return l ? l->text() : QString();
    }
    void click(const QString& name) {
        auto* b = window.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name.toStdString();
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void type(char dimension, int rank, const QString& text) {
        TextField* field = window.thresholdField(dimension, rank);
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    void paint(const char16_t* code) {
        GroupMatrixWidget* matrix = window.matrix();
        QTest::mouseClick(matrix, Qt::LeftButton, {},
                          matrix->cellRect(QString::fromUtf16(code)).center());
    }

    test::ScriptedPrompter prompter;
    ParameterScreenState state;
    DistributionWindow window;
    std::optional<bool> returned;
};

TEST(DistributionWindow, ShowsEachRanksCustomersAndCountsAgainAsAThresholdIsTyped) {
    Window w;
    w.window.open(Customers());
    ASSERT_TRUE(w.window.isVisible());
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("分布と閾値"));
    // R: 0..30 days rank 5 (4 customers), 40..60 rank 4, 70..90 rank 3, 100..180 rank 2, 190.
    EXPECT_EQ(w.label(QStringLiteral("lblCntR_5")), QStringLiteral("4人"));
    EXPECT_EQ(w.label(QStringLiteral("lblCntR_2")), QStringLiteral("9人"));
    EXPECT_EQ(w.label(QStringLiteral("lblCntR_1")), QStringLiteral("1人"));
    EXPECT_EQ(w.label(QStringLiteral("lblTotal")), QStringLiteral("対象の顧客　20人"));
    EXPECT_EQ(w.window.counts().customers(), 20);

    w.type('R', 2, QStringLiteral("200"));
    EXPECT_EQ(w.label(QStringLiteral("lblCntR_2")), QStringLiteral("10人"));
    EXPECT_EQ(w.label(QStringLiteral("lblCntR_1")), QStringLiteral("0人"));
    EXPECT_EQ(w.window.thresholdField('R', 1)->text(), QStringLiteral("200"));
    // The cells count every customer once.
    qint64 cells = 0;
    for (const CustomerTotal& cell : w.window.counts().Cells)
        cells += cell.Customers;
    EXPECT_EQ(cells, 20);

    // A painted cell moves its customers and amounts from X to A at once.
    const int k = CellIndex(QStringLiteral("511"));
    const qint64 inCell = w.window.counts().Cells[size_t(k - 1)].Customers;
    ASSERT_GT(inCell, 0);
    w.paint(u"511");
    EXPECT_EQ(w.label(QStringLiteral("lblGrpCnt_A")), QString::number(inCell) + u'人');
    EXPECT_EQ(w.label(QStringLiteral("lblGrpCnt_X")), QString::number(20 - inCell) + u'人');
    EXPECT_FALSE(w.returned);
}

TEST(DistributionWindow, TheEqualSplitFillsOneDimensionOrAllAndSaysWhenTiesKeepItUneven) {
    Window w;
    w.window.open(Customers());
    w.click(QStringLiteral("cmdSplitM"));
    // Amounts 0..19 (units of 10,000 yen): four customers a rank.
    EXPECT_EQ(w.window.thresholdField('M', 5)->text(), QStringLiteral("16"));
    EXPECT_EQ(w.window.thresholdField('M', 2)->text(), QStringLiteral("4"));
    EXPECT_EQ(w.window.thresholdField('M', 1)->text(), QStringLiteral("4"));
    for (int rank = 1; rank <= 5; ++rank)
        EXPECT_EQ(w.window.counts().ofRank(Dimension::M, rank), 4) << rank;
    EXPECT_TRUE(w.label(QStringLiteral("lblNoteM")).isEmpty());
    // R and F were left as they were.
    EXPECT_EQ(w.window.thresholdField('R', 5)->text(), QStringLiteral("30"));

    // Fourteen of twenty visited once: F cannot be split evenly, and the window says so.
    w.click(QStringLiteral("cmdSplitAll"));
    EXPECT_EQ(w.window.thresholdField('F', 2)->text(), QStringLiteral("2"));
    EXPECT_EQ(w.window.counts().ofRank(Dimension::F, 1), 14);
    EXPECT_TRUE(
        w.label(QStringLiteral("lblNoteF")).contains(QStringLiteral("均等には分けられません")))
        << w.label(QStringLiteral("lblNoteF")).toStdString();
    EXPECT_EQ(w.window.thresholdField('R', 5)->text(), QStringLiteral("30"));
    EXPECT_TRUE(w.prompter.texts().isEmpty());
}

TEST(DistributionWindow, CopiesCheckedThresholdsAndTheMatrixAndEscChangesNothing) {
    Window w;
    const ParameterScreenState before = w.state;
    w.window.open(Customers());
    w.paint(u"555");
    w.type('M', 3, QStringLiteral("20")); // above M[4] = 10: out of order
    w.click(QStringLiteral("cmdUse"));
    EXPECT_EQ(w.prompter.texts(),
              QStringList{QStringLiteral("ランク４より\r小さな値を設定してください")});
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_EQ(w.window.focusWidget(), w.window.thresholdField('M', 3));
    EXPECT_EQ(w.state.MThreshold, before.MThreshold);
    EXPECT_FALSE(w.returned);

    w.type('M', 3, QStringLiteral("7"));
    w.click(QStringLiteral("cmdUse"));
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.returned, std::optional<bool>(true));
    EXPECT_EQ(w.state.MThreshold[2], QStringLiteral("7"));
    EXPECT_EQ(w.state.GroupMatrix[0], QStringLiteral("A"));
    EXPECT_EQ(w.state.RThreshold, before.RThreshold);

    // ESC and the close box: nothing copied.
    for (bool closeBox : {false, true}) {
        Window other;
        const ParameterScreenState unchanged = other.state;
        other.window.open(Customers());
        other.click(QStringLiteral("cmdSplitAll"));
        other.paint(u"555");
        if (closeBox) {
            static_cast<QWidget&>(other.window).close();
        } else {
            other.window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&other.window));
            QTest::keyClick(&other.window, Qt::Key_Escape);
        }
        EXPECT_FALSE(other.window.isVisible()) << closeBox;
        EXPECT_EQ(other.returned, std::optional<bool>(false)) << closeBox;
        EXPECT_EQ(other.state.MThreshold, unchanged.MThreshold) << closeBox;
        EXPECT_EQ(other.state.GroupMatrix, unchanged.GroupMatrix) << closeBox;
    }
}

TEST(DistributionWindow, NobodySelectedShowsEmptyHistogramsAndSaysSo) {
    Window w;
    w.window.open(RankDistribution());
    EXPECT_EQ(w.label(QStringLiteral("lblTotal")), QStringLiteral("該当する顧客がいません"));
    for (const char* name : {"hstR", "hstF", "hstM"}) {
        auto* histogram = w.window.findChild<HistogramWidget*>(QString::fromLatin1(name));
        ASSERT_TRUE(histogram);
        EXPECT_TRUE(histogram->histogram().empty());
    }
    EXPECT_FALSE(w.window.findChild<QPushButton*>(QStringLiteral("cmdSplitR"))->isEnabled());
    EXPECT_EQ(w.label(QStringLiteral("lblCntR_5")), QStringLiteral("0人"));
    // The thresholds can still be copied.
    w.click(QStringLiteral("cmdUse"));
    EXPECT_EQ(w.returned, std::optional<bool>(true));
}

} // namespace
