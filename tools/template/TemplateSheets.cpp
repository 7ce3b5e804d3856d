#include "tools/template/TemplateSheets.h"

#include "app/OutputItemList.h"
#include "tools/template/TemplateStyles.h"

#include <QStringList>

#include <algorithm>

namespace plw::TemplateSheets {

namespace {

using namespace TemplateStyles;
using ChartSkeleton::RangeFormula;

const QString kRanks[5] = {QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"),
                           QStringLiteral("2"), QStringLiteral("1")};
const QString kGroups[6] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                            QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("X")};
// The group colours of the report (palette indices 3, 45, 10, 8, 24, 15) as RGB, for chart
// points; cells use the same colours through the indexed fills of the stylesheet.
const QString kGroupRgb[6] = {QStringLiteral("FF0000"), QStringLiteral("FF9900"),
                              QStringLiteral("008000"), QStringLiteral("00FFFF"),
                              QStringLiteral("CCCCFF"), QStringLiteral("C0C0C0")};
const int kLegendStyles[6] = {LegendA, LegendB, LegendC, LegendD, LegendE, LegendX};

// Columns a text needs at 11 pt: full-width characters count two.
double TextUnits(const QString& text) {
    double units = 0;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        const bool wide = (u >= 0x2E80 && u < 0xFF61) || (u >= 0xFFE0 && u <= 0xFFE6);
        units += wide ? 2 : 1;
    }
    return units;
}

// The letters with the ranks 5..1 appended ("F5", "F4", ... "F1").
QStringList RankLabels(const QString& letter) {
    QStringList labels;
    for (const QString& rank : kRanks)
        labels << letter + rank;
    return labels;
}

} // namespace

const QString& ConditionSheetName() {
    static const QString name = QStringLiteral("抽出条件");
    return name;
}

const QString& ParameterSheetName() {
    static const QString name = QStringLiteral("元解析パラメータ");
    return name;
}

const QString& GroupValueSheetName() {
    static const QString name = QStringLiteral("元Ｇ１");
    return name;
}

const QString& CustomerListSheetName() {
    static const QString name = QStringLiteral("元シート");
    return name;
}

const QString& AnalysisSheetName() {
    static const QString name = QStringLiteral("元解析１");
    return name;
}

const QString& MovementSheetName() {
    static const QString name = QStringLiteral("元グループ推移");
    return name;
}

TemplateSheet ConditionSheet() {
    TemplateSheet sheet;
    sheet.name = ConditionSheetName();
    sheet.columns = {{1, 1, 2, 0}, {2, 2, 30, 0}, {3, 3, 30, 0}, {4, 4, 16, 0}, {5, 5, 44, 0}};
    sheet.setText(1, 2, QStringLiteral("RFM分析"), Title);
    sheet.setText(2, 2, QStringLiteral("シート一覧(クリックでジャンプ）"), Heading);
    return sheet;
}

TemplateSheet ParameterSheet() {
    TemplateSheet sheet;
    sheet.name = ParameterSheetName();
    sheet.zoom = 85;
    // Block columns 6 wide, the row-label column of each block 4.5, a narrow gap between blocks.
    sheet.columns = {{1, 1, 2, 0}, {2, 2, 10, 0}};
    for (int block = 0; block < 5; ++block) {
        const int label = 2 + 7 * block;
        if (block > 0) {
            sheet.columns.append({label - 1, label - 1, 1.5, 0});
            sheet.columns.append({label, label, 4.5, 0});
        }
        sheet.columns.append({label + 1, label + 5, 6, 0});
    }

    sheet.setText(1, 2, QStringLiteral("RFM解析パラメータ"), Title);
    sheet.setText(3, 2, QStringLiteral("ランクのしきい値"), Heading);
    sheet.setStyle(4, 2, 4, 2, Header);
    for (int i = 0; i < 4; ++i)
        sheet.setText(4, 3 + i, QStringLiteral("ランク") + kRanks[i], SmallHeader);
    const QString dimensions[3] = {QStringLiteral("R(日数)"), QStringLiteral("F(回数)"),
                                   QStringLiteral("M(金額)")};
    for (int i = 0; i < 3; ++i)
        sheet.setText(5 + i, 2, dimensions[i], Header);
    sheet.setStyle(5, 3, 7, 6, BoxText);
    sheet.setText(8, 2, QStringLiteral("M(金額)の単位は(万円)"), Note);
    sheet.setText(4, 10, QStringLiteral("基準日"), SmallHeader);
    sheet.setStyle(4, 11, 4, 13, Box);
    sheet.merges << QStringLiteral("K4:M4");

    struct Group {
        int captionRow;
        QString caption;
        QString view, columns, rows;
    };
    const Group groups[3] = {
        {10, QStringLiteral("Ｒ視点（列：Ｆランク　行：Ｍランク）"), QStringLiteral("R"),
         QStringLiteral("F"), QStringLiteral("M")},
        {17, QStringLiteral("Ｆ視点（列：Ｒランク　行：Ｍランク）"), QStringLiteral("F"),
         QStringLiteral("R"), QStringLiteral("M")},
        {24, QStringLiteral("Ｍ視点（列：Ｆランク　行：Ｒランク）"), QStringLiteral("M"),
         QStringLiteral("F"), QStringLiteral("R")},
    };
    for (const Group& group : groups) {
        sheet.setText(group.captionRow, 2, group.caption, Heading);
        const int top = group.captionRow + 1;
        const QStringList columnLabels = RankLabels(group.columns);
        const QStringList rowLabels = RankLabels(group.rows);
        for (int block = 0; block < 5; ++block) {
            const int label = 2 + 7 * block;
            sheet.setText(top, label, group.view + kRanks[block], Header);
            for (int i = 0; i < 5; ++i) {
                sheet.setText(top, label + 1 + i, columnLabels[i], Header);
                sheet.setText(top + 1 + i, label, rowLabels[i], Header);
            }
            sheet.setStyle(top + 1, label + 1, top + 5, label + 5, Box);
        }
    }

    sheet.setText(32, 2, QStringLiteral("凡例"), Heading);
    for (int g = 0; g < 6; ++g)
        sheet.setText(33 + g, 2, kGroups[g], kLegendStyles[g]);
    sheet.setText(38, 3, QStringLiteral("未分類"), Note);
    return sheet;
}

