#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/TwCom_Excelomati.h"

#include "tests/support/Printers.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

namespace plw {
namespace {

struct RecordingSink final : ProgressSink {
    void open() override {}
    void showStep(const QString&) override {}
    void showCount(const QString& text) override { counts.append(text); }
    void showPercent(int percent) override { percents.append(percent); }
    QStringList counts;
    QList<int> percents;
};

TEST(Progress, EveryStepthReportUpdatesTheDisplayAndYields) {
    RecordingSink sink;
    CountingEventPump pump;
    ProgressCounter counter(sink, pump);
    for (int n = 1; n <= 25; ++n)
        counter.ReportProgress(n, 2500, 10);
    EXPECT_EQ(sink.counts, (QStringList{QStringLiteral("10/2,500"), QStringLiteral("20/2,500")}));
    EXPECT_EQ(sink.percents, (QList<int>{0, 1})); // 0.4 % and 0.8 %, rounded
    EXPECT_EQ(pump.count(), 2);
}

TEST(Progress, AZeroPrintsAsNothingAndNoShareIsShownWithoutATotal) {
    RecordingSink sink;
    CountingEventPump pump;
    ProgressCounter counter(sink, pump);
    counter.ReportProgress(0, 0, 1);
    counter.ReportProgress(3, 2, 1); // beyond the total: the bar stays where it was
    counter.ReportProgress(1200, 35000, 1);
    EXPECT_EQ(sink.counts, (QStringList{QStringLiteral("/"), QStringLiteral("3/2"),
                                        QStringLiteral("1,200/35,000")}));
    EXPECT_EQ(sink.percents, (QList<int>{3}));
    EXPECT_EQ(pump.count(), 3);
}

} // namespace
} // namespace plw
