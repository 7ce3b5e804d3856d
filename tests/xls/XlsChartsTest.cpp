#include "report/LibreOfficeConverter.h"
#include "tests/support/Printers.h"
#include "tests/xls/BiffFile.h"
#include "tests/xls/OutsideReaders.h"
#include "tests/xls/XlsFixture.h"
#include "workbook/ChartXml.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/Palette.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"
#include "workbook/xls/XlsWriter.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace plw;
using namespace plw::test;

namespace {

const QString kMatrixSheet = u"Ｒ視点人数"_qs;
// The top row of each block of the matrix sheet, for GRAF_R5 to GRAF_R1.
const int kTops[] = {3, 14, 25, 39, 50};

// The records of each chart substream of a stream, BOF to EOF, in stream order.
std::vector<std::vector<BiffRecord>> Charts(const std::vector<BiffRecord>& records) {
    std::vector<std::vector<BiffRecord>> charts;
    bool inside = false;
    for (const BiffRecord& record : records) {
        if (record.id == 0x0809 && U16(record.data, 2) == 0x0020) {
            charts.emplace_back();
            inside = true;
        }
        if (inside)
            charts.back().push_back(record);
        if (record.id == 0x000A)
            inside = false;
    }
    return charts;
}

// The records of a chart of that type, in order.
std::vector<const BiffRecord*> All(const std::vector<BiffRecord>& chart, std::uint16_t id) {
    std::vector<const BiffRecord*> out;
    for (const BiffRecord& record : chart)
        if (record.id == id)
            out.push_back(&record);
    return out;
}

double F64(const QByteArray& data, qsizetype at) {
    double value = 0;
    std::memcpy(&value, data.constData() + at, sizeof value);
    return value;
}

// A BRAI record's reference as "row,column" or "row1,column1:row2,column2" (0-based); "" when it
// refers to no cells.
QString Reference(const BiffRecord& brai) {
    const QByteArray& d = brai.data;
    if (std::uint8_t(d[1]) != 2 || U16(d, 6) == 0)
        return {};
    if (std::uint8_t(d[8]) == 0x3A)
        return QStringLiteral("%1,%2").arg(U16(d, 11)).arg(U16(d, 13) & 0xFF);
    return QStringLiteral("%1,%2:%3,%4")
        .arg(U16(d, 11))
        .arg(U16(d, 15) & 0xFF)
        .arg(U16(d, 13))
        .arg(U16(d, 17) & 0xFF);
}

class XlsChartsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return mDir.filePath(name); }

    // The construct the writer names in the chart workbook of an edited template; the file is
    // refused.
    QString unhandledIn(const std::function<void(OoxmlPackage&)>& edit) {
        QTemporaryDir folder;
        return UnhandledIn(*ChartWorkbook(EditedTemplate(folder.path(), edit)),
                           path(u"refused.xls"_qs));
    }

    QTemporaryDir mDir;
};

