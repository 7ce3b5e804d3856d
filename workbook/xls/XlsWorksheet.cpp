#include "workbook/xls/XlsWorksheet.h"

#include "app/Currency.h"
#include "workbook/CellAddress.h"
#include "workbook/CellStore.h"
#include "workbook/XmlPart.h"
#include "workbook/xls/BiffStream.h"
#include "workbook/xls/RecordIds.h"
#include "workbook/xls/XlsStyles.h"
#include "workbook/xls/XmlValues.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace plw::xls {

using XmlPart::Attribute;
using XmlPart::Child;
using XmlPart::HasLocalName;

namespace {

constexpr int kRowsPerBlock = 32;
constexpr int kDefaultCellXf = 15;
constexpr int kProgressRows = 1000;

// The RK form of a number when it has one: a 30-bit integer, a 30-bit integer of hundredths,
// or a double whose low 34 bits are zero.
bool ToRk(double value, std::uint32_t* rk) {
    constexpr double kLimit = 536870912.0; // 2^29
    if (value == std::floor(value) && value >= -kLimit && value < kLimit) {
        *rk = (std::uint32_t(std::int32_t(value)) << 2) | 2u;
        return true;
    }
    const double hundredths = value * 100;
    if (hundredths == std::floor(hundredths) && hundredths >= -kLimit && hundredths < kLimit &&
        double(std::int32_t(hundredths)) / 100 == value) {
        *rk = (std::uint32_t(std::int32_t(hundredths)) << 2) | 3u;
        return true;
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & 0x3FFFFFFFFull) == 0) {
        *rk = std::uint32_t(bits >> 32) & 0xFFFFFFFCu;
        return true;
    }
    return false;
}

double ValueOf(const CellStore::Cell& cell) {
    return cell.kind == CellKind::Number ? cell.number
                                         : Currency::fromScaled(cell.scaled).toDouble();
}

// A cell address ("B3") as 0-based row and column; false for anything else.
bool ParseCell(const QString& address, int* row, int* column) {
    CellRect rect;
    if (!CellAddress::ParseRange(address, &rect) || rect.firstRow != rect.lastRow ||
        rect.firstColumn != rect.lastColumn)
        return false;
    *row = rect.firstRow - 1;
    *column = rect.firstColumn - 1;
    return true;
}

// The blocks of a space-separated list of ranges ("A1 C3:D5"), 0-based, clipped to the sheet.
std::vector<CellRect> ParseRanges(const QString& list) {
    std::vector<CellRect> out;
    for (const QString& part : list.split(u' ', Qt::SkipEmptyParts)) {
        CellRect rect;
        if (!CellAddress::ParseRange(part, &rect))
            continue;
        rect.lastRow = std::min(rect.lastRow, MaxXlsRow);
        rect.lastColumn = std::min(rect.lastColumn, MaxXlsColumn);
        if (rect.firstRow > MaxXlsRow || rect.firstColumn > MaxXlsColumn)
            continue;
        out.push_back(
            {rect.firstRow - 1, rect.firstColumn - 1, rect.lastRow - 1, rect.lastColumn - 1});
    }
    return out;
}

// What a row's attributes say (height in twips, hidden, style).
struct RowLook {
    int height = -1; // -1: the sheet's default
    bool custom = false;
    bool hidden = false;
    int style = -1; // a cell format index, -1 for none
    int outline = 0;
    bool collapsed = false;
};

RowLook LookOf(const CellStore::Attributes& attributes) {
    RowLook look;
    bool customFormat = false;
    int style = -1;
    for (const auto& [name, value] : attributes) {
        const bool on = value != "0" && value != "false";
        if (name == "ht")
            look.height = int(std::lround(value.toDouble() * 20));
        else if (name == "customHeight")
            look.custom = on;
        else if (name == "hidden")
            look.hidden = on;
        else if (name == "s")
            style = value.toInt();
        else if (name == "customFormat")
            customFormat = on;
        else if (name == "outlineLevel")
            look.outline = std::clamp(value.toInt(), 0, 7);
        else if (name == "collapsed")
            look.collapsed = on;
    }
    if (customFormat)
        look.style = std::max(style, 0);
    return look;
}

