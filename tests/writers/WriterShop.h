#pragma once

#include "report/PLWAN40X_XLScmn.h"
#include "report/writers/AnalysisSheetWriters.h"
#include "tests/rfm/AnalysisShop.h"
#include "workbook/Workbook.h"

#include <memory>

namespace plw::test {

// The progress display, recorded.
struct RecordingProgress final : ProgressSink {
    void open() override {}
    void showStep(const QString& text) override { steps << text; }
    void showCount(const QString& text) override { counts << text; }
    void showPercent(int percent) override { percents << percent; }
    void setCounterVisible(bool visible) override { counterVisible = visible; }
    QStringList steps;
    QStringList counts;
    QList<int> percents;
    bool counterVisible = false;
};

// A sample shop scored as a run scores it (WorkRFM_1 and the statistics filled, the parameters
// and screens loaded from its settings), with the installed template open as the output workbook
// and the run state the sheet writers share.
class WriterShop : public AnalysisShop {
protected:
    void SetUp() override;
    void TearDown() override;

    // Scores the shop again after the parameters or screens changed.
    void score();
    // Saves the output workbook and opens the file as a reader would.
    Workbook& saved();
    // The sheet writers fed from the run's context as it is now.
    AnalysisSheetWriters sheetWriters() const {
        return AnalysisSheetWriters(AnalysisSheetInputsOf(*mContext));
    }

    qint64 mExtracted = 0;
    RecordingProgress mRecorded;
    std::unique_ptr<Workbook> mBook;
    std::unique_ptr<ExcelRun> mRun;
    Workbook mRead;
};

} // namespace plw::test