TEST_F(XlsChartsTest, EachChartConstructTheWriterDoesNotTranslateIsNamedWithItsChart) {
    struct Case {
        const char* what;
        QString part;
        std::vector<std::pair<QByteArray, QByteArray>> edits;
        QString named;
    };
    const QString matrixChart = u"xl/charts/chart9.xml"_qs;
    const QString pie = u"xl/charts/chart2.xml"_qs;
    const Case cases[] = {
        {"theme colour",
         matrixChart,
         {{"<a:srgbClr val=\"3366FF\"/>", "<a:schemeClr val=\"accent1\"/>"}},
         u"schemeClr (グラフ GRAF_R5)"_qs},
        {"area chart",
         u"xl/charts/chart1.xml"_qs,
         {{"<c:bar3DChart>", "<c:area3DChart>"}, {"</c:bar3DChart>", "</c:area3DChart>"}},
         u"area3DChart (グラフ グラフ 1)"_qs},
        {"axis title",
         matrixChart,
         {{"<c:majorGridlines/>", "<c:majorGridlines/><c:title><c:overlay val=\"0\"/></c:title>"}},
         u"title (グラフ GRAF_R5)"_qs},
        {"manual layout",
         pie,
         {{"<c:layout/>",
           "<c:layout><c:manualLayout><c:x val=\"0.1\"/></c:manualLayout></c:layout>"}},
         u"manualLayout (グラフ 右１)"_qs},
        {"formula into no sheet of the workbook",
         matrixChart,
         {{"<c:f>'元解析１'!$B$3</c:f>", "<c:f>'外部'!$B$3</c:f>"}},
         u"'外部'!$B$3 (グラフ GRAF_R5)"_qs},
        {"picture beside the charts",
         u"xl/drawings/drawing2.xml"_qs,
         {{"<xdr:graphicFrame macro=\"\">", "<xdr:pic/><xdr:graphicFrame macro=\"\">"}},
         u"pic"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString named = unhandledIn([&](OoxmlPackage& package) {
            for (const auto& [before, after] : c.edits)
                ReplaceInPart(package, c.part, before, after);
        });
        EXPECT_TRUE(named.contains(c.named)) << named.toStdString();
    }
}

TEST_F(XlsChartsTest, TheMatrixChartsKeepTheirViewScaleBarColoursLinksAndCachedValues) {
    std::unique_ptr<Workbook> book = ChartWorkbook(TemplatePath(), {});
    const QString file = path(u"matrix.xls"_qs);
    WriteXls(*book, file);
    ExpectSound(file);
    const std::vector<std::vector<BiffRecord>> charts = Charts(ReadRecords(file));
    ASSERT_EQ(charts.size(), 5u);
    const CellStore& cells = book->sheet(kMatrixSheet)->cells();

    for (int block = 0; block < 5; ++block) {
        SCOPED_TRACE(block);
        const std::vector<BiffRecord>& chart = charts[size_t(block)];
        const int top = kTops[block] - 1; // 0-based
        // 3-D columns one behind the other, the view of the template, box shapes, gap 150.
        const QByteArray view = All(chart, 0x103A).at(0)->data;
        EXPECT_EQ(U16(view, 0), 20);        // rotation
        EXPECT_EQ(U16(view, 2), 15);        // elevation
        EXPECT_EQ(U16(view, 8), 100);       // depth
        EXPECT_EQ(U16(view, 12) & 0x03, 0); // right-angle axes, not clustered
        EXPECT_EQ(U16(All(chart, 0x1017).at(0)->data, 2), 150);
        for (const BiffRecord* shape : All(chart, 0x105F))
            EXPECT_EQ(shape->data, QByteArray(2, '\0'));

        // The value axis from 0 to 120 in "#,##0"; the series axis reversed.
        const QByteArray range = All(chart, 0x101F).at(0)->data;
        EXPECT_EQ(F64(range, 0), 0);
        EXPECT_EQ(F64(range, 8), 120);
        EXPECT_EQ(U16(range, 40) & 0x03, 0);
        EXPECT_EQ(U16(All(chart, 0x104E).at(0)->data, 0), 3);
        const std::vector<const BiffRecord*> axes = All(chart, 0x1020);
        ASSERT_EQ(axes.size(), 2u);
        EXPECT_EQ(U16(axes[0]->data, 6) & 0x04, 0);
        EXPECT_EQ(U16(axes[1]->data, 6) & 0x04, 0x04);
        // The axis lines, the value axis' gridlines, the floor and the walls.
        EXPECT_EQ(All(chart, 0x1021).size(), 6u);

        // The title and series names link to the label cells, the series to the block's rows.
        const std::vector<const BiffRecord*> links = All(chart, 0x1051);
        for (int s = 0; s < 5; ++s) {
            EXPECT_EQ(Reference(*links[size_t(4 * s)]), QStringLiteral("%1,1").arg(top + 1 + s));
            EXPECT_EQ(Reference(*links[size_t(4 * s + 1)]),
                      QStringLiteral("%1,2:%1,6").arg(top + 1 + s));
            EXPECT_EQ(Reference(*links[size_t(4 * s + 2)]), QStringLiteral("%1,2:%1,6").arg(top));
        }
        const auto title = std::find_if(links.begin(), links.end(), [&](const BiffRecord* r) {
            return Reference(*r) == QStringLiteral("%1,1").arg(top) &&
                   r->offset > links[19]->offset;
        });
        EXPECT_NE(title, links.end());

        // Each bar in the colour of its cell: point p of series s is rank 6 - p, row rank 6 - s.
        int coloured = 0;
        for (size_t i = 0; i + 4 < chart.size(); ++i) {
            if (chart[i].id != 0x1006 || U16(chart[i].data, 0) == 0xFFFF)
                continue;
            const int point = U16(chart[i].data, 0);
            const int series = U16(chart[i].data, 2);
            const auto area = std::find_if(chart.begin() + long(i), chart.end(),
                                           [](const BiffRecord& r) { return r.id == 0x100A; });
            ASSERT_NE(area, chart.end());
            EXPECT_EQ(U16(area->data, 12), MatrixColour(5 - series, 5 - point) + 7)
                << series << "," << point;
            ++coloured;
        }
        EXPECT_EQ(coloured, 25);

        // The cached values are the cells'.
        int numbers = 0;
        for (const BiffRecord* number : All(chart, 0x0203)) {
            const int point = U16(number->data, 0);
            const int series = U16(number->data, 2);
            EXPECT_EQ(F64(number->data, 6), cells.cell(top + 2 + series, 3 + point).number);
            ++numbers;
        }
        EXPECT_EQ(numbers, 25);
        EXPECT_EQ(All(chart, 0x0204).size(), 25u); // the column labels of each series
    }
}

TEST_F(XlsChartsTest, EachFrameIsAnchoredByTheFinalColumnWidthsAndRowHeights) {
    std::unique_ptr<Workbook> book = ChartWorkbook(TemplatePath(), {});
    // Row 2, where GRAF_R5 begins, 30 points high.
    Worksheet* sheet = book->sheet(kMatrixSheet);
    ASSERT_TRUE(sheet);
    sheet->cells().setRowAttributes(2, {{"ht", "30"}, {"customHeight", "1"}});
    const QString file = path(u"anchors.xls"_qs);
    WriteXls(*book, file);
    ExpectSound(file);
    std::vector<QByteArray> anchors;
    for (const BiffRecord& record : ReadRecords(file)) {
        if (record.id != 0x00EC)
            continue;
        const qsizetype at = record.data.indexOf(QByteArray("\x00\x00\x10\xF0\x12\x00\x00\x00", 8));
        ASSERT_GE(at, 0);
        anchors.push_back(record.data.mid(at + 8, 18));
    }
    ASSERT_EQ(anchors.size(), 5u);
    // GRAF_R5 from I2 4 pixels in to Q13: 4 of I's 63 pixels (9 characters), 4 of row 2's 40.
    const QByteArray& first = anchors[0];
    EXPECT_EQ(U16(first, 2), 8);
    EXPECT_EQ(U16(first, 4), 65);
    EXPECT_EQ(U16(first, 6), 1);
    EXPECT_EQ(U16(first, 8), 26);
    EXPECT_EQ(U16(first, 10), 16);
    EXPECT_EQ(U16(first, 12), 0);
    EXPECT_EQ(U16(first, 14), 12);
    EXPECT_EQ(U16(first, 16), 0);
    // The next begins 4 pixels into row 13 of the default 18 pixels.
    EXPECT_EQ(U16(anchors[1], 6), 12);
    EXPECT_EQ(U16(anchors[1], 8), 57);
}

// Every chart of the template with every chart type the group-value sheet takes, written and
// read back by LibreOffice (which knows no titles linked to cells: their texts are compared) and
// by Gnumeric.
TEST_F(XlsChartsTest, WhatLibreOfficeReadsOfEveryChartTypeMatchesWhatTheEngineHeld) {
    struct Case {
        GroupCharts set;
        int left;
        int right;
    };
    const Case cases[] = {
        {{0, 0}, ChartXml::Column3DClustered, ChartXml::Pie},
        {{ChartXml::ColumnClustered, ChartXml::ColumnClustered},
         ChartXml::ColumnClustered,
         ChartXml::ColumnClustered},
        {{ChartXml::ColumnStacked100, ChartXml::BarClustered},
         ChartXml::ColumnStacked100,
         ChartXml::BarClustered},
        {{0, ChartXml::Doughnut}, ChartXml::Column3DClustered, ChartXml::Doughnut},
        {{0, ChartXml::LineMarkers}, ChartXml::Column3DClustered, ChartXml::LineMarkers},
        {{0, ChartXml::CylinderColumnClustered},
         ChartXml::Column3DClustered,
         ChartXml::CylinderColumnClustered},
    };
    std::vector<GroupCharts> groups;
    for (const Case& c : cases)
        groups.push_back(c.set);
    std::unique_ptr<Workbook> book = ChartWorkbook(TemplatePath(), groups);
    const QString file = path(u"charts.xls"_qs);
    WriteXls(*book, file);
    ExpectSound(file);

    if (HasXlrd()) {
        QJsonObject read;
        QString error;
        EXPECT_TRUE(ReadWithXlrd(file, &read, &error)) << error.toStdString();
        EXPECT_EQ(read[u"sheets"_qs].toArray().size(), qsizetype(groups.size()) + 1);
    }
    if (HasGnumeric()) {
        QString warnings, error;
        EXPECT_TRUE(ReadWithGnumeric(file, &warnings, &error)) << error.toStdString();
        EXPECT_EQ(warnings, QString());
    }
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QString error;
    const QString back = path(u"back.xlsx"_qs);
    ASSERT_TRUE(LibreOfficeConverter::Convert(file, back, WorkbookFormat::Xlsx, 120000, &error))
        << error.toStdString();
    Workbook read;
    ASSERT_TRUE(read.open(back, &error)) << error.toStdString();
    ASSERT_EQ(read.sheetNames(), book->sheetNames());

    // The same type, series references, point colours and value axis as the engine's chart.
    const auto compare = [&](const QString& sheet, const QString& name, int type) {
        SCOPED_TRACE((sheet + u' ' + name).toStdString());
        ChartXml* want = book->sheet(sheet)->chart(name, &error);
        ChartXml* got = read.sheet(sheet)->chart(name, &error);
        EXPECT_TRUE(want && got) << error.toStdString();
        if (!want || !got)
            return QByteArray();
        EXPECT_EQ(got->chartTypeCode(), type);
        QStringList wantFormulas = want->formulas();
        QStringList gotFormulas = got->formulas();
        for (QStringList* list : {&wantFormulas, &gotFormulas})
            for (QString& formula : *list)
                formula.remove(u'\'');
        // LibreOffice keeps no link of a title: only the series' formulas come back.
        if (gotFormulas.size() < wantFormulas.size())
            wantFormulas.removeFirst();
        EXPECT_EQ(gotFormulas, wantFormulas);
        // A line has no areas: the points' fills show nowhere.
        for (int series = 1; series <= 5 && type != ChartXml::LineMarkers; ++series)
            for (int point = 1; point <= 6; ++point)
                EXPECT_EQ(Palette::RgbHex(got->pointColorIndex(series, point)),
                          Palette::RgbHex(want->pointColorIndex(series, point)))
                    << series << "," << point;
        double wantMin = 0, wantMax = 0, gotMin = 0, gotMax = 0;
        EXPECT_EQ(got->valueAxisScale(&gotMin, &gotMax), want->valueAxisScale(&wantMin, &wantMax));
        if (want->valueAxisScale(&wantMin, &wantMax)) {
            EXPECT_EQ(gotMin, wantMin);
            EXPECT_EQ(gotMax, wantMax);
        }
        if (type == ChartXml::Column3D) {
            EXPECT_TRUE(got->seriesAxisReversed());
        }
        return got->toXml();
    };
    for (int block = 0; block < 5; ++block) {
        const QByteArray xml =
            compare(kMatrixSheet, QStringLiteral("GRAF_R%1").arg(5 - block), ChartXml::Column3D);
        EXPECT_TRUE(xml.contains(QStringLiteral("<a:t>R%1</a:t>").arg(5 - block).toUtf8()));
    }
    const QStringList captions = {u"顧客数"_qs, u"購買金額"_qs,     u"来店回数"_qs,  u"男性"_qs,
                                  u"女性"_qs,   u"メール送付数"_qs, u"ＤＭ送付数"_qs};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QString sheet = i == 0 ? u"グループ値"_qs : QStringLiteral("グループ値%1").arg(i + 1);
        compare(sheet, u"グラフ 1"_qs, cases[i].left);
        for (int r = 0; r < 7; ++r) {
            const QByteArray xml =
                compare(sheet, QStringLiteral("右%1").arg(QChar(u'１' + r)), cases[i].right);
            EXPECT_TRUE(xml.contains((u"<a:t>"_qs + captions[r] + u"</a:t>"_qs).toUtf8())) << r;
            // Pies and doughnuts label each slice with its share.
            const bool round =
                cases[i].right == ChartXml::Pie || cases[i].right == ChartXml::Doughnut;
            EXPECT_EQ(xml.contains("<c:showPercent val=\"1\"/>"), round) << r;
            EXPECT_EQ(xml.contains("formatCode=\"0%;;;\""), round) << r;
        }
    }
}