class SheetWriter {
public:
    SheetWriter(const WorksheetSource& source, BiffStream& out) : mSource(source), mOut(out) {
        mRoot = source.worksheet;
    }

    void write(const std::function<void(int)>& rowsWritten);

private:
    const CellStore& cells() const { return *mSource.cells; }
    int xf(int cellFormat) const { return mSource.styles->cellXf(cellFormat); }

    void writeGlobals();
    void writePageSetup();
    void writeColumns();
    void writeDimensions();
    void writeCells(const std::function<void(int)>& rowsWritten);
    void writeRow(int row, const RowLook& look);
    void writeRowCells(int row);
    void writeWindow();
    void writeWindow2(const pugi::xml_node& view, const pugi::xml_node& pane, bool frozen);
    void writePane(const pugi::xml_node& pane);
    void writeSelections(const pugi::xml_node& view, bool frozen);
    void writeMerges();
    void writeLinks();

    const WorksheetSource& mSource;
    BiffStream& mOut;
    pugi::xml_node mRoot;
    qint64 mIndexAt = 0;
    qint64 mDefColWidthAt = 0;
    std::vector<qint64> mDbCells;
    std::vector<int> mRows; // the 1-based rows that get a ROW record
    int mDefaultHeight = 255;
};

void SheetWriter::write(const std::function<void(int)>& rowsWritten) {
    mOut.addBof(0x0010);

    const int rowLimit = std::min(cells().rowLimit(), MaxXlsRow);
    for (int row = 1; row <= rowLimit; ++row)
        if (!cells().rowCells(row).empty() || !cells().rowAttributes(row).isEmpty())
            mRows.push_back(row);
    int blocks = 0;
    for (size_t i = 0; i < mRows.size(); ++i)
        if (i == 0 || (mRows[i] - 1) / kRowsPerBlock != (mRows[i - 1] - 1) / kRowsPerBlock)
            ++blocks;
    // The INDEX is patched once the DBCELL positions are known.
    mIndexAt = mOut.position();
    RecordData index;
    index.u32(0);
    index.u32(mRows.empty() ? 0 : std::uint32_t(mRows.front() - 1));
    index.u32(mRows.empty() ? 0 : std::uint32_t(mRows.back()));
    index.u32(0);
    index.zeros(4 * blocks);
    mOut.add(Rec::Index, index);

    writeGlobals();
    writePageSetup();
    writeColumns();
    writeDimensions();
    writeCells(rowsWritten);
    mOut.patchU32(mIndexAt + 4 + 12, std::uint32_t(mDefColWidthAt));
    for (size_t i = 0; i < mDbCells.size(); ++i)
        mOut.patchU32(mIndexAt + 4 + 16 + qint64(4 * i), std::uint32_t(mDbCells[i]));
    if (mSource.objects)
        mSource.objects(mOut);
    writeWindow();
    writeMerges();
    writeLinks();
    // The sheet protection options of an unprotected sheet: everything allowed.
    RecordData features;
    features.u16(Rec::FeatHdr);
    features.zeros(10);
    features.u16(0x0002);
    features.u8(1);
    features.u32(0xFFFFFFFFu);
    features.u32(0);
    mOut.add(Rec::FeatHdr, features);
    mOut.add(Rec::Eof);
}

