#pragma once

#include "workbook/xls/ChartModel.h"

#include <QString>

#include <pugixml.hpp>

namespace plw::xls {

class XlsNames;
class XlsStyles;

// Reads a chart part (a DrawingML chart) into the model the chart substream is written from:
// its fonts become FONT records of the workbook, its number formats FORMAT records, the sheets
// its formulas refer to EXTERNSHEET entries. Only what the classic format can say is read; the
// element list of the handled constructs keeps the rest out before.
class ChartReader {
public:
    ChartReader(XlsStyles& styles, XlsNames& names) : mStyles(styles), mNames(names) {}

    // False with what the format cannot express, as the operator reads it ("グラフの数式 ...",
    // "複数の種類を組み合わせたグラフ").
    bool read(const pugi::xml_node& chartSpace, ChartModel* chart, QString* unhandled);

private:
    XlsStyles& mStyles;
    XlsNames& mNames;
};

} // namespace plw::xls
