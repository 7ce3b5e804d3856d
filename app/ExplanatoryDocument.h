#pragma once

#include <QString>

namespace plw {

class DocumentOpener;
class Prompter;

// The document that explains how the analysis's dates relate to each other.
inline const QString ExplanatoryDocumentName = QStringLiteral("説明：RFM分析日付の関係.pdf");

// Where the document is: where the program's files are (ProgramFileFolders), else in the
// current folder; "" when it is in none of them.
QString FindExplanatoryDocument(const QString& programFolder);

// The parameter screen's "説明": opens the document with the desktop's registered viewer. A
// missing document is reported with the places looked at; the opener reports its own failures.
void OpenExplanatoryDocument(const QString& programFolder, DocumentOpener& opener,
                             Prompter& prompter);

} // namespace plw
