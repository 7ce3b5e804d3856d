#include "report/writers/AnalysisSheetWriters.h"

#include "app/Environment.h"
#include "db/Sub_DataBaseFotDB.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionSummary.h"
#include "report/writers/PLWAN40X_XLS_BUN1F5.h"
#include "report/writers/PLWAN40X_XLS_BUN1M5.h"
#include "rfm/AnalysisContext.h"
#include "settings/AnalysisParameters.h"
#include "settings/ParameterScreenState.h"

namespace plw {

AnalysisSheetInputs AnalysisSheetInputsOf(const AnalysisContext& context) {
    const AnalysisParameters& p = context.Parameters;
    const ParameterScreenState& screen = context.ParameterScreen;
    const ScoringStatistics& statistics = context.Statistics;
    const ClassificationTable& classifications = context.Conditions.Classifications();
    const auto on = ParameterFlagOn;
    SheetSelection selection;
    selection.Parameters = on(p.OutParameters);
    selection.GroupValues = on(p.OutGroupValues);
    selection.GroupMovement = context.Movement.has_value();
    selection.CustomerList = on(p.OutCustomerList);
    selection.RCount = on(p.OutRCount);
    selection.RAmount = on(p.OutRAmount);
    selection.FCount = on(p.OutFCount);
    selection.FAmount = on(p.OutFAmount);
    selection.MCount = on(p.OutMCount);
    selection.MAmount = on(p.OutMAmount);
    return {
        selection,
        ConditionSheetInput{
            context.Env.SavedConditionPath, ClassificationNames::FromTable(classifications).Levels,
            selection, on(p.DetailPeriodOn), on(p.LastVisitFromDetail), p.DetailFrom, p.DetailTo},
        ParameterSheetInput{screen.RThreshold, screen.FThreshold, screen.MThreshold,
                            screen.BaseDate, screen.GroupMatrix},
        GroupValueSheetInput{statistics.Groups, ParameterOption(p.LeftChartType, 3),
                             ParameterOption(p.RightChartType, 6)},
        CustomerListInput{*context.Databases.Transaction,
                          classifications,
                          context.Time,
                          ParameterOption(p.ListOrder, 3),
                          {on(p.ListGroupA), on(p.ListGroupB), on(p.ListGroupC), on(p.ListGroupD),
                           on(p.ListGroupE), on(p.ListGroupX)},
                          on(p.DetailPeriodOn),
                          LeftOutItems(p)},
        MatrixSheetInput{statistics.Cells, statistics.MaxCellCount, statistics.MaxCellAmount,
                         screen.GroupMatrix, screen.RThreshold, screen.FThreshold,
                         screen.MThreshold},
        context.Movement,
    };
}

void AnalysisSheetWriters::WriteConditionSheet(ExcelRun& run) {
    plw::WriteConditionSheet(run, mInputs.Conditions);
}

void AnalysisSheetWriters::WriteParameterSheet(ExcelRun& run) {
    plw::WriteParameterSheet(run, mInputs.Parameters);
}

void AnalysisSheetWriters::WriteGroupValueSheet(ExcelRun& run) {
    plw::WriteGroupValueSheet(run, mInputs.GroupValues);
}

void AnalysisSheetWriters::WriteGroupMovementSheet(ExcelRun& run) {
    if (mInputs.Movement)
        plw::WriteGroupMovementSheet(run, *mInputs.Movement);
}

void AnalysisSheetWriters::WriteCustomerList(ExcelRun& run, const QString& workTable,
                                             qint64 extractedCount) {
    plw::WriteCustomerList(run, mInputs.CustomerList, workTable, extractedCount);
}

void AnalysisSheetWriters::WriteRSheet(ExcelRun& run, MatrixMode mode) {
    plw::WriteRSheet(run, mInputs.Matrix, mode);
}

void AnalysisSheetWriters::WriteFSheet(ExcelRun& run, MatrixMode mode) {
    plw::WriteFSheet(run, mInputs.Matrix, mode);
}

void AnalysisSheetWriters::WriteMSheet(ExcelRun& run, MatrixMode mode) {
    plw::WriteMSheet(run, mInputs.Matrix, mode);
}

void AnalysisSheetWriters::CompleteIndex(ExcelRun& run) {
    plw::CompleteIndex(run);
}

} // namespace plw