// A shop restyles the template in LibreOffice and saves it again: its charts come back in
// LibreOffice's words (rich titles, explicit fills and outlines, label separators, a palette of
// 56 colours) and are still written without the conversion.
TEST_F(XlsChartsTest, ATemplateSavedAgainByLibreOfficeKeepsItsChartsInTheWriter) {
    if (LibreOfficeConverter::ProgramPath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QString resaved = TemplateSavedByLibreOffice(mDir.path());
    ASSERT_FALSE(resaved.isEmpty());
    std::unique_ptr<Workbook> book = ChartWorkbook(resaved);
    const QString file = path(u"restyled.xls"_qs);
    WriteXls(*book, file);
    ExpectSound(file);
    const std::vector<std::vector<BiffRecord>> charts = Charts(ReadRecords(file));
    ASSERT_EQ(charts.size(), 8u + 5u);
    // The first slice of the first pie is group A's red: palette colour 3, index 10.
    const std::vector<BiffRecord>& pie = charts[1];
    const auto point = std::find_if(pie.begin(), pie.end(), [](const BiffRecord& r) {
        return r.id == 0x1006 && U16(r.data, 0) == 0;
    });
    ASSERT_NE(point, pie.end());
    const auto area =
        std::find_if(point, pie.end(), [](const BiffRecord& r) { return r.id == 0x100A; });
    ASSERT_NE(area, pie.end());
    EXPECT_EQ(U16(area->data, 12), 10);
    EXPECT_EQ(area->data.left(3), QByteArray("\xFF\x00\x00", 3));
}

} // namespace
