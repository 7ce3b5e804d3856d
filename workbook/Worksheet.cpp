#include "workbook/Worksheet.h"

#include "workbook/CellAddress.h"
#include "workbook/ChartXml.h"
#include "workbook/ColumnWidths.h"
#include "workbook/EngineError.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/PartNames.h"
#include "workbook/SheetData.h"
#include "workbook/Styles.h"
#include "workbook/Workbook.h"
#include "workbook/XmlPart.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace plw {

namespace {

// The children of <worksheet> in the order the schema requires.
constexpr const char* kWorksheetOrder[] = {"sheetPr",
                                           "dimension",
                                           "sheetViews",
                                           "sheetFormatPr",
                                           "cols",
                                           "sheetData",
                                           "sheetCalcPr",
                                           "sheetProtection",
                                           "protectedRanges",
                                           "scenarios",
                                           "autoFilter",
                                           "sortState",
                                           "dataConsolidate",
                                           "customSheetViews",
                                           "mergeCells",
                                           "phoneticPr",
                                           "conditionalFormatting",
                                           "dataValidations",
                                           "hyperlinks",
                                           "printOptions",
                                           "pageMargins",
                                           "pageSetup",
                                           "headerFooter",
                                           "rowBreaks",
                                           "colBreaks",
                                           "customProperties",
                                           "cellWatches",
                                           "ignoredErrors",
                                           "smartTags",
                                           "drawing",
                                           "legacyDrawing",
                                           "legacyDrawingHF",
                                           "drawingHF",
                                           "picture",
                                           "oleObjects",
                                           "controls",
                                           "webPublishItems",
                                           "tableParts",
                                           "extLst"};

// Cell ranges larger than this are refused by the cell-by-cell operations: they would name
// whole columns or rows, which this program never formats.
constexpr qint64 kMaxRangeCells = 2'000'000;

int OrderOf(const char* name) {
    for (size_t i = 0; i < std::size(kWorksheetOrder); ++i)
        if (std::strcmp(kWorksheetOrder[i], name) == 0)
            return int(i);
    return int(std::size(kWorksheetOrder));
}

QByteArray PrefixOf(const pugi::xml_node& node) {
    const char* full = node.name();
    const char* colon = std::strchr(full, ':');
    return colon ? QByteArray(full, int(colon - full) + 1) : QByteArray();
}

bool ParseBoundedRange(const QString& address, CellRect* rect, QString* error) {
    if (!CellAddress::ParseRange(address, rect)) {
        SetEngineError(error, EngineFault::NotCellAddress, {address});
        return false;
    }
    const qint64 cells =
        qint64(rect->lastRow - rect->firstRow + 1) * (rect->lastColumn - rect->firstColumn + 1);
    if (cells > kMaxRangeCells) {
        SetEngineError(error, EngineFault::RangeTooLarge, {address});
        return false;
    }
    return true;
}

// The attributes of a <col> other than its bounds.
using ColumnAttributes = QList<std::pair<QByteArray, QByteArray>>;

std::map<int, ColumnAttributes> ReadColumns(const pugi::xml_node& cols) {
    std::map<int, ColumnAttributes> columns;
    for (pugi::xml_node col : cols.children()) {
        if (!XmlPart::HasLocalName(col, "col"))
            continue;
        ColumnAttributes attributes;
        for (pugi::xml_attribute attribute : col.attributes())
            if (qstrcmp(attribute.name(), "min") != 0 && qstrcmp(attribute.name(), "max") != 0)
                attributes.append(
                    std::make_pair(QByteArray(attribute.name()), QByteArray(attribute.value())));
        const int last = std::min(col.attribute("max").as_int(), CellStore::MaxColumn);
        for (int c = std::max(1, col.attribute("min").as_int()); c <= last; ++c)
            columns[c] = attributes;
    }
    return columns;
}

// Writes the columns back, neighbours with equal attributes joined into one <col>.
void WriteColumns(pugi::xml_node cols, const std::map<int, ColumnAttributes>& columns,
                  const QByteArray& prefix) {
    while (cols.first_child())
        cols.remove_child(cols.first_child());
    for (auto it = columns.begin(); it != columns.end();) {
        auto end = std::next(it);
        int last = it->first;
        while (end != columns.end() && end->first == last + 1 && end->second == it->second) {
            last = end->first;
            ++end;
        }
        pugi::xml_node col = cols.append_child((prefix + "col").constData());
        col.append_attribute("min") = it->first;
        col.append_attribute("max") = last;
        for (const auto& [name, value] : it->second)
            col.append_attribute(name.constData()) = value.constData();
        it = end;
    }
}

void SetAttribute(ColumnAttributes* attributes, const QByteArray& name, const QByteArray& value) {
    for (auto& [key, existing] : *attributes) {
        if (key == name) {
            existing = value;
            return;
        }
    }
    attributes->append({name, value});
}

QString RectAddress(const CellRect& rect) {
    const QString first =
        CellAddress::ColumnLetters(rect.firstColumn) + QString::number(rect.firstRow);
    if (rect.firstRow == rect.lastRow && rect.firstColumn == rect.lastColumn)
        return first;
    return first + u':' + CellAddress::ColumnLetters(rect.lastColumn) +
           QString::number(rect.lastRow);
}

} // namespace