void SheetWriter::writeGlobals() {
    mOut.addU16(Rec::CalcMode, 1);
    mOut.addU16(Rec::CalcCount, 100);
    mOut.addU16(Rec::CalcRefMode, 1);
    mOut.addU16(Rec::CalcIter, 0);
    RecordData delta;
    delta.f64(0.001);
    mOut.add(Rec::CalcDelta, delta);
    mOut.addU16(Rec::CalcSaveRecalc, 1);
    const pugi::xml_node printOptions = Child(mRoot, "printOptions");
    mOut.addU16(Rec::PrintRowCol, BoolAttribute(printOptions, "headings", false) ? 1 : 0);
    mOut.addU16(Rec::PrintGrid, BoolAttribute(printOptions, "gridLines", false) ? 1 : 0);
    mOut.addU16(Rec::GridSet, 1);
    RecordData guts;
    guts.zeros(8);
    mOut.add(Rec::Guts, guts);

    const pugi::xml_node format = Child(mRoot, "sheetFormatPr");
    const double height = Attribute(format, "defaultRowHeight").toDouble();
    if (height > 0)
        mDefaultHeight = int(std::lround(height * 20));
    RecordData rowHeight;
    rowHeight.u16((BoolAttribute(format, "customHeight", false) ? 0x01 : 0) |
                  (BoolAttribute(format, "zeroHeight", false) ? 0x02 : 0));
    rowHeight.u16(mDefaultHeight);
    mOut.add(Rec::DefaultRowHeight, rowHeight);

    const pugi::xml_node properties = Child(mRoot, "sheetPr");
    const pugi::xml_node outline = Child(properties, "outlinePr");
    int wsBool = 0x0401;
    if (BoolAttribute(outline, "summaryBelow", true))
        wsBool |= 0x40;
    if (BoolAttribute(outline, "summaryRight", true))
        wsBool |= 0x80;
    if (BoolAttribute(Child(properties, "pageSetUpPr"), "fitToPage", false))
        wsBool |= 0x100;
    mOut.addU16(Rec::WsBool, wsBool);

    // Manual page breaks: the row or column after each break, 0-based.
    const auto breaks = [&](const char* element, std::uint16_t id, int limit) {
        std::vector<pugi::xml_node> list = Children(Child(mRoot, element), "brk");
        std::erase_if(list, [&](const pugi::xml_node& brk) {
            return !BoolAttribute(brk, "man", false) || brk.attribute("id").as_int() >= limit;
        });
        if (list.empty())
            return;
        RecordData data;
        data.u16(int(list.size()));
        for (const pugi::xml_node& brk : list) {
            data.u16(brk.attribute("id").as_int());
            data.u16(brk.attribute("min").as_int(0));
            const int last = id == Rec::HorizontalPageBreaks ? MaxXlsColumn - 1 : MaxXlsRow - 1;
            data.u16(std::min(brk.attribute("max").as_int(last), last));
        }
        mOut.add(id, data);
    };
    breaks("rowBreaks", Rec::HorizontalPageBreaks, MaxXlsRow);
    breaks("colBreaks", Rec::VerticalPageBreaks, MaxXlsColumn);
}

void SheetWriter::writePageSetup() {
    const pugi::xml_node headerFooter = Child(mRoot, "headerFooter");
    for (const auto& [element, id] :
         {std::make_pair("oddHeader", Rec::Header), std::make_pair("oddFooter", Rec::Footer)}) {
        const QString text = QString::fromUtf8(Child(headerFooter, element).text().get());
        RecordData data;
        if (!text.isEmpty())
            data.unicodeString(text); // at most 255 characters: longer ones are not written here
        mOut.add(id, data);
    }
    const pugi::xml_node printOptions = Child(mRoot, "printOptions");
    for (const auto& [attribute, id] : {std::make_pair("horizontalCentered", Rec::HCenter),
                                        std::make_pair("verticalCentered", Rec::VCenter)}) {
        RecordData data;
        data.u16(BoolAttribute(printOptions, attribute, false) ? 1 : 0);
        mOut.add(id, data);
    }
    const pugi::xml_node margins = Child(mRoot, "pageMargins");
    if (margins) {
        for (const auto& [attribute, id] :
             {std::make_pair("left", Rec::LeftMargin), std::make_pair("right", Rec::RightMargin),
              std::make_pair("top", Rec::TopMargin), std::make_pair("bottom", Rec::BottomMargin)}) {
            RecordData data;
            data.f64(margins.attribute(attribute).as_double());
            mOut.add(id, data);
        }
    }
    const pugi::xml_node setup = Child(mRoot, "pageSetup");
    RecordData data;
    data.u16(setup.attribute("paperSize").as_int(9));
    data.u16(std::clamp(setup.attribute("scale").as_int(100), 10, 400));
    data.u16(setup.attribute("firstPageNumber").as_int(1) & 0xFFFF);
    data.u16(setup.attribute("fitToWidth").as_int(1));
    data.u16(setup.attribute("fitToHeight").as_int(1));
    const QString orientation = Attribute(setup, "orientation");
    int flags = 0;
    if (Attribute(setup, "pageOrder") == u"overThenDown")
        flags |= 0x01;
    if (orientation != u"landscape")
        flags |= 0x02;
    if (!setup)
        flags |= 0x04; // no printer settings at all
    if (BoolAttribute(setup, "blackAndWhite", false))
        flags |= 0x08;
    if (BoolAttribute(setup, "draft", false))
        flags |= 0x10;
    if (orientation.isEmpty() || orientation == u"default")
        flags |= 0x40;
    if (BoolAttribute(setup, "useFirstPageNumber", false))
        flags |= 0x80;
    data.u16(flags);
    data.u16(setup.attribute("horizontalDpi").as_int(600));
    data.u16(setup.attribute("verticalDpi").as_int(600));
    data.f64(margins.attribute("header").as_double(0.3));
    data.f64(margins.attribute("footer").as_double(0.3));
    data.u16(setup.attribute("copies").as_int(1));
    mOut.add(Rec::Setup, data);
}

