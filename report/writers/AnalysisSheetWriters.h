#pragma once

#include "report/PLWAN40X_XLScmn.h"
#include "report/writers/GroupMovementSheet.h"
#include "report/writers/PLWAN40X_XLS.h"
#include "report/writers/PLWAN40X_XLS_BUN1G1.h"
#include "report/writers/PLWAN40X_XLS_BUN1KS.h"
#include "report/writers/PLWAN40X_XLS_BUN1R5.h"
#include "report/writers/PLWAN40X_XLS_TyuJkn.h"

#include <optional>

namespace plw {

struct AnalysisContext;

// Everything the sheets of an analysis workbook are written from.
struct AnalysisSheetInputs {
    SheetSelection Selection;
    ConditionSheetInput Conditions;
    ParameterSheetInput Parameters;
    GroupValueSheetInput GroupValues;
    CustomerListInput CustomerList;
    MatrixSheetInput Matrix;
    // The run against a kept one; none when the run is not compared.
    std::optional<GroupMovement> Movement;
};

// The inputs of the sheets, taken from a scored run's context: the output settings and the
// detailed period from the parameters as the run stored them, the thresholds, base date and
// group matrix from the parameter screen, the figures from the statistics, the group movement
// when the run was compared with a kept run.
AnalysisSheetInputs AnalysisSheetInputsOf(const AnalysisContext& context);

// The writers of an analysis workbook's sheets, each in its module, fed with its inputs.
class AnalysisSheetWriters final : public SheetWriters {
public:
    explicit AnalysisSheetWriters(AnalysisSheetInputs inputs) : mInputs(std::move(inputs)) {}

    // The sheets the inputs select.
    const SheetSelection& selection() const { return mInputs.Selection; }

    void WriteConditionSheet(ExcelRun& run) override;
    void WriteParameterSheet(ExcelRun& run) override;
    void WriteGroupValueSheet(ExcelRun& run) override;
    void WriteGroupMovementSheet(ExcelRun& run) override;
    void WriteCustomerList(ExcelRun& run, const QString& workTable, qint64 extractedCount) override;
    void WriteRSheet(ExcelRun& run, MatrixMode mode) override;
    void WriteFSheet(ExcelRun& run, MatrixMode mode) override;
    void WriteMSheet(ExcelRun& run, MatrixMode mode) override;
    void CompleteIndex(ExcelRun& run) override;

private:
    const AnalysisSheetInputs mInputs;
};

} // namespace plw
