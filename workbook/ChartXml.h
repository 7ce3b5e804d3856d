#pragma once

#include "workbook/CellStore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace plw {

// One chart part (xl/charts/chartN.xml, a DrawingML chart) held as a DOM, with the edits the
// report makes to a template's charts: value-axis scale, bar colours, a reversed series axis, the
// chart type, and formulas following a renamed sheet. Elements are matched by local name, so
// charts saved by any spreadsheet program are read; every edit keeps the schema's element order.
//
// Series and points are 1-based, series in the plot's order (c:order, else document order) over
// every chart-type element of the plot area. Failures answer false with a reason in *error.
class ChartXml {
public:
    ChartXml();
    ~ChartXml();
    ChartXml(ChartXml&&) noexcept;
    ChartXml& operator=(ChartXml&&) noexcept;

    // Chart-type codes of the spreadsheet's object model that setChartType() builds and
    // chartTypeCode() recognises.
    enum ChartType {
        Line = 4,
        Pie = 5,
        ColumnClustered = 51,
        ColumnStacked = 52,
        ColumnStacked100 = 53,
        Column3DClustered = 54,
        BarClustered = 57,
        BarStacked = 58,
        BarStacked100 = 59,
        LineMarkers = 65,
        CylinderColumnClustered = 92,
        Column3D = -4100, // 3-D column with a series (depth) axis
        Doughnut = -4120,
    };

    // Parses a chart part. False with a reason when it is not well-formed XML or has no
    // chartSpace/chart/plotArea; the chart is then empty.
    bool load(const QByteArray& xml, QString* error);
    QByteArray toXml() const;

    // Fixed scale of the value axis (c:valAx/c:scaling c:min and c:max). Bounds must be finite
    // with minimum <= maximum. False with a reason when the chart has no value axis.
    bool setValueAxisScale(double minimum, double maximum, QString* error);
    // Leaves the value axis automatic: removes c:min and c:max.
    bool clearValueAxisScale(QString* error);

    // Colours one point of a series with a colour of the 56-colour palette (1..56): a c:dPt of
    // that point with a solid fill, replacing the fill of an existing one.
    bool setPointColor(int series, int point, int colorIndex, QString* error);

    // Reverses the order of the series (depth) axis (c:serAx orientation maxMin). False with a
    // reason when the chart has no series axis.
    bool setSeriesAxisReversed(QString* error);

    // Changes the chart to one of the ChartType codes: the plot's chart-type elements are replaced
    // by one of the new type holding every series (their formulas, names, fills, point colours
    // and labels kept as far as the new type allows: percentage labels only on a pie or a
    // doughnut), and the axes become the ones the type needs
    // (pie and doughnut none; 2-D bar, column and line category + value; 3-D column category +
    // value, + series axis for Column3D), existing axes reused, axis ids crossing each other.
    // A 100 % stacked type shows its value axis in percent ("0%"); a chart leaving one shows its
    // figures in their cells' format again. An unknown code is refused with a reason; a chart
    // already of that type is left unchanged.
    bool setChartType(int code, QString* error);

    // The ChartType code of the first chart-type element; 0 when it is none of them.
    int chartTypeCode() const;
    // The fixed bounds of the value axis; false when both are automatic (a bound left automatic
    // while the other is fixed reads as NaN).
    bool valueAxisScale(double* minimum, double* maximum) const;
    // The palette index of a point's solid fill (the lowest index of that colour); 0 when the
    // point has no own colour or it is not a palette colour.
    int pointColorIndex(int series, int point) const;
    bool seriesAxisReversed() const;
    // Every formula (c:f) of the chart, in document order.
    QStringList formulas() const;

    // Makes every formula referring to sheet oldName refer to newName (written quoted).
    void renameSheet(const QString& oldName, const QString& newName);

    // What a cell of the workbook holds (row and column 1-based); std::nullopt when the workbook
    // has no sheet of that name.
    using CellLookup =
        std::function<std::optional<CellValue>(const QString& sheet, int row, int column)>;
    // The values a chart shows are cached in the part (c:numCache under c:numRef, c:strCache
    // under c:strRef) beside their formulas; a reader that does not recalculate shows the cache.
    // Refreshes every cache whose formula names one cell or a one-row or one-column range of a
    // sheet from those cells. A cache whose sheet the lookup does not know, or whose formula is
    // anything else (several areas, a name), is left as it is. A number cache leaves out blank
    // and text cells, a text cache blank ones; a reference without a cache gets one.
    void refreshCaches(const CellLookup& cell);

private:
    // The part's DOM and the edits' steps on it, kept out of this header.
    struct Dom;
    std::unique_ptr<Dom> d;
};

} // namespace plw