void SheetWriter::writeColumns() {
    mDefColWidthAt = mOut.position();
    const pugi::xml_node format = Child(mRoot, "sheetFormatPr");
    const int base = format.attribute("baseColWidth").as_int(8);
    RecordData width;
    width.u16(base);
    mOut.add(Rec::DefColWidth, width);
    for (const pugi::xml_node& col : Children(Child(mRoot, "cols"), "col")) {
        const int first = col.attribute("min").as_int(1);
        const int last = std::min(col.attribute("max").as_int(first), MaxXlsColumn);
        if (first < 1 || first > MaxXlsColumn || last < first)
            continue;
        const double characters = col.attribute("width")
                                      ? col.attribute("width").as_double()
                                      : format.attribute("defaultColWidth").as_double(base + 0.71);
        RecordData data;
        data.u16(first - 1);
        data.u16(last - 1);
        data.u16(std::clamp(int(std::lround(characters * 256)), 0, 0xFFFF));
        data.u16(col.attribute("style") ? xf(col.attribute("style").as_int()) : kDefaultCellXf);
        data.u16((BoolAttribute(col, "hidden", false) ? 0x01 : 0) |
                 (BoolAttribute(col, "customWidth", false) ? 0x02 : 0) |
                 (BoolAttribute(col, "bestFit", false) ? 0x04 : 0) |
                 ((col.attribute("outlineLevel").as_int(0) & 0x07) << 8) |
                 (BoolAttribute(col, "collapsed", false) ? 0x1000 : 0));
        data.u16(0);
        mOut.add(Rec::ColInfo, data);
    }
}

void SheetWriter::writeDimensions() {
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    bool any = false;
    for (int row : mRows) {
        const auto& rowCells = cells().rowCells(row);
        if (rowCells.empty() || rowCells.front().column > MaxXlsColumn)
            continue;
        const int last = std::min<int>(rowCells.back().column, MaxXlsColumn);
        if (!any) {
            firstRow = row;
            firstColumn = rowCells.front().column;
            lastColumn = last;
            any = true;
        }
        lastRow = row;
        firstColumn = std::min<int>(firstColumn, rowCells.front().column);
        lastColumn = std::max(lastColumn, last);
    }
    RecordData data;
    data.u32(any ? std::uint32_t(firstRow - 1) : 0);
    data.u32(any ? std::uint32_t(lastRow) : 0);
    data.u16(any ? firstColumn - 1 : 0);
    data.u16(any ? lastColumn : 0);
    data.u16(0);
    mOut.add(Rec::Dimensions, data);
}

