#include "workbook/xls/XlsWriter.h"

#include "app/CommonRoutines.h"
#include "workbook/CellAddress.h"
#include "workbook/CellStore.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"
#include "workbook/XmlPart.h"
#include "workbook/xls/BiffStream.h"
#include "workbook/xls/CompoundFile.h"
#include "workbook/xls/HandledConstructs.h"
#include "workbook/xls/RecordIds.h"
#include "workbook/xls/SharedStringTable.h"
#include "workbook/xls/XlsDrawing.h"
#include "workbook/xls/XlsNames.h"
#include "workbook/xls/XlsStyles.h"
#include "workbook/xls/XlsWorksheet.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace plw {

using XmlPart::Attribute;
using XmlPart::Child;
using XmlPart::HasLocalName;

namespace {

constexpr int kMaxCellText = XlsMaxCellText;
constexpr int kMaxHeaderText = 255;

bool IsType(const Relationship& relationship, const char* segment) {
    return relationship.type.endsWith(u'/' + QString::fromLatin1(segment));
}

// Package part kinds and sheet elements as the operator reads them; the construct's own name
// follows in parentheses for whoever supports the shop.
const std::pair<const char*, const char16_t*> kCaptions[] = {
    {"drawing", u"図形・グラフ"},
    {"chart", u"グラフ"},
    {"comments", u"コメント"},
    {"vmlDrawing", u"図形"},
    {"legacyDrawing", u"図形・コメント"},
    {"image", u"画像"},
    {"picture", u"背景の画像"},
    {"table", u"テーブル"},
    {"pivotTable", u"ピボットテーブル"},
    {"hyperlink", u"ハイパーリンク"},
    {"oleObject", u"埋め込みオブジェクト"},
    {"externalLink", u"外部参照"},
    {"calcChain", u"計算の順序"},
    {"vbaProject", u"マクロ"},
    {"connections", u"外部データの接続"},
    {"customXml", u"ユーザー定義の XML"},
    {"conditionalFormatting", u"条件付き書式"},
    {"dataValidations", u"入力規則"},
    {"autoFilter", u"オートフィルター"},
    {"sheetProtection", u"シートの保護"},
    {"tabColor", u"シート見出しの色"},
    {"pane", u"ウィンドウ枠"}};

// The caption of a part kind or an element; name may go on with "@attribute", which is kept.
QString Caption(const QString& name, const QString& unknown) {
    const QString kind = name.section(u'@', 0, 0);
    for (const auto& [own, caption] : kCaptions)
        if (kind == QLatin1String(own))
            return QStringLiteral("%1 (%2)").arg(QString::fromUtf16(caption), name);
    return unknown;
}

QString PartKindCaption(const QString& kind) {
    return Caption(kind, kind);
}

// An element or attribute of a part that is not translated.
QString ElementCaption(const QString& name) {
    return name.isEmpty() ? name : Caption(name, QStringLiteral("要素 %1").arg(name));
}

QString TextOf(const pugi::xml_node& root, const char* element) {
    return QString::fromUtf8(Child(root, element).text().get());
}

} // namespace

struct XlsWriter::State {
    Workbook& book;
    struct Sheet {
        QString name;
        QString part;
        int visibility = 0; // 0 visible, 1 hidden, 2 very hidden
        pugi::xml_document dom;
        const CellStore* cells = nullptr;
        std::vector<int> sharedIndex;
        int lastRow = 0;
        QString drawingPart;
        std::unique_ptr<xls::XlsDrawing> drawing;
        int drawingId = 0;
    };
    std::vector<std::unique_ptr<Sheet>> sheets;
    pugi::xml_document workbookDom;
    pugi::xml_document stylesDom;
    xls::XlsStyles styles;
    xls::XlsNames names;
    xls::SharedStringTable strings;
    xls::DocumentProperties properties;
    QString unhandled;
    qint64 rows = 0;
    qint64 cellCount = 0;
    bool prepared = false;

