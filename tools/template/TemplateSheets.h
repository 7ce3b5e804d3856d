#pragma once

#include "tools/template/TemplateSheet.h"

#include <QString>

namespace plw::TemplateSheets {

// The sheets of the template workbook PLWAN40X.EXL, in workbook order. The program copies each
// one and fills the copy; every cell and chart name it relies on is laid out here.
const QString& ConditionSheetName();    // "抽出条件"
const QString& ParameterSheetName();    // "元解析パラメータ"
const QString& GroupValueSheetName();   // "元Ｇ１"
const QString& CustomerListSheetName(); // "元シート"
const QString& AnalysisSheetName();     // "元解析１"
const QString& MovementSheetName();     // "元グループ推移"

// Top rows of the five blocks of the analysis sheet, viewpoint rank 5 down to 1.
constexpr int kAnalysisBlockTop[5] = {3, 14, 25, 39, 50};

TemplateSheet ConditionSheet();
TemplateSheet ParameterSheet();
TemplateSheet GroupValueSheet();
TemplateSheet CustomerListSheet();
TemplateSheet AnalysisSheet();
TemplateSheet MovementSheet();

} // namespace plw::TemplateSheets
