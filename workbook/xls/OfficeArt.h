#pragma once

#include "workbook/xls/BiffStream.h"

#include <QString>

#include <vector>

// The OfficeArt records embedded objects are drawn with: the drawing group of the workbook
// (MSODRAWINGGROUP) and each sheet's drawing (MSODRAWING), with the OBJ record of each object.
namespace plw::xls::OfficeArt {

// Where an object lies on its sheet: the cell of each corner (0-based) with the offset into it,
// in 1/1024 of the column's width and 1/256 of the row's height.
struct CellAnchor {
    int column1 = 0;
    int dx1 = 0;
    int row1 = 0;
    int dy1 = 0;
    int column2 = 0;
    int dx2 = 0;
    int row2 = 0;
    int dy2 = 0;
    // 0: moved and sized with the cells; 2: moved, not sized; 3: neither.
    int behaviour = 0;
};

// A drawing of a sheet: its id (1..) and the shapes it holds besides the group shape of the sheet.
struct DrawingCount {
    int id = 0;
    int shapes = 0;
};

// The data of the workbook's MSODRAWINGGROUP record: the shape ids each drawing uses and the
// default shape properties.
RecordData DrawingGroup(const std::vector<DrawingCount>& drawings);

// One chart frame of a drawing: its anchor and its name ("GRAF_R5").
struct ChartFrame {
    CellAnchor anchor;
    QString name;
};

// The data of the MSODRAWING records of a drawing holding chart frames, one record per frame:
// the first also opens the drawing and its group shape, whose lengths count every frame.
std::vector<RecordData> ChartDrawing(int drawingId, const std::vector<ChartFrame>& frames);

// The data of the OBJ record of a chart (object id 1..).
RecordData ChartObject(int objectId);

} // namespace plw::xls::OfficeArt
