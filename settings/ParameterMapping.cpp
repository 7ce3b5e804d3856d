#include "settings/ParameterMapping.h"

#include "app/CommonRoutines.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterScreenState.h"

#include <QDate>

#include <algorithm>

namespace plw {
namespace {

// Sets a date field; a value the field rejects leaves it as it was.
void setDate(QString& field, const QString& value) {
    if (!DateFieldAccepts(value))
        return;
    field = value == QLatin1String("0") ? QString() : value;
}

bool isGroupLetterAToE(const QString& value) {
    return value.size() == 1 && value[0] >= QLatin1Char('A') && value[0] <= QLatin1Char('E');
}

// The selected option's number; with none selected the field keeps its value.
void setOption(QString& field, int selected, int count) {
    if (selected >= 1 && selected <= count)
        field = QString::number(selected);
}

} // namespace

bool DateFieldAccepts(const QString& value) {
    if (value.isEmpty() || value == QLatin1String("0"))
        return true;
    if (value.size() != 8)
        return false;
    for (const QChar c : value)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return QDate::fromString(value, QStringLiteral("yyyyMMdd")).isValid();
}

void ParametersToParameterScreen(const AnalysisParameters& p, ParameterScreenState& screen) {
    setDate(screen.LastVisitFrom, p.LastVisitFrom);
    setDate(screen.LastVisitTo, p.LastVisitTo);
    setDate(screen.BaseDate, p.BaseDate);
    screen.LastVisitMonths = p.LastVisitMonths;
    for (size_t i = 0; i < 5; ++i) {
        screen.RThreshold[i] = TrimBlanks(p.RThreshold[i]);
        screen.FThreshold[i] = TrimBlanks(p.FThreshold[i]);
        screen.MThreshold[i] = TrimBlanks(p.MThreshold[i]);
    }
    // The fields are filled from 1 to 5, and field 1 follows field 2 as it is set.
    for (auto* thresholds : {&screen.RThreshold, &screen.FThreshold, &screen.MThreshold})
        (*thresholds)[0] = (*thresholds)[1];
    screen.PaintGroup = ParameterOption(p.PaintGroup, 6);
    // A cell holding anything but A to E shows the colour of X.
    for (size_t k = 0; k < screen.GroupMatrix.size(); ++k)
        screen.GroupMatrix[k] =
            isGroupLetterAToE(p.GroupMatrix[k]) ? p.GroupMatrix[k] : QStringLiteral("X");
    screen.DetailPeriodOn = ParameterFlagOn(p.DetailPeriodOn);
    screen.LastVisitFromDetail = ParameterFlagOn(p.LastVisitFromDetail);
    setDate(screen.DetailFrom, p.DetailFrom);
    setDate(screen.DetailTo, p.DetailTo);
    // The detailed purchase-period controls follow chkKs1.
    screen.DetailControlsEnabled = screen.DetailPeriodOn;
}

void ParametersToOutputScreen(const AnalysisParameters& p, const QStringList& outputItems,
                              OutputScreenState& screen) {
    // The items not to output: the first ListItemCount stored items. An empty entry names no
    // item and is left out.
    screen.List3.clear();
    for (const QString& stored : LeftOutItems(p)) {
        const QString item = TrimAll(stored);
        if (!item.isEmpty())
            screen.List3.append(item);
    }
    // Everything else is output, in the item list's order. An item left out that the list no
    // longer holds stays in List3.
    screen.List2.clear();
    for (const QString& item : outputItems)
        if (!screen.List3.contains(item))
            screen.List2.append(item);

    screen.WorkbookName = TrimAll(p.WorkbookName);
    SplitPath(screen.WorkbookName, screen.DialogFolder, screen.DialogFile);
    screen.OutParameters = ParameterFlagOn(p.OutParameters);
    screen.OutCustomerList = ParameterFlagOn(p.OutCustomerList);
    screen.OutRCount = ParameterFlagOn(p.OutRCount);
    screen.OutRAmount = ParameterFlagOn(p.OutRAmount);
    screen.OutFCount = ParameterFlagOn(p.OutFCount);
    screen.OutFAmount = ParameterFlagOn(p.OutFAmount);
    screen.OutMCount = ParameterFlagOn(p.OutMCount);
    screen.OutMAmount = ParameterFlagOn(p.OutMAmount);
    screen.LeftChartType = ParameterOption(p.LeftChartType, 3);
    screen.RightChartType = ParameterOption(p.RightChartType, 6);
    screen.ListOrder = ParameterOption(p.ListOrder, 3);
    const QString* groups[] = {&p.ListGroupA, &p.ListGroupB, &p.ListGroupC,
                               &p.ListGroupD, &p.ListGroupE, &p.ListGroupX};
    for (size_t g = 0; g < screen.ListGroups.size(); ++g)
        screen.ListGroups[g] = ParameterFlagOn(*groups[g]);
    screen.OutGroupValues = ParameterFlagOn(p.OutGroupValues);
}

void SetLastVisitCondition(const ParameterScreenState& screen, ConditionRecord& record) {
    record[ConditionRecord::PinRaiKind] = ConditionKind::KindAnd;
    record[ConditionRecord::PinRaiFrom] = screen.LastVisitFrom;
    record[ConditionRecord::PinRaiTo] = screen.LastVisitTo;
    record[ConditionRecord::PinRaiMonths] = screen.LastVisitMonths;
}

void ParameterScreenToParameters(const ParameterScreenState& screen, AnalysisParameters& p) {
    p.LastVisitFrom = screen.LastVisitFrom;
    p.LastVisitTo = screen.LastVisitTo;
    p.BaseDate = screen.BaseDate;
    p.LastVisitMonths = screen.LastVisitMonths;
    p.RThreshold = screen.RThreshold;
    p.FThreshold = screen.FThreshold;
    p.MThreshold = screen.MThreshold;
    setOption(p.PaintGroup, screen.PaintGroup, 6);
    p.GroupMatrix = screen.GroupMatrix;
    DetailPeriodToParameters(screen, p);
}

void DetailPeriodToParameters(const ParameterScreenState& screen, AnalysisParameters& p) {
    p.DetailPeriodOn = ParameterFlagText(screen.DetailPeriodOn);
    p.LastVisitFromDetail = ParameterFlagText(screen.LastVisitFromDetail);
    p.DetailFrom = screen.DetailFrom;
    p.DetailTo = screen.DetailTo;
}

void OutputScreenToParameters(const OutputScreenState& screen, AnalysisParameters& p) {
    p.WorkbookName = screen.WorkbookName;
    p.OutParameters = ParameterFlagText(screen.OutParameters);
    p.OutGroupValues = ParameterFlagText(screen.OutGroupValues);
    p.OutCustomerList = ParameterFlagText(screen.OutCustomerList);
    p.OutRCount = ParameterFlagText(screen.OutRCount);
    p.OutRAmount = ParameterFlagText(screen.OutRAmount);
    p.OutFCount = ParameterFlagText(screen.OutFCount);
    p.OutFAmount = ParameterFlagText(screen.OutFAmount);
    p.OutMCount = ParameterFlagText(screen.OutMCount);
    p.OutMAmount = ParameterFlagText(screen.OutMAmount);
    setOption(p.LeftChartType, screen.LeftChartType, 3);
    setOption(p.RightChartType, screen.RightChartType, 6);
    setOption(p.ListOrder, screen.ListOrder, 3);
    QString* groups[] = {&p.ListGroupA, &p.ListGroupB, &p.ListGroupC,
                         &p.ListGroupD, &p.ListGroupE, &p.ListGroupX};
    for (size_t g = 0; g < screen.ListGroups.size(); ++g)
        *groups[g] = ParameterFlagText(screen.ListGroups[g]);
    // The items left out, at most the record's 40; the stored items after them are kept.
    const qsizetype count =
        std::min<qsizetype>(screen.List3.size(), AnalysisParameters::ListItemCapacity);
    p.ListItemCount = FormatNumber(qint64(count), QStringLiteral("00"));
    for (qsizetype i = 0; i < count; ++i)
        p.ListItems[static_cast<size_t>(i)] = screen.List3[i];
}

QList<int> DamagedMatrixCells(const AnalysisParameters& parameters) {
    QList<int> cells;
    for (size_t k = 0; k < parameters.GroupMatrix.size(); ++k) {
        const QString& letter = parameters.GroupMatrix[k];
        if (!letter.isEmpty() && letter != u"X" && !isGroupLetterAToE(letter))
            cells << int(k + 1);
    }
    return cells;
}

} // namespace plw
