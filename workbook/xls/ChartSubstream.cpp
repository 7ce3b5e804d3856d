#include "workbook/xls/ChartSubstream.h"

#include "workbook/xls/BiffStream.h"
#include "workbook/xls/RecordIds.h"

#include <algorithm>
#include <cmath>

namespace plw::xls {

namespace {

// The chart's colour indices for what the chart program draws itself.
constexpr int kForeground = 0x4D; // text and lines
constexpr int kBackground = 0x4E; // areas
// Positions are in 1/4000 of the chart area.
constexpr int kPlotLeft = 240;
constexpr int kPlotTop = 360;
constexpr int kPlotWidth = 3400;
constexpr int kPlotHeight = 3300;

// Pos modes.
constexpr int kParent = 2;
constexpr int kAutoSize = 3;
constexpr int kChart = 5;

// ObjectLink targets.
constexpr int kLinkTitle = 1;
constexpr int kLinkPoint = 4;

void Rgb(RecordData& data, unsigned rgb) {
    data.u8(int((rgb >> 16) & 0xFF));
    data.u8(int((rgb >> 8) & 0xFF));
    data.u8(int(rgb & 0xFF));
    data.u8(0);
}

// A 16.16 fixed-point number.
std::uint32_t Fixed(double value) {
    return std::uint32_t(std::lround(std::max(0.0, value) * 65536));
}

double Or(double value, double fallback) {
    return std::isnan(value) ? fallback : value;
}

class ChartWriter {
public:
    ChartWriter(const ChartModel& chart, const ChartSize& size, BiffStream& out)
        : mChart(chart), mSize(size), mOut(out) {}

    void write();

private:
    void add(std::uint16_t id, const RecordData& data) { mOut.add(id, data); }
    void add(std::uint16_t id) { mOut.add(id); }
    void begin() { add(Rec::Begin); }
    void end() { add(Rec::End); }

    void pageSetup();
    void lineFormat(const ChartLine& line, bool axis = false);
    void areaFormat(const ChartFill& fill);
    void frame(const ChartArea& area);
    void pos(int topLeft, int bottomRight, int x1, int y1, int x2, int y2);
    void fontX(int font);
    void brai(int id, const ChartLink& link, int format = 0, bool unlinkedFormat = false);
    void seriesText(const QString& text);
    void text(const ChartText& look, int flags, int labelPosition = 0);
    void series(const ChartSeries& series, int index);
    void dataFormat(const ChartFormat& format, const std::optional<ChartLabels>& labels, int point,
                    int series);
    void markerFormat(const ChartMarker& marker);
    void attachedLabel(const ChartLabels& labels);
    void defaultText();
    void generatedText(const ChartText& look);
    void axes();
    void axisRecord(int type);
    void categoryAxis(const ChartAxis& axis, const ChartAxis& valueAxis, const ChartArea& floor);
    void valueAxis(const ChartAxis& axis, const ChartAxis& categoryAxis, const ChartArea& walls);
    void seriesAxis(const ChartAxis& axis);
    void axisStyle(const ChartAxis& axis, const ChartArea* wall);
    void chartGroup();
    void legend(const ChartLegend& legend);
    void title();
    void dataLabels();
    void labelText(const ChartLabels& labels, int series, int point);
    void seriesData();

