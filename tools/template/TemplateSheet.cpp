#include "tools/template/TemplateSheet.h"

#include "workbook/CellAddress.h"
#include "workbook/SheetReference.h"

namespace plw {

void TemplateSheet::setText(int row, int column, const QString& text, int style) {
    cells.setText(row, column, text);
    cells.setStyle(row, column, style);
}

void TemplateSheet::setNumber(int row, int column, double value, int style) {
    cells.setNumber(row, column, value);
    cells.setStyle(row, column, style);
}

void TemplateSheet::setStyle(int row1, int column1, int row2, int column2, int style) {
    for (int row = row1; row <= row2; ++row)
        for (int column = column1; column <= column2; ++column)
            cells.setStyle(row, column, style);
}

QByteArray TemplateSheet::worksheetXml(bool selected, const QString& drawingRelationshipId) const {
    QByteArray xml = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">");
    if (fitToWidth)
        xml += "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>";
    xml += "<dimension ref=\"A1\"/><sheetViews><sheetView";
    if (selected)
        xml += " tabSelected=\"1\"";
    if (zoom != 100)
        xml += " zoomScale=\"" + QByteArray::number(zoom) + "\" zoomScaleNormal=\"" +
               QByteArray::number(zoom) + '"';
    xml += " workbookViewId=\"0\">";
    if (frozenRows > 0) {
        const QByteArray topLeft = "A" + QByteArray::number(frozenRows + 1);
        xml += "<pane ySplit=\"" + QByteArray::number(frozenRows) + "\" topLeftCell=\"" + topLeft +
               "\" activePane=\"bottomLeft\" state=\"frozen\"/><selection pane=\"bottomLeft\" "
               "activeCell=\"" +
               topLeft + "\" sqref=\"" + topLeft + "\"/>";
    } else {
        xml += "<selection activeCell=\"A1\" sqref=\"A1\"/>";
    }
    xml += "</sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"13.5\"/>";
    if (!columns.isEmpty()) {
        xml += "<cols>";
        for (const ColumnFormat& format : columns) {
            xml += "<col min=\"" + QByteArray::number(format.first) + "\" max=\"" +
                   QByteArray::number(format.last) + "\" width=\"" +
                   QByteArray::number(format.width) + '"';
            if (format.style != 0)
                xml += " style=\"" + QByteArray::number(format.style) + '"';
            xml += " customWidth=\"1\"/>";
        }
        xml += "</cols>";
    }
    xml += "<sheetData/>";
    if (!merges.isEmpty()) {
        xml += "<mergeCells count=\"" + QByteArray::number(merges.size()) + "\">";
        for (const QString& merge : merges)
            xml += "<mergeCell ref=\"" + merge.toUtf8() + "\"/>";
        xml += "</mergeCells>";
    }
    xml += "<pageMargins left=\"0.5\" right=\"0.5\" top=\"0.6\" bottom=\"0.6\" header=\"0.3\" "
           "footer=\"0.3\"/>"
           "<pageSetup paperSize=\"9\" orientation=\"landscape\"";
    xml += fitToWidth ? " fitToWidth=\"1\" fitToHeight=\"0\"/>" : "/>";
    if (!header.isEmpty())
        xml += "<headerFooter><oddHeader>" + header.toHtmlEscaped().toUtf8() +
               "</oddHeader></headerFooter>";
    if (!pageBreaks.isEmpty()) {
        const QByteArray count = QByteArray::number(pageBreaks.size());
        xml += "<rowBreaks count=\"" + count + "\" manualBreakCount=\"" + count + "\">";
        for (int row : pageBreaks)
            xml += "<brk id=\"" + QByteArray::number(row) + "\" max=\"16383\" man=\"1\"/>";
        xml += "</rowBreaks>";
    }
    if (!drawingRelationshipId.isEmpty())
        xml += "<drawing r:id=\"" + drawingRelationshipId.toUtf8() + "\"/>";
    xml += "</worksheet>";
    return xml;
}

QString TemplateSheet::printTitles() const {
    const QString sheet = SheetReference::Quoted(name) + u'!';
    QStringList areas;
    if (titleColumns > 0)
        areas << sheet + QStringLiteral("$A:$") + CellAddress::ColumnLetters(titleColumns);
    if (frozenRows > 0)
        areas << sheet + QStringLiteral("$1:$") + QString::number(frozenRows);
    return areas.join(u',');
}

} // namespace plw