struct Worksheet::ChartRef {
    QString name;
    QString part;
    std::unique_ptr<ChartXml> chart;
};

struct Worksheet::Dom {
    pugi::xml_node root() const { return mDom.document_element(); }
    // The child of the worksheet element of that name, made at its schema place when missing.
    pugi::xml_node ensureChild(const char* name);

    pugi::xml_document mDom;
};

Worksheet::Worksheet(Workbook& workbook, QString name, QString partName)
    : mWorkbook(workbook), mName(std::move(name)), mPart(std::move(partName)),
      d(std::make_unique<Dom>()) {}

Worksheet::~Worksheet() = default;

bool Worksheet::load(QString* error) {
    const QByteArray bytes = mWorkbook.mPackage.part(mPart);
    if (!XmlPart::Parse(bytes, mPart, d->mDom, error) ||
        !SheetData::Read(bytes, mWorkbook.mStrings, &mCells, error))
        return false;
    // The cells live in the store from now on; the DOM keeps an empty <sheetData> as their place.
    pugi::xml_node sheetData = XmlPart::Child(d->root(), "sheetData");
    if (!sheetData) {
        SetEngineError(error, EngineFault::SheetWithoutCells, {mName});
        return false;
    }
    while (sheetData.first_child())
        sheetData.remove_child(sheetData.first_child());
    for (const auto& [column, attributes] : ReadColumns(XmlPart::Child(d->root(), "cols")))
        for (const auto& [name, value] : attributes)
            if (name == "style")
                mCells.setColumnStyle(column, value.toInt());
    return true;
}

bool Worksheet::write(QByteArray* bytes, SharedStrings* strings, QString* error) {
    for (const auto& ref : mCharts)
        if (ref->chart)
            mWorkbook.mPackage.setPart(ref->part, ref->chart->toXml());
    *bytes = XmlPart::Serialize(d->mDom);
    return !strings || SheetData::Write(bytes, mCells, strings, error);
}

pugi::xml_node Worksheet::Dom::ensureChild(const char* name) {
    pugi::xml_node parent = root();
    if (pugi::xml_node existing = XmlPart::Child(parent, name))
        return existing;
    const int order = OrderOf(name);
    const QByteArray qualified = PrefixOf(parent) + name;
    for (pugi::xml_node child : parent.children())
        if (child.type() == pugi::node_element && OrderOf(XmlPart::LocalName(child)) > order)
            return parent.insert_child_before(qualified.constData(), child);
    return parent.append_child(qualified.constData());
}

bool Worksheet::setRowValues(const QString& address, const std::vector<CellValue>& values,
                             QString* error) {
    CellRect rect;
    if (!ParseBoundedRange(address, &rect, error))
        return false;
    const int count = std::min<int>(rect.lastColumn - rect.firstColumn + 1, int(values.size()));
    for (int i = 0; i < count; ++i) {
        const int column = rect.firstColumn + i;
        const CellValue& value = values[size_t(i)];
        switch (value.kind) {
        case CellKind::Blank:
            mCells.clearValue(rect.firstRow, column);
            break;
        case CellKind::Text:
            mCells.setText(rect.firstRow, column, value.text);
            break;
        case CellKind::Number:
            mCells.setNumber(rect.firstRow, column, value.number);
            break;
        case CellKind::Currency:
            mCells.setCurrency(rect.firstRow, column, value.currency);
            break;
        }
    }
    return true;
}

