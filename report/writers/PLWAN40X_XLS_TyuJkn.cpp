#include "report/writers/PLWAN40X_XLS_TyuJkn.h"

#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "extract/ConditionRecord.h"
#include "extract/ConditionSummary.h"
#include "report/Sub_ExcelSubRtn.h"
#include "workbook/SheetReference.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

namespace plw {

namespace {

// Everything on the sheet is written in column B and the three columns after it.
constexpr int IndexColumn = 2;

QString IndexCell(int row) {
    return ColumnLetters(IndexColumn) + QString::number(row);
}

QString CellRefused(int row) {
    return QStringLiteral("セル %1 に書き込めません").arg(IndexCell(row));
}

} // namespace

void WriteConditionSheet(ExcelRun& run, const ConditionSheetInput& input) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(抽出条件）"));

    // A missing or unreadable file reads as the cleared record: the sheet then lists no condition.
    ConditionRecord record;
    ReadConditionFile(input.SavedConditionPath, record);
    const QList<ConditionSummaryRow> summary = BuildConditionSummary(record, input.LevelNames);

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

    // The entries name the sheets the run will write; they are linked once those exist.
    const SheetSelection& s = input.Sheets;
    const struct {
        bool selected;
        const char16_t* name;
    } sheets[] = {
        {s.Parameters, u"RFM解析パラメータ"},
        {s.GroupValues, u"グループ値"},
        {s.GroupMovement, GroupMovementSheetName},
        {s.CustomerList, u"RFM顧客一覧"},
        {s.RCount, u"Ｒ視点人数"},
        {s.RAmount, u"Ｒ視点金額"},
        {s.FCount, u"Ｆ視点人数"},
        {s.FAmount, u"Ｆ視点金額"},
        {s.MCount, u"Ｍ視点人数"},
        {s.MAmount, u"Ｍ視点金額"},
    };
    for (const auto& entry : sheets) {
        const QString name = QString::fromUtf16(entry.name);
        if (entry.selected && !run.LeftOut.contains(name))
            AddIndexLink(run, name);
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

    if (input.DetailPeriodOn) {
        run.CurrentRow += 2;
        cells.setText(run.CurrentRow, IndexColumn, QStringLiteral("購買日付詳細指定"));
        ++run.CurrentRow;
        cells.setText(run.CurrentRow, IndexColumn + 1, QStringLiteral("購買日付詳細"));
        cells.setText(run.CurrentRow, IndexColumn + 3,
                      DateToSlashText(input.DetailFrom) + u'～' + DateToSlashText(input.DetailTo));
        if (input.LastVisitFromDetail) {
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
    QString error;
    if (!run.Current->cells().setText(run.CurrentRow, IndexColumn, sheetName) ||
        !run.Current->setFontSize(IndexCell(run.CurrentRow), 11, &error)) {
        SheetFailed(run, error.isEmpty() ? CellRefused(run.CurrentRow) : error);
        return;
    }
    run.IndexEntries.append({run.CurrentRow, sheetName});
}

void CompleteIndex(ExcelRun& run) {
    Worksheet* sheet =
        run.IndexEntries.isEmpty() ? nullptr : run.Book.sheet(QStringLiteral("抽出条件"));
    if (!sheet)
        return;
    const QStringList written = run.Book.sheetNames();
    for (const IndexEntry& entry : std::as_const(run.IndexEntries)) {
        QString error;
        // A sheet the run did not write (after a cancel, or without its template sheet) keeps
        // its name without a link.
        if (written.contains(entry.Sheet)
                ? !sheet->addHyperlink(IndexCell(entry.Row),
                                       SheetReference::Quoted(entry.Sheet) + QStringLiteral("!B1"),
                                       entry.Sheet, &error)
                : !sheet->cells().setText(entry.Row, IndexColumn,
                                          entry.Sheet + QStringLiteral("（未作成）"))) {
            run.Step = QStringLiteral("RFM分析１(抽出条件）");
            SheetFailed(run, error.isEmpty() ? CellRefused(entry.Row) : error);
        }
    }
    sheet->autoFitColumns();
}

} // namespace plw