TemplateSheet GroupValueSheet() {
    TemplateSheet sheet;
    sheet.name = GroupValueSheetName();
    sheet.columns = {{1, 1, 2, 0}, {2, 2, 8, 0}, {3, 18, 12, 0}};
    sheet.setText(1, 2, QStringLiteral("グループ別集計"), Title);

    const QStringList captions = {QStringLiteral("顧客数"),    QStringLiteral("購買金額"),
                                  QStringLiteral("来店回数"),  QStringLiteral("男性"),
                                  QStringLiteral("女性"),      QStringLiteral("メール送付数"),
                                  QStringLiteral("ＤＭ送付数")};
    sheet.setStyle(2, 2, 2, 2, Header);
    for (int c = 0; c < 7; ++c)
        sheet.setText(2, 3 + c, captions[c], Header);
    for (int g = 0; g < 6; ++g) {
        sheet.setText(3 + g, 2, kGroups[g], kLegendStyles[g]);
        for (int c = 0; c < 7; ++c)
            sheet.setNumber(3 + g, 3 + c, 0.0, Number); // the program writes the figures
    }

    const QString& name = sheet.name;
    const QStringList groups(std::begin(kGroups), std::end(kGroups));
    auto column = [&](int c) {
        ChartSkeleton::Series series;
        series.nameFormula = RangeFormula(name, 2, c, 2, c);
        series.name = captions[c - 3];
        series.categoriesFormula = RangeFormula(name, 3, 2, 8, 2);
        series.categories = groups;
        series.valuesFormula = RangeFormula(name, 3, c, 8, c);
        for (int g = 0; g < 6; ++g)
            series.values << 0.0;
        return series;
    };

    ChartPlacement left;
    left.name = QStringLiteral("グラフ 1");
    left.fromColumn = 1;
    left.fromRow = 9;
    left.toColumn = 6;
    left.toRow = 33;
    left.chart.kind = ChartSkeleton::Kind::ClusteredColumn3D;
    left.chart.series = {column(6), column(7)};
    left.chart.series[0].color = QStringLiteral("3366FF");
    left.chart.series[1].color = QStringLiteral("FF6699");
    sheet.charts << left;

    // The seven right charts in a grid of four by two beside the left one.
    const QString names[7] = {QStringLiteral("右１"), QStringLiteral("右２"),
                              QStringLiteral("右３"), QStringLiteral("右４"),
                              QStringLiteral("右５"), QStringLiteral("右６"),
                              QStringLiteral("右７")};
    for (int i = 0; i < 7; ++i) {
        ChartPlacement right;
        right.name = names[i];
        right.fromColumn = 6 + 3 * (i % 4);
        right.toColumn = right.fromColumn + 3;
        right.fromRow = 9 + 12 * (i / 4);
        right.toRow = right.fromRow + 12;
        right.chart.kind = ChartSkeleton::Kind::Pie;
        right.chart.percentLabels = true;
        right.chart.titleFormula = RangeFormula(name, 2, 3 + i, 2, 3 + i);
        right.chart.title = captions[i];
        right.chart.series = {column(3 + i)};
        right.chart.series[0].pointColors = QStringList(std::begin(kGroupRgb), std::end(kGroupRgb));
        sheet.charts << right;
    }
    return sheet;
}

