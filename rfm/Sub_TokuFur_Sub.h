#pragma once

#include <QString>

namespace plw {

class Prompter;
struct AnalysisParameters;

// Checks the workbook name typed into txtOtFname and completes it in place, in this order: the
// trimmed text must not be empty; the file-name rules hold for the name as typed, which holds no
// control character; a folder is an absolute one; a bare name is placed in the documents folder
// (created only when the workbook is saved); the extension, when there is one, is XLS. Then what
// saving needs: ".xls" added to a name without an extension, the folder there and writable (the
// documents folder may still be missing), an existing workbook writable, the file name within
// the file system's limit, and the name within what the parameter record holds. False after the
// message (the caller then focuses txtOtFname).
bool CheckOutputFileName(QString& text, Prompter& prompter, const AnalysisParameters& parameters);

// The name the save dialog gave, split into its folder and file for the dialog's next opening; a
// file whose fourth character from the end is not a point gets ".XLS".
struct ChosenWorkbook {
    QString Folder;
    QString File;
};
ChosenWorkbook CompleteChosenWorkbook(const QString& chosen);

} // namespace plw
