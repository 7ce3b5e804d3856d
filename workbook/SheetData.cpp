#include "workbook/SheetData.h"

#include "workbook/CellStore.h"
#include "workbook/EngineError.h"
#include "workbook/SharedStrings.h"
#include "workbook/XmlPart.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace plw {

namespace {

using XmlPart::Child;
using XmlPart::HasLocalName;

// "BC12" -> column 55, row 12. False for anything else.
bool ParseReference(const char* text, int* row, int* column) {
    int c = 0;
    const char* p = text;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) {
        c = c * 26 + ((*p & ~0x20) - 'A' + 1);
        if (c > CellStore::MaxColumn)
            return false;
        ++p;
    }
    int r = 0;
    const char* digits = p;
    while (*p >= '0' && *p <= '9') {
        r = r * 10 + (*p - '0');
        if (r > CellStore::MaxRow)
            return false;
        ++p;
    }
    if (c == 0 || p == digits || *p != 0 || r == 0)
        return false;
    *row = r;
    *column = c;
    return true;
}

// The writers below put text at p and answer the end; callers give room enough (a cell needs
// fewer than 100 bytes), so a whole cell becomes one append.
template <size_t N> char* Put(char* p, const char (&text)[N]) {
    std::memcpy(p, text, N - 1);
    return p + N - 1;
}

char* PutNumber(char* p, long long value) {
    return std::to_chars(p, p + 24, value).ptr;
}

char* PutReference(char* p, int row, int column) {
    char letters[4];
    int n = 0;
    while (column > 0) {
        letters[n++] = static_cast<char>('A' + (column - 1) % 26);
        column = (column - 1) / 26;
    }
    while (n > 0)
        *p++ = letters[--n];
    return PutNumber(p, row);
}

// The exact decimal of an amount scaled by 10,000, without trailing zeros ("-12.5").
char* PutAmount(char* p, qint64 scaled) {
    // The magnitude of the most negative amount does not fit a signed 64-bit value.
    const std::uint64_t magnitude = scaled < 0
                                        ? std::uint64_t(0) - static_cast<std::uint64_t>(scaled)
                                        : static_cast<std::uint64_t>(scaled);
    if (scaled < 0)
        *p++ = '-';
    p = std::to_chars(p, p + 24, magnitude / Currency::Scale).ptr;
    const auto fraction = static_cast<unsigned>(magnitude % Currency::Scale);
    if (fraction == 0)
        return p;
    char digits[5] = {'.', char('0' + fraction / 1000), char('0' + fraction / 100 % 10),
                      char('0' + fraction / 10 % 10), char('0' + fraction % 10)};
    int length = 5;
    while (digits[length - 1] == '0')
        --length;
    std::memcpy(p, digits, length);
    return p + length;
}

void AppendAttributeValue(QByteArray* out, const QByteArray& value) {
    for (char c : value) {
        switch (c) {
        case '&':
            out->append("&amp;");
            break;
        case '<':
            out->append("&lt;");
            break;
        case '"':
            out->append("&quot;");
            break;
        default:
            out->append(c);
        }
    }
}