    explicit State(Workbook& workbook) : book(workbook) {}

    bool read(QString* error);
    void check();
    // The steps of check(), each keeping the first construct not translated.
    void noteUnhandled(const QString& what, const QString& where);
    void loadStyles();
    void checkSheetParts(Sheet& sheet, const QString& where);
    void checkRows(Sheet& sheet, const QString& where);
    void reserveStrings(Sheet& sheet, const QString& where);
    void loadNames();
    void loadDrawings();
    bool parse(const QString& partName, pugi::xml_document& dom, QString* error) const {
        return XmlPart::Parse(book.package().part(partName), partName, dom, error);
    }
    void readProperties();
    void writeGlobals(xls::BiffStream& out, std::vector<qint64>* sheetPositions) const;
    void writeFileHeader(xls::BiffStream& out) const;
    void writeBookWindow(xls::BiffStream& out) const;
    void writeSheetBounds(xls::BiffStream& out, std::vector<qint64>* sheetPositions) const;
    void writeBookTail(xls::BiffStream& out) const;
};

bool XlsWriter::State::read(QString* error) {
    const OoxmlPackage& package = book.package();
    QList<Relationship> relationships;
    if (!package.relationships(QString(), &relationships, error))
        return false;
    QString workbookPart;
    for (const Relationship& relationship : relationships)
        if (IsType(relationship, "officeDocument"))
            workbookPart = OoxmlPackage::targetPartName(QString(), relationship);
    if (workbookPart.isEmpty() || !parse(workbookPart, workbookDom, error))
        return false;
    if (!package.relationships(workbookPart, &relationships, error))
        return false;
    QHash<QString, QString> targets;
    QString stylesPart;
    for (const Relationship& relationship : relationships) {
        const QString target = OoxmlPackage::targetPartName(workbookPart, relationship);
        targets.insert(relationship.id, target);
        if (IsType(relationship, "styles"))
            stylesPart = target;
        else if (!IsType(relationship, "worksheet") && !IsType(relationship, "sharedStrings") &&
                 !IsType(relationship, "theme") && unhandled.isEmpty())
            unhandled = QStringLiteral("ブックの部品 %1")
                            .arg(PartKindCaption(relationship.type.section(u'/', -1)));
    }
    if (stylesPart.isEmpty() || !parse(stylesPart, stylesDom, error))
        return false;

    const pugi::xml_node root = workbookDom.document_element();
    for (pugi::xml_node node : Child(root, "sheets").children()) {
        if (!HasLocalName(node, "sheet"))
            continue;
        auto sheet = std::make_unique<Sheet>();
        sheet->name = Attribute(node, "name");
        const QString state = Attribute(node, "state");
        sheet->visibility = state == u"hidden" ? 1 : state == u"veryHidden" ? 2 : 0;
        for (pugi::xml_attribute attribute : node.attributes())
            if (QByteArray(attribute.name()).endsWith(":id"))
                sheet->part = targets.value(QString::fromUtf8(attribute.value()));
        Worksheet* worksheet = book.sheet(sheet->name, error);
        if (!worksheet || !parse(sheet->part, sheet->dom, error))
            return false;
        sheet->cells = &worksheet->cells();
        sheets.push_back(std::move(sheet));
    }
    readProperties();
    return true;
}

void XlsWriter::State::readProperties() {
    const OoxmlPackage& package = book.package();
    QList<Relationship> relationships;
    if (!package.relationships(QString(), &relationships, nullptr))
        return;
    for (const Relationship& relationship : relationships) {
        const QString part = OoxmlPackage::targetPartName(QString(), relationship);
        pugi::xml_document dom;
        if (part.isEmpty() || !parse(part, dom, nullptr))
            continue;
        const pugi::xml_node root = dom.document_element();
        if (IsType(relationship, "core-properties")) {
            properties.title = TextOf(root, "title");
            properties.subject = TextOf(root, "subject");
            properties.creator = TextOf(root, "creator");
            properties.keywords = TextOf(root, "keywords");
            properties.description = TextOf(root, "description");
            properties.lastModifiedBy = TextOf(root, "lastModifiedBy");
        } else if (IsType(relationship, "extended-properties")) {
            properties.company = TextOf(root, "Company");
            properties.application = TextOf(root, "Application");
        }
    }
    for (const auto& sheet : sheets)
        properties.sheets << sheet->name;
}

