#include "settings/AnalysisParameters.h"

#include "app/CommonRoutines.h"
#include "app/RecordFile.h"

#include <algorithm>

namespace plw {
namespace {

// Visits every text field in stored order; the fixed head is handled by the callers.
template <typename Parameters, typename Visit> void forEachText(Parameters& p, Visit&& visit) {
    visit(p.LastVisitFrom);
    visit(p.LastVisitTo);
    visit(p.LastVisitMonths);
    visit(p.BaseDate);
    for (auto& value : p.RThreshold)
        visit(value);
    for (auto& value : p.FThreshold)
        visit(value);
    for (auto& value : p.MThreshold)
        visit(value);
    visit(p.PaintGroup);
    for (auto& value : p.GroupMatrix)
        visit(value);
    visit(p.OutParameters);
    visit(p.OutGroupValues);
    visit(p.LeftChartType);
    visit(p.RightChartType);
    visit(p.OutCustomerList);
    visit(p.OutRCount);
    visit(p.OutRAmount);
    visit(p.OutFCount);
    visit(p.OutFAmount);
    visit(p.OutMCount);
    visit(p.OutMAmount);
    visit(p.ListOrder);
    visit(p.ListGroupA);
    visit(p.ListGroupB);
    visit(p.ListGroupC);
    visit(p.ListGroupD);
    visit(p.ListGroupE);
    visit(p.ListGroupX);
    visit(p.WorkbookName);
    visit(p.ListItemCount);
    for (auto& value : p.ListItems)
        visit(value);
    visit(p.DetailPeriodOn);
    visit(p.LastVisitFromDetail);
    visit(p.DetailFrom);
    visit(p.DetailTo);
}

constexpr qsizetype ReservedHeadLength = 2;

} // namespace

bool ParameterFlagOn(const QString& field) {
    return field == QLatin1String("1");
}

QString ParameterFlagText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

int ParameterOption(const QString& field, int count) {
    for (int option = 1; option <= count; ++option)
        if (field == QString::number(option))
            return option;
    return 0;
}

QStringList LeftOutItems(const AnalysisParameters& parameters) {
    const int count = std::clamp<int>(ToInteger(parameters.ListItemCount), 0,
                                      AnalysisParameters::ListItemCapacity);
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << parameters.ListItems[size_t(i)];
    return items;
}

void EncodeAnalysisParameters(const AnalysisParameters& parameters, RecordWriter& writer) {
    QByteArray head = parameters.ReservedHead.left(ReservedHeadLength);
    head.append(QByteArray(ReservedHeadLength - head.size(), '\0'));
    writer.rawBytes(head);
    forEachText(parameters, [&writer](const QString& value) { writer.text(value); });
}

AnalysisParameters DecodeAnalysisParameters(const QByteArray& bytes, StoredRecordState* state) {
    RecordReader reader(bytes);
    AnalysisParameters parameters;
    parameters.ReservedHead = reader.rawBytes(ReservedHeadLength);
    bool undecodable = false;
    forEachText(parameters, [&](QString& value) {
        value = reader.text();
        // CP932 maps no byte sequence to U+FFFD: one here marks bytes that are no CP932 text.
        if (value.contains(QChar::ReplacementCharacter))
            undecodable = true;
    });
    if (state) {
        if (undecodable || reader.position() > ParameterRecordLength)
            *state = StoredRecordState::Foreign;
        else if (reader.position() > bytes.size())
            *state = StoredRecordState::Truncated;
        else
            *state = StoredRecordState::Complete;
    }
    return parameters;
}

StoredFileRead ReadParameterFile(const QString& systemPath, AnalysisParameters& parameters) {
    QByteArray bytes;
    const StoredFileRead read = ReadStoredRecord(systemPath, ParameterRecordLength, &bytes);
    if (!read)
        return read;
    StoredRecordState state = StoredRecordState::Complete;
    AnalysisParameters decoded = DecodeAnalysisParameters(bytes, &state);
    switch (state) {
    case StoredRecordState::Foreign:
        return StoredFileRead::Damage(QStringLiteral("パラメータの記録ではありません"));
    case StoredRecordState::Truncated:
        return StoredFileRead::Damage(QStringLiteral("記録が途中で切れています"));
    case StoredRecordState::Complete:
        break;
    }
    parameters = decoded;
    return read;
}

bool WriteParameterFile(const QString& systemPath, const AnalysisParameters& parameters,
                        QString* error) {
    RecordWriter writer(ParameterRecordLength);
    EncodeAnalysisParameters(parameters, writer);
    return WriteRecord(systemPath, 1, writer, error);
}

} // namespace plw
