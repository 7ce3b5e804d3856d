#include "tools/sample/SampleSettings.h"

#include "extract/ConditionRecord.h"
#include "settings/SampleParameters.h"
#include "settings/TemplateFiles.h"
#include "tools/sample/CustomerGenerator.h"

namespace plw::sample {
namespace {

const QString Yes = QStringLiteral("1");
const QString No = QStringLiteral("0");

QString ymd(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

bool fail(QString* error, const QString& path, const QString& reason) {
    if (error)
        *error = QStringLiteral("%1 を書けません: %2").arg(path, reason);
    return false;
}

// Condition templates: a typical narrowing each, on the cleared record.
QList<std::pair<QString, ConditionRecord>> ConditionTemplates() {
    using F = ConditionRecord;
    QList<std::pair<QString, ConditionRecord>> templates;
    ConditionRecord women = ClearedConditionRecord();
    women[F::KihSeiKind] = ConditionKind::KindAnd;
    women[F::KihSeiValue] = QStringLiteral("2");
    templates.append({QStringLiteral("女性のみ"), women});
    ConditionRecord consent = ClearedConditionRecord();
    consent[F::DmkOsrKind] = ConditionKind::KindAnd;
    consent[F::DmkOsrValue] = Yes;
    templates.append({QStringLiteral("ＤＭ許諾者"), consent});
    ConditionRecord ages = ClearedConditionRecord();
    ages[F::TosNenKind] = ConditionKind::KindAnd;
    ages[F::TosNenFrom] = QStringLiteral("30");
    ages[F::TosNenTo] = QStringLiteral("49");
    templates.append({QStringLiteral("30代から40代"), ages});
    for (auto& entry : templates)
        entry.second[F::Marker] = ConditionMarker;
    return templates;
}

} // namespace

AnalysisParameters SampleAnalysisParameters(const SampleFolders& folders) {
    AnalysisParameters p;
    p.LastVisitFrom = ymd(SampleReferenceDate.addMonths(-24).addDays(1));
    p.LastVisitTo = ymd(SampleReferenceDate);
    p.LastVisitMonths = QStringLiteral("24");
    p.BaseDate = ymd(SampleReferenceDate);
    const SampleThresholdSet thresholds = SampleThresholds();
    p.RThreshold = thresholds.R;
    p.FThreshold = thresholds.F;
    p.MThreshold = thresholds.M;
    p.PaintGroup = Yes;
    p.GroupMatrix = SampleGroupMatrix();
    for (QString* flag :
         {&p.OutParameters, &p.OutGroupValues, &p.OutCustomerList, &p.OutRCount, &p.OutRAmount,
          &p.OutFCount, &p.OutFAmount, &p.OutMCount, &p.OutMAmount, &p.ListGroupA, &p.ListGroupB,
          &p.ListGroupC, &p.ListGroupD, &p.ListGroupE, &p.ListGroupX})
        *flag = Yes;
    p.LeftChartType = Yes;
    p.RightChartType = Yes;
    p.ListOrder = Yes;
    p.WorkbookName = folders.root + QStringLiteral("RFM分析結果.xls");
    p.ListItemCount = QStringLiteral("00");
    p.DetailPeriodOn = No;
    p.LastVisitFromDetail = No;
    p.DetailFrom = ymd(SampleReferenceDate.addMonths(-6).addDays(1));
    p.DetailTo = ymd(SampleReferenceDate);
    return p;
}

bool WriteSampleSettings(const SampleFolders& folders, QString* error) {
    const QString work = folders.workFolder;
    QString reason;
    const AnalysisParameters parameters = SampleAnalysisParameters(folders);
    const QString prm = work + QStringLiteral("PLWAN40.PRM");
    if (!WriteParameterFile(prm, parameters, &reason))
        return fail(error, prm, reason);

    // The saved conditions hold the analysis period as the last-visit condition.
    ConditionRecord saved = ClearedConditionRecord();
    saved[ConditionRecord::PinRaiKind] = ConditionKind::KindAnd;
    saved[ConditionRecord::PinRaiFrom] = parameters.LastVisitFrom;
    saved[ConditionRecord::PinRaiTo] = parameters.LastVisitTo;
    saved[ConditionRecord::PinRaiMonths] = parameters.LastVisitMonths;
    const QString jkn = work + QStringLiteral("PLWAN40.JKN");
    if (!WriteConditionFile(jkn, saved, &reason))
        return fail(error, jkn, reason);

    for (const auto& [name, record] : ConditionTemplates()) {
        const QString path = work + name + QStringLiteral(".T01");
        if (!WriteConditionTemplate(path, record, &reason))
            return fail(error, path, reason);
    }

    std::array<QString, 125> unassigned;
    unassigned.fill(QStringLiteral("X"));
    const std::pair<QString, std::array<QString, 125>> matrices[] = {
        {QStringLiteral("標準"), SampleGroupMatrix()}, {QStringLiteral("全て未分類"), unassigned}};
    for (const auto& [name, letters] : matrices) {
        const QString path = work + name + QStringLiteral(".F01");
        if (!WriteGroupTemplate(path, letters, &reason))
            return fail(error, path, reason);
    }

    const SampleThresholdSet standard = SampleThresholds();
    const ThresholdTexts small{standard.R,
                               {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("4"),
                                QStringLiteral("8"), QStringLiteral("12")},
                               {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("5"),
                                QStringLiteral("10"), QStringLiteral("20")}};
    const std::pair<QString, ThresholdTexts> thresholdSets[] = {
        {QStringLiteral("標準"), ThresholdTexts{standard.R, standard.F, standard.M}},
        {QStringLiteral("小規模店"), small}};
    for (const auto& [name, texts] : thresholdSets) {
        const QString path = work + name + QStringLiteral(".F02");
        if (!WriteThresholdTemplate(path, texts, &reason))
            return fail(error, path, reason);
    }
    return true;
}

} // namespace plw::sample
