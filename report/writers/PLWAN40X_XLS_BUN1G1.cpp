#include "report/writers/PLWAN40X_XLS_BUN1G1.h"

#include "app/Prompter.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/Sub_ExcelSubRtn.h"
#include "workbook/ChartXml.h"
#include "workbook/Worksheet.h"

#include <vector>

namespace plw {

namespace {

CellValue NumberValue(double number) {
    CellValue value;
    value.kind = CellKind::Number;
    value.number = number;
    return value;
}

// The chart type of the left chart "グラフ 1"; 0 keeps the template's chart.
int LeftChartCode(int option) {
    if (option == 2)
        return ChartXml::ColumnClustered;
    if (option == 3)
        return ChartXml::ColumnStacked100;
    return 0;
}

// The chart type of the seven right charts; 0 for an option that names none.
int RightChartCode(int option) {
    static constexpr int codes[] = {
        ChartXml::Pie,      ChartXml::ColumnClustered, ChartXml::BarClustered,
        ChartXml::Doughnut, ChartXml::LineMarkers,     ChartXml::CylinderColumnClustered,
    };
    return option >= 1 && option <= 6 ? codes[option - 1] : 0;
}

// Gives the named chart of the sheet a chart type; a missing chart or a refused type is shown.
void SetChartType(ExcelRun& run, Worksheet& sheet, const QString& name, int code) {
    QString error;
    ChartXml* chart = sheet.chart(name, &error);
    if (!chart || !chart->setChartType(code, &error))
        SheetFailed(run, error);
}

} // namespace

void WriteGroupValueSheet(ExcelRun& run, const GroupValueSheetInput& input) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(グループ値）"));
    Worksheet* sheet =
        CopyTemplateSheet(run, QStringLiteral("元Ｇ１"), QStringLiteral("グループ値"),
                          QStringLiteral("元ブック に 元Ｇ１シートがない"));
    if (!sheet)
        return;

    // Rows 3 to 8 hold groups A to X, columns C to I their seven figures.
    run.CurrentRow = 2;
    for (const GroupStatistics& group : input.Groups) {
        ++run.CurrentRow;
        const std::vector<CellValue> values = {
            NumberValue(group.Customers),
            NumberValue(double(group.AmountYen)),
            NumberValue(double(group.Visits)),
            NumberValue(group.Men),
            NumberValue(group.Women),
            NumberValue(double(group.MailSends)),
            NumberValue(double(group.DirectMailSends)),
        };
        QString error;
        if (!sheet->setRowValues(CellRange(run.CurrentRow, 3, run.CurrentRow, 9), values, &error))
            SheetFailed(run, error);
    }

    if (const int left = LeftChartCode(input.LeftChartType))
        SetChartType(run, *sheet, QStringLiteral("グラフ 1"), left);
    if (const int right = RightChartCode(input.RightChartType)) {
        for (const char16_t* name : {u"右１", u"右２", u"右３", u"右４", u"右５", u"右６", u"右７"})
            SetChartType(run, *sheet, QString::fromUtf16(name), right);
    }

    sheet->selectCell(QStringLiteral("A1"));
}

} // namespace plw
