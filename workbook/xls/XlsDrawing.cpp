#include "workbook/xls/XlsDrawing.h"

#include "workbook/CellStore.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/XmlPart.h"
#include "workbook/xls/BiffStream.h"
#include "workbook/xls/ChartReader.h"
#include "workbook/xls/ChartSubstream.h"
#include "workbook/xls/HandledConstructs.h"
#include "workbook/xls/RecordIds.h"
#include "workbook/xls/XlsWorksheet.h"
#include "workbook/xls/XmlValues.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace plw::xls {

using XmlPart::Attribute;
using XmlPart::Child;

namespace {

constexpr double kEmuPerPixel = 9525;
constexpr double kPointsPerPixel = 0.75;
// The width in pixels of a digit of the default font, which column widths are counted in.
constexpr int kDigitWidth = 7;

// The relationship id of an element (r:id, whatever the prefix).
QString RelationshipId(const pugi::xml_node& node) {
    for (const pugi::xml_attribute& attribute : node.attributes())
        if (QByteArray(attribute.name()).endsWith(":id"))
            return QString::fromUtf8(attribute.value());
    return {};
}

qint64 Number(const pugi::xml_node& node, const char* child) {
    return QString::fromUtf8(Child(node, child).text().get()).trimmed().toLongLong();
}

// The widths of the columns and the heights of the rows of a sheet in pixels, as a spreadsheet
// program lays them out.
class SheetGeometry {
public:
    SheetGeometry(const pugi::xml_node& worksheet, const CellStore& cells) : mCells(cells) {
        const pugi::xml_node format = Child(worksheet, "sheetFormatPr");
        const double base = format.attribute("baseColWidth").as_double(8);
        mDefaultWidth =
            format.attribute("defaultColWidth")
                ? Pixels(format.attribute("defaultColWidth").as_double())
                : int(std::floor((base * kDigitWidth + 5) / kDigitWidth * 256) / 256 * kDigitWidth);
        mDefaultHeight =
            int(std::lround(format.attribute("defaultRowHeight").as_double(15) / kPointsPerPixel));
        if (BoolAttribute(format, "zeroHeight", false))
            mDefaultHeight = 0;
        for (const pugi::xml_node& col : Children(Child(worksheet, "cols"), "col")) {
            const int first = col.attribute("min").as_int(1);
            const int last = std::min(col.attribute("max").as_int(first), MaxXlsColumn);
            const int width =
                BoolAttribute(col, "hidden", false)
                    ? 0
                    : (col.attribute("width") ? Pixels(col.attribute("width").as_double())
                                              : mDefaultWidth);
            for (int c = std::max(first, 1); c <= last; ++c)
                mWidths.emplace_back(c - 1, width);
        }
    }

    // 0-based column and row.
    int columnWidth(int column) const {
        for (const auto& [c, width] : mWidths)
            if (c == column)
                return width;
        return mDefaultWidth;
    }
    int rowHeight(int row) const {
        int height = mDefaultHeight;
        for (const auto& [name, value] : mCells.rowAttributes(row + 1)) {
            if (name == "hidden" && value != "0" && value != "false")
                return 0;
            if (name == "ht")
                height = int(std::lround(value.toDouble() / kPointsPerPixel));
        }
        return height;
    }

private:
    // The pixels of a width in characters as the sheet stores it.
    static int Pixels(double characters) {
        return int(
            std::floor((256 * characters + std::floor(128.0 / kDigitWidth)) / 256 * kDigitWidth));
    }

    const CellStore& mCells;
    int mDefaultWidth = 64;
    int mDefaultHeight = 20;
    std::vector<std::pair<int, int>> mWidths;
};

} // namespace