// Checks every part against the constructs the writer translates, keeping the first it does not
// (unhandled), and readies what the file is written from: the styles, the shared strings in the
// order the cells use them, the defined names and the charts.
void XlsWriter::State::check() {
    noteUnhandled(ElementCaption(
                      xls::FirstUnhandled(xls::PartKind::Workbook, workbookDom.document_element())),
                  {});
    loadStyles();
    qsizetype texts = 0;
    for (const auto& sheet : sheets)
        texts += sheet->cells->textCount();
    strings.reserve(texts);
    for (const auto& sheet : sheets) {
        const QString where = QStringLiteral("シート「%1」").arg(sheet->name);
        checkSheetParts(*sheet, where);
        checkRows(*sheet, where);
        reserveStrings(*sheet, where);
    }
    loadNames();
    loadDrawings();
}

void XlsWriter::State::noteUnhandled(const QString& what, const QString& where) {
    if (unhandled.isEmpty() && !what.isEmpty())
        unhandled = where.isEmpty() ? what : QStringLiteral("%1の%2").arg(where, what);
}

void XlsWriter::State::loadStyles() {
    noteUnhandled(
        ElementCaption(xls::FirstUnhandled(xls::PartKind::Styles, stylesDom.document_element())),
        QStringLiteral("スタイル"));
    QString styleProblem;
    if (unhandled.isEmpty() && !styles.load(stylesDom.document_element(), &styleProblem))
        noteUnhandled(styleProblem, QStringLiteral("スタイル"));
}

// The sheet's elements, its header and footer, and the parts it refers to.
void XlsWriter::State::checkSheetParts(Sheet& sheet, const QString& where) {
    const pugi::xml_node worksheet = sheet.dom.document_element();
    noteUnhandled(ElementCaption(xls::FirstUnhandled(xls::PartKind::Worksheet, worksheet)), where);
    for (const char* text : {"oddHeader", "oddFooter"})
        if (QString::fromUtf8(Child(Child(worksheet, "headerFooter"), text).text().get()).size() >
            kMaxHeaderText)
            noteUnhandled(QStringLiteral("%1 文字を超えるヘッダーまたはフッター (header/footer)")
                              .arg(kMaxHeaderText),
                          where);
    QList<Relationship> relationships;
    book.package().relationships(sheet.part, &relationships, nullptr);
    for (const Relationship& relationship : relationships) {
        if (IsType(relationship, "printerSettings"))
            continue; // printer-specific settings; the page setup is written without them
        if (IsType(relationship, "drawing") && sheet.drawingPart.isEmpty()) {
            sheet.drawingPart = OoxmlPackage::targetPartName(sheet.part, relationship);
            continue;
        }
        noteUnhandled(
            QStringLiteral("部品 %1").arg(PartKindCaption(relationship.type.section(u'/', -1))),
            where);
    }
}

// The rows within the sheet's bounds and their attributes; counts the rows and cells to write.
void XlsWriter::State::checkRows(Sheet& sheet, const QString& where) {
    const CellStore& cells = *sheet.cells;
    int lastRow = 0;
    for (int row = 1; row <= cells.rowLimit(); ++row) {
        const std::vector<CellStore::Cell>& rowCells = cells.rowCells(row);
        const CellStore::Attributes attributes = cells.rowAttributes(row);
        if (rowCells.empty() && attributes.isEmpty())
            continue;
        if (row > xls::MaxXlsRow) {
            noteUnhandled(QStringLiteral("%1 行目より下のセル").arg(xls::MaxXlsRow), where);
            break;
        }
        for (const auto& [name, value] : attributes)
            if (!xls::IsHandledRowAttribute(name, value))
                noteUnhandled(QStringLiteral("行の属性 row@") + QString::fromUtf8(name), where);
        if (!rowCells.empty() && rowCells.back().column > xls::MaxXlsColumn)
            noteUnhandled(QStringLiteral("IV 列より右のセル"), where);
        lastRow = row;
        cellCount += qint64(rowCells.size());
    }
    // Progress counts rows by their number, as the sheets are written.
    sheet.lastRow = lastRow;
    rows += lastRow;
}