TemplateSheet CustomerListSheet() {
    TemplateSheet sheet;
    sheet.name = CustomerListSheetName();
    sheet.frozenRows = 1;
    // A list of 42 columns scaled to one page width could not be read on paper: it prints at
    // full size across pages, each page with the heading row and the columns that say whose row
    // it is (店番 to グループ).
    sheet.titleColumns = 5;
    sheet.fitToWidth = false;
    QStringList headings = {QStringLiteral("店番"),           QStringLiteral("端末番号"),
                            QStringLiteral("会員番号"),       QStringLiteral("RFM値"),
                            QStringLiteral("グループ"),       QStringLiteral("経過日数"),
                            QStringLiteral("累計購買額"),     QStringLiteral("累計来店回数"),
                            QStringLiteral("最終来店日"),     QStringLiteral("最終来店時刻"),
                            QStringLiteral("期間購買額"),     QStringLiteral("期間来店回数"),
                            QStringLiteral("期間最終来店日"), QStringLiteral("期間最終来店時刻")};
    // O..AP: the list items "000:最終購買額" .. "270:メールアドレス" without their code.
    const QStringList items = BuildOutputItemList({});
    for (int i = 0; i < 28; ++i)
        headings << items[i].mid(4);

    // Columns holding amounts, counts and points: G, H, K, L, O to S.
    const QList<int> numeric = {7, 8, 11, 12, 15, 16, 17, 18, 19};
    // Widths fitting what the columns hold where that is wider than the heading: dates,
    // names, addresses, the e-mail address.
    auto contentWidth = [](int column) -> double {
        switch (column) {
        case 9:
        case 13:
        case 21:
        case 23:
        case 37:
        case 40:
            return 11; // dates YYYY/MM/DD
        case 26:
        case 27:
            return 20; // names
        case 29:
        case 30:
        case 31:
            return 30; // address lines
        case 34:
            return 24; // memo
        case 42:
            return 30; // e-mail address
        default:
            return 6;
        }
    };
    for (int c = 1; c <= headings.size(); ++c) {
        sheet.setText(1, c, headings[c - 1], Header);
        const double width = std::max(contentWidth(c), TextUnits(headings[c - 1]) + 3);
        sheet.columns.append({c, c, width, numeric.contains(c) ? ColumnNumber : Normal});
    }
    // AQ1:AT1: titles of the classification items, written by the program.
    sheet.setStyle(1, 43, 1, 46, Header);
    sheet.columns.append({43, 46, 20, 0});
    return sheet;
}

TemplateSheet AnalysisSheet() {
    TemplateSheet sheet;
    sheet.name = AnalysisSheetName();
    sheet.zoom = 85;
    sheet.pageBreaks = {36}; // blocks 5 to 3 on the first page, 2 and 1 on the second
    // Six sheets are copies of this one: each printed page names its own sheet.
    sheet.header = QStringLiteral("&C&\"-,Bold\"&14&A");
    sheet.columns = {{1, 1, 2, 0},  {2, 2, 6, 0},   {3, 7, 9, 0},  {8, 8, 2, 0},
                     {9, 16, 9, 0}, {17, 17, 4, 0}, {18, 21, 9, 0}};
    sheet.setText(1, 2, QStringLiteral("RFM分析"), Title);

    // Threshold table: captions only, the program writes R3:U5.
    sheet.setStyle(2, 17, 2, 17, Header);
    for (int i = 0; i < 4; ++i)
        sheet.setText(2, 18 + i, QStringLiteral("ランク") + kRanks[i], SmallHeader);
    const QString dimensions[3] = {QStringLiteral("R"), QStringLiteral("F"), QStringLiteral("M")};
    for (int i = 0; i < 3; ++i)
        sheet.setText(3 + i, 17, dimensions[i], Header);
    sheet.setStyle(3, 18, 5, 21, BoxText);

    const QStringList columnLabels = RankLabels(QStringLiteral("F"));
    const QStringList rowLabels = RankLabels(QStringLiteral("M"));
    for (int block = 0; block < 5; ++block) {
        const int top = kAnalysisBlockTop[block];
        sheet.setText(top - 1, 7, QStringLiteral("(人)"), UnitCaption);
        sheet.setText(top, 2, QStringLiteral("R") + kRanks[block], Header);
        for (int i = 0; i < 5; ++i) {
            sheet.setText(top, 3 + i, columnLabels[i], Header);
            sheet.setText(top + 1 + i, 2, rowLabels[i], Header);
            for (int j = 0; j < 5; ++j)
                sheet.setNumber(top + 1 + i, 3 + j, 0.0, Number);
        }

        ChartPlacement placement;
        placement.name = QStringLiteral("GRAF_R") + kRanks[block];
        placement.fromColumn = 8;
        placement.toColumn = 16;
        placement.fromRow = top - 2;
        placement.toRow = top + 9;
        ChartSkeleton::Chart& chart = placement.chart;
        chart.kind = ChartSkeleton::Kind::Column3D;
        chart.legend = false; // the depth axis names the rows; the program colours the bars
        chart.titleFormula = RangeFormula(sheet.name, top, 2, top, 2);
        chart.title = QStringLiteral("R") + kRanks[block];
        for (int i = 0; i < 5; ++i) {
            ChartSkeleton::Series series;
            series.nameFormula = RangeFormula(sheet.name, top + 1 + i, 2, top + 1 + i, 2);
            series.name = rowLabels[i];
            series.categoriesFormula = RangeFormula(sheet.name, top, 3, top, 7);
            series.categories = columnLabels;
            series.valuesFormula = RangeFormula(sheet.name, top + 1 + i, 3, top + 1 + i, 7);
            for (int j = 0; j < 5; ++j)
                series.values << 0.0;
            chart.series << series;
        }
        sheet.charts << placement;
    }
    return sheet;
}

} // namespace plw::TemplateSheets

