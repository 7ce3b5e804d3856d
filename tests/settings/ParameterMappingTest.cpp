#include "settings/ParameterMapping.h"
#include "settings/ParameterSaver.h"

#include "app/Environment.h"
#include "app/OutputItemList.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace plw;

namespace {

const QStringList Items = BuildOutputItemList({QStringLiteral("地区"), QStringLiteral("業種"),
                                               QStringLiteral("職業"), QStringLiteral("趣味")});

// A stored record that loads without surprises.
AnalysisParameters PlainRecord() {
    AnalysisParameters p;
    p.LastVisitFrom = QStringLiteral("20250101");
    p.LastVisitTo = QStringLiteral("20251231");
    p.BaseDate = QStringLiteral("20260105");
    p.DetailFrom = QStringLiteral("20240101");
    p.DetailTo = QStringLiteral("20241231");
    p.GroupMatrix.fill(QStringLiteral("A"));
    return p;
}

struct Screens {
    ParameterScreenState parameter;
    OutputScreenState output;
};

// Screens as they stand before loading, with values a rejected date must leave in place.
Screens Before() {
    Screens s;
    s.parameter.LastVisitFrom = QStringLiteral("19990101");
    s.parameter.LastVisitTo = QStringLiteral("19990102");
    s.parameter.BaseDate = QStringLiteral("19990103");
    s.parameter.DetailFrom = QStringLiteral("19990104");
    s.parameter.DetailTo = QStringLiteral("19990105");
    return s;
}

Screens Loaded(const AnalysisParameters& p) {
    Screens s = Before();
    ParametersToParameterScreen(p, s.parameter);
    ParametersToOutputScreen(p, Items, s.output);
    return s;
}

} // namespace