// Each text the sheet's cells use, once, in the order first used; a text too long for a cell is
// unhandled.
void XlsWriter::State::reserveStrings(Sheet& sheet, const QString& where) {
    const CellStore& cells = *sheet.cells;
    sheet.sharedIndex.assign(size_t(cells.textCount()), -1);
    qint64 references = strings.references();
    for (int row = 1; row <= std::min(cells.rowLimit(), xls::MaxXlsRow); ++row) {
        for (const CellStore::Cell& cell : cells.rowCells(row)) {
            if (cell.kind != CellKind::Text || cell.column > xls::MaxXlsColumn)
                continue;
            ++references;
            int& index = sheet.sharedIndex[cell.textIndex];
            if (index >= 0)
                continue;
            const QString& text = cells.text(cell);
            if (text.size() > kMaxCellText)
                noteUnhandled(QStringLiteral("%1 文字を超える文字列").arg(kMaxCellText), where);
            index = strings.add(text);
        }
    }
    strings.setReferences(references);
}

void XlsWriter::State::loadNames() {
    std::vector<xls::DefinedName> definedNames;
    for (pugi::xml_node node : Child(workbookDom.document_element(), "definedNames").children()) {
        if (!HasLocalName(node, "definedName"))
            continue;
        xls::DefinedName name;
        name.name = Attribute(node, "name");
        name.localSheet = node.attribute("localSheetId").as_int(-1);
        name.hidden = node.attribute("hidden").as_bool();
        name.formula = QString::fromUtf8(node.text().get()).trimmed();
        definedNames.push_back(name);
    }
    QStringList sheetNames;
    for (const auto& sheet : sheets)
        sheetNames << sheet->name;
    QString nameProblem;
    if (!names.load(definedNames, sheetNames, &nameProblem))
        noteUnhandled(nameProblem, {});
}

// The charts, once the names are known: their formulas add to the sheets referred to.
void XlsWriter::State::loadDrawings() {
    int drawings = 0;
    for (const auto& sheet : sheets) {
        if (sheet->drawingPart.isEmpty() || !unhandled.isEmpty())
            continue;
        sheet->drawing = std::make_unique<xls::XlsDrawing>();
        QString problem;
        if (!sheet->drawing->load(book.package(), sheet->drawingPart, styles, names, &problem)) {
            noteUnhandled(problem, QStringLiteral("シート ") + sheet->name);
            continue;
        }
        sheet->drawing->place(sheet->dom.document_element(), *sheet->cells);
        if (sheet->drawing->chartCount() > 0)
            sheet->drawingId = ++drawings;
    }
}

// The workbook globals substream: everything before the sheets' substreams.
void XlsWriter::State::writeGlobals(xls::BiffStream& out,
                                    std::vector<qint64>* sheetPositions) const {
    using namespace xls;
    writeFileHeader(out);
    writeBookWindow(out);
    out.addU16(Rec::Backup, 0);
    out.addU16(Rec::HideObj, 0);
    out.addU16(Rec::Date1904,
               Child(workbookDom.document_element(), "workbookPr").attribute("date1904").as_bool()
                   ? 1
                   : 0);
    out.addU16(Rec::Precision, 1);
    out.addU16(Rec::RefreshAll, 0);
    out.addU16(Rec::BookBool, 0);
    styles.write(out);
    out.addU16(Rec::UsesELFs, 0);
    writeSheetBounds(out, sheetPositions);
    RecordData country;
    country.u16(81);
    country.u16(81);
    out.add(Rec::Country, country);
    names.write(out);
    writeBookTail(out);
}

