#include "rfm/ParameterChecks.h"

#include "app/Clock.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace plw {
namespace {

ParameterScreenState Valid() {
    ParameterScreenState s;
    s.LastVisitFrom = QStringLiteral("20241201");
    s.LastVisitTo = QStringLiteral("20261130");
    s.BaseDate = QStringLiteral("20261130");
    s.RThreshold = {QStringLiteral("180"), QStringLiteral("180"), QStringLiteral("90"),
                    QStringLiteral("60"), QStringLiteral("30")};
    s.FThreshold = {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("10"),
                    QStringLiteral("30"), QStringLiteral("50")};
    s.MThreshold = {QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("20"),
                    QStringLiteral("50"), QStringLiteral("100")};
    return s;
}

TEST(ParameterChecks, TheFirstFailingCheckNamesItsMessageAndField) {
    const FixedClock clock(QDateTime(QDate(2026, 12, 4), QTime(10, 0)));
    const QString required = QStringLiteral("省略できません");
    struct Case {
        const char* what;
        std::function<void(ParameterScreenState&)> change;
        QString message;
        QString focus;
    };
    const Case cases[] = {
        {"valid", [](auto&) {}, QString(), QString()},
        {"no from", [](auto& s) { s.LastVisitFrom = QStringLiteral("0"); }, required,
         QStringLiteral("imdPinRai_F")},
        {"no dates",
         [](auto& s) {
             s.LastVisitFrom.clear();
             s.LastVisitTo.clear();
         },
         required, QStringLiteral("imdPinRai_F")},
        {"no to", [](auto& s) { s.LastVisitTo.clear(); }, required, QStringLiteral("imdPinRai_T")},
        {"reversed", [](auto& s) { s.LastVisitFrom = QStringLiteral("20261201"); },
         QStringLiteral("範囲の指定が間違っています。"), QStringLiteral("imdPinRai_F")},
        {"no base", [](auto& s) { s.BaseDate.clear(); }, required, QStringLiteral("imdKijyun")},
        {"base before period end", [](auto& s) { s.BaseDate = QStringLiteral("20261129"); },
         QStringLiteral("基準日は最終来店日以降としてください"), QStringLiteral("imdKijyun")},
        {"base today", [](auto& s) { s.LastVisitTo = s.BaseDate = QStringLiteral("20261204"); },
         QString(), QString()},
        {"base tomorrow", [](auto& s) { s.LastVisitTo = s.BaseDate = QStringLiteral("20261205"); },
         QStringLiteral("基準日には、本日より後の日付は指定できません"),
         QStringLiteral("imdKijyun")},
        {"detail off, empty", [](auto& s) { s.DetailFrom.clear(); }, QString(), QString()},
        {"detail without to",
         [](auto& s) {
             s.DetailPeriodOn = true;
             s.DetailFrom = QStringLiteral("20260601");
         },
         required, QStringLiteral("imdPinRai_2T")},
        {"detail without both", [](auto& s) { s.DetailPeriodOn = true; }, required,
         QStringLiteral("imdPinRai_2F")},
        {"detail reversed",
         [](auto& s) {
             s.DetailPeriodOn = true;
             s.DetailFrom = QStringLiteral("20261101");
             s.DetailTo = QStringLiteral("20260601");
         },
         QStringLiteral("範囲の指定が間違っています。"), QStringLiteral("imdPinRai_2F")},
    };
    for (const Case& c : cases) {
        ParameterScreenState screen = Valid();
        c.change(screen);
        const ParameterCheckFailure failure = CheckParameterScreen(screen, clock);
        EXPECT_EQ(failure.Message, c.message) << c.what;
        EXPECT_EQ(failure.Focus, c.focus) << c.what;
    }
}

TEST(ParameterChecks, ThresholdsMustImproveStrictlyFromRankTwoToFive) {
    struct Case {
        const char* what;
        std::function<void(ParameterScreenState&)> change;
        QString message;
        QString focus;
    };
    const Case cases[] = {
        {"sample values", [](auto&) {}, QString(), QString()},
        {"R 30 60 60 180", [](auto& s) { s.RThreshold[2] = QStringLiteral("60"); },
         QStringLiteral("ランク４より\r大きな値を設定してください"), QStringLiteral("txtPrmR_3")},
        {"R rank 3 above rank 2", [](auto& s) { s.RThreshold[2] = QStringLiteral("200"); },
         QStringLiteral("ランク３より\r大きな値を設定してください"), QStringLiteral("txtPrmR_2")},
        {"F rank 5 equal to 4", [](auto& s) { s.FThreshold[4] = QStringLiteral("30"); },
         QStringLiteral("ランク５より\r小さな値を設定してください"), QStringLiteral("txtPrmF_4")},
        {"M empty rank 2 and 3", [](auto& s) { s.MThreshold[1] = s.MThreshold[2] = QString(); },
         QStringLiteral("ランク３より\r小さな値を設定してください"), QStringLiteral("txtPrmM_2")},
        {"rank 1 is not tested", [](auto& s) { s.FThreshold[0] = QStringLiteral("999"); },
         QString(), QString()},
        {"a letter is not a digit", [](auto& s) { s.FThreshold[3] = QStringLiteral("3O"); },
         QStringLiteral("しきい値は５桁までの数字で指定してください"), QStringLiteral("txtPrmF_4")},
        {"six digits do not fit", [](auto& s) { s.MThreshold[4] = QStringLiteral("100000"); },
         QStringLiteral("しきい値は５桁までの数字で指定してください"), QStringLiteral("txtPrmM_5")},
        {"five digits do", [](auto& s) { s.MThreshold[4] = QStringLiteral("99999"); }, QString(),
         QString()},
    };
    for (const Case& c : cases) {
        ParameterScreenState screen = Valid();
        c.change(screen);
        const ParameterCheckFailure failure = CheckThresholds(screen);
        EXPECT_EQ(failure.Message, c.message) << c.what;
        EXPECT_EQ(failure.Focus, c.focus) << c.what;
    }
}

} // namespace
} // namespace plw
