#include "report/writers/AnalysisSheetWriters.h"

#include "app/EventPump.h"
#include "app/TwCom_Excelomati.h"

namespace plw {

namespace {

// The sheet names of a viewpoint: mode "人数" gives the count sheet, any other the amount sheet.
QString ViewpointSheet(QChar viewpoint, const QString& mode) {
    return QString(viewpoint) + (mode == QString::fromUtf16(CountMode)
                                     ? QStringLiteral("視点人数")
                                     : QStringLiteral("視点金額"));
}

void WriteViewpointSheet(ExcelRun& run, const QString& step, QChar viewpoint, const QString& mode) {
    ShowSheetStep(run, step);
    CopyTemplateSheet(run, QStringLiteral("元解析１"), ViewpointSheet(viewpoint, mode),
                      QStringLiteral("元ブック に 元解析１シートがない"));
}

} // namespace

void ShowSheetStep(ExcelRun& run, const QString& step) {
    run.Progress.open();
    run.Pump.yield();
    run.Progress.showStep(step);
    run.Progress.setCounterVisible(false);
    run.Pump.yield();
}

void AnalysisSheetWriters::WriteConditionSheet(ExcelRun& run) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(抽出条件）"));
    CopyTemplateSheet(run, QStringLiteral("抽出条件"), QStringLiteral("抽出条件"),
                      QStringLiteral("元ブック に 抽出条件という名前のシートがない"));
}

void AnalysisSheetWriters::WriteParameterSheet(ExcelRun& run) {
    ShowSheetStep(run, QStringLiteral("解析パラメータ"));
    CopyTemplateSheet(run, QStringLiteral("元解析パラメータ"), QStringLiteral("RFM解析パラメータ"),
                      QStringLiteral("元ブック に 元解析パラメータシートがない"));
}

void AnalysisSheetWriters::WriteGroupValueSheet(ExcelRun& run) {
    ShowSheetStep(run, QStringLiteral("RFM分析１(グループ値）"));
    CopyTemplateSheet(run, QStringLiteral("元Ｇ１"), QStringLiteral("グループ値"),
                      QStringLiteral("元ブック に 元Ｇ１シートがない"));
}

void AnalysisSheetWriters::WriteCustomerList(ExcelRun& run, const QString& workTable,
                                             qint64 extractedCount) {
    (void)workTable;
    (void)extractedCount;
    ShowSheetStep(run, QStringLiteral("RFM付き顧客一覧"));
    CopyTemplateSheet(run, QStringLiteral("元シート"), QStringLiteral("RFM顧客一覧"),
                      QStringLiteral("元ブック に 元シートがない"));
}

void AnalysisSheetWriters::WriteRSheet(ExcelRun& run, const QString& mode) {
    WriteViewpointSheet(run, QStringLiteral("RFM分析１(R)"), u'Ｒ', mode);
}

void AnalysisSheetWriters::WriteFSheet(ExcelRun& run, const QString& mode) {
    WriteViewpointSheet(run, QStringLiteral("RFM分析１(F)"), u'Ｆ', mode);
}

void AnalysisSheetWriters::WriteMSheet(ExcelRun& run, const QString& mode) {
    WriteViewpointSheet(run, QStringLiteral("RFM分析１(M)"), u'Ｍ', mode);
}

} // namespace plw
