#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace plw {

// The failures of the workbook engine that can reach the operator, numbered by module: the
// package 1000s, parts 1100s, the workbook 1200s, worksheets and cells 1300s, styles 1400s,
// charts 1500s, the conversion 1600s, saving 1700s. docs/ERRORS.md explains each one and what
// the operator can do.
enum class EngineFault {
    // The package (the zip file and its parts)
    PackageUnreadable = 1001,
    PackageNotZip = 1002,
    PackageEntryUnreadable = 1003,
    PackagePartUnreadable = 1004,
    PackageWithoutContentTypes = 1005,
    PackageNotBuilt = 1006,
    PackagePartNotAdded = 1007,
    PackageNotSaved = 1008,
    PartWithoutRelationships = 1009,
    RelationshipMissing = 1010,
    // Parts
    PartNotXml = 1101,
    PartMissing = 1102,
    // The workbook
    NoWorkbook = 1201,
    SheetWithoutPart = 1202,
    SheetMissing = 1203,
    CopySourceMissing = 1204,
    SheetNameEmpty = 1205,
    SheetNameTooLong = 1206,
    SheetNameCharacter = 1207,
    SheetNameApostrophe = 1208,
    SheetNameReserved = 1209,
    SheetNameTaken = 1210,
    SheetNotMovable = 1211,
    NoSheetLeft = 1212,
    // Worksheets and cells
    NotCellAddress = 1301,
    RangeTooLarge = 1302,
    SheetWithoutCells = 1303,
    WorksheetWithoutCells = 1304,
    FillRefused = 1305,
    FontSizeRefused = 1306,
    NotColumnList = 1307,
    ChartMissing = 1308,
    WorksheetNotXml = 1309,
    SharedStringMissing = 1310,
    CellNotNumber = 1311,
    RowOutOfOrder = 1312,
    CellReferenceUnusable = 1313,
    RowTooWide = 1314,
    DimensionUnreadable = 1315,
    SharedStringsNotXml = 1316,
    SharedStringsWithoutTable = 1317,
    // Styles
    NotStylesheet = 1401,
    StylesWithoutCellFormats = 1402,
    // Charts
    NotChart = 1501,
    SeriesMissing = 1502,
    ScaleNotRange = 1503,
    ValueAxisMissing = 1504,
    ColourNotInPalette = 1505,
    PointMissing = 1506,
    SeriesAxisMissing = 1507,
    ChartTypeRefused = 1508,
    ChartTypeNotChangeable = 1509,
    // The conversion by LibreOffice
    ConverterMissing = 1601,
    ConversionInputMissing = 1602,
    ConversionFolderRefused = 1603,
    ConversionProfileRefused = 1604,
    ConverterNotStarted = 1605,
    ConversionTimedOut = 1606,
    ConversionFailed = 1607,
    ConversionWithoutOutput = 1608,
    ConversionNotPlaced = 1609,
    // Saving the workbook
    SaveFolderRefused = 1702,
    SaveConversionFailed = 1703,
    SaveXlsFailed = 1704,
};

// A fault with its Japanese text; %1, %2, ... mark where the details of one failure go.
struct EngineFaultText {
    EngineFault fault;
    const char16_t* text;
};

// Every fault, in the order of its number.
std::span<const EngineFaultText> EngineFaults();

// The operator's text of a failure: the fault's number, a blank, and its text with the details
// put in for %1, %2, ... (each detail as it is, even when it holds a "%").
QString EngineErrorText(EngineFault fault, const QStringList& details = {});

// Sets *error, when given, to EngineErrorText(fault, details).
void SetEngineError(QString* error, EngineFault fault, const QStringList& details = {});

} // namespace plw