// The records that open the globals: the file's writer, code page and protection (none).
void XlsWriter::State::writeFileHeader(xls::BiffStream& out) const {
    using namespace xls;
    out.addBof(0x0005);
    out.addU16(Rec::InterfaceHdr, 1200);
    out.addU16(Rec::Mms, 0);
    out.add(Rec::InterfaceEnd);
    RecordData access;
    access.unicodeString(QStringLiteral("PLWAN40"));
    access.bytes(QByteArray(112 - access.size(), ' '));
    out.add(Rec::WriteAccess, access);
    out.addU16(Rec::CodePage, 1200);
    out.addU16(Rec::Dsf, 0);
    out.add(Rec::Excel9File);
    RecordData tabIds;
    for (size_t i = 0; i < sheets.size(); ++i)
        tabIds.u16(int(i) + 1);
    out.add(Rec::TabId, tabIds);
    out.addU16(Rec::BuiltInFnGroupCount, 14);
    out.addU16(Rec::WinProtect, 0);
    out.addU16(Rec::Protect, 0);
    out.addU16(Rec::Password, 0);
    out.addU16(Rec::Prot4Rev, 0);
    out.addU16(Rec::Prot4RevPass, 0);
}

// The workbook window (WINDOW1) from the part's first workbookView.
void XlsWriter::State::writeBookWindow(xls::BiffStream& out) const {
    const pugi::xml_node view =
        Child(Child(workbookDom.document_element(), "bookViews"), "workbookView");
    const int sheetCount = int(sheets.size());
    xls::RecordData window;
    window.u16(std::clamp(view.attribute("xWindow").as_int(0), 0, 0xFFFF));
    window.u16(std::clamp(view.attribute("yWindow").as_int(0), 0, 0xFFFF));
    window.u16(std::clamp(view.attribute("windowWidth").as_int(28800), 0, 0xFFFF));
    window.u16(std::clamp(view.attribute("windowHeight").as_int(15000), 0, 0xFFFF));
    window.u16((view.attribute("showHorizontalScroll").as_bool(true) ? 0x08 : 0) |
               (view.attribute("showVerticalScroll").as_bool(true) ? 0x10 : 0) |
               (view.attribute("showSheetTabs").as_bool(true) ? 0x20 : 0));
    window.u16(std::clamp(view.attribute("activeTab").as_int(0), 0, sheetCount - 1));
    window.u16(std::clamp(view.attribute("firstSheet").as_int(0), 0, sheetCount - 1));
    window.u16(1);
    window.u16(std::clamp(view.attribute("tabRatio").as_int(600), 0, 1000));
    out.add(xls::Rec::Window1, window);
}

// One BOUNDSHEET8 a sheet; sheetPositions gets where each one's BOF offset is patched in.
void XlsWriter::State::writeSheetBounds(xls::BiffStream& out,
                                        std::vector<qint64>* sheetPositions) const {
    for (const auto& sheet : sheets) {
        sheetPositions->push_back(out.position() + 4);
        xls::RecordData bound;
        bound.u32(0); // the sheet's BOF position, patched once known
        bound.u8(sheet->visibility);
        bound.u8(0);
        bound.unicodeString(sheet->name, true);
        out.add(xls::Rec::BoundSheet8, bound);
    }
}