namespace {

// Gives every cell of rect the style derive() makes of its own, deriving each style once. False
// when derive() refuses (answers a negative index): the values are not ones a cell can take.
template <typename Derive> bool Restyle(CellStore& cells, const CellRect& rect, Derive derive) {
    QHash<int, int> derived;
    for (int row = rect.firstRow; row <= rect.lastRow; ++row) {
        for (int column = rect.firstColumn; column <= rect.lastColumn; ++column) {
            const int style = cells.cell(row, column).style;
            auto it = derived.find(style);
            if (it == derived.end())
                it = derived.insert(style, derive(style));
            if (*it < 0)
                return false;
            cells.setStyle(row, column, *it);
        }
    }
    return true;
}

} // namespace

bool Worksheet::setFill(const QString& address, int colorIndex, int pattern, int patternColorIndex,
                        QString* error) {
    CellRect rect;
    if (!ParseBoundedRange(address, &rect, error))
        return false;
    Styles& styles = mWorkbook.styles();
    if (!Restyle(mCells, rect, [&](int style) {
            return styles.withFill(style, colorIndex, pattern, patternColorIndex);
        })) {
        SetEngineError(error, EngineFault::FillRefused,
                       {QString::number(colorIndex), QString::number(pattern),
                        QString::number(patternColorIndex)});
        return false;
    }
    return true;
}

bool Worksheet::setFontSize(const QString& address, double points, QString* error) {
    CellRect rect;
    if (!ParseBoundedRange(address, &rect, error))
        return false;
    Styles& styles = mWorkbook.styles();
    if (!Restyle(mCells, rect, [&](int style) { return styles.withFontSize(style, points); })) {
        SetEngineError(error, EngineFault::FontSizeRefused, {QString::number(points)});
        return false;
    }
    return true;
}

bool Worksheet::addHyperlink(const QString& cell, const QString& subAddress, const QString& text,
                             QString* error) {
    CellRect rect;
    if (!ParseBoundedRange(cell, &rect, error))
        return false;
    mCells.setText(rect.firstRow, rect.firstColumn, text);
    Styles& styles = mWorkbook.styles();
    Restyle(mCells, {rect.firstRow, rect.firstColumn, rect.firstRow, rect.firstColumn},
            [&](int style) { return styles.withHyperlinkFont(style); }); // always answers a style

    const QString ref =
        RectAddress({rect.firstRow, rect.firstColumn, rect.firstRow, rect.firstColumn});
    pugi::xml_node links = d->ensureChild("hyperlinks");
    for (pugi::xml_node link : links.children())
        if (XmlPart::Attribute(link, "ref") == ref) {
            links.remove_child(link);
            break;
        }
    pugi::xml_node link = links.append_child((PrefixOf(d->root()) + "hyperlink").constData());
    link.append_attribute("ref") = ref.toUtf8().constData();
    link.append_attribute("location") = subAddress.toUtf8().constData();
    link.append_attribute("display") = text.toUtf8().constData();
    return true;
}

bool Worksheet::deleteColumns(const QString& list, QString* error) {
    QList<int> columns;
    if (!CellAddress::ParseColumnList(list, &columns)) {
        SetEngineError(error, EngineFault::NotColumnList, {list});
        return false;
    }
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    // The number of deleted columns before c, and whether c itself goes.
    const auto deletedBefore = [&](int c) {
        return int(std::lower_bound(columns.begin(), columns.end(), c) - columns.begin());
    };
    const auto survivors = [&](int first, int last) {
        return (last - first + 1) - (deletedBefore(last + 1) - deletedBefore(first));
    };
    // A block of columns after the deletion, or an empty rect when none of them stays.
    const auto shifted = [&](CellRect rect) {
        const int kept = survivors(rect.firstColumn, rect.lastColumn);
        if (kept == 0)
            return CellRect{};
        rect.firstColumn -= deletedBefore(rect.firstColumn);
        rect.lastColumn = rect.firstColumn + kept - 1;
        return rect;
    };

    mCells.deleteColumns(columns);
    mWorkbook.deleteColumnsInNames(mName, columns);

    if (pugi::xml_node cols = XmlPart::Child(d->root(), "cols")) {
        std::map<int, ColumnAttributes> kept;
        for (const auto& [column, attributes] : ReadColumns(cols))
            if (!std::binary_search(columns.begin(), columns.end(), column))
                kept[column - deletedBefore(column)] = attributes;
        WriteColumns(cols, kept, PrefixOf(d->root()));
        if (!cols.first_child())
            d->root().remove_child(cols);
    }
    for (const char* listName : {"mergeCells", "hyperlinks"}) {
        pugi::xml_node holder = XmlPart::Child(d->root(), listName);
        if (!holder)
            continue;
        for (pugi::xml_node node = holder.first_child(); node;) {
            pugi::xml_node next = node.next_sibling();
            CellRect rect;
            if (CellAddress::ParseRange(XmlPart::Attribute(node, "ref"), &rect)) {
                const CellRect moved = shifted(rect);
                const bool single =
                    moved.firstRow == moved.lastRow && moved.firstColumn == moved.lastColumn;
                if (moved.isEmpty() || (single && std::strcmp(listName, "mergeCells") == 0))
                    holder.remove_child(node);
                else
                    node.attribute("ref").set_value(RectAddress(moved).toUtf8().constData());
            }
            node = next;
        }
        if (!holder.first_child())
            d->root().remove_child(holder);
        else if (holder.attribute("count"))
            holder.attribute("count") = int(std::distance(holder.begin(), holder.end()));
    }
    return true;
}

