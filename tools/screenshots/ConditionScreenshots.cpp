#include "tools/screenshots/ConditionScreenshots.h"

#include "app/AnsiCodec.h"
#include "app/Clock.h"
#include "app/Environment.h"
#include "extract/ConditionModule.h"
#include "screens/FRM_DMSentk1.h"
#include "tools/sample/SampleClassifications.h"

#include <QTabWidget>

namespace plw {

bool SaveConditionScreenshots(Prompter& prompter,
                              const std::function<bool(QWidget&, const QString&)>& save) {
    using R = ConditionRecord;
    Environment environment;
    const FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    const ClassificationTable classifications = ParseClassifications(
        AnsiCodec::encode(sample::ClassificationFileText(sample::SampleClassificationLevels()))
            .value_or(QByteArray()));
    ConditionModule module(environment, classifications, prompter, clock);
    FRM_DMSentk1 screen(environment, prompter, module);
    screen.setModeCaption(QStringLiteral("設定"));
    screen.setCountHandler([] {});
    screen.setTemplateHandler([] {});
    screen.setHelpHandler([] {});

    // Women in their forties born in spring, without those who refused direct mail.
    ConditionRecord record = ClearedConditionRecord();
    record[R::PinRaiKind] = QStringLiteral("3");
    record[R::PinRaiFrom] = QStringLiteral("20241201");
    record[R::PinRaiTo] = QStringLiteral("20261130");
    record[R::PinRaiMonths] = QStringLiteral("24");
    record[R::KihSeiKind] = QStringLiteral("3");
    record[R::KihSeiValue] = QStringLiteral("2");
    record[R::TosNenKind] = QStringLiteral("3");
    record[R::TosNenFrom] = QStringLiteral("40");
    record[R::TosNenTo] = QStringLiteral("49");
    record[R::TosTukKind] = QStringLiteral("2");
    for (int month : {3, 4, 5})
        record[R::TosTukMonth(month)] = QStringLiteral("1");
    record[R::PinGakKind] = QStringLiteral("3");
    record[R::PinGakFrom] = QStringLiteral("50");
    record[R::DmkOsrKind] = QStringLiteral("4");
    record[R::DmkOsrValue] = QStringLiteral("2");
    record[R::KhMemoKind] = QStringLiteral("2");
    record[R::KhMemoText] = QStringLiteral("常連");
    record[R::BunKind(2)] = QStringLiteral("3");
    record[R::BunItem(2, 1)] = QStringLiteral("1");
    record[R::BunItem(2, 3)] = QStringLiteral("1");
    module.Run(QStringLiteral("JB"), QString(), record);
    module.Run(QStringLiteral("YS"), QStringLiteral("P1"), record);

    auto* tabs = screen.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    bool ok = true;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        module.Screen().CurrentTab = tab;
        screen.showState();
        ok = save(screen, QStringLiteral("FRM_DMSentk1-%1").arg(tab)) && ok;
    }
    return ok;
}

} // namespace plw
