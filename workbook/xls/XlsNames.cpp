#include "workbook/xls/XlsNames.h"

#include "workbook/CellAddress.h"
#include "workbook/SheetReference.h"
#include "workbook/xls/BiffStream.h"
#include "workbook/xls/RecordIds.h"
#include "workbook/xls/XlsWorksheet.h"

#include <algorithm>

namespace plw::xls {

namespace {

constexpr int kPtgUnion = 0x10;
constexpr int kPtgMemFunc = 0x29; // reference class
constexpr int kPtgRef3d = 0x3A;
constexpr int kPtgArea3d = 0x3B;

// The areas of a list separated by commas outside quoted sheet names.
QStringList SplitAreas(const QString& formula) {
    QStringList areas;
    QString current;
    bool quoted = false;
    for (QChar c : formula) {
        if (c == u'\'')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            areas << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    areas << current.trimmed();
    return areas;
}

void U16(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

} // namespace

int XlsNames::externSheet(int sheet) {
    auto it = std::find(mExternSheets.begin(), mExternSheets.end(), sheet);
    if (it != mExternSheets.end())
        return int(it - mExternSheets.begin());
    mExternSheets.push_back(sheet);
    return int(mExternSheets.size()) - 1;
}

QByteArray XlsNames::referenceTokens(const QString& formula) {
    QByteArray tokens;
    const QStringList areas = SplitAreas(formula);
    for (qsizetype i = 0; i < areas.size(); ++i) {
        QString sheetName;
        QStringView address;
        if (!SheetReference::Parse(areas[i], &sheetName, &address))
            return {};
        const qsizetype sheet =
            std::find_if(
                mSheets.begin(), mSheets.end(),
                [&](const QString& s) { return s.compare(sheetName, Qt::CaseInsensitive) == 0; }) -
            mSheets.begin();
        CellRect rect;
        if (sheet >= mSheets.size() || address.contains(u'$') == false ||
            !CellAddress::ParseRange(address, &rect))
            return {};
        const int lastRow = std::min(rect.lastRow, MaxXlsRow);
        const int lastColumn = std::min(rect.lastColumn, MaxXlsColumn);
        if (rect.firstRow > MaxXlsRow || rect.firstColumn > MaxXlsColumn)
            return {};
        const int ixti = externSheet(int(sheet));
        const bool single = rect.firstRow == rect.lastRow && rect.firstColumn == rect.lastColumn;
        // Absolute references: the relative flags of the column words stay clear.
        tokens.append(char(single ? kPtgRef3d : kPtgArea3d));
        U16(tokens, ixti);
        if (single) {
            U16(tokens, rect.firstRow - 1);
            U16(tokens, rect.firstColumn - 1);
        } else {
            U16(tokens, rect.firstRow - 1);
            U16(tokens, lastRow - 1);
            U16(tokens, rect.firstColumn - 1);
            U16(tokens, lastColumn - 1);
        }
        if (i > 0)
            tokens.append(char(kPtgUnion));
    }
    if (areas.size() > 1) {
        QByteArray memFunc;
        memFunc.append(char(kPtgMemFunc));
        U16(memFunc, int(tokens.size()));
        tokens.prepend(memFunc);
    }
    return tokens;
}

bool XlsNames::load(const std::vector<DefinedName>& names, const QStringList& sheets,
                    QString* unhandled) {
    mSheets = sheets;
    for (const DefinedName& source : names) {
        Name name;
        name.source = source;
        if (source.name.startsWith(QLatin1String("_xlnm."))) {
            if (source.name == u"_xlnm.Print_Area")
                name.builtIn = 0x06;
            else if (source.name == u"_xlnm.Print_Titles")
                name.builtIn = 0x07;
            else {
                *unhandled = QStringLiteral("名前の定義 %1").arg(source.name);
                return false;
            }
        } else if (source.name.isEmpty() || source.name.size() > 255) {
            *unhandled = QStringLiteral("名前の定義 %1").arg(source.name);
            return false;
        }
        name.tokens = referenceTokens(source.formula);
        if (name.tokens.isEmpty()) {
            *unhandled = QStringLiteral("%2 を指す名前の定義 %1").arg(source.name, source.formula);
            return false;
        }
        mNames.push_back(std::move(name));
    }
    return true;
}

void XlsNames::write(BiffStream& globals) const {
    if (!mExternSheets.empty()) {
        RecordData supBook;
        supBook.u16(int(mSheets.size()));
        supBook.u16(0x0401); // this workbook
        globals.add(Rec::SupBook, supBook);
        RecordData externSheet;
        externSheet.u16(int(mExternSheets.size()));
        for (int sheet : mExternSheets) {
            externSheet.u16(0);
            externSheet.u16(sheet);
            externSheet.u16(sheet);
        }
        globals.add(Rec::ExternSheet, externSheet);
    }
    for (const Name& name : mNames) {
        RecordData data;
        data.u16((name.source.hidden ? 0x01 : 0) | (name.builtIn >= 0 ? 0x20 : 0));
        data.u8(0);
        data.u8(name.builtIn >= 0 ? 1 : int(name.source.name.size()));
        data.u16(int(name.tokens.size()));
        data.u16(0);
        data.u16(name.source.localSheet + 1);
        data.zeros(4);
        if (name.builtIn >= 0) {
            data.u8(0);
            data.u8(name.builtIn);
        } else {
            data.unicodeStringNoCount(name.source.name);
        }
        data.bytes(name.tokens);
        globals.add(Rec::Lbl, data);
    }
}

} // namespace plw::xls