void Worksheet::autoFitColumns() {
    const Styles& styles = mWorkbook.styles();
    QHash<int, std::pair<double, QString>> formats; // style -> font size, number format
    std::vector<float> textUnits(size_t(mCells.textCount()), -1.0f); // per text of the pool
    std::map<int, double> widths;
    for (int row = 1; row <= mCells.rowLimit(); ++row) {
        for (const CellStore::Cell& cell : mCells.rowCells(row)) {
            if (cell.kind == CellKind::Blank)
                continue;
            auto format = formats.find(int(cell.style));
            if (format == formats.end())
                format =
                    formats.insert(int(cell.style), {styles.fontSize(int(cell.style)),
                                                     styles.numberFormatCode(int(cell.style))});
            double units = 0;
            if (cell.kind == CellKind::Text) {
                float& known = textUnits[cell.textIndex];
                if (known < 0)
                    known = float(ColumnWidths::TextUnits(mCells.text(cell)));
                units = known;
            } else {
                const double value = cell.kind == CellKind::Number
                                         ? cell.number
                                         : Currency::fromScaled(cell.scaled).toDouble();
                units = ColumnWidths::NumberUnits(value, format->second);
            }
            const double width = ColumnWidths::FittedWidth(units, format->first);
            double& widest = widths[cell.column];
            widest = std::max(widest, width);
        }
    }
    pugi::xml_node cols = d->ensureChild("cols");
    std::map<int, ColumnAttributes> columns = ReadColumns(cols);
    for (const auto& [column, width] : widths) {
        if (width <= 0)
            continue;
        ColumnAttributes& attributes = columns[column];
        SetAttribute(&attributes, "width", QByteArray::number(width, 'f', 2));
        SetAttribute(&attributes, "customWidth", "1");
        SetAttribute(&attributes, "bestFit", "1");
    }
    WriteColumns(cols, columns, PrefixOf(d->root()));
    if (!cols.first_child())
        d->root().remove_child(cols);
}

double Worksheet::columnWidth(int column) const {
    const std::map<int, ColumnAttributes> columns = ReadColumns(XmlPart::Child(d->root(), "cols"));
    const auto it = columns.find(column);
    if (it == columns.end())
        return 0;
    for (const auto& [name, value] : it->second)
        if (name == "width")
            return value.toDouble();
    return 0;
}

void Worksheet::selectCell(const QString& address) {
    pugi::xml_node views = d->ensureChild("sheetViews");
    const QByteArray prefix = PrefixOf(d->root());
    pugi::xml_node view = XmlPart::Child(views, "sheetView");
    if (!view) {
        view = views.append_child((prefix + "sheetView").constData());
        view.append_attribute("workbookViewId") = 0;
    }
    // The selection of the active pane is the last one a program writes.
    pugi::xml_node selection;
    for (pugi::xml_node child : view.children())
        if (XmlPart::HasLocalName(child, "selection"))
            selection = child;
    if (!selection)
        selection = view.append_child((prefix + "selection").constData());
    for (const char* attribute : {"activeCell", "sqref"}) {
        if (!selection.attribute(attribute))
            selection.append_attribute(attribute);
        selection.attribute(attribute).set_value(address.toUtf8().constData());
    }
    selection.remove_attribute("activeCellId");
}

