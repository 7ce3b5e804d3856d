#include "extract/ConditionScreenState.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;
using R = ConditionRecord;

TEST(ConditionScreenState, RecordAndScreenMapBothWays) {
    ConditionScreenState state;
    state.BunItems[0] = QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    state.BunItems[3] = QStringList(20, QStringLiteral(":"));

    // Every field of a record the screen can hold comes back unchanged.
    ConditionRecord record = ClearedConditionRecord();
    record[R::Marker] = QStringLiteral("V10YUK");
    int kind = 0;
    for (const ConditionControl& control : ConditionControls)
        record[control.KindField] = QString::number(kind++ % 4 + 1);
    for (const ConditionTextControl& control : ConditionTextControls())
        record[control.Field] = QStringLiteral("%1").arg(control.Field);
    for (const ConditionDateControl& control : ConditionDateControls())
        record[control.Field] =
            control.MonthDay ? QStringLiteral("0229") : QStringLiteral("20240115");
    record[R::KihSeiValue] = QStringLiteral("2");
    record[R::DmkOsrValue] = QStringLiteral("2");
    record[R::EmlOsrValue] = QStringLiteral("3");
    record[R::TosTukMonth(2)] = QStringLiteral("1");
    record[R::TosTukMonth(12)] = QStringLiteral("1");
    record[R::EmlSbtUnknown] = QStringLiteral("1");
    record[R::BunItem(1, 3)] = QStringLiteral("1");
    record[R::BunItem(4, 20)] = QStringLiteral("1");
    RecordToScreen(record, state);
    EXPECT_EQ(state.TosBar, QStringLiteral("19960229"));
    EXPECT_EQ(state.Kinds[Cond::Bun4], 4);
    ConditionRecord back = ClearedConditionRecord();
    back[R::Marker] = QStringLiteral("V10YUK");
    ScreenToRecord(state, back);
    EXPECT_EQ(back, record);

    // What the boxes cannot hold.
    record[R::KihKaiKind] = QStringLiteral("7");
    record[R::KihHjmFrom] = QStringLiteral("20230431");
    record[R::TosTanFrom] = QStringLiteral("0");
    record[R::TosBarMmdd] = QString();
    record[R::KihSeiValue] = QStringLiteral("9");
    record[R::BunItem(1, 5)] = QStringLiteral("1"); // level 1 has three entries
    record[R::KihAdrText] = QStringLiteral("　港区 ");
    RecordToScreen(record, state);
    EXPECT_EQ(state.Kinds[Cond::KihKai], 1);
    EXPECT_EQ(state.KihHjmFrom, QString());
    EXPECT_EQ(state.KihSei, 1);
    ScreenToRecord(state, back);
    EXPECT_EQ(back[R::KihKaiKind], QStringLiteral("1"));
    EXPECT_EQ(back[R::KihHjmFrom], QStringLiteral("0"));
    EXPECT_EQ(back[R::TosTanFrom], QStringLiteral("0"));
    EXPECT_EQ(back[R::TosBarMmdd], QString());
    EXPECT_EQ(back[R::KihSeiValue], QStringLiteral("1"));
    EXPECT_EQ(back[R::BunItem(1, 5)], QStringLiteral("0"));
    EXPECT_EQ(back[R::KihAdrText], QStringLiteral("港区"));
}
