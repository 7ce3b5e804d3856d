#pragma once

#include "report/PLWAN40X_XLScmn.h"
#include "rfm/WorkbookWriter.h"

#include <functional>
#include <memory>

namespace plw {

class RunningSpreadsheetDialog;
class Sleeper;
class SpreadsheetHost;

// The workbook step of an analysis run: the sheets selected in the parameters written from the
// template in the program folder and saved as the classic .xls by the engine's writer (through
// LibreOffice only when the workbook holds a construct that writer does not translate).
class ExcelWorkbookWriter final : public WorkbookWriter {
public:
    // The spreadsheet program that may hold the output workbook open.
    using HostFactory = std::function<std::unique_ptr<SpreadsheetHost>(const QString& workbook)>;

    ExcelWorkbookWriter(RunningSpreadsheetDialog& dialog, Sleeper& sleeper, HostFactory hosts);

    // The longest a conversion to .xls may take before it is given up.
    void setConversionLimit(int milliseconds) { mConversionLimitMs = milliseconds; }
    // Replaces the conversion of the finished .xlsx (LibreOffice's, to .xls), e.g. to time it.
    void setConversion(WorkbookConversion convert) { mConvert = std::move(convert); }
    // Without the engine's own .xls writer every workbook goes through the conversion.
    void setClassicWriter(bool on) { mClassicWriter = on; }

    WorkbookWriteEnd WriteWorkbook(AnalysisContext& context, const QString& workTable,
                                   qint64 extractedCount, WorkbookWritten& written) override;

private:
    RunningSpreadsheetDialog& mDialog;
    Sleeper& mSleeper;
    HostFactory mHosts;
    int mConversionLimitMs = 10 * 60 * 1000;
    WorkbookConversion mConvert;
    bool mClassicWriter = true;
};

} // namespace plw