void SheetWriter::writeRow(int row, const RowLook& look) {
    const auto& rowCells = cells().rowCells(row);
    int first = 0, last = 0;
    if (!rowCells.empty() && rowCells.front().column <= MaxXlsColumn) {
        first = rowCells.front().column - 1;
        for (const CellStore::Cell& cell : rowCells)
            if (cell.column <= MaxXlsColumn)
                last = cell.column;
    }
    RecordData data;
    data.u16(row - 1);
    data.u16(first);
    data.u16(last);
    data.u16((look.height >= 0 ? look.height : mDefaultHeight) & 0x7FFF);
    data.u16(0);
    data.u16(0);
    data.u16(look.outline | (look.collapsed ? 0x10 : 0) | (look.hidden ? 0x20 : 0) |
             (look.custom ? 0x40 : 0) | (look.style >= 0 ? 0x80 : 0) | 0x100);
    data.u16(look.style >= 0 ? xf(look.style) : kDefaultCellXf);
    mOut.add(Rec::Row, data);
}

void SheetWriter::writeRowCells(int row) {
    const auto& rowCells = cells().rowCells(row);
    const std::vector<int>& shared = *mSource.sharedIndex;
    const int r = row - 1;
    // The longest is a MULRK of a whole row: 256 cells of 6 bytes and 6 more.
    FixedRecord<1600> data;
    const auto add = [&](std::uint16_t id) {
        mOut.add(id, data.data(), data.size());
    };
    size_t i = 0;
    const size_t count = rowCells.size();
    const auto adjacent = [&](size_t k) {
        return k + 1 < count && rowCells[k + 1].column == rowCells[k].column + 1 &&
               rowCells[k + 1].column <= MaxXlsColumn;
    };
    std::uint32_t rk = 0;
    while (i < count && rowCells[i].column <= MaxXlsColumn) {
        const CellStore::Cell& cell = rowCells[i];
        const int c = cell.column - 1;
        data.clear();
        data.u16(r);
        data.u16(c);
        if (cell.kind == CellKind::Blank) {
            size_t end = i;
            while (adjacent(end) && rowCells[end + 1].kind == CellKind::Blank)
                ++end;
            if (end == i) {
                data.u16(xf(int(cell.style)));
                add(Rec::Blank);
            } else {
                for (size_t k = i; k <= end; ++k)
                    data.u16(xf(int(rowCells[k].style)));
                data.u16(rowCells[end].column - 1);
                add(Rec::MulBlank);
            }
            i = end + 1;
            continue;
        }
        if (cell.kind == CellKind::Text) {
            data.u16(xf(int(cell.style)));
            data.u32(std::uint32_t(shared[cell.textIndex]));
            add(Rec::LabelSst);
            ++i;
            continue;
        }
        if (!ToRk(ValueOf(cell), &rk)) {
            data.u16(xf(int(cell.style)));
            data.f64(ValueOf(cell));
            add(Rec::Number);
            ++i;
            continue;
        }
        size_t end = i;
        std::uint32_t next = 0;
        while (adjacent(end) && rowCells[end + 1].kind != CellKind::Blank &&
               rowCells[end + 1].kind != CellKind::Text && ToRk(ValueOf(rowCells[end + 1]), &next))
            ++end;
        if (end == i) {
            data.u16(xf(int(cell.style)));
            data.u32(rk);
            add(Rec::Rk);
        } else {
            for (size_t k = i; k <= end; ++k) {
                ToRk(ValueOf(rowCells[k]), &next);
                data.u16(xf(int(rowCells[k].style)));
                data.u32(next);
            }
            data.u16(rowCells[end].column - 1);
            add(Rec::MulRk);
        }
        i = end + 1;
    }
}

void SheetWriter::writeCells(const std::function<void(int)>& rowsWritten) {
    size_t i = 0;
    int reported = 0;
    while (i < mRows.size()) {
        const int block = (mRows[i] - 1) / kRowsPerBlock;
        size_t end = i;
        while (end < mRows.size() && (mRows[end] - 1) / kRowsPerBlock == block)
            ++end;
        const qint64 firstRowAt = mOut.position();
        for (size_t k = i; k < end; ++k)
            writeRow(mRows[k], LookOf(cells().rowAttributes(mRows[k])));
        // Each row's first cell record: the first counted from the end of the first ROW
        // record, each further one from the one before.
        std::vector<int> offsets;
        qint64 previous = firstRowAt + 20;
        for (size_t k = i; k < end; ++k) {
            const qint64 start = mOut.position();
            writeRowCells(mRows[k]);
            offsets.push_back(int(start - previous));
            previous = start;
        }
        const qint64 dbCellAt = mOut.position();
        mDbCells.push_back(dbCellAt);
        RecordData dbCell;
        dbCell.u32(std::uint32_t(dbCellAt - firstRowAt));
        for (int offset : offsets)
            dbCell.u16(offset);
        mOut.add(Rec::DbCell, dbCell);
        i = end;
        if (rowsWritten && mRows[end - 1] - reported >= kProgressRows) {
            reported = mRows[end - 1];
            rowsWritten(reported);
        }
    }
    if (rowsWritten && !mRows.empty())
        rowsWritten(mRows.back());
}

