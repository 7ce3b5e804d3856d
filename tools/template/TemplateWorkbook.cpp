#include "tools/template/TemplateWorkbook.h"

#include "tools/template/ChartSkeleton.h"
#include "tools/template/TemplateSheets.h"
#include "tools/template/TemplateStyles.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/SharedStrings.h"
#include "workbook/SheetData.h"

namespace plw {

namespace {

const QString kRelationshipBase =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kMainTypeBase =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.");

// One EMU per 1/914400 inch; the gap left at the top left of every chart so charts that meet in
// a grid stay apart.
constexpr int kChartGapEmu = 38100;

QByteArray Declaration() {
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");
}

// Text escaped for an XML text node or attribute.
QByteArray Escaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

QByteArray Number(int n) {
    return QByteArray::number(n);
}

QByteArray WorkbookXml(const QList<TemplateSheet>& sheets) {
    QByteArray xml =
        Declaration() +
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<workbookPr/><bookViews><workbookView xWindow=\"0\" yWindow=\"0\" windowWidth=\"28800\" "
        "windowHeight=\"15000\" activeTab=\"0\"/></bookViews><sheets>";
    for (int i = 0; i < sheets.size(); ++i)
        xml += "<sheet name=\"" + Escaped(sheets[i].name) + "\" sheetId=\"" + Number(i + 1) +
               "\" r:id=\"rId" + Number(i + 1) + "\"/>";
    xml += "</sheets>";
    // Print titles: the customer list repeats its identifying columns and heading row on every
    // printed page.
    QByteArray names;
    for (int i = 0; i < sheets.size(); ++i) {
        const QString titles = sheets[i].printTitles();
        if (!titles.isEmpty())
            names += "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"" + Number(i) +
                     "\">" + Escaped(titles) + "</definedName>";
    }
    if (!names.isEmpty())
        xml += "<definedNames>" + names + "</definedNames>";
    xml += "<calcPr calcId=\"191029\"/></workbook>";
    return xml;
}

QByteArray DrawingXml(const QList<ChartPlacement>& charts) {
    QByteArray xml = Declaration() +
                     "<xdr:wsDr "
                     "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/"
                     "spreadsheetDrawing\" "
                     "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">";
    for (int i = 0; i < charts.size(); ++i) {
        const ChartPlacement& chart = charts[i];
        auto marker = [](const char* name, int column, int row, int offset) {
            return QByteArray("<xdr:") + name + "><xdr:col>" + Number(column) +
                   "</xdr:col><xdr:colOff>" + Number(offset) + "</xdr:colOff><xdr:row>" +
                   Number(row) + "</xdr:row><xdr:rowOff>" + Number(offset) +
                   "</xdr:rowOff></xdr:" + name + ">";
        };
        xml += "<xdr:twoCellAnchor>" +
               marker("from", chart.fromColumn, chart.fromRow, kChartGapEmu) +
               marker("to", chart.toColumn, chart.toRow, 0) +
               "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"" +
               Number(i + 2) + "\" name=\"" + Escaped(chart.name) +
               "\"/><xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr>"
               "<xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm>"
               "<a:graphic><a:graphicData "
               "uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\"><c:chart "
               "xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
               "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
               "r:id=\"rId" +
               Number(i + 1) +
               "\"/></a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/>"
               "</xdr:twoCellAnchor>";
    }
    xml += "</xdr:wsDr>";
    return xml;
}

QByteArray CorePropertiesXml() {
    return Declaration() +
           "<cp:coreProperties "
           "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
           "<dc:title>PLWAN40X</dc:title><dc:creator>PLWAN40</dc:creator>"
           "<cp:lastModifiedBy>PLWAN40</cp:lastModifiedBy></cp:coreProperties>";
}

QByteArray AppPropertiesXml(const QList<TemplateSheet>& sheets) {
    QByteArray xml =
        Declaration() +
        "<Properties "
        "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
        "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
        "<Application>PLWAN40</Application><DocSecurity>0</DocSecurity>"
        "<ScaleCrop>false</ScaleCrop><HeadingPairs><vt:vector size=\"2\" baseType=\"variant\">"
        "<vt:variant><vt:lpstr>ワークシート</vt:lpstr></vt:variant><vt:variant><vt:i4>" +
        Number(int(sheets.size())) +
        "</vt:i4></vt:variant></vt:vector></HeadingPairs><TitlesOfParts><vt:vector size=\"" +
        Number(int(sheets.size())) + "\" baseType=\"lpstr\">";
    for (const TemplateSheet& sheet : sheets)
        xml += "<vt:lpstr>" + Escaped(sheet.name) + "</vt:lpstr>";
    xml += "</vt:vector></TitlesOfParts><LinksUpToDate>false</LinksUpToDate>"
           "<SharedDoc>false</SharedDoc><HyperlinksChanged>false</HyperlinksChanged>"
           "<AppVersion>16.0300</AppVersion></Properties>";
    return xml;
}

// Adds a part with its content-type override and the relationship from source to it.
bool AddPart(OoxmlPackage* package, const QString& partName, const QByteArray& bytes,
             const QString& contentType, const QString& source, const QString& relationshipType,
             const QString& target, QString* relationshipId, QString* error) {
    package->setPart(partName, bytes);
    if (!package->setContentTypeOverride(partName, contentType, error))
        return false;
    const QString id =
        package->addRelationship(source, kRelationshipBase + relationshipType, target, error);
    if (relationshipId)
        *relationshipId = id;
    return !id.isEmpty();
}

} // namespace

bool TemplateWorkbook::Build(OoxmlPackage* package, QString* error) {
    package->setPart(
        QStringLiteral("[Content_Types].xml"),
        Declaration() + "<Types "
                        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" "
                        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");

    const QList<TemplateSheet> sheets = {
        TemplateSheets::ConditionSheet(),  TemplateSheets::ParameterSheet(),
        TemplateSheets::GroupValueSheet(), TemplateSheets::CustomerListSheet(),
        TemplateSheets::AnalysisSheet(),   TemplateSheets::MovementSheet()};

    const QString workbook = QStringLiteral("xl/workbook.xml");
    if (!AddPart(package, workbook, WorkbookXml(sheets),
                 kMainTypeBase + QStringLiteral("sheet.main+xml"), QString(),
                 QStringLiteral("officeDocument"), workbook, nullptr, error))
        return false;
    // The workbook's relationships rId1..rIdN are its sheets, in order; WorkbookXml relies on it.
    SharedStrings strings;
    int drawingCount = 0;
    int chartCount = 0;
    for (int i = 0; i < sheets.size(); ++i) {
        const TemplateSheet& sheet = sheets[i];
        const QString sheetPart = QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1);
        QString drawingId;
        if (!sheet.charts.isEmpty()) {
            const QString drawingPart =
                QStringLiteral("xl/drawings/drawing%1.xml").arg(++drawingCount);
            if (!AddPart(
                    package, drawingPart, DrawingXml(sheet.charts),
                    QStringLiteral("application/vnd.openxmlformats-officedocument.drawing+xml"),
                    sheetPart, QStringLiteral("drawing"),
                    QStringLiteral("../drawings/drawing%1.xml").arg(drawingCount), &drawingId,
                    error))
                return false;
            for (const ChartPlacement& chart : sheet.charts) {
                const QString chartPart = QStringLiteral("xl/charts/chart%1.xml").arg(++chartCount);
                if (!AddPart(
                        package, chartPart, ChartSkeleton::Xml(chart.chart),
                        QStringLiteral("application/"
                                       "vnd.openxmlformats-officedocument.drawingml.chart+xml"),
                        drawingPart, QStringLiteral("chart"),
                        QStringLiteral("../charts/chart%1.xml").arg(chartCount), nullptr, error))
                    return false;
            }
        }
        QByteArray xml = sheet.worksheetXml(i == 0, drawingId);
        if (!SheetData::Write(&xml, sheet.cells, &strings, error))
            return false;
        QString sheetId;
        if (!AddPart(package, sheetPart, xml, kMainTypeBase + QStringLiteral("worksheet+xml"),
                     workbook, QStringLiteral("worksheet"),
                     QStringLiteral("worksheets/sheet%1.xml").arg(i + 1), &sheetId, error))
            return false;
        if (sheetId != QStringLiteral("rId%1").arg(i + 1)) {
            if (error)
                *error =
                    QStringLiteral("The sheet %1 got the relationship %2").arg(sheet.name, sheetId);
            return false;
        }
    }

    if (!AddPart(package, QStringLiteral("xl/styles.xml"), TemplateStyles::Xml(),
                 kMainTypeBase + QStringLiteral("styles+xml"), workbook, QStringLiteral("styles"),
                 QStringLiteral("styles.xml"), nullptr, error) ||
        !AddPart(package, QStringLiteral("xl/sharedStrings.xml"), strings.toXml(),
                 kMainTypeBase + QStringLiteral("sharedStrings+xml"), workbook,
                 QStringLiteral("sharedStrings"), QStringLiteral("sharedStrings.xml"), nullptr,
                 error))
        return false;

    package->setPart(QStringLiteral("docProps/core.xml"), CorePropertiesXml());
    if (!package->setContentTypeOverride(
            QStringLiteral("docProps/core.xml"),
            QStringLiteral("application/vnd.openxmlformats-package.core-properties+xml"), error) ||
        package
            ->addRelationship(QString(),
                              QStringLiteral("http://schemas.openxmlformats.org/package/2006/"
                                             "relationships/metadata/core-properties"),
                              QStringLiteral("docProps/core.xml"), error)
            .isEmpty())
        return false;
    return AddPart(
        package, QStringLiteral("docProps/app.xml"), AppPropertiesXml(sheets),
        QStringLiteral("application/vnd.openxmlformats-officedocument.extended-properties+xml"),
        QString(), QStringLiteral("extended-properties"), QStringLiteral("docProps/app.xml"),
        nullptr, error);
}

bool TemplateWorkbook::Write(const QString& path, QString* error) {
    OoxmlPackage package;
    return Build(&package, error) && package.save(path, error);
}

} // namespace plw
