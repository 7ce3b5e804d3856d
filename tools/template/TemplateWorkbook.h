#pragma once

#include <QString>

namespace plw {

class OoxmlPackage;

// The template workbook PLWAN40X.EXL: an .xlsx package with the sheets "抽出条件",
// "元解析パラメータ", "元Ｇ１", "元シート", "元解析１" and "元グループ推移" (TemplateSheets) that
// the program copies and fills, with their styles, drawings and charts.
class TemplateWorkbook {
public:
    // Builds the whole package into *package (assumed empty). False with a reason when a part
    // cannot be assembled.
    static bool Build(OoxmlPackage* package, QString* error);
    // Builds the package and saves it at path (atomically, replacing an existing file).
    static bool Write(const QString& path, QString* error);
};

} // namespace plw