// The panes of a sheet view by their BIFF8 numbers (pnn): 0 bottomRight to 3 topLeft.
const QStringList& PaneNames() {
    static const QStringList names = {QStringLiteral("bottomRight"), QStringLiteral("topRight"),
                                      QStringLiteral("bottomLeft"), QStringLiteral("topLeft")};
    return names;
}

void SheetWriter::writeWindow() {
    const pugi::xml_node view = Child(Child(mRoot, "sheetViews"), "sheetView");
    const pugi::xml_node pane = Child(view, "pane");
    const bool frozen = pane && (Attribute(pane, "state") == u"frozen" ||
                                 Attribute(pane, "state") == u"frozenSplit");
    writeWindow2(view, pane, frozen);
    if (frozen)
        writePane(pane);
    writeSelections(view, frozen);
}

// WINDOW2 and, when the sheet is zoomed, SCL.
void SheetWriter::writeWindow2(const pugi::xml_node& view, const pugi::xml_node& pane,
                               bool frozen) {
    int topRow = 0, leftColumn = 0;
    ParseCell(Attribute(view, "topLeftCell"), &topRow, &leftColumn);
    const bool selected = BoolAttribute(view, "tabSelected", false);
    int flags = 0x20; // the default gridline colour
    if (BoolAttribute(view, "showOutlineSymbols", true))
        flags |= 0x80;
    if (BoolAttribute(view, "showGridLines", true))
        flags |= 0x02;
    if (BoolAttribute(view, "showRowColHeaders", true))
        flags |= 0x04;
    if (frozen)
        flags |= 0x08 | (Attribute(pane, "state") == u"frozen" ? 0x100 : 0);
    if (BoolAttribute(view, "showZeros", true))
        flags |= 0x10;
    if (BoolAttribute(view, "rightToLeft", false))
        flags |= 0x40;
    if (selected)
        flags |= 0x200 | 0x400;
    const int zoom = view.attribute("zoomScale").as_int(100);
    RecordData window;
    window.u16(flags);
    window.u16(topRow);
    window.u16(leftColumn);
    window.u16(64);
    window.u16(0);
    window.u16(0);
    window.u16(zoom == 100 ? 0 : zoom);
    window.u32(0);
    mOut.add(Rec::Window2, window);
    if (zoom != 100) {
        RecordData scale;
        scale.u16(zoom);
        scale.u16(100);
        mOut.add(Rec::Scl, scale);
    }
}

// The PANE of frozen panes.
void SheetWriter::writePane(const pugi::xml_node& pane) {
    int paneRow = 0, paneColumn = 0;
    const int xSplit = pane.attribute("xSplit").as_int(0);
    const int ySplit = pane.attribute("ySplit").as_int(0);
    if (!ParseCell(Attribute(pane, "topLeftCell"), &paneRow, &paneColumn)) {
        paneRow = ySplit;
        paneColumn = xSplit;
    }
    const qsizetype active = PaneNames().indexOf(Attribute(pane, "activePane"));
    RecordData data;
    data.u16(xSplit);
    data.u16(ySplit);
    data.u16(paneRow);
    data.u16(paneColumn);
    data.u8(active < 0 ? 3 : int(active));
    data.u8(0);
    mOut.add(Rec::Pane, data);
}

