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

const QString On = QStringLiteral("1");

// Sets a date field; a value the field rejects leaves it as it was.
void setDate(QString& field, const QString& value) {
    if (!DateFieldAccepts(value))
        return;
    field = value == QLatin1String("0") ? QString() : value;
}

// The option "1" to count selected by value; 0 (none) for anything else.
int optionNumber(const QString& value, int count) {
    for (int option = 1; option <= count; ++option)
        if (value == QString::number(option))
            return option;
    return 0;
}

bool isGroupLetterAToE(const QString& value) {
    return value.size() == 1 && value[0] >= QLatin1Char('A') && value[0] <= QLatin1Char('E');
}

QString flag(bool ticked) {
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
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
    screen.PaintGroup = optionNumber(p.PaintGroup, 6);
    // A cell holding anything but A to E shows the colour of X.
    for (size_t k = 0; k < screen.GroupMatrix.size(); ++k)
        screen.GroupMatrix[k] =
            isGroupLetterAToE(p.GroupMatrix[k]) ? p.GroupMatrix[k] : QStringLiteral("X");
    screen.DetailPeriodOn = p.DetailPeriodOn == On;
    screen.LastVisitFromDetail = p.LastVisitFromDetail == On;
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
    const int count =
        std::clamp<int>(ToInteger(p.ListItemCount), 0, AnalysisParameters::ListItemCapacity);
    for (int i = 0; i < count; ++i) {
        const QString item = TrimAll(p.ListItems[static_cast<size_t>(i)]);
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
    screen.OutParameters = p.OutParameters == On;
    screen.OutCustomerList = p.OutCustomerList == On;
    screen.OutRCount = p.OutRCount == On;
    screen.OutRAmount = p.OutRAmount == On;
    screen.OutFCount = p.OutFCount == On;
    screen.OutFAmount = p.OutFAmount == On;
    screen.OutMCount = p.OutMCount == On;
    screen.OutMAmount = p.OutMAmount == On;
    screen.LeftChartType = optionNumber(p.LeftChartType, 3);
    screen.RightChartType = optionNumber(p.RightChartType, 6);
    screen.ListOrder = optionNumber(p.ListOrder, 3);
    const QString* groups[] = {&p.ListGroupA, &p.ListGroupB, &p.ListGroupC,
                               &p.ListGroupD, &p.ListGroupE, &p.ListGroupX};
    for (size_t g = 0; g < screen.ListGroups.size(); ++g)
        screen.ListGroups[g] = *groups[g] == On;
    screen.OutGroupValues = p.OutGroupValues == On;
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
    p.DetailPeriodOn = flag(screen.DetailPeriodOn);
    p.LastVisitFromDetail = flag(screen.LastVisitFromDetail);
    p.DetailFrom = screen.DetailFrom;
    p.DetailTo = screen.DetailTo;
}

void OutputScreenToParameters(const OutputScreenState& screen, AnalysisParameters& p) {
    p.WorkbookName = screen.WorkbookName;
    p.OutParameters = flag(screen.OutParameters);
    p.OutGroupValues = flag(screen.OutGroupValues);
    p.OutCustomerList = flag(screen.OutCustomerList);
    p.OutRCount = flag(screen.OutRCount);
    p.OutRAmount = flag(screen.OutRAmount);
    p.OutFCount = flag(screen.OutFCount);
    p.OutFAmount = flag(screen.OutFAmount);
    p.OutMCount = flag(screen.OutMCount);
    p.OutMAmount = flag(screen.OutMAmount);
    setOption(p.LeftChartType, screen.LeftChartType, 3);
    setOption(p.RightChartType, screen.RightChartType, 6);
    setOption(p.ListOrder, screen.ListOrder, 3);
    QString* groups[] = {&p.ListGroupA, &p.ListGroupB, &p.ListGroupC,
                         &p.ListGroupD, &p.ListGroupE, &p.ListGroupX};
    for (size_t g = 0; g < screen.ListGroups.size(); ++g)
        *groups[g] = flag(screen.ListGroups[g]);
    // The items left out, at most the record's 40; the stored items after them are kept.
    const qsizetype count =
        std::min<qsizetype>(screen.List3.size(), AnalysisParameters::ListItemCapacity);
    p.ListItemCount = FormatNumber(qint64(count), QStringLiteral("00"));
    for (qsizetype i = 0; i < count; ++i)
        p.ListItems[static_cast<size_t>(i)] = screen.List3[i];
}

} // namespace plw
