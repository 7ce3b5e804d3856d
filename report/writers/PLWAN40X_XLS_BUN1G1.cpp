#include "report/writers/PLWAN40X_XLS_BUN1G1.h"

#include "app/Prompter.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/Sub_ExcelSubRtn.h"
#include "rfm/AnalysisContext.h"
#include "settings/AnalysisParameters.h"
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

CellValue CurrencyValue(Currency currency) {
    CellValue value;
    value.kind = CellKind::Currency;
    value.currency = currency;
    return value;
}

// The chart type of the left chart "グラフ 1"; 0 keeps the template's chart.
int LeftChartCode(const QString& setting) {
    if (setting == QLatin1String("2"))
        return ChartXml::ColumnClustered;
    if (setting == QLatin1String("3"))
        return ChartXml::ColumnStacked100;
    return 0;
}

// The chart type of the seven right charts; 0 for a setting that names none.
int RightChartCode(const QString& setting) {
    static const struct {
        char16_t setting;
        int code;
    } codes[] = {
        {u'1', ChartXml::Pie},          {u'2', ChartXml::ColumnClustered},
        {u'3', ChartXml::BarClustered}, {u'4', ChartXml::Doughnut},
        {u'5', ChartXml::LineMarkers},  {u'6', ChartXml::CylinderColumnClustered},
    };
    for (const auto& entry : codes) {
        if (setting.size() == 1 && setting.at(0) == QChar(entry.setting))
            return entry.code;
    }
    return 0;
}

// Gives the named chart of the sheet a chart type; a missing chart or a refused type is shown.
void SetChartType(ExcelRun& run, Worksheet& sheet, const QString& name, int code) {
    QString error;
    ChartXml* chart = sheet.chart(name, &error);
    if (!chart || !chart->setChartType(code, &error))
        SheetFailed(run, error);
}

} // namespace

void WriteGroupValueSheet(ExcelRun& run, AnalysisContext& context) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(グループ値）"));
    Worksheet* sheet =
        CopyTemplateSheet(run, QStringLiteral("元Ｇ１"), QStringLiteral("グループ値"),
                          QStringLiteral("元ブック に 元Ｇ１シートがない"));
    if (!sheet)
        return;

    // Rows 3 to 8 hold groups A to X, columns C to I their seven figures.
    run.CurrentRow = 2;
    for (const GroupStatistics& group : context.Statistics.Groups) {
        ++run.CurrentRow;
        const std::vector<CellValue> values = {
            NumberValue(group.Customers),
            CurrencyValue(group.AmountYen),
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

    const AnalysisParameters& p = context.Parameters;
    if (const int left = LeftChartCode(p.LeftChartType))
        SetChartType(run, *sheet, QStringLiteral("グラフ 1"), left);
    if (const int right = RightChartCode(p.RightChartType)) {
        for (const char16_t* name : {u"右１", u"右２", u"右３", u"右４", u"右５", u"右６", u"右７"})
            SetChartType(run, *sheet, QString::fromUtf16(name), right);
    }

    sheet->selectCell(QStringLiteral("A1"));
}

} // namespace plw
