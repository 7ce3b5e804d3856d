#include "report/writers/PLWAN40X_XLS_TyuJkn.h"

#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/Prompter.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "extract/ConditionSummary.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/Sub_ExcelSubRtn.h"
#include "rfm/AnalysisContext.h"
#include "settings/AnalysisParameters.h"
#include "workbook/SheetReference.h"
#include "workbook/Worksheet.h"

namespace plw {

namespace {

// Everything on the sheet is written in column B and the three columns after it.
constexpr int IndexColumn = 2;

bool IsOn(const QString& flag) {
    return flag == QLatin1String("1");
}

} // namespace

void WriteConditionSheet(ExcelRun& run, AnalysisContext& context) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(抽出条件）"));

    // A missing or unreadable file reads as the cleared record: the sheet then lists no condition.
    ConditionRecord record;
    ReadConditionFile(context.Env.SavedConditionPath, record);
    const QList<ConditionSummaryRow> summary = BuildConditionSummary(
        record, ClassificationNames::FromTable(context.Conditions.Classifications()).Levels);

    Worksheet* sheet =
        CopyTemplateSheet(run, QStringLiteral("抽出条件"), QStringLiteral("抽出条件"),
                          QStringLiteral("元ブック に 抽出条件という名前のシートがない"));
    if (!sheet)
        return;
    CellStore& cells = sheet->cells();
    run.CurrentRow = 1;
    cells.setText(run.CurrentRow, IndexColumn, QStringLiteral("RFM分析"));
    run.CurrentRow = 2;
    cells.setText(run.CurrentRow, IndexColumn, QStringLiteral("シート一覧(クリックでジャンプ）"));

    // The links name the sheets the run will write; they do not exist yet.
    const AnalysisParameters& p = context.Parameters;
    const struct {
        const QString& flag;
        const char16_t* name;
    } sheets[] = {
        {p.OutParameters, u"RFM解析パラメータ"}, {p.OutGroupValues, u"グループ値"},
        {p.OutCustomerList, u"RFM顧客一覧"},     {p.OutRCount, u"Ｒ視点人数"},
        {p.OutRAmount, u"Ｒ視点金額"},           {p.OutFCount, u"Ｆ視点人数"},
        {p.OutFAmount, u"Ｆ視点金額"},           {p.OutMCount, u"Ｍ視点人数"},
        {p.OutMAmount, u"Ｍ視点金額"},
    };
    for (const auto& entry : sheets) {
        if (IsOn(entry.flag))
            AddIndexLink(run, QString::fromUtf16(entry.name));
    }

    run.CurrentRow += 3;
    cells.setText(run.CurrentRow, IndexColumn, QStringLiteral("抽出条件"));
    for (const ConditionSummaryRow& row : summary) {
        ++run.CurrentRow;
        cells.setText(run.CurrentRow, IndexColumn, row.Section);
        cells.setText(run.CurrentRow, IndexColumn + 1, row.Item);
        cells.setText(run.CurrentRow, IndexColumn + 2, row.KindText);
        cells.setText(run.CurrentRow, IndexColumn + 3, row.ValueText);
    }

    if (IsOn(p.DetailPeriodOn)) {
        run.CurrentRow += 2;
        cells.setText(run.CurrentRow, IndexColumn, QStringLiteral("購買日付詳細指定"));
        ++run.CurrentRow;
        cells.setText(run.CurrentRow, IndexColumn + 1, QStringLiteral("購買日付詳細"));
        cells.setText(run.CurrentRow, IndexColumn + 3,
                      DateToSlashText(p.DetailFrom) + u'～' + DateToSlashText(p.DetailTo));
        if (IsOn(p.LastVisitFromDetail)) {
            ++run.CurrentRow;
            cells.setText(run.CurrentRow, IndexColumn + 1,
                          QStringLiteral("最終来店日を購買日付詳細範囲の日付とする。"));
        }
    }

    sheet->autoFitColumns();
    sheet->selectCell(QStringLiteral("A1"));
}

void AddIndexLink(ExcelRun& run, const QString& sheetName) {
    if (!run.Current)
        return;
    ++run.CurrentRow;
    const QString cell = ColumnLetters(IndexColumn) + QString::number(run.CurrentRow);
    QString error;
    if (!run.Current->addHyperlink(cell, SheetReference::Quoted(sheetName) + QStringLiteral("!B1"),
                                   sheetName, &error) ||
        !run.Current->setFontSize(cell, 11, &error))
        SheetFailed(run, error);
}

} // namespace plw
