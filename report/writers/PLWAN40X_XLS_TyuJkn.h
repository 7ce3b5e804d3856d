#pragma once

#include "extract/Classifications.h"
#include "report/PLWAN40X_XLScmn.h"

#include <QString>

#include <array>

namespace plw {

// What the condition sheet shows.
struct ConditionSheetInput {
    // The saved conditions PLWAN40.JKN, read as the sheet is written.
    QString SavedConditionPath;
    // The names of classification levels 1 to 4.
    std::array<QString, ClassificationLevels> LevelNames;
    // The sheets the run writes: each gets an index entry.
    SheetSelection Sheets;
    // The detailed purchase period, its dates "YYYYMMDD".
    bool DetailPeriodOn = false;
    bool LastVisitFromDetail = false;
    QString DetailFrom;
    QString DetailTo;
};

// The condition sheet "抽出条件": the workbook's index with an entry for every selected sheet,
// then the conditions of the run as saved in PLWAN40.JKN.
void WriteConditionSheet(ExcelRun& run, const ConditionSheetInput& input);

// One index entry: the named sheet in B of the next row, linked by CompleteIndex.
void AddIndexLink(ExcelRun& run, const QString& sheetName);

// Once the other sheets are written: each index entry becomes a link to cell B1 of its sheet
// when that sheet exists, else it says "（未作成）" (after a cancel, or without its template
// sheet).
void CompleteIndex(ExcelRun& run);

} // namespace plw
