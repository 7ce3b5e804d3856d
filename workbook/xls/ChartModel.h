#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

// An embedded chart as the classic format expresses it, read from a DrawingML chart part and
// written as a chart substream. Sizes and positions are left to the readers where Excel leaves
// them automatic.
namespace plw::xls {

constexpr double kAutomatic = std::numeric_limits<double>::quiet_NaN();

// A colour: its RGB value (0xRRGGBB) and the palette index (8..63) closest to it, which readers
// of the palette-only versions take.
struct ChartColour {
    unsigned rgb = 0;
    int icv = 8;
};

// The outline of an element: automatic, none, or a line of a colour, pattern and weight.
struct ChartLine {
    enum class Kind { Automatic, None, Solid };
    Kind kind = Kind::Automatic;
    ChartColour colour;
    int pattern = 0; // solid, dash, dot, dash-dot, dash-dot-dot
    int weight = 0;  // -1 hairline, 0 single, 1 medium, 2 wide
};

// The fill of an area: automatic, none, or solid.
struct ChartFill {
    enum class Kind { Automatic, None, Solid };
    Kind kind = Kind::Automatic;
    ChartColour colour;
};

// The look of a text: its font (a FONT index) and colour.
struct ChartText {
    int font = 0;
    std::optional<ChartColour> colour; // none: automatic
    int rotation = 0;                  // degrees, 0 horizontal
};

// What a series' name, categories or values, or a title, shows: a reference to cells (the
// formula's tokens) with the values cached from them, or a typed text.
struct ChartLink {
    QByteArray tokens;
    QString literal;
    bool present = false;
    // The cached values: texts of a name, a title or text categories; numbers otherwise (NaN for
    // a blank cell).
    QStringList texts;
    std::vector<double> numbers;
    bool numeric = false;
    int count = 0;
    int format = 0; // the number format index of the cached numbers
};

// Data labels of a series or a point.
struct ChartLabels {
    bool value = false;
    bool percent = false;
    bool category = false;
    bool seriesName = false;
    bool legendKey = false;
    int format = -1;  // a number format index; -1: as the source
    int position = 0; // the Text record's dlp: 0 automatic, 1 outside end, 2 inside end, 3 centre,
                      // 4 inside base, 5 above, 6 below, 7 left, 8 right, 9 best fit
    ChartText text;
    bool leaderLines = false;
    bool any() const { return value || percent || category || seriesName; }
};

// A line chart's marker.
struct ChartMarker {
    bool automatic = true;
    int symbol = 0; // none, square, diamond, triangle, x, star, Dow-Jones, standard deviation,
                    // circle, plus
    int size = 5;   // points
    ChartFill fill;
    ChartLine line;
};

// The look of one point, or of a whole series.
struct ChartFormat {
    ChartFill fill;
    ChartLine line;
    std::optional<ChartMarker> marker;
    int explosion = 0; // percent of the radius, pies
};

struct ChartPoint {
    int index = 0;
    ChartFormat format;
    std::optional<ChartLabels> labels;
};

struct ChartSeries {
    ChartLink name;
    ChartLink categories;
    ChartLink values;
    ChartFormat format;
    std::vector<ChartPoint> points;
    std::optional<ChartLabels> labels;
    bool smooth = false;
};

struct ChartAxis {
    bool deleted = false;
    bool reversed = false;
    double minimum = kAutomatic;
    double maximum = kAutomatic;
    double majorUnit = kAutomatic;
    double minorUnit = kAutomatic;
    double crossesAt = kAutomatic; // a value (value axis) or category number
    bool crossesAtMaximum = false;
    bool between = true; // the value axis crosses between categories
    int format = -1;     // a number format index; -1: as the source
    int majorTick = 2;   // none, inside, outside, cross
    int minorTick = 0;
    int labels = 3; // none, low, high, next to the axis
    int labelSkip = 1;
    int markSkip = 1;
    ChartLine line;
    std::optional<ChartLine> majorGridlines;
    std::optional<ChartLine> minorGridlines;
    ChartText text;
};

// A frame's outline and fill.
struct ChartArea {
    ChartLine line;
    ChartFill fill;
};

struct ChartTitle {
    ChartLink link;
    ChartText text;
    ChartArea area;
};

struct ChartLegend {
    int position = 3; // bottom, corner, top, right, left
    ChartText text;
    ChartArea area;
};

struct ChartModel {
    enum class Type { Bar, Line, Pie, Doughnut };
    Type type = Type::Bar;
    bool horizontal = false;
    bool stacked = false;
    bool percent = false; // 100% stacked
    bool varyColours = false;
    int gapWidth = 150;
    int overlap = 0;
    int firstSliceAngle = 0;
    int holeSize = 50;

    // 3-D charts.
    bool threeD = false;
    bool seriesAxis = false; // the series one behind the other, with a depth axis
    int shape = 0;           // bit 0 an elliptical base (cylinder, cone); bits 1-2 pointed at the
                             // top (1: cone, pyramid) or at the largest value (2)
    int rotation = 20;       // about the vertical axis, degrees
    int elevation = 15;      // degrees
    int perspective = 30;    // 0 to 100
    int depthPercent = 100;  // of the base
    int heightPercent = 100; // of the base
    int gapDepth = 150;      // between the series, percent
    bool rightAngleAxes = true;
    bool autoScale = true; // the height follows the chart
    ChartArea walls;
    ChartArea floor;

    std::vector<ChartSeries> series;
    ChartAxis categoryAxis;
    ChartAxis valueAxis;
    ChartAxis seriesAxisFormat;

    std::optional<ChartTitle> title;
    bool autoTitleDeleted = false;
    std::optional<ChartLegend> legend;
    bool plotVisibleOnly = true;
    int blanks = 0; // gap, zero, interpolated
    ChartText defaultText;
    // Each FONT index the chart's texts use with its height in twips, for the font bases.
    std::vector<std::pair<int, int>> fonts;
    ChartArea chartArea;
    ChartArea plotArea;
};

} // namespace plw::xls
