#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace plw::ChartSkeleton {

// One series of a chart: its name, categories and values as worksheet formulas
// ('sheet name'!$C$4:$G$4) with the values they hold now, so that a reader that shows cached
// values shows the chart as the cells are.
struct Series {
    QString nameFormula;
    QString name;
    QString categoriesFormula;
    QStringList categories;
    QString valuesFormula;
    QList<double> values;
    QString color;           // "RRGGBB" for the whole series; empty: automatic
    QStringList pointColors; // "RRGGBB" per point; empty: as the series
};

enum class Kind {
    Column3D,          // 3-D column, series one behind the other, with a depth (series) axis
    ClusteredColumn3D, // 3-D column, series side by side
    Pie,
    PercentBar, // horizontal bars, the series stacked to 100 %, the first category at the top
};

struct Chart {
    Kind kind = Kind::Column3D;
    QString titleFormula; // the title taken from a cell; empty: no title
    QString title;
    QList<Series> series;
    QString numberFormat = QStringLiteral("#,##0"); // of the values and the value axis
    bool legend = true;
    bool percentLabels = false; // pie: each slice labelled with its share of the whole
};

// The chart part (DrawingML chart, xl/charts/chartN.xml) of chart.
QByteArray Xml(const Chart& chart);

// The formula of a range of a sheet, the sheet name quoted: 'sheet'!$C$4:$G$4 ('sheet'!$B$4 for
// one cell). Rows and columns are 1-based.
QString RangeFormula(const QString& sheet, int row1, int column1, int row2, int column2);

} // namespace plw::ChartSkeleton
