#include "tests/workbook/WorkbookFixture.h"

#include "workbook/OoxmlPackage.h"

namespace plw::test {

namespace {

const QString kRel =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kType = QStringLiteral("application/vnd.openxmlformats-officedocument.");

const char* const kWorkbook = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><bookViews><workbookView activeTab="1"/></bookViews><sheets><sheet name="元解析１" sheetId="1" r:id="rId1"/><sheet name="抽出条件" sheetId="2" r:id="rId2"/></sheets><definedNames><definedName name="_xlnm.Print_Area" localSheetId="0">'元解析１'!$A$1:$H$10</definedName><definedName name="Scale">'元解析１'!$C$4</definedName><definedName name="Title">'抽出条件'!$B$1</definedName></definedNames><calcPr calcId="191029"/></workbook>)";

const char* const kAnalysisSheet = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><dimension ref="B1:G4"/><sheetViews><sheetView workbookViewId="0"><selection activeCell="C4" sqref="C4"/></sheetView></sheetViews><sheetFormatPr defaultRowHeight="13.5"/><cols><col min="2" max="2" width="6" customWidth="1"/><col min="3" max="7" width="12" style="1" customWidth="1"/></cols><sheetData><row r="1"><c r="B1" t="s"><v>0</v></c></row><row r="3"><c r="C3" t="s"><v>1</v></c></row><row r="4"><c r="C4" s="1"><v>7</v></c><c r="G4" s="1"/></row></sheetData><mergeCells count="1"><mergeCell ref="B1:D1"/></mergeCells><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/><drawing r:id="rId1"/></worksheet>)";

const char* const kConditionSheet = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews><sheetData><row r="1"><c r="B1" t="s"><v>2</v></c></row></sheetData></worksheet>)";

const char* const kDrawing = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main"><xdr:twoCellAnchor><xdr:from><xdr:col>8</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to><xdr:col>15</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>12</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to><xdr:graphicFrame macro=""><xdr:nvGraphicFramePr><xdr:cNvPr id="2" name="GRAF_R5"/><xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr><xdr:xfrm><a:off x="0" y="0"/><a:ext cx="0" cy="0"/></xdr:xfrm><a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/chart"><c:chart xmlns:c="http://schemas.openxmlformats.org/drawingml/2006/chart" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" r:id="rId1"/></a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/></xdr:twoCellAnchor></xdr:wsDr>)";

const char* const kChart = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<c:chartSpace xmlns:c="http://schemas.openxmlformats.org/drawingml/2006/chart" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><c:chart><c:view3D><c:rotX val="15"/><c:rotY val="20"/><c:rAngAx val="0"/></c:view3D><c:plotArea><c:bar3DChart><c:barDir val="col"/><c:grouping val="standard"/><c:varyColors val="0"/><c:ser><c:idx val="0"/><c:order val="0"/><c:tx><c:strRef><c:f>'元解析１'!$B$4</c:f></c:strRef></c:tx><c:cat><c:strRef><c:f>'元解析１'!$C$3:$G$3</c:f></c:strRef></c:cat><c:val><c:numRef><c:f>'元解析１'!$C$4:$G$4</c:f></c:numRef></c:val></c:ser><c:axId val="1"/><c:axId val="2"/><c:axId val="3"/></c:bar3DChart><c:catAx><c:axId val="1"/><c:scaling><c:orientation val="minMax"/></c:scaling><c:delete val="0"/><c:axPos val="b"/><c:crossAx val="2"/></c:catAx><c:valAx><c:axId val="2"/><c:scaling><c:orientation val="minMax"/></c:scaling><c:delete val="0"/><c:axPos val="l"/><c:crossAx val="1"/></c:valAx><c:serAx><c:axId val="3"/><c:scaling><c:orientation val="minMax"/></c:scaling><c:delete val="0"/><c:axPos val="b"/><c:crossAx val="2"/></c:serAx></c:plotArea></c:chart></c:chartSpace>)";

const char* const kChartStyle = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<cs:chartStyle xmlns:cs="http://schemas.microsoft.com/office/drawing/2012/chartStyle" id="286"/>)";

const char* const kStrings = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3"><si><t>RFM分析</t></si><si><t>F5</t></si><si><t>抽出条件</t></si></sst>)";

