#include "app/WorkFolderLock.h"

#include "tests/support/Printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace plw {
namespace {

TEST(WorkFolderLock, OneAnalysisAtATimeAndTheLockGoesWithItsHolder) {
    QTemporaryDir dir;
    const QString work = dir.path() + u'/';
    std::optional<WorkFolderLock> first(std::in_place, work);
    ASSERT_TRUE(first->held()) << first->message().toStdString();
    {
        WorkFolderLock second(work);
        EXPECT_FALSE(second.held());
        EXPECT_TRUE(second.message().startsWith(
            QStringLiteral("この作業フォルダでは他の分析を実行中です。")));
    }
    first.reset();
    EXPECT_TRUE(WorkFolderLock(work).held());
}

TEST(WorkFolderLock, AMissingWorkFolderIsReportedWithItsPath) {
    QTemporaryDir dir;
    WorkFolderLock lock(dir.path() + QStringLiteral("/gone/"));
    EXPECT_FALSE(lock.held());
    EXPECT_TRUE(lock.message().contains(QStringLiteral("/gone/PLWAN40.LCK"))) << lock.message().toStdString();
}

} // namespace
} // namespace plw