// What follows the names: the calculation id, the drawing group, the strings, the options of
// later versions and the end of the globals.
void XlsWriter::State::writeBookTail(xls::BiffStream& out) const {
    using namespace xls;
    // The calculation engine build the workbook was last calculated with.
    if (const unsigned calcId =
            Child(workbookDom.document_element(), "calcPr").attribute("calcId").as_uint()) {
        RecordData recalc;
        recalc.u16(Rec::RecalcId);
        recalc.u16(0);
        recalc.u32(calcId);
        out.add(Rec::RecalcId, recalc);
    }
    std::vector<OfficeArt::DrawingCount> drawings;
    for (const auto& sheet : sheets)
        if (sheet->drawingId > 0)
            drawings.push_back({sheet->drawingId, sheet->drawing->chartCount()});
    if (!drawings.empty())
        out.add(Rec::MsoDrawingGroup, OfficeArt::DrawingGroup(drawings));
    strings.write(out);
    // The workbook options of later versions, all at their defaults.
    RecordData bookExt;
    bookExt.u16(Rec::BookExt);
    bookExt.zeros(10);
    bookExt.u32(21);
    bookExt.u32(0);
    bookExt.u8(0x02);
    out.add(Rec::BookExt, bookExt);
    out.add(Rec::Eof);
}

XlsWriter::XlsWriter(Workbook& book) : d(std::make_unique<State>(book)) {}

XlsWriter::~XlsWriter() = default;

bool XlsWriter::prepare(QString* error) {
    d = std::make_unique<State>(d->book);
    if (!d->book.prepareOutput(error) || !d->read(error))
        return false;
    d->check();
    d->prepared = true;
    return true;
}

QString XlsWriter::unhandledConstruct() const {
    return d->unhandled;
}

qint64 XlsWriter::rowCount() const {
    return d->rows;
}

bool XlsWriter::write(const QString& path, const Progress& rowsWritten, QString* error) {
    if (!d->prepared || !d->unhandled.isEmpty()) {
        if (error)
            *error = d->prepared ? QStringLiteral("ブックに .xls 形式へ書き出せない %1 があります")
                                       .arg(d->unhandled)
                                 : QStringLiteral("ブックの書き出しの準備ができていません");
        return false;
    }
    xls::BiffStream stream(0);
    // A cell record takes 10 to 18 bytes, a row 20 more: one allocation for the whole stream.
    stream.reserve(qsizetype(d->cellCount * 14 + d->rows * 24 + (1 << 20)));
    std::vector<qint64> positions;
    d->writeGlobals(stream, &positions);
    qint64 done = 0;
    for (size_t i = 0; i < d->sheets.size(); ++i) {
        const State::Sheet& sheet = *d->sheets[i];
        stream.patchU32(positions[i], std::uint32_t(stream.position()));
        xls::WorksheetSource source;
        source.worksheet = sheet.dom.document_element();
        source.cells = sheet.cells;
        source.styles = &d->styles;
        source.sharedIndex = &sheet.sharedIndex;
        if (sheet.drawingId > 0)
            source.objects = [&sheet](xls::BiffStream& out) {
                sheet.drawing->write(out, sheet.drawingId);
            };
        const qint64 before = done;
        xls::WriteWorksheet(source, stream, [&](int rows) {
            if (rowsWritten)
                rowsWritten(before + rows, d->rows);
        });
        done += sheet.lastRow;
    }
    return xls::WriteCompoundFile(path, stream.bytes(), d->properties, error);
}

QStringList CellsBeyondXlsText(Workbook& book) {
    QStringList cells;
    for (const QString& name : book.sheetNames()) {
        const Worksheet* sheet = book.sheet(name);
        if (!sheet)
            continue;
        const CellStore& store = sheet->cells();
        for (int row = 1; row <= store.rowLimit(); ++row)
            for (const CellStore::Cell& cell : store.rowCells(row))
                if (cell.kind == CellKind::Text && store.text(cell).size() > XlsMaxCellText)
                    cells << QStringLiteral("シート「%1」のセル %2%3（%4 文字）")
                                 .arg(name, CellAddress::ColumnLetters(cell.column))
                                 .arg(row)
                                 .arg(FormatNumber(qint64(store.text(cell).size()),
                                                   QStringLiteral("#,##0")));
    }
    return cells;
}

} // namespace plw
