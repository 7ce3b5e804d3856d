#include "settings/PreviousConditions.h"

#include "extract/ConditionRecord.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace plw;
using R = ConditionRecord;

namespace {

TEST(PreviousConditions, TheSavedConditionsWithTheScreensPeriodOrAReportedDamage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.JKN"));
    ParameterScreenState screen;
    screen.LastVisitFrom = QStringLiteral("20260101");
    screen.LastVisitTo = QStringLiteral("20261130");
    screen.LastVisitMonths = QStringLiteral("10");

    ConditionRecord saved = ClearedConditionRecord();
    saved[R::KihSeiKind] = QStringLiteral("3");
    saved[R::KihSeiValue] = QStringLiteral("2");
    saved[R::PinRaiKind] = QStringLiteral("2");
    saved[R::PinRaiFrom] = QStringLiteral("20200101");

    const struct {
        const char* name;
        std::function<void()> file;
        bool loaded;
        const char* sexKind; // of the record afterwards
    } cases[] = {
        {"saved",
         [&] {
             QString error;
             ASSERT_TRUE(WriteConditionFile(path, saved, &error));
         },
         true, "3"},
        {"none saved yet", [&] { QFile::remove(path); }, true, "1"},
        {"empty", [&] { test::WriteBytes(path, QByteArray()); }, true, "1"},
        {"damaged", [&] { test::WriteBytes(path, QByteArray(30, '\x7f')); }, false, "4"},
        {"a folder", [&] { QFile::remove(path), QDir().mkdir(path); }, false, "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.file();
        ConditionRecord record = ClearedConditionRecord();
        record[R::KihSeiKind] = QStringLiteral("4");
        QString error;
        EXPECT_EQ(LoadPreviousConditions(path, screen, record, &error), c.loaded);
        EXPECT_EQ(record[R::KihSeiKind], QLatin1String(c.sexKind));
        if (c.loaded) {
            EXPECT_EQ(record[R::PinRaiKind] + record[R::PinRaiFrom] + record[R::PinRaiTo] +
                          record[R::PinRaiMonths],
                      QStringLiteral("3202601012026113010"));
        } else {
            EXPECT_TRUE(error.contains(path)) << error.toStdString();
        }
    }
}

} // namespace