const char* const kStyles = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="1"><numFmt numFmtId="164" formatCode="#,##0"/></numFmts><fonts count="1"><font><sz val="11"/><name val="IPAPGothic"/><family val="3"/><charset val="128"/></font></fonts><fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills><borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border><border><left style="thin"/><right style="thin"/><top style="thin"/><bottom style="thin"/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="164" fontId="0" fillId="0" borderId="1" xfId="0" applyNumberFormat="1" applyBorder="1"/></cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles></styleSheet>)";

const char* const kApp = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties" xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes"><Application>PLWAN40</Application><HeadingPairs><vt:vector size="2" baseType="variant"><vt:variant><vt:lpstr>Worksheets</vt:lpstr></vt:variant><vt:variant><vt:i4>2</vt:i4></vt:variant></vt:vector></HeadingPairs><TitlesOfParts><vt:vector size="2" baseType="lpstr"><vt:lpstr>元解析１</vt:lpstr><vt:lpstr>抽出条件</vt:lpstr></vt:vector></TitlesOfParts></Properties>)";

} // namespace

bool WriteTemplateFixture(const QString& path) {
    OoxmlPackage package;
    package.setPart(QStringLiteral("[Content_Types].xml"),
                    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="xml" ContentType="application/xml"/><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/></Types>)");
    QString error;
    bool ok = true;
    const auto add = [&](const char* name, const char* bytes, const QString& type) {
        const QString part = QString::fromUtf8(name);
        package.setPart(part, QByteArray(bytes));
        if (!type.isEmpty())
            ok = package.setContentTypeOverride(part, type, &error) && ok;
    };
    const auto relate = [&](const char* source, const QString& type, const char* target) {
        ok = !package
                  .addRelationship(QString::fromUtf8(source), type, QString::fromUtf8(target),
                                   &error)
                  .isEmpty() &&
             ok;
    };
    add("xl/workbook.xml", kWorkbook, kType + QStringLiteral("spreadsheetml.sheet.main+xml"));
    add("xl/worksheets/sheet1.xml", kAnalysisSheet,
        kType + QStringLiteral("spreadsheetml.worksheet+xml"));
    add("xl/worksheets/sheet2.xml", kConditionSheet,
        kType + QStringLiteral("spreadsheetml.worksheet+xml"));
    add("xl/drawings/drawing1.xml", kDrawing, kType + QStringLiteral("drawing+xml"));
    add("xl/charts/chart1.xml", kChart, kType + QStringLiteral("drawingml.chart+xml"));
    add("xl/charts/style1.xml", kChartStyle,
        QStringLiteral("application/vnd.ms-office.chartstyle+xml"));
    add("xl/sharedStrings.xml", kStrings,
        kType + QStringLiteral("spreadsheetml.sharedStrings+xml"));
    add("xl/styles.xml", kStyles, kType + QStringLiteral("spreadsheetml.styles+xml"));
    add("docProps/app.xml", kApp, kType + QStringLiteral("extended-properties+xml"));

    relate("", kRel + QStringLiteral("officeDocument"), "xl/workbook.xml");
    relate("", kRel + QStringLiteral("extended-properties"), "docProps/app.xml");
    relate("xl/workbook.xml", kRel + QStringLiteral("worksheet"), "worksheets/sheet1.xml");
    relate("xl/workbook.xml", kRel + QStringLiteral("worksheet"), "worksheets/sheet2.xml");
    relate("xl/workbook.xml", kRel + QStringLiteral("sharedStrings"), "sharedStrings.xml");
    relate("xl/workbook.xml", kRel + QStringLiteral("styles"), "styles.xml");
    relate("xl/worksheets/sheet1.xml", kRel + QStringLiteral("drawing"),
           "../drawings/drawing1.xml");
    relate("xl/drawings/drawing1.xml", kRel + QStringLiteral("chart"), "../charts/chart1.xml");
    relate("xl/charts/chart1.xml",
           QStringLiteral("http://schemas.microsoft.com/office/2011/relationships/chartStyle"),
           "style1.xml");
    return ok && package.save(path, &error);
}

} // namespace plw::test
