#include "tools/screenshots/ConditionScreenshots.h"

#include "app/AnsiCodec.h"
#include "app/Clock.h"
#include "app/Environment.h"
#include "extract/ConditionModule.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_TEMPLATE.h"
#include "screens/Frm_TYuHelp1.h"
#include "tools/sample/SampleClassifications.h"

#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

namespace plw {

namespace {

// The condition templates of a shop, filtered for those holding "女性" or "DM".
bool SaveTemplateDialog(Prompter& prompter,
                        const std::function<bool(QWidget&, const QString&)>& save) {
    QTemporaryDir folder;
    const QString work = folder.path() + QLatin1Char('/');
    const QStringList names{
        QStringLiteral("女性のみ"),           QStringLiteral("30代から40代"),
        QStringLiteral("DM許諾者"),           QStringLiteral("常連の女性"),
        QStringLiteral("誕生月キャンペーン"), QStringLiteral("休眠客の掘り起こし"),
        QStringLiteral("DM拒否を除く女性")};
    for (qsizetype i = 0; i < names.size(); ++i) {
        QFile file(work + names[i] + QStringLiteral(".T01"));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(QByteArray(16, '\0'));
        file.flush();
        file.setFileTime(QDateTime(QDate(2026, 11, 1), QTime(9, 0)).addSecs(i * 86400 + i * 937),
                         QFileDevice::FileModificationTime);
    }
    FRM_TEMPLATE dialog(work, QStringLiteral("T01"), prompter);
    dialog.scanFolder();
    dialog.findChild<QLineEdit*>(QStringLiteral("txtGrepMoji"))->setText(QStringLiteral("女性"));
    dialog.findChild<QLineEdit*>(QStringLiteral("txtGrepMoji2"))->setText(QStringLiteral("DM"));
    dialog.findChild<QRadioButton*>(QStringLiteral("optOr"))->setChecked(true);
    dialog.findChild<QPushButton*>(QStringLiteral("cmdGrepOn"))->click();
    // The operator has chosen a line: its name is in the name box.
    dialog.findChild<QListWidget*>(QStringLiteral("List1"))->setCurrentRow(2);
    return save(dialog, QStringLiteral("FRM_TEMPLATE"));
}

} // namespace

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
    Frm_TYuHelp1 help(environment);
    ok = save(help, QStringLiteral("Frm_TYuHelp1")) && ok;
    return SaveTemplateDialog(prompter, save) && ok;
}

} // namespace plw