namespace plw::TemplateSheets {

TemplateSheet MovementSheet() {
    TemplateSheet sheet;
    sheet.name = MovementSheetName();
    sheet.zoom = 85;
    sheet.columns = {{1, 1, 2, 0}, {2, 2, 12, 0}, {3, 10, 11, 0}, {11, 11, 2, 0}};
    sheet.setText(1, 2, QStringLiteral("グループ推移"), Title);
    // B2 and B3 name the two runs, B4 to B8 what differs between them: the program writes them.

    // The three tables: rows the group in the earlier run (A to X, then 新規), columns the group
    // now (A to X, then 対象外); the program writes the figures, totals and shares.
    const auto table = [&](int caption, const QString& title, bool gone, const QString& total,
                           bool totalRow, int style) {
        sheet.setText(caption, 2, title, Heading);
        const int header = caption + 1;
        sheet.setText(header, 2, QStringLiteral("前回＼今回"), SmallHeader);
        for (int g = 0; g < 6; ++g) {
            sheet.setText(header, 3 + g, kGroups[g], kLegendStyles[g]);
            sheet.setText(header + 1 + g, 2, kGroups[g], kLegendStyles[g]);
        }
        int last = 9; // I: 対象外 or the total
        if (gone)
            sheet.setText(header, last++, QStringLiteral("対象外"), Header);
        sheet.setText(header, last, total, Header);
        sheet.setText(header + 7, 2, QStringLiteral("新規"), Header);
        const int lastRow = header + (totalRow ? 8 : 7);
        if (totalRow)
            sheet.setText(lastRow, 2, QStringLiteral("合計"), Header);
        for (int row = header + 1; row <= lastRow; ++row)
            for (int column = 3; column <= last; ++column)
                sheet.setNumber(row, column, 0.0, style);
    };
    table(10,
          QStringLiteral("人数（行：前回のグループ　列：今回のグループ。色のセルは同じグループ）"),
          true, QStringLiteral("合計"), true, Number);
    table(21, QStringLiteral("構成比（前回の各グループの顧客が今回どのグループにいるか）"), true,
          QStringLiteral("計"), false, Percent);
    table(31, QStringLiteral("今回の累計購買額（円）（行：前回のグループ　列：今回のグループ）"),
          false, QStringLiteral("合計"), true, Number);

    // Where each earlier group went: one bar per group A to X, its parts the groups now.
    ChartPlacement placement;
    placement.name = QStringLiteral("推移グラフ");
    placement.fromColumn = 11;
    placement.toColumn = 21;
    placement.fromRow = 9;
    placement.toRow = 31;
    ChartSkeleton::Chart& chart = placement.chart;
    chart.kind = ChartSkeleton::Kind::PercentBar;
    const QStringList groups(std::begin(kGroups), std::end(kGroups));
    for (int c = 0; c < 7; ++c) {
        ChartSkeleton::Series series;
        series.nameFormula = RangeFormula(sheet.name, 11, 3 + c, 11, 3 + c);
        series.name = c < 6 ? kGroups[c] : QStringLiteral("対象外");
        series.categoriesFormula = RangeFormula(sheet.name, 12, 2, 17, 2);
        series.categories = groups;
        series.valuesFormula = RangeFormula(sheet.name, 12, 3 + c, 17, 3 + c);
        for (int g = 0; g < 6; ++g)
            series.values << 0.0;
        series.color = c < 6 ? kGroupRgb[c] : QStringLiteral("808080");
        chart.series << series;
    }
    sheet.charts << placement;
    return sheet;
}

} // namespace plw::TemplateSheets
