#pragma once

#include "workbook/xls/ChartModel.h"
#include "workbook/xls/OfficeArt.h"

#include <QString>

#include <pugixml.hpp>

#include <vector>

namespace plw {
class CellStore;
class OoxmlPackage;
} // namespace plw

namespace plw::xls {

class BiffStream;
class XlsNames;
class XlsStyles;

// The drawing of a worksheet as the classic format holds it: each chart of the sheet's drawing
// part becomes a chart frame of the sheet's OfficeArt drawing (MSODRAWING), its OBJ record and
// its chart substream. Frames are anchored to cells as the drawing part anchors them, the offsets
// inside the cells converted with the sheet's final column widths and row heights.
class XlsDrawing {
public:
    // Reads a drawing part and its charts. False with the construct the writer does not
    // translate, or with why a part cannot be read, in *unhandled.
    bool load(const OoxmlPackage& package, const QString& drawingPart, XlsStyles& styles,
              XlsNames& names, QString* unhandled);

    int chartCount() const { return int(mCharts.size()); }

    // Places the frames on the sheet: the sheet part (its columns and default sizes) and its
    // cells (the row heights).
    void place(const pugi::xml_node& worksheet, const CellStore& cells);

    // Appends the drawing's records to the sheet substream: drawing id 1.. (unique in the
    // workbook), object ids 1.. within the sheet.
    void write(BiffStream& out, int drawingId) const;

private:
    // Where a frame is anchored in the drawing part: 0-based cells, offsets in EMU.
    struct Marker {
        int column = 0;
        qint64 columnOffset = 0;
        int row = 0;
        qint64 rowOffset = 0;
    };
    struct Chart {
        QString name;
        Marker from;
        Marker to;
        int behaviour = 0;
        ChartModel model;
        OfficeArt::CellAnchor anchor;
        double widthPoints = 0;
        double heightPoints = 0;
    };
    std::vector<Chart> mCharts;
};

} // namespace plw::xls
