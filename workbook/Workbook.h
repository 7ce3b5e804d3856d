#pragma once

#include "workbook/OoxmlPackage.h"
#include "workbook/SharedStrings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace plw {

class ChartXml;
class Styles;
class Worksheet;

// A workbook package opened for editing: its sheets, shared strings and styles, and the one entry
// point for structural changes (copy, rename, delete, move), which keeps content types,
// relationships, defined names, sheet views and document properties in step.
//
// An output workbook is built inside a copy of a template package: openTemplate() marks every
// sheet of the package as a template original, copySheet() makes output sheets of them, and
// save() writes the output sheets in their order without the originals. A copy may take the name
// of a template original ("抽出条件" stays "抽出条件"); output sheet names are unique.
class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Opens a workbook; every sheet is an output sheet (reading a saved workbook back).
    bool open(const QString& path, QString* error);
    // Opens a template; every sheet is a template original, removed at save.
    bool openTemplate(const QString& path, QString* error);

    // The output sheets in workbook order, and the template originals.
    QStringList sheetNames() const;
    QStringList templateSheetNames() const;
    // An output sheet by name (letter case ignored); null when there is none or it cannot be read
    // (*error says why).
    Worksheet* sheet(const QString& name, QString* error = nullptr);

    // Copies a template original (or, when none has that name, an output sheet) with its drawing
    // and charts and appends the copy as the last output sheet under newName. Null with a reason
    // when there is no such sheet or newName is not a valid, unused sheet name.
    Worksheet* copySheet(const QString& source, const QString& newName, QString* error);
    bool renameSheet(const QString& name, const QString& newName, QString* error);
    bool deleteSheet(const QString& name, QString* error);
    // Moves an output sheet to a 0-based position among the output sheets.
    bool moveSheet(const QString& name, int position, QString* error);

    // The first output sheet active and its A1 selected; it is the one selected tab.
    void activateFirstSheet();

    // The formula of a defined name (_xlnm.Print_Titles), the one local to sheet when a sheet is
    // given, else the workbook's own; empty when there is none.
    QString definedName(const QString& name, const QString& sheet = {}) const;

    Styles& styles();
    OoxmlPackage& package() { return mPackage; }
    const SharedStrings& sharedStrings() const { return mStrings; }

    // Saves the output sheets as an .xlsx package (the template originals removed), atomically.
    bool save(const QString& path, QString* error);

    // Brings the package in step with the output sheets as saving does (template originals
    // removed, chart caches refreshed, the workbook, styles, chart and property parts written)
    // but leaves every sheet part's cell data empty: for a writer of another format, which reads
    // the parts from package() and the cells from each sheet's store. save() may follow.
    bool prepareOutput(QString* error);

    // Why a sheet name cannot be used: "" when it can (at most 31 characters, none of
    // []:*?/\, not starting or ending with an apostrophe, not "History", not empty).
    static QString SheetNameProblem(const QString& name);

private:
    struct Sheet;
    struct DefinedName;

    bool load(const QString& path, bool asTemplate, QString* error);
    Sheet* find(const QString& name, bool original);
    int outputIndex(const Sheet* sheet) const;
    bool checkNewName(const QString& name, const Sheet* except, QString* error) const;
    // Calls edit for every chart of the output sheets.
    bool forEachChart(const std::function<void(ChartXml&)>& edit, QString* error);
    // Defined names into sheet follow whole columns deleted from it (ascending, 1-based).
    void deleteColumnsInNames(const QString& sheet, const QList<int>& columns);
    bool writeWorkbookPart(QString* error);
    bool refreshChartCaches(QString* error);
    bool finishOutput(bool withCells, QString* error);
    bool writeSheetsAndStrings(bool withCells, QString* error);
    void writeDocumentProperties();

    OoxmlPackage mPackage;
    QString mWorkbookPart;
    QByteArray mWorkbookXml;
    SharedStrings mStrings;
    std::unique_ptr<Styles> mStyles;
    QString mStylesPart;
    std::vector<std::unique_ptr<Sheet>> mSheets; // originals, then output sheets in order
    std::vector<DefinedName> mNames;
    int mActive = 0;

    friend class Worksheet;
};

} // namespace plw
