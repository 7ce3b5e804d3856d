#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace plw::xls {

class BiffStream;

// A defined name of the workbook.
struct DefinedName {
    QString name;        // "_xlnm.Print_Titles", "_xlnm.Print_Area" or a name of the user's
    int localSheet = -1; // 0-based sheet the name belongs to; -1 for the workbook
    bool hidden = false;
    QString formula; // "'RFM顧客一覧'!$A:$E,'RFM顧客一覧'!$1:$1"
};

// The defined names as NAME records, with the link records their references need: the
// workbook's own SUPBOOK and an EXTERNSHEET entry per sheet referred to. References are areas,
// cells, whole rows or whole columns of the workbook's sheets, one or several (a union).
class XlsNames {
public:
    // False with the name or reference that cannot be written.
    bool load(const std::vector<DefinedName>& names, const QStringList& sheets, QString* unhandled);
    bool isEmpty() const { return mNames.empty(); }
    // The EXTERNSHEET entry of a sheet, added when new (charts refer to sheets through it too).
    int externSheet(int sheet);

    // SUPBOOK and EXTERNSHEET (when any sheet is referred to), then the NAME records.
    void write(BiffStream& globals) const;

    // The formula tokens of a reference list ("'Sheet'!$A$1:$B$2"); empty when it is not one.
    // Sheets named in it get EXTERNSHEET entries.
    QByteArray referenceTokens(const QString& formula);

private:
    struct Name {
        DefinedName source;
        int builtIn = -1;
        QByteArray tokens;
    };
    QStringList mSheets;
    std::vector<int> mExternSheets; // sheet of each EXTERNSHEET entry
    std::vector<Name> mNames;
};

} // namespace plw::xls