TEST(ParameterMapping, LoadingRules) {
    struct Case {
        const char* what;
        std::function<void(AnalysisParameters&)> store;
        std::function<void(const Screens&)> expect;
    };
    const Case cases[] = {
        {"real dates are taken", [](AnalysisParameters&) {},
         [](const Screens& s) {
             EXPECT_EQ(s.parameter.LastVisitFrom, QStringLiteral("20250101"));
             EXPECT_EQ(s.parameter.LastVisitTo, QStringLiteral("20251231"));
             EXPECT_EQ(s.parameter.BaseDate, QStringLiteral("20260105"));
             EXPECT_EQ(s.parameter.DetailFrom, QStringLiteral("20240101"));
             EXPECT_EQ(s.parameter.DetailTo, QStringLiteral("20241231"));
         }},
        {"dates the field rejects are ignored",
         [](AnalysisParameters& p) {
             p.LastVisitFrom = QStringLiteral("20250230");
             p.LastVisitTo = QStringLiteral("2025123");
             p.BaseDate = QStringLiteral("2026/1/5");
             p.DetailFrom = QStringLiteral("２０２４０１０１");
             p.DetailTo = QStringLiteral(" 20241231");
         },
         [](const Screens& s) {
             EXPECT_EQ(s.parameter.LastVisitFrom, QStringLiteral("19990101"));
             EXPECT_EQ(s.parameter.LastVisitTo, QStringLiteral("19990102"));
             EXPECT_EQ(s.parameter.BaseDate, QStringLiteral("19990103"));
             EXPECT_EQ(s.parameter.DetailFrom, QStringLiteral("19990104"));
             EXPECT_EQ(s.parameter.DetailTo, QStringLiteral("19990105"));
         }},
        {"no date empties the field",
         [](AnalysisParameters& p) {
             p.LastVisitFrom.clear();
             p.BaseDate = QStringLiteral("0");
         },
         [](const Screens& s) {
             EXPECT_EQ(s.parameter.LastVisitFrom, QString());
             EXPECT_EQ(s.parameter.BaseDate, QString());
         }},
        {"thresholds lose half-width blanks, the month count is kept as typed",
         [](AnalysisParameters& p) {
             p.RThreshold[4] = QStringLiteral("  30 ");
             p.FThreshold[1] = QStringLiteral("　2");
             p.MThreshold[2] = QStringLiteral("20");
             p.LastVisitMonths = QStringLiteral(" 6 ");
         },
         [](const Screens& s) {
             EXPECT_EQ(s.parameter.RThreshold[4], QStringLiteral("30"));
             EXPECT_EQ(s.parameter.FThreshold[1], QStringLiteral("　2"));
             EXPECT_EQ(s.parameter.MThreshold[2], QStringLiteral("20"));
             EXPECT_EQ(s.parameter.LastVisitMonths, QStringLiteral(" 6 "));
         }},
        {"field 1 of each threshold column follows field 2, whatever was stored for it",
         [](AnalysisParameters& p) {
             p.RThreshold[0] = QStringLiteral("99");
             p.RThreshold[1] = QStringLiteral("180");
             p.FThreshold[0] = QStringLiteral("7");
             p.FThreshold[1] = QStringLiteral(" 2");
         },
         [](const Screens& s) {
             EXPECT_EQ(s.parameter.RThreshold[0], QStringLiteral("180"));
             EXPECT_EQ(s.parameter.FThreshold[0], QStringLiteral("2"));
         }},
        {"matrix letters other than A to E show as X",
         [](AnalysisParameters& p) {
             p.GroupMatrix[0] = QStringLiteral("E");
             p.GroupMatrix[1] = QStringLiteral("a");
             p.GroupMatrix[2] = QString();
             p.GroupMatrix[3] = QStringLiteral("AB");
             p.GroupMatrix[124] = QStringLiteral("X");
         },
         [](const Screens& s) {
             EXPECT_EQ(s.parameter.GroupMatrix[0], QStringLiteral("E"));
             EXPECT_EQ(s.parameter.GroupMatrix[1], QStringLiteral("X"));
             EXPECT_EQ(s.parameter.GroupMatrix[2], QStringLiteral("X"));
             EXPECT_EQ(s.parameter.GroupMatrix[3], QStringLiteral("X"));
             EXPECT_EQ(s.parameter.GroupMatrix[4], QStringLiteral("A"));
             EXPECT_EQ(s.parameter.GroupMatrix[124], QStringLiteral("X"));
         }},
        {"options select by their own number only",
         [](AnalysisParameters& p) {
             p.PaintGroup = QStringLiteral("6");
             p.LeftChartType = QStringLiteral("4");
             p.RightChartType = QStringLiteral("6");
             p.ListOrder = QStringLiteral(" 1");
         },
         [](const Screens& s) {
             EXPECT_EQ(s.parameter.PaintGroup, 6);
             EXPECT_EQ(s.output.LeftChartType, 0);
             EXPECT_EQ(s.output.RightChartType, 6);
             EXPECT_EQ(s.output.ListOrder, 0);
         }},
        {"boxes are ticked by \"1\" only; the period controls follow chkKs1",
         [](AnalysisParameters& p) {
             p.DetailPeriodOn = QStringLiteral("1");
             p.LastVisitFromDetail = QStringLiteral("1 ");
             p.OutGroupValues = QStringLiteral("1");
             p.OutMAmount = QStringLiteral("1");
             p.ListGroupX = QStringLiteral("1");
             p.ListGroupA = QStringLiteral("0");
         },
         [](const Screens& s) {
             EXPECT_TRUE(s.parameter.DetailPeriodOn);
             EXPECT_TRUE(s.parameter.DetailControlsEnabled);
             EXPECT_FALSE(s.parameter.LastVisitFromDetail);
             EXPECT_TRUE(s.output.OutGroupValues);
             EXPECT_TRUE(s.output.OutMAmount);
             EXPECT_FALSE(s.output.OutParameters);
             EXPECT_EQ(s.output.ListGroups,
                       (std::array<bool, 6>{false, false, false, false, false, true}));
         }},
        {"items after ListItemCount are not left out; an item no longer listed stays out",
         [](AnalysisParameters& p) {
             p.ListItemCount = QStringLiteral("03");
             p.ListItems[0] = Items[5] + QStringLiteral("  ");
             p.ListItems[1] = QStringLiteral("280:旧地区");
             p.ListItems[2] = Items[1];
             p.ListItems[3] = Items[2];
         },
         [](const Screens& s) {
             EXPECT_EQ(s.output.List3,
                       QStringList({Items[5], QStringLiteral("280:旧地区"), Items[1]}));
             EXPECT_EQ(s.output.List2.size(), Items.size() - 2);
             EXPECT_EQ(s.output.List2.mid(0, 3), QStringList({Items[0], Items[2], Items[3]}));
         }},
        {"a count that is no number leaves nothing out",
         [](AnalysisParameters& p) {
             p.ListItemCount = QStringLiteral("x5");
             p.ListItems[0] = Items[0];
         },
         [](const Screens& s) {
             EXPECT_EQ(s.output.List3, QStringList());
             EXPECT_EQ(s.output.List2, Items);
         }},
        {"a count past the record's 40 items takes the 40",
         [](AnalysisParameters& p) {
             p.ListItemCount = QStringLiteral("99");
             p.ListItems.fill(QString());
             p.ListItems[39] = Items[31];
         },
         [](const Screens& s) {
             EXPECT_EQ(s.output.List3, QStringList({Items[31]}));
         }},
        {"the workbook name is trimmed and split for the save dialog at / or \\",
         [](AnalysisParameters& p) { p.WorkbookName = QStringLiteral(" /data/月次\\RFM.xls\0"); },
         [](const Screens& s) {
             EXPECT_EQ(s.output.WorkbookName, QStringLiteral("/data/月次\\RFM.xls"));
             EXPECT_EQ(s.output.DialogFolder, QStringLiteral("/data/月次\\"));
             EXPECT_EQ(s.output.DialogFile, QStringLiteral("RFM.xls"));
         }},
        {"a bare workbook name has no folder",
         [](AnalysisParameters& p) { p.WorkbookName = QStringLiteral("RFM.xls"); },
         [](const Screens& s) {
             EXPECT_EQ(s.output.DialogFolder, QString());
             EXPECT_EQ(s.output.DialogFile, QStringLiteral("RFM.xls"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AnalysisParameters p = PlainRecord();
        c.store(p);
        c.expect(Loaded(p));
    }
}

TEST(ParameterMapping, EmptyRecordGivesEmptyScreens) {
    Screens s;
    ParametersToParameterScreen(AnalysisParameters(), s.parameter);
    ParametersToOutputScreen(AnalysisParameters(), Items, s.output);
    EXPECT_EQ(s.parameter.LastVisitFrom, QString());
    EXPECT_EQ(s.parameter.RThreshold[4], QString());
    EXPECT_EQ(s.parameter.PaintGroup, 0);
    for (const QString& cell : s.parameter.GroupMatrix)
        EXPECT_EQ(cell, QStringLiteral("X"));
    EXPECT_FALSE(s.parameter.DetailPeriodOn);
    EXPECT_FALSE(s.parameter.DetailControlsEnabled);
    EXPECT_EQ(s.output.List2, Items);
    EXPECT_EQ(s.output.List3, QStringList());
    EXPECT_FALSE(s.output.OutParameters || s.output.OutGroupValues || s.output.OutCustomerList);
    EXPECT_EQ(s.output.ListGroups, (std::array<bool, 6>{}));
    EXPECT_EQ(s.output.LeftChartType + s.output.RightChartType + s.output.ListOrder, 0);
}

TEST(ParameterMapping, SavingKeepsWhatNoControlSets) {
    AnalysisParameters p = PlainRecord();
    p.PaintGroup = QStringLiteral("3");
    p.LeftChartType = QStringLiteral("2");
    p.RightChartType = QStringLiteral("5");
    p.ListOrder = QStringLiteral("1");
    p.ListItemCount = QStringLiteral("05");
    for (int i = 0; i < 5; ++i)
        p.ListItems[static_cast<size_t>(i)] = Items[i];
    p.ReservedHead = QByteArray("ab");

    Screens s = Loaded(p);
    s.parameter.PaintGroup = 0; // nothing selected
    s.output.LeftChartType = 0;
    s.output.RightChartType = 0;
    s.output.ListOrder = 0;
    s.output.List3 = {Items[9], Items[8]};
    s.parameter.RThreshold[4] = QStringLiteral(" 30 ");
    s.parameter.GroupMatrix[7].clear(); // a cell of no group colour
    ParameterScreenToParameters(s.parameter, p);
    OutputScreenToParameters(s.output, p);

    EXPECT_EQ(p.PaintGroup, QStringLiteral("3"));
    EXPECT_EQ(p.LeftChartType, QStringLiteral("2"));
    EXPECT_EQ(p.RightChartType, QStringLiteral("5"));
    EXPECT_EQ(p.ListOrder, QStringLiteral("1"));
    EXPECT_EQ(p.ListItemCount, QStringLiteral("02"));
    EXPECT_EQ(p.ListItems[0], Items[9]);
    EXPECT_EQ(p.ListItems[1], Items[8]);
    EXPECT_EQ(p.ListItems[2], Items[2]);
    EXPECT_EQ(p.ListItems[4], Items[4]);
    EXPECT_EQ(p.ReservedHead, QByteArray("ab"));
    EXPECT_EQ(p.RThreshold[4], QStringLiteral(" 30 ")); // saved as typed
    EXPECT_EQ(p.GroupMatrix[7], QString());

    s.parameter.PaintGroup = 1;
    s.output.LeftChartType = 3;
    s.output.RightChartType = 1;
    s.output.ListOrder = 2;
    s.output.ListGroups = {false, true, false, false, false, true};
    s.parameter.DetailPeriodOn = true;
    ParameterScreenToParameters(s.parameter, p);
    OutputScreenToParameters(s.output, p);
    EXPECT_EQ(p.PaintGroup, QStringLiteral("1"));
    EXPECT_EQ(p.LeftChartType, QStringLiteral("3"));
    EXPECT_EQ(p.RightChartType, QStringLiteral("1"));
    EXPECT_EQ(p.ListOrder, QStringLiteral("2"));
    EXPECT_EQ(p.ListGroupA + p.ListGroupB + p.ListGroupE + p.ListGroupX, QStringLiteral("0101"));
    EXPECT_EQ(p.DetailPeriodOn + p.LastVisitFromDetail, QStringLiteral("10"));
}

TEST(ParameterMapping, LastVisitConditionIsAnAndConditionOfTheScreensPeriod) {
    ConditionRecord record = ClearedConditionRecord();
    record[ConditionRecord::PinRaiKind] = ConditionKind::KindExclude;
    record[ConditionRecord::PinRaiFrom] = QStringLiteral("20000101");
    record[ConditionRecord::KihAdrText] = QStringLiteral("福岡");
    ParameterScreenState screen;
    screen.LastVisitFrom = QStringLiteral("20250101");
    screen.LastVisitTo = QStringLiteral("20251231");
    screen.LastVisitMonths = QStringLiteral("12");
    SetLastVisitCondition(screen, record);
    EXPECT_EQ(record[ConditionRecord::PinRaiKind], QStringLiteral("3"));
    EXPECT_EQ(record[ConditionRecord::PinRaiFrom], QStringLiteral("20250101"));
    EXPECT_EQ(record[ConditionRecord::PinRaiTo], QStringLiteral("20251231"));
    EXPECT_EQ(record[ConditionRecord::PinRaiMonths], QStringLiteral("12"));
    EXPECT_EQ(record[ConditionRecord::KihAdrText], QStringLiteral("福岡"));
}