    const ChartModel& mChart;
    const ChartSize& mSize;
    BiffStream& mOut;
};

void ChartWriter::write() {
    mOut.addBof(0x0020);
    pageSetup();
    // The size each font was chosen for: the chart as it is, so nothing is scaled.
    for (const auto& [font, height] : mChart.fonts) {
        RecordData basis;
        basis.u16(std::clamp(int(std::lround(mSize.widthPoints * 20)), 0, 0xFFFF));
        basis.u16(std::clamp(int(std::lround(mSize.heightPoints * 20)), 0, 0xFFFF));
        basis.u16(height);
        basis.u16(0); // relative to the chart area
        basis.u16(font);
        add(Rec::Fbi, basis);
    }
    RecordData units;
    units.u16(0);
    add(Rec::Units, units);

    RecordData chart;
    chart.u32(0);
    chart.u32(0);
    chart.u32(Fixed(mSize.widthPoints));
    chart.u32(Fixed(mSize.heightPoints));
    add(Rec::Chart, chart);
    begin();
    RecordData scale;
    scale.u16(1);
    scale.u16(1);
    add(Rec::Scl, scale);
    RecordData growth;
    growth.u32(0x00010000);
    growth.u32(0x00010000);
    add(Rec::PlotGrowth, growth);
    frame(mChart.chartArea);
    for (size_t i = 0; i < mChart.series.size(); ++i)
        series(mChart.series[i], int(i));

    RecordData properties;
    properties.u16((mChart.plotVisibleOnly ? 0x02 : 0) | 0x08); // the default plot area
    properties.u8(mChart.blanks);
    properties.u8(0);
    add(Rec::ShtProps, properties);
    defaultText();
    RecordData axesUsed;
    axesUsed.u16(1);
    add(Rec::AxesUsed, axesUsed);

    RecordData parent;
    parent.u16(0); // the primary axes
    parent.zeros(16);
    add(Rec::AxisParent, parent);
    begin();
    pos(kParent, kParent, kPlotLeft, kPlotTop, kPlotWidth, kPlotHeight);
    if (mChart.type == ChartModel::Type::Bar || mChart.type == ChartModel::Type::Line)
        axes();
    chartGroup();
    end();
    title();
    dataLabels();
    end();
    seriesData();
    add(Rec::Eof);
}

void ChartWriter::pageSetup() {
    add(Rec::Header, RecordData());
    add(Rec::Footer, RecordData());
    RecordData off;
    off.u16(0);
    add(Rec::HCenter, off);
    add(Rec::VCenter, off);
    RecordData setup;
    setup.u16(9); // A4
    setup.u16(100);
    setup.u16(1);
    setup.u16(1);
    setup.u16(1);
    setup.u16(0x0004 | 0x0040); // no printer settings, no orientation
    setup.u16(600);
    setup.u16(600);
    setup.f64(0.3);
    setup.f64(0.3);
    setup.u16(1);
    add(Rec::Setup, setup);
    RecordData printSize;
    printSize.u16(3); // as the chart is on the sheet
    add(Rec::PrintSize, printSize);
}

void ChartWriter::lineFormat(const ChartLine& line, bool axis) {
    RecordData data;
    const bool automatic = line.kind == ChartLine::Kind::Automatic;
    Rgb(data, automatic ? 0 : line.colour.rgb);
    data.u16(line.kind == ChartLine::Kind::None ? 5 : line.pattern);
    data.u16(line.kind == ChartLine::Kind::Solid ? line.weight : 0);
    data.u16((automatic ? 0x01 : 0) | (axis ? 0x04 : 0) | (automatic ? 0x08 : 0));
    data.u16(line.kind == ChartLine::Kind::Solid ? line.colour.icv : kForeground);
    add(Rec::LineFormat, data);
}

void ChartWriter::areaFormat(const ChartFill& fill) {
    RecordData data;
    const bool solid = fill.kind == ChartFill::Kind::Solid;
    const bool automatic = fill.kind == ChartFill::Kind::Automatic;
    Rgb(data, solid ? fill.colour.rgb : 0xFFFFFF);
    Rgb(data, 0);
    data.u16(fill.kind == ChartFill::Kind::None ? 0 : 1);
    data.u16(automatic ? 0x01 : 0);
    data.u16(solid ? fill.colour.icv : kBackground);
    data.u16(kForeground);
    add(Rec::AreaFormat, data);
}

void ChartWriter::frame(const ChartArea& area) {
    RecordData data;
    data.u16(0);    // no shadow
    data.u16(0x03); // sized and placed automatically
    add(Rec::Frame, data);
    begin();
    lineFormat(area.line);
    areaFormat(area.fill);
    end();
}

void ChartWriter::pos(int topLeft, int bottomRight, int x1, int y1, int x2, int y2) {
    RecordData data;
    data.u16(topLeft);
    data.u16(bottomRight);
    for (int value : {x1, y1, x2, y2}) {
        data.u16(value);
        data.u16(0);
    }
    add(Rec::Pos, data);
}

void ChartWriter::fontX(int font) {
    RecordData data;
    data.u16(font);
    add(Rec::FontX, data);
}

void ChartWriter::brai(int id, const ChartLink& link, int format, bool unlinkedFormat) {
    RecordData data;
    data.u8(id);
    // A reference to cells; else a text typed or made by the chart (id 0), or nothing.
    const bool reference = link.present && !link.tokens.isEmpty();
    data.u8(reference ? 2 : link.present || id == 0 ? 1 : 0);
    data.u16(unlinkedFormat ? 0x01 : 0);
    data.u16(std::max(format, 0));
    data.u16(reference ? int(link.tokens.size()) : 0);
    if (reference)
        data.bytes(link.tokens);
    add(Rec::Brai, data);
}

void ChartWriter::seriesText(const QString& text) {
    RecordData data;
    data.u16(0);
    data.unicodeString(text.left(255), true);
    add(Rec::SeriesText, data);
}

// flags: the Text record's option bits besides the colour's.
void ChartWriter::text(const ChartText& look, int flags, int labelPosition) {
    RecordData data;
    data.u8(2); // centred
    data.u8(2);
    data.u16(1); // transparent
    Rgb(data, look.colour ? look.colour->rgb : 0);
    data.zeros(16); // placed automatically
    data.u16(flags | (look.colour ? 0 : 0x01));
    data.u16(look.colour ? look.colour->icv : kForeground);
    data.u16(labelPosition & 0x0F);
    data.u16(look.rotation);
    add(Rec::Text, data);
}

void ChartWriter::series(const ChartSeries& series, int index) {
    RecordData data;
    const bool textCategories = series.categories.present && !series.categories.numeric;
    data.u16(textCategories ? 3 : 1);
    data.u16(1);
    data.u16(series.categories.present ? series.categories.count : series.values.count);
    data.u16(series.values.count);
    data.u16(1);
    data.u16(0);
    add(Rec::Series, data);
    begin();
    brai(0, series.name);
    if (series.name.present)
        seriesText(series.name.tokens.isEmpty() ? series.name.literal : series.name.texts.value(0));
    brai(1, series.values, series.values.format);
    brai(2, series.categories);
    brai(3, ChartLink());
    dataFormat(series.format, series.labels, 0xFFFF, index);
    for (const ChartPoint& point : series.points)
        dataFormat(point.format, point.labels, point.index, index);
    RecordData group;
    group.u16(0);
    add(Rec::SerToCrt, group);
    end();
}

void ChartWriter::dataFormat(const ChartFormat& format, const std::optional<ChartLabels>& labels,
                             int point, int series) {
    RecordData data;
    data.u16(point);
    data.u16(series);
    data.u16(series);
    data.u16(0);
    add(Rec::DataFormat, data);
    begin();
    if (mChart.threeD) {
        RecordData shape;
        shape.u8(mChart.shape & 0x01); // an elliptical base
        shape.u8(mChart.shape >> 1);   // pointed: at the top or at the largest value
        add(Rec::Chart3DBarShape, shape);
    }
    lineFormat(format.line);
    areaFormat(format.fill);
    RecordData pie;
    pie.u16(format.explosion);
    add(Rec::PieFormat, pie);
    if (mChart.type == ChartModel::Type::Line) {
        const ChartSeries& owner = mChart.series[size_t(series)];
        RecordData serFmt;
        serFmt.u16(owner.smooth ? 0x01 : 0);
        add(Rec::SerFmt, serFmt);
        markerFormat(format.marker.value_or(ChartMarker()));
    }
    if (labels)
        attachedLabel(*labels);
    end();
}

void ChartWriter::markerFormat(const ChartMarker& marker) {
    RecordData data;
    const bool fillSolid = marker.fill.kind == ChartFill::Kind::Solid;
    const bool lineSolid = marker.line.kind == ChartLine::Kind::Solid;
    Rgb(data, lineSolid ? marker.line.colour.rgb : 0);
    Rgb(data, fillSolid ? marker.fill.colour.rgb : 0);
    data.u16(marker.symbol);
    data.u16((marker.automatic ? 0x01 : 0) |
             (marker.fill.kind == ChartFill::Kind::None ? 0x10 : 0) |
             (marker.line.kind == ChartLine::Kind::None ? 0x20 : 0));
    data.u16(lineSolid ? marker.line.colour.icv : kForeground);
    data.u16(fillSolid ? marker.fill.colour.icv : kBackground);
    data.u32(std::uint32_t(marker.size * 20));
    add(Rec::MarkerFormat, data);
}

void ChartWriter::attachedLabel(const ChartLabels& labels) {
    RecordData data;
    data.u16((labels.value ? 0x01 : 0) | (labels.percent ? 0x02 : 0) |
             (labels.category ? 0x10 : 0) | (labels.seriesName ? 0x40 : 0));
    add(Rec::AttachedLabel, data);
}

// The font of every text of the chart that has none of its own.
void ChartWriter::defaultText() {
    RecordData id;
    id.u16(2);
    add(Rec::DefaultText, id);
    generatedText(mChart.defaultText);
}

// The label of a text the chart makes itself (the legend's, the default one) in a font.
void ChartWriter::generatedText(const ChartText& look) {
    text(look, 0x10 | 0x20 | 0x80);
    begin();
    pos(kParent, kParent, 0, 0, 0, 0);
    fontX(look.font);
    brai(0, ChartLink());
    end();
}

void ChartWriter::axes() {
    const ChartAxis& category = mChart.categoryAxis;
    const ChartAxis& value = mChart.valueAxis;
    categoryAxis(category, value, mChart.floor);
    valueAxis(value, category, mChart.walls);
    if (mChart.seriesAxis)
        seriesAxis(mChart.seriesAxisFormat);
    add(Rec::PlotArea);
    frame(mChart.plotArea);
}

// An axis (0 category, 1 value, 2 series) and the begin of its records.
void ChartWriter::axisRecord(int type) {
    RecordData data;
    data.u16(type);
    data.zeros(16); // placed automatically
    add(Rec::Axis, data);
    begin();
}

void ChartWriter::categoryAxis(const ChartAxis& axis, const ChartAxis& valueAxis,
                               const ChartArea& floor) {
    axisRecord(0);
    // Where the value axis crosses this one, and the label and tick intervals.
    RecordData range;
    range.u16(std::isnan(valueAxis.crossesAt) ? 1 : std::max(1, int(valueAxis.crossesAt)));
    range.u16(std::max(1, axis.labelSkip));
    range.u16(std::max(1, axis.markSkip));
    range.u16((valueAxis.between ? 0x01 : 0) | (valueAxis.crossesAtMaximum ? 0x02 : 0) |
              (axis.reversed ? 0x04 : 0));
    add(Rec::CatSerRange, range);
    RecordData extension;
    extension.u16(0);
    extension.u16(0);
    extension.u16(1);
    extension.u16(0);
    extension.u16(1);
    extension.u16(0);
    extension.u16(0);
    extension.u16(0);
    extension.u16(0x00EF); // every bound automatic, not a date axis
    add(Rec::AxcExt, extension);
    axisStyle(axis, mChart.threeD ? &floor : nullptr);
    end();
}

void ChartWriter::valueAxis(const ChartAxis& axis, const ChartAxis& categoryAxis,
                            const ChartArea& walls) {
    axisRecord(1);
    RecordData range;
    range.f64(Or(axis.minimum, 0));
    range.f64(Or(axis.maximum, 0));
    range.f64(Or(axis.majorUnit, 0));
    range.f64(Or(axis.minorUnit, 0));
    // Where the category axis crosses this one.
    range.f64(Or(categoryAxis.crossesAt, 0));
    range.u16((std::isnan(axis.minimum) ? 0x01 : 0) | (std::isnan(axis.maximum) ? 0x02 : 0) |
              (std::isnan(axis.majorUnit) ? 0x04 : 0) | (std::isnan(axis.minorUnit) ? 0x08 : 0) |
              (std::isnan(categoryAxis.crossesAt) ? 0x10 : 0) | (axis.reversed ? 0x40 : 0) |
              (categoryAxis.crossesAtMaximum ? 0x80 : 0) | 0x100);
    add(Rec::ValueRange, range);
    axisStyle(axis, mChart.threeD ? &walls : nullptr);
    end();
}

void ChartWriter::seriesAxis(const ChartAxis& axis) {
    axisRecord(2);
    RecordData range;
    range.u16(1);
    range.u16(std::max(1, axis.labelSkip));
    range.u16(std::max(1, axis.markSkip));
    range.u16(axis.reversed ? 0x04 : 0);
    add(Rec::CatSerRange, range);
    axisStyle(axis, nullptr);
    end();
}

// The number format, ticks, labels, font, lines and, on a 3-D chart, the wall or floor.
void ChartWriter::axisStyle(const ChartAxis& axis, const ChartArea* wall) {
    if (axis.format >= 0) {
        RecordData format;
        format.u16(axis.format);
        add(Rec::IFmtRecord, format);
    }
    RecordData tick;
    tick.u8(axis.deleted ? 0 : axis.majorTick);
    tick.u8(axis.deleted ? 0 : axis.minorTick);
    tick.u8(axis.deleted ? 0 : axis.labels);
    tick.u8(1); // transparent
    Rgb(tick, axis.text.colour ? axis.text.colour->rgb : 0);
    tick.zeros(16);
    tick.u16((axis.text.colour ? 0 : 0x01) | 0x02 | (axis.text.rotation ? 0 : 0x20));
    tick.u16(axis.text.colour ? axis.text.colour->icv : kForeground);
    tick.u16(axis.text.rotation);
    add(Rec::Tick, tick);
    fontX(axis.text.font);
    const auto axisLine = [&](int id, const ChartLine& line, bool shown) {
        RecordData data;
        data.u16(id);
        add(Rec::AxisLine, data);
        lineFormat(line, shown);
    };
    ChartLine line = axis.line;
    if (axis.deleted)
        line.kind = ChartLine::Kind::None;
    axisLine(0, line, !axis.deleted);
    if (axis.majorGridlines)
        axisLine(1, *axis.majorGridlines, false);
    if (axis.minorGridlines)
        axisLine(2, *axis.minorGridlines, false);
    if (wall) {
        axisLine(3, wall->line, false);
        areaFormat(wall->fill);
    }
}

void ChartWriter::chartGroup() {
    RecordData format;
    format.zeros(16);
    format.u16(mChart.varyColours ? 0x01 : 0);
    format.u16(0);
    add(Rec::ChartFormat, format);
    begin();
    switch (mChart.type) {
    case ChartModel::Type::Bar: {
        RecordData bar;
        bar.u16(mChart.overlap & 0xFFFF);
        bar.u16(mChart.gapWidth);
        bar.u16((mChart.horizontal ? 0x01 : 0) | (mChart.stacked ? 0x02 : 0) |
                (mChart.percent ? 0x04 : 0));
        add(Rec::Bar, bar);
        break;
    }
    case ChartModel::Type::Line: {
        RecordData line;
        line.u16((mChart.stacked ? 0x01 : 0) | (mChart.percent ? 0x02 : 0));
        add(Rec::Line, line);
        break;
    }
    case ChartModel::Type::Pie:
    case ChartModel::Type::Doughnut: {
        RecordData pie;
        pie.u16(mChart.firstSliceAngle);
        pie.u16(mChart.type == ChartModel::Type::Doughnut ? mChart.holeSize : 0);
        bool leaderLines = false;
        for (const ChartSeries& series : mChart.series)
            leaderLines = leaderLines || (series.labels && series.labels->leaderLines);
        pie.u16(leaderLines ? 0x02 : 0);
        add(Rec::Pie, pie);
        break;
    }
    }
    RecordData link;
    link.zeros(10);
    add(Rec::CrtLink, link);
    if (mChart.threeD) {
        RecordData view;
        view.u16(mChart.rotation);
        view.u16(mChart.elevation & 0xFFFF);
        view.u16(mChart.perspective);
        view.u16(mChart.heightPercent);
        view.u16(mChart.depthPercent);
        view.u16(mChart.gapDepth);
        view.u16((mChart.rightAngleAxes ? 0 : 0x01) | (mChart.seriesAxis ? 0 : 0x02) |
                 (mChart.autoScale ? 0x04 : 0) | 0x10);
        add(Rec::Chart3d, view);
    }
    if (mChart.legend)
        legend(*mChart.legend);
    end();
}

void ChartWriter::legend(const ChartLegend& legend) {
    RecordData data;
    data.zeros(16); // placed automatically
    data.u8(legend.position);
    data.u8(1); // medium spacing
    const bool vertical = legend.position == 3 || legend.position == 4 || legend.position == 1;
    data.u16(0x01 | 0x02 | 0x04 | 0x08 | (vertical ? 0x10 : 0));
    add(Rec::Legend, data);
    begin();
    pos(kChart, kAutoSize, 0, 0, 0, 0);
    generatedText(legend.text);
    frame(legend.area);
    end();
}

void ChartWriter::title() {
    if (!mChart.title) {
        // A chart of one series shows its name as the title unless that was deleted.
        if (mChart.autoTitleDeleted && mChart.series.size() == 1) {
            text(mChart.defaultText, 0x40 | 0x80);
            begin();
            pos(kParent, kParent, 0, 0, 0, 0);
            brai(0, ChartLink());
            RecordData link;
            link.u16(kLinkTitle);
            link.u16(0);
            link.u16(0);
            add(Rec::ObjectLink, link);
            end();
        }
        return;
    }
    const ChartTitle& title = *mChart.title;
    text(title.text, 0x80 | (title.link.present ? 0 : 0x10 | 0x20));
    begin();
    pos(kParent, kParent, 0, 0, 0, 0);
    fontX(title.text.font);
    brai(0, title.link);
    if (title.link.present)
        seriesText(title.link.tokens.isEmpty() ? title.link.literal : title.link.texts.value(0));
    frame(title.area);
    RecordData link;
    link.u16(kLinkTitle);
    link.u16(0);
    link.u16(0);
    add(Rec::ObjectLink, link);
    end();
}

void ChartWriter::dataLabels() {
    for (size_t s = 0; s < mChart.series.size(); ++s) {
        const ChartSeries& series = mChart.series[s];
        if (series.labels && series.labels->any())
            labelText(*series.labels, int(s), 0xFFFF);
        for (const ChartPoint& point : series.points)
            if (point.labels && point.labels->any())
                labelText(*point.labels, int(s), point.index);
    }
}

// The text of the data labels of a series (point 0xFFFF) or of one point.
void ChartWriter::labelText(const ChartLabels& labels, int series, int point) {
    text(labels.text,
         0x10 | 0x80 | (labels.legendKey ? 0x02 : 0) | (labels.value ? 0x04 : 0) |
             (labels.category && labels.percent ? 0x0800 : 0) | (labels.percent ? 0x1000 : 0) |
             (labels.category ? 0x4000 : 0),
         labels.position);
    begin();
    pos(kParent, kParent, 0, 0, 0, 0);
    fontX(labels.text.font);
    brai(0, ChartLink(), labels.format, labels.format >= 0);
    RecordData link;
    link.u16(kLinkPoint);
    link.u16(series);
    link.u16(point);
    add(Rec::ObjectLink, link);
    end();
}

// The values the series showed when saved, for readers that do not read the cells.
void ChartWriter::seriesData() {
    int rows = 0;
    for (const ChartSeries& series : mChart.series)
        rows = std::max({rows, series.values.count, series.categories.count});
    RecordData dimensions;
    dimensions.u32(0);
    dimensions.u32(std::uint32_t(rows));
    dimensions.u16(0);
    dimensions.u16(int(mChart.series.size()));
    dimensions.u16(0);
    add(Rec::Dimensions, dimensions);

    const auto cells = [&](int which) {
        RecordData index;
        index.u16(which);
        add(Rec::SiIndex, index);
        for (size_t s = 0; s < mChart.series.size(); ++s) {
            const ChartLink& link =
                which == 1 ? mChart.series[s].values : mChart.series[s].categories;
            if (!link.present)
                continue;
            for (int row = 0; row < link.count; ++row) {
                RecordData cell;
                cell.u16(row);
                cell.u16(int(s));
                cell.u16(0);
                if (link.numeric) {
                    const double value =
                        row < int(link.numbers.size()) ? link.numbers[size_t(row)] : kAutomatic;
                    if (std::isnan(value))
                        continue;
                    cell.f64(value);
                    add(Rec::Number, cell);
                } else {
                    cell.unicodeString(link.texts.value(row).left(255));
                    add(Rec::Label, cell);
                }
            }
        }
    };
    cells(2);
    cells(1);
    RecordData bubbles;
    bubbles.u16(3);
    add(Rec::SiIndex, bubbles);
}

} // namespace

void WriteChartSubstream(const ChartModel& chart, const ChartSize& size, BiffStream& out) {
    ChartWriter(chart, size, out).write();
}

} // namespace plw::xls