bool XlsDrawing::load(const OoxmlPackage& package, const QString& drawingPart, XlsStyles& styles,
                      XlsNames& names, QString* unhandled) {
    pugi::xml_document drawing;
    if (!XmlPart::Parse(package.part(drawingPart), drawingPart, drawing, unhandled))
        return false;
    const pugi::xml_node root = drawing.document_element();
    if (const QString found = FirstUnhandled(PartKind::Drawing, root); !found.isEmpty()) {
        *unhandled = found;
        return false;
    }
    QList<Relationship> relationships;
    if (!package.relationships(drawingPart, &relationships, unhandled))
        return false;
    ChartReader reader(styles, names);
    for (const pugi::xml_node& anchor : Children(root, "twoCellAnchor")) {
        const pugi::xml_node frame = Child(anchor, "graphicFrame");
        const QString name = Attribute(Child(Child(frame, "nvGraphicFramePr"), "cNvPr"), "name");
        const pugi::xml_node reference =
            Child(Child(Child(frame, "graphic"), "graphicData"), "chart");
        QString chartPart;
        for (const Relationship& relationship : relationships)
            if (!relationship.external && relationship.id == RelationshipId(reference))
                chartPart = OoxmlPackage::targetPartName(drawingPart, relationship);
        if (!frame || chartPart.isEmpty()) {
            *unhandled = QStringLiteral("グラフ以外の描画オブジェクト");
            return false;
        }
        const QString where = QStringLiteral("グラフ %1").arg(name);
        // The styles a chart program offers for the chart change nothing it shows.
        QList<Relationship> chartRelationships;
        if (!package.relationships(chartPart, &chartRelationships, unhandled))
            return false;
        for (const Relationship& relationship : chartRelationships) {
            const QString kind = relationship.type.section(u'/', -1);
            if (kind != u"chartStyle" && kind != u"chartColorStyle") {
                *unhandled = QStringLiteral("グラフに関連する %1 部品 (%2)").arg(kind, where);
                return false;
            }
        }
        pugi::xml_document part;
        if (!XmlPart::Parse(package.part(chartPart), chartPart, part, unhandled))
            return false;
        Chart chart;
        chart.name = name;
        if (const QString found = FirstUnhandled(PartKind::Chart, part.document_element());
            !found.isEmpty() || !reader.read(part.document_element(), &chart.model, unhandled)) {
            *unhandled = QStringLiteral("%1 (%2)").arg(found.isEmpty() ? *unhandled : found, where);
            return false;
        }
        const auto marker = [](const pugi::xml_node& node) {
            return Marker{int(Number(node, "col")), Number(node, "colOff"),
                          int(Number(node, "row")), Number(node, "rowOff")};
        };
        chart.from = marker(Child(anchor, "from"));
        chart.to = marker(Child(anchor, "to"));
        const QString editAs = Attribute(anchor, "editAs");
        chart.behaviour = editAs == u"oneCell" ? 2 : editAs == u"absolute" ? 3 : 0;
        mCharts.push_back(std::move(chart));
    }
    // A drawing's shape ids come in one cluster of 1024, the group shape's among them.
    if (mCharts.size() > 1023) {
        *unhandled = QStringLiteral("1,023 を超える数のグラフ");
        return false;
    }
    return true;
}

namespace {

// A corner along one direction: the cell it lies in, its offset into the cell in parts of the
// cell (of `parts`), and its distance from the sheet's edge in pixels. size(cell) is a cell's
// size in pixels; an offset beyond its cell moves on to the next.
struct Place {
    int cell = 0;
    int part = 0;
    double pixels = 0;
};

Place Locate(int cell, double offset, int last, int parts, const std::function<int(int)>& size) {
    while (cell < last && size(cell) > 0 && offset >= size(cell)) {
        offset -= size(cell);
        ++cell;
    }
    const int extent = size(cell);
    Place out;
    out.cell = cell;
    out.part = extent > 0 ? std::clamp(int(std::lround(offset / extent * parts)), 0, parts - 1) : 0;
    for (int c = 0; c < cell; ++c)
        out.pixels += size(c);
    out.pixels += extent * out.part / double(parts);
    return out;
}

} // namespace

void XlsDrawing::place(const pugi::xml_node& worksheet, const CellStore& cells) {
    const SheetGeometry geometry(worksheet, cells);
    const auto width = [&](int column) {
        return geometry.columnWidth(column);
    };
    const auto height = [&](int row) {
        return geometry.rowHeight(row);
    };
    const auto across = [&](const Marker& marker) {
        return Locate(std::clamp(marker.column, 0, MaxXlsColumn - 1),
                      std::max<qint64>(0, marker.columnOffset) / kEmuPerPixel, MaxXlsColumn - 1,
                      1024, width);
    };
    const auto down = [&](const Marker& marker) {
        return Locate(std::clamp(marker.row, 0, MaxXlsRow - 1),
                      std::max<qint64>(0, marker.rowOffset) / kEmuPerPixel, MaxXlsRow - 1, 256,
                      height);
    };
    for (Chart& chart : mCharts) {
        const Place left = across(chart.from);
        const Place top = down(chart.from);
        const Place right = across(chart.to);
        const Place bottom = down(chart.to);
        chart.anchor = {left.cell,  left.part,   top.cell,    top.part,       right.cell,
                        right.part, bottom.cell, bottom.part, chart.behaviour};
        chart.widthPoints = std::max(1.0, (right.pixels - left.pixels) * kPointsPerPixel);
        chart.heightPoints = std::max(1.0, (bottom.pixels - top.pixels) * kPointsPerPixel);
    }
}

void XlsDrawing::write(BiffStream& out, int drawingId) const {
    std::vector<OfficeArt::ChartFrame> frames;
    for (const Chart& chart : mCharts)
        frames.push_back({chart.anchor, chart.name});
    const std::vector<RecordData> drawings = OfficeArt::ChartDrawing(drawingId, frames);
    for (size_t i = 0; i < mCharts.size(); ++i) {
        out.add(Rec::MsoDrawing, drawings[i]);
        out.add(Rec::Obj, OfficeArt::ChartObject(int(i) + 1));
        WriteChartSubstream(mCharts[i].model, {mCharts[i].widthPoints, mCharts[i].heightPoints},
                            out);
    }
}

} // namespace plw::xls