// One SELECTION a pane, the top-left pane's first; a frozen sheet always has that one.
void SheetWriter::writeSelections(const pugi::xml_node& view, bool frozen) {
    std::vector<std::pair<int, pugi::xml_node>> ordered;
    for (const pugi::xml_node& selection : Children(view, "selection")) {
        const QString name = Attribute(selection, "pane");
        const qsizetype pnn = name.isEmpty() ? 3 : PaneNames().indexOf(name);
        ordered.emplace_back(pnn < 0 ? 3 : int(pnn), selection);
    }
    if (frozen && std::none_of(ordered.begin(), ordered.end(),
                               [](const auto& entry) { return entry.first == 3; }))
        ordered.insert(ordered.begin(), {3, pugi::xml_node()});
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    if (ordered.empty())
        ordered.emplace_back(3, pugi::xml_node());
    for (const auto& [pnn, selection] : ordered) {
        int row = 0, column = 0;
        ParseCell(Attribute(selection, "activeCell"), &row, &column);
        std::vector<CellRect> ranges = ParseRanges(Attribute(selection, "sqref"));
        if (ranges.empty())
            ranges.push_back({row, column, row, column});
        RecordData data;
        data.u8(pnn);
        data.u16(row);
        data.u16(column);
        data.u16(
            std::clamp(selection.attribute("activeCellId").as_int(0), 0, int(ranges.size()) - 1));
        data.u16(int(ranges.size()));
        for (const CellRect& range : ranges) {
            data.u16(range.firstRow);
            data.u16(range.lastRow);
            data.u8(range.firstColumn);
            data.u8(range.lastColumn);
        }
        mOut.add(Rec::Selection, data);
    }
}

void SheetWriter::writeMerges() {
    std::vector<CellRect> merges;
    for (const pugi::xml_node& merge : Children(Child(mRoot, "mergeCells"), "mergeCell")) {
        CellRect rect;
        if (CellAddress::ParseRange(Attribute(merge, "ref"), &rect) && rect.lastRow <= MaxXlsRow &&
            rect.lastColumn <= MaxXlsColumn)
            merges.push_back(rect);
    }
    // A record holds at most 1026 ranges.
    for (size_t start = 0; start < merges.size(); start += 1026) {
        const size_t end = std::min(merges.size(), start + 1026);
        RecordData data;
        data.u16(int(end - start));
        for (size_t i = start; i < end; ++i) {
            data.u16(merges[i].firstRow - 1);
            data.u16(merges[i].lastRow - 1);
            data.u16(merges[i].firstColumn - 1);
            data.u16(merges[i].lastColumn - 1);
        }
        mOut.add(Rec::MergeCells, data);
    }
}

void SheetWriter::writeLinks() {
    // The class id of the standard hyperlink object.
    static const unsigned char kHyperlinkClass[16] = {0xD0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA,
                                                      0xCE, 0x11, 0x8C, 0x82, 0x00, 0xAA,
                                                      0x00, 0x4B, 0xA9, 0x0B};
    const auto hyperlinkString = [](RecordData& data, const QString& text) {
        data.u32(std::uint32_t(text.size() + 1));
        data.utf16(text);
        data.u16(0);
    };
    for (const pugi::xml_node& link : Children(Child(mRoot, "hyperlinks"), "hyperlink")) {
        CellRect rect;
        if (!CellAddress::ParseRange(Attribute(link, "ref"), &rect) || rect.lastRow > MaxXlsRow ||
            rect.lastColumn > MaxXlsColumn)
            continue;
        const QString display = Attribute(link, "display");
        const QString location = Attribute(link, "location");
        RecordData data;
        data.u16(rect.firstRow - 1);
        data.u16(rect.lastRow - 1);
        data.u16(rect.firstColumn - 1);
        data.u16(rect.lastColumn - 1);
        data.bytes(reinterpret_cast<const char*>(kHyperlinkClass), 16);
        data.u32(2);
        // A place in this document, with the text the cell shows.
        data.u32((display.isEmpty() ? 0 : 0x14) | 0x08);
        if (!display.isEmpty())
            hyperlinkString(data, display);
        hyperlinkString(data, location);
        mOut.add(Rec::HLink, data);
    }
}

} // namespace

void WriteWorksheet(const WorksheetSource& source, BiffStream& out,
                    const std::function<void(int rows)>& rowsWritten) {
    SheetWriter(source, out).write(rowsWritten);
}

} // namespace plw::xls