bool ParseDouble(const char* text, double* value) {
    const char* end = text + std::strlen(text);
    while (text < end && (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r'))
        ++text;
    while (end > text && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\n' || end[-1] == '\r'))
        --end;
    if (text < end && *text == '+')
        ++text;
    const auto result = std::from_chars(text, end, *value);
    return result.ec == std::errc() && result.ptr == end;
}

// A plain decimal of at most four decimals that fits a Currency ("1234567890123.4567").
bool ParseCurrency(const char* text, Currency* value) {
    const char* p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    qint64 whole = 0;
    const auto wholeEnd = std::from_chars(p, p + std::strlen(p), whole);
    if (wholeEnd.ec != std::errc() || wholeEnd.ptr == p || whole > INT64_MAX / Currency::Scale - 1)
        return false;
    p = wholeEnd.ptr;
    qint64 fraction = 0;
    qint64 unit = Currency::Scale;
    if (*p == '.') {
        for (++p; *p >= '0' && *p <= '9'; ++p) {
            if (unit == 1)
                return false;
            unit /= 10;
            fraction += (*p - '0') * unit;
        }
    }
    if (*p != 0)
        return false;
    const qint64 scaled = whole * Currency::Scale + fraction;
    *value = Currency::fromScaled(negative ? -scaled : scaled);
    return true;
}

bool ReadCell(const pugi::xml_node& c, int row, int column, const SharedStrings& strings,
              CellStore* store, QString* error) {
    const unsigned style = c.attribute("s").as_uint(0);
    if (style != 0)
        store->setStyle(row, column, static_cast<int>(style));
    const char* type = c.attribute("t").value();
    if (std::strcmp(type, "inlineStr") == 0) {
        QString text;
        if (pugi::xml_node is = Child(c, "is")) {
            for (pugi::xml_node part : is.children()) {
                if (HasLocalName(part, "t")) {
                    text += QString::fromUtf8(part.text().get());
                } else if (HasLocalName(part, "r")) {
                    text += QString::fromUtf8(Child(part, "t").text().get());
                }
            }
        }
        store->setText(row, column, SharedStrings::Unescape(text));
        return true;
    }
    pugi::xml_node v = Child(c, "v");
    if (!v)
        return true; // a styled blank (or a formula never calculated)
    const char* value = v.text().get();
    if (std::strcmp(type, "s") == 0) {
        const int index = v.text().as_int(-1);
        if (index < 0 || index >= strings.size()) {
            SetEngineError(error, EngineFault::SharedStringMissing,
                           {QString::fromUtf8(c.attribute("r").value()), QString::fromUtf8(value)});
            return false;
        }
        store->setText(row, column, strings.at(index));
    } else if (std::strcmp(type, "str") == 0 || std::strcmp(type, "e") == 0 ||
               std::strcmp(type, "d") == 0) {
        store->setText(row, column, SharedStrings::Unescape(QString::fromUtf8(value)));
    } else {
        double number = 0;
        if (!ParseDouble(value, &number)) {
            SetEngineError(error, EngineFault::CellNotNumber,
                           {QString::fromUtf8(c.attribute("r").value()), QString::fromUtf8(value)});
            return false;
        }
        // An amount written as its exact decimal, which the nearest double would not give back,
        // stays an amount so that rewriting the sheet keeps every digit.
        char shortest[32];
        const auto written = std::to_chars(shortest, shortest + sizeof shortest, number);
        Currency amount;
        if (std::string_view(shortest, written.ptr - shortest) != value &&
            ParseCurrency(value, &amount))
            store->setCurrency(row, column, amount);
        else
            store->setNumber(row, column, number);
    }
    return true;
}

// The position of the element <name ...> in xml (not one whose name merely starts with name),
// or -1.
qsizetype FindElement(const QByteArray& xml, const char* name, qsizetype from = 0) {
    const QByteArray open = QByteArray("<") + name;
    for (qsizetype at = xml.indexOf(open, from); at >= 0; at = xml.indexOf(open, at + 1)) {
        const qsizetype next = at + open.size();
        if (next < xml.size()) {
            const char c = xml.at(next);
            if (c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r')
                return at;
        }
    }
    return -1;
}

void AppendSheetData(QByteArray* target, const CellStore& store, SharedStrings* strings) {
    QByteArray& out = *target;
    const int rowLimit = store.rowLimit();
    // Each distinct text is looked up in the shared strings once, not once per cell.
    std::vector<int> sharedIndex(static_cast<size_t>(store.textCount()), -1);
    const qsizetype start = out.size();
    out.append("<sheetData>");
    char buffer[128];
    for (int row = 1; row <= rowLimit; ++row) {
        const auto& cells = store.rowCells(row);
        const CellStore::Attributes attributes = store.rowAttributes(row);
        if (cells.empty() && attributes.isEmpty())
            continue;
        char* p = PutNumber(Put(buffer, "<row r=\""), row);
        *p++ = '"';
        out.append(buffer, p - buffer);
        for (const auto& [name, value] : attributes) {
            out.append(' ');
            out.append(name);
            out.append("=\"");
            AppendAttributeValue(&out, value);
            out.append('"');
        }
        if (cells.empty()) {
            out.append("/>");
            continue;
        }
        out.append('>');
        for (const CellStore::Cell& cell : cells) {
            p = PutReference(Put(buffer, "<c r=\""), row, cell.column);
            *p++ = '"';
            if (cell.style != 0) {
                p = PutNumber(Put(p, " s=\""), cell.style);
                *p++ = '"';
            }
            switch (cell.kind) {
            case CellKind::Blank:
                p = Put(p, "/>");
                break;
            case CellKind::Text:
                if (sharedIndex[cell.textIndex] < 0)
                    sharedIndex[cell.textIndex] = strings->add(store.text(cell));
                p = Put(PutNumber(Put(p, " t=\"s\"><v>"), sharedIndex[cell.textIndex]), "</v></c>");
                break;
            case CellKind::Number:
                p = std::to_chars(Put(p, "><v>"), buffer + sizeof buffer, cell.number).ptr;
                p = Put(p, "</v></c>");
                break;
            case CellKind::Currency:
                p = Put(PutAmount(Put(p, "><v>"), cell.scaled), "</v></c>");
                break;
            }
            out.append(buffer, p - buffer);
        }
        out.append("</row>");
    }
    if (out.size() == start + qsizetype(std::strlen("<sheetData>"))) {
        out.insert(start + qsizetype(std::strlen("<sheetData")), '/');
        return;
    }
    out.append("</sheetData>");
}

QByteArray DimensionXml(const CellStore& store) {
    const CellRect used = store.usedRange();
    char buffer[64];
    char* p = Put(buffer, "<dimension ref=\"");
    if (used.isEmpty()) {
        p = Put(p, "A1");
    } else {
        p = PutReference(p, used.firstRow, used.firstColumn);
        if (used.lastRow != used.firstRow || used.lastColumn != used.firstColumn) {
            *p++ = ':';
            p = PutReference(p, used.lastRow, used.lastColumn);
        }
    }
    p = Put(p, "\"/>");
    return QByteArray(buffer, p - buffer);
}

// The end (one past '>') of the element starting at start, self-closed or closed by </name>.
qsizetype ElementEnd(const QByteArray& xml, qsizetype start, const char* name) {
    const qsizetype tagEnd = xml.indexOf('>', start);
    if (tagEnd < 0)
        return -1;
    if (xml.at(tagEnd - 1) == '/')
        return tagEnd + 1;
    const QByteArray close = QByteArray("</") + name + '>';
    const qsizetype closeAt = xml.indexOf(close, tagEnd);
    return closeAt < 0 ? -1 : closeAt + close.size();
}

} // namespace

namespace SheetData {

bool Read(const QByteArray& worksheetXml, const SharedStrings& strings, CellStore* store,
          QString* error) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(worksheetXml.constData(), static_cast<size_t>(worksheetXml.size()),
                             pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed) {
        SetEngineError(error, EngineFault::WorksheetNotXml, {XmlPart::ParseErrorText(parsed)});
        return false;
    }
    pugi::xml_node sheetData = Child(document.document_element(), "sheetData");
    if (!sheetData) {
        SetEngineError(error, EngineFault::WorksheetWithoutCells);
        return false;
    }
    int row = 0;
    for (pugi::xml_node rowNode : sheetData.children()) {
        if (!HasLocalName(rowNode, "row"))
            continue;
        // Row and cell numbers may be left out: each then follows the one before.
        const int number = rowNode.attribute("r").as_int(row + 1);
        if (number <= row || number > CellStore::MaxRow) {
            SetEngineError(error, EngineFault::RowOutOfOrder,
                           {QString::fromUtf8(rowNode.attribute("r").value())});
            return false;
        }
        row = number;
        CellStore::Attributes attributes;
        for (pugi::xml_attribute attribute : rowNode.attributes()) {
            // spans only speeds up loading and goes stale once columns are deleted.
            if (std::strcmp(attribute.name(), "r") == 0 ||
                std::strcmp(attribute.name(), "spans") == 0)
                continue;
            attributes.append({QByteArray(attribute.name()), QByteArray(attribute.value())});
        }
        store->setRowAttributes(row, attributes);
        int column = 0;
        for (pugi::xml_node c : rowNode.children()) {
            if (!HasLocalName(c, "c"))
                continue;
            int cellRow = row;
            int cellColumn = column + 1;
            const char* reference = c.attribute("r").value();
            if (*reference &&
                (!ParseReference(reference, &cellRow, &cellColumn) || cellRow != row)) {
                SetEngineError(error, EngineFault::CellReferenceUnusable,
                               {QString::fromUtf8(reference), QString::number(row)});
                return false;
            }
            if (cellColumn > CellStore::MaxColumn) {
                SetEngineError(error, EngineFault::RowTooWide, {QString::number(row)});
                return false;
            }
            column = cellColumn;
            if (!ReadCell(c, row, column, strings, store, error))
                return false;
        }
    }
    return true;
}

bool Write(QByteArray* worksheetXml, const CellStore& store, SharedStrings* strings,
           QString* error) {
    const QByteArray& xml = *worksheetXml;
    const qsizetype start = FindElement(xml, "sheetData");
    const qsizetype end = start < 0 ? -1 : ElementEnd(xml, start, "sheetData");
    if (end < 0) {
        SetEngineError(error, EngineFault::WorksheetWithoutCells);
        return false;
    }
    // <dimension> comes before <sheetData>, right after <sheetPr>: it is set in the head alone so
    // that the large cell data is written once, straight into its place.
    QByteArray head = xml.left(start);
    const QByteArray dimension = DimensionXml(store);
    const qsizetype dimensionAt = FindElement(head, "dimension");
    if (dimensionAt >= 0) {
        const qsizetype dimensionEnd = ElementEnd(head, dimensionAt, "dimension");
        if (dimensionEnd < 0) {
            SetEngineError(error, EngineFault::DimensionUnreadable);
            return false;
        }
        head.replace(dimensionAt, dimensionEnd - dimensionAt, dimension);
    } else {
        for (const char* follower : {"sheetViews", "sheetFormatPr", "cols"}) {
            const qsizetype at = FindElement(head, follower);
            if (at >= 0) {
                head.insert(at, dimension);
                break;
            }
        }
        if (FindElement(head, "dimension") < 0)
            head.append(dimension);
    }

    qsizetype cells = 0;
    for (int row = 1; row <= store.rowLimit(); ++row)
        cells += static_cast<qsizetype>(store.rowCells(row).size());
    QByteArray out;
    out.reserve(head.size() + (xml.size() - end) + 64 + store.rowLimit() * 16 + cells * 40);
    out.append(head);
    AppendSheetData(&out, store, strings);
    out.append(xml.constData() + end, xml.size() - end);
    *worksheetXml = std::move(out);
    return true;
}

} // namespace SheetData

} // namespace plw