void Worksheet::setTabSelected(bool selected) {
    pugi::xml_node view = XmlPart::Child(d->ensureChild("sheetViews"), "sheetView");
    if (!view) {
        selectCell(QStringLiteral("A1"));
        view = XmlPart::Child(XmlPart::Child(d->root(), "sheetViews"), "sheetView");
    }
    view.remove_attribute("tabSelected");
    if (selected)
        view.prepend_attribute("tabSelected") = 1;
}

QString Worksheet::selectedCell() const {
    QString cell;
    for (pugi::xml_node child :
         XmlPart::Child(XmlPart::Child(d->root(), "sheetViews"), "sheetView").children())
        if (XmlPart::HasLocalName(child, "selection"))
            cell = XmlPart::Attribute(child, "activeCell");
    return cell;
}

QString Worksheet::pageHeader() const {
    return QString::fromUtf8(
        XmlPart::Child(XmlPart::Child(d->root(), "headerFooter"), "oddHeader").text().get());
}

bool Worksheet::isTabSelected() const {
    return XmlPart::Child(XmlPart::Child(d->root(), "sheetViews"), "sheetView")
        .attribute("tabSelected")
        .as_bool();
}

QList<SheetLink> Worksheet::hyperlinks() const {
    QList<SheetLink> links;
    for (pugi::xml_node link : XmlPart::Child(d->root(), "hyperlinks").children())
        links.append({XmlPart::Attribute(link, "ref"), XmlPart::Attribute(link, "location"),
                      XmlPart::Attribute(link, "display")});
    return links;
}

QStringList Worksheet::mergedRanges() const {
    QStringList ranges;
    for (pugi::xml_node merge : XmlPart::Child(d->root(), "mergeCells").children())
        ranges.append(XmlPart::Attribute(merge, "ref"));
    return ranges;
}

bool Worksheet::findCharts(QString* error) {
    if (mChartsFound)
        return true;
    OoxmlPackage& package = mWorkbook.mPackage;
    QString drawingId;
    for (pugi::xml_attribute attribute : XmlPart::Child(d->root(), "drawing").attributes())
        if (QByteArray(attribute.name()).endsWith(":id"))
            drawingId = QString::fromUtf8(attribute.value());
    QList<Relationship> relationships;
    if (!drawingId.isEmpty() && !package.relationships(mPart, &relationships, error))
        return false;
    for (const Relationship& relationship : relationships) {
        if (relationship.id != drawingId)
            continue;
        const QString drawing = OoxmlPackage::targetPartName(mPart, relationship);
        pugi::xml_document document;
        QList<Relationship> drawingRelationships;
        if (!XmlPart::Parse(package.part(drawing), drawing, document, error) ||
            !package.relationships(drawing, &drawingRelationships, error))
            return false;
        for (pugi::xml_node anchor : document.document_element().children()) {
            const pugi::xml_node frame = XmlPart::Child(anchor, "graphicFrame");
            const QString name = XmlPart::Attribute(
                XmlPart::Child(XmlPart::Child(frame, "nvGraphicFramePr"), "cNvPr"), "name");
            QString chartId;
            for (pugi::xml_attribute attribute : XmlPart::Descendant(frame, "chart").attributes())
                if (QByteArray(attribute.name()).endsWith(":id"))
                    chartId = QString::fromUtf8(attribute.value());
            for (const Relationship& chart : drawingRelationships)
                if (!chartId.isEmpty() && chart.id == chartId)
                    mCharts.push_back(std::make_unique<ChartRef>(
                        ChartRef{name, OoxmlPackage::targetPartName(drawing, chart), nullptr}));
        }
    }
    mChartsFound = true;
    return true;
}

QStringList Worksheet::chartNames() const {
    const_cast<Worksheet*>(this)->findCharts(nullptr);
    QStringList names;
    for (const auto& ref : mCharts)
        names.append(ref->name);
    return names;
}

ChartXml* Worksheet::chart(const QString& name, QString* error) {
    if (!findCharts(error))
        return nullptr;
    for (const auto& ref : mCharts) {
        if (ref->name != name)
            continue;
        if (!ref->chart) {
            auto chart = std::make_unique<ChartXml>();
            if (!chart->load(mWorkbook.mPackage.part(ref->part), error))
                return nullptr;
            ref->chart = std::move(chart);
        }
        return ref->chart.get();
    }
    SetEngineError(error, EngineFault::ChartMissing, {mName, name});
    return nullptr;
}

} // namespace plw
