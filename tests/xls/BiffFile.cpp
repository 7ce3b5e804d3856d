#include "tests/xls/BiffFile.h"

#include "tests/xls/ChartGrammar.h"

#include <QFile>
#include <QHash>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <map>

namespace plw::test {

namespace {

const QHash<int, const char*>& Names() {
    static const QHash<int, const char*> names = {
        {0x0006, "FORMULA"},
        {0x000A, "EOF"},
        {0x000C, "CALCCOUNT"},
        {0x000D, "CALCMODE"},
        {0x000E, "PRECISION"},
        {0x000F, "REFMODE"},
        {0x0010, "DELTA"},
        {0x0011, "ITERATION"},
        {0x0012, "PROTECT"},
        {0x0013, "PASSWORD"},
        {0x0014, "HEADER"},
        {0x0015, "FOOTER"},
        {0x0017, "EXTERNSHEET"},
        {0x0018, "NAME"},
        {0x0019, "WINDOWPROTECT"},
        {0x001A, "VERTICALPAGEBREAKS"},
        {0x001B, "HORIZONTALPAGEBREAKS"},
        {0x001C, "NOTE"},
        {0x001D, "SELECTION"},
        {0x0022, "DATEMODE"},
        {0x0026, "LEFTMARGIN"},
        {0x0027, "RIGHTMARGIN"},
        {0x0028, "TOPMARGIN"},
        {0x0029, "BOTTOMMARGIN"},
        {0x002A, "PRINTHEADERS"},
        {0x002B, "PRINTGRIDLINES"},
        {0x002F, "FILEPASS"},
        {0x0031, "FONT"},
        {0x003C, "CONTINUE"},
        {0x003D, "WINDOW1"},
        {0x0040, "BACKUP"},
        {0x0041, "PANE"},
        {0x0042, "CODEPAGE"},
        {0x004D, "PLS"},
        {0x0051, "DCONREF"},
        {0x0055, "DEFCOLWIDTH"},
        {0x005C, "WRITEACCESS"},
        {0x005D, "OBJ"},
        {0x005F, "SAVERECALC"},
        {0x007D, "COLINFO"},
        {0x0080, "GUTS"},
        {0x0081, "WSBOOL"},
        {0x0082, "GRIDSET"},
        {0x0083, "HCENTER"},
        {0x0084, "VCENTER"},
        {0x0085, "BOUNDSHEET"},
        {0x0086, "WRITEPROT"},
        {0x008C, "COUNTRY"},
        {0x008D, "HIDEOBJ"},
        {0x0092, "PALETTE"},
        {0x009C, "FNGROUPCOUNT"},
        {0x00A0, "SCL"},
        {0x00A1, "SETUP"},
        {0x00BD, "MULRK"},
        {0x00BE, "MULBLANK"},
        {0x00C1, "MMS"},
        {0x00D7, "DBCELL"},
        {0x00DA, "BOOKBOOL"},
        {0x00DD, "SCENPROTECT"},
        {0x00E0, "XF"},
        {0x00E1, "INTERFACEHDR"},
        {0x00E2, "INTERFACEEND"},
        {0x00E5, "MERGEDCELLS"},
        {0x00EB, "MSODRAWINGGROUP"},
        {0x00EC, "MSODRAWING"},
        {0x00ED, "MSODRAWINGSELECTION"},
        {0x00EF, "PHONETICINFO"},
        {0x00FC, "SST"},
        {0x00FD, "LABELSST"},
        {0x00FF, "EXTSST"},
        {0x013D, "TABID"},
        {0x015F, "LABELRANGES"},
        {0x0160, "USESELFS"},
        {0x0161, "DSF"},
        {0x01AE, "SUPBOOK"},
        {0x01AF, "PROT4REV"},
        {0x01B0, "CONDFMT"},
        {0x01B1, "CF"},
        {0x01B2, "DVAL"},
        {0x01B6, "TXO"},
        {0x01B7, "REFRESHALL"},
        {0x01B8, "HLINK"},
        {0x01BC, "PROT4REVPASS"},
        {0x01BE, "DV"},
        {0x01C0, "EXCEL9FILE"},
        {0x01C1, "RECALCID"},
        {0x0200, "DIMENSIONS"},
        {0x0201, "BLANK"},
        {0x0203, "NUMBER"},
        {0x0204, "LABEL"},
        {0x0205, "BOOLERR"},
        {0x0207, "STRING"},
        {0x0208, "ROW"},
        {0x020B, "INDEX"},
        {0x0221, "ARRAY"},
        {0x0225, "DEFAULTROWHEIGHT"},
        {0x023E, "WINDOW2"},
        {0x027E, "RK"},
        {0x0293, "STYLE"},
        {0x041E, "FORMAT"},
        {0x04BC, "SHRFMLA"},
        {0x0800, "HLINKTOOLTIP"},
        {0x0809, "BOF"},
        {0x0862, "SHEETEXT"},
        {0x0863, "BOOKEXT"},
        {0x0867, "FEATHDR"},
        {0x087C, "XFCRC"},
        {0x087D, "XFEXT"},
        {0x088E, "TABLESTYLES"},
        {0x0892, "STYLEEXT"},
        {0x0896, "THEME"},
        {0x089A, "MTRSETTINGS"},
        {0x089B, "COMPRESSPICTURES"},
        {0x089C, "HEADERFOOTER"},
        {0x08A3, "FORCEFULLCALCULATION"},
        {0x1001, "UNITS"},
        {0x1002, "CHART"},
        {0x1003, "SERIES"},
        {0x1006, "DATAFORMAT"},
        {0x1007, "LINEFORMAT"},
        {0x1009, "MARKERFORMAT"},
        {0x100A, "AREAFORMAT"},
        {0x100B, "PIEFORMAT"},
        {0x100C, "ATTACHEDLABEL"},
        {0x100D, "SERIESTEXT"},
        {0x1014, "CHARTFORMAT"},
        {0x1015, "LEGEND"},
        {0x1016, "SERIESLIST"},
        {0x1017, "BAR"},
        {0x1018, "LINE"},
        {0x1019, "PIE"},
        {0x101A, "AREA"},
        {0x101D, "AXIS"},
        {0x101E, "TICK"},
        {0x101F, "VALUERANGE"},
        {0x1020, "CATSERRANGE"},
        {0x1021, "AXISLINEFORMAT"},
        {0x1022, "CHARTFORMATLINK"},
        {0x1024, "DEFAULTTEXT"},
        {0x1025, "TEXT"},
        {0x1026, "FONTX"},
        {0x1027, "OBJECTLINK"},
        {0x1032, "FRAME"},
        {0x1033, "BEGIN"},
        {0x1034, "END"},
        {0x1035, "PLOTAREA"},
        {0x103A, "CHART3D"},
        {0x103C, "PICF"},
        {0x103D, "DROPBAR"},
        {0x103E, "RADAR"},
        {0x1041, "AXISPARENT"},
        {0x1043, "LEGENDEXCEPTION"},
        {0x1044, "SHTPROPS"},
        {0x1045, "SERTOCRT"},
        {0x1046, "AXESUSED"},
        {0x104A, "SERPARENT"},
        {0x104B, "SERAUXTREND"},
        {0x104E, "IFMTRECORD"},
        {0x104F, "POS"},
        {0x1050, "ALRUNS"},
        {0x1051, "BRAI"},
        {0x105B, "SERAUXERRBAR"},
        {0x105C, "CLRTCLIENT"},
        {0x105D, "SERFMT"},
        {0x105F, "CHART3DBARSHAPE"},
        {0x1060, "FBI"},
        {0x1061, "BOPPOP"},
        {0x1062, "AXCEXT"},
        {0x1063, "DAT"},
        {0x1064, "PLOTGROWTH"},
        {0x1065, "SIINDEX"},
        {0x1066, "GELFRAME"},
        {0x1067, "BOPPOPCUSTOM"},
        {0x1068, "FBI2"},
        {0x0850, "CHARTFRTINFO"},
        {0x086B, "DATALABEXTCONTENTS"},
        {0x0852, "STARTBLOCK"},
        {0x0853, "ENDBLOCK"},
        {0x0854, "STARTOBJECT"},
        {0x0855, "ENDOBJECT"},
        {0x0856, "CATLAB"},
        {0x0857, "YQUADRANT"},
        {0x085A, "CRTLAYOUT12"},
        {0x089D, "CRTLAYOUT12A"},
        {0x0866, "FRTFONTLIST"},
        {0x08A4, "SHAPEPROPSSTREAM"},
        {0x08A5, "TEXTPROPSSTREAM"},
        {0x08A6, "RICHTEXTSTREAM"},
        {0x08A7, "CRTMLFRT"},
    };
    return names;
}

bool IsCell(std::uint16_t id) {
    return id == 0x00FD || id == 0x0203 || id == 0x027E || id == 0x00BD || id == 0x0201 ||
           id == 0x00BE || id == 0x0006 || id == 0x0204 || id == 0x0205;
}

// Problems of the records of one substream against the order given: each name must come, in
// that order, as a subsequence.
void CheckOrder(const std::vector<const BiffRecord*>& records, const QStringList& order,
                const QString& where, QStringList* problems) {
    qsizetype next = 0;
    for (const BiffRecord* record : records)
        if (next < order.size() && RecordName(record->id) == order[next])
            ++next;
    if (next < order.size())
        *problems << QStringLiteral("%1: %2 missing or out of order").arg(where, order[next]);
}

// The strings of SST and its CONTINUE records, with the stream offset each starts at.
struct StringTable {
    QStringList strings;
    std::vector<qint64> starts;
    int unique = -1;
    QString problem;
};

StringTable ReadStrings(const std::vector<BiffRecord>& records) {
    StringTable table;
    size_t i = 0;
    while (i < records.size() && records[i].id != 0x00FC)
        ++i;
    if (i == records.size())
        return table;
    // The pieces of the SST data with where each begins in the stream.
    std::vector<const BiffRecord*> pieces = {&records[i]};
    for (size_t k = i + 1; k < records.size() && records[k].id == 0x003C; ++k)
        pieces.push_back(&records[k]);
    size_t piece = 0;
    qsizetype at = 8;
    const QByteArray* data = &pieces[0]->data;
    table.unique = int(U32(*data, 4));
    const auto nextPiece = [&]() {
        ++piece;
        at = 0;
        if (piece < pieces.size())
            data = &pieces[piece]->data;
        return piece < pieces.size();
    };
    for (int s = 0; s < table.unique; ++s) {
        if (at >= data->size() && !nextPiece()) {
            table.problem =
                QStringLiteral("SST ends after %1 of %2 strings").arg(s).arg(table.unique);
            return table;
        }
        if (at + 3 > data->size()) {
            table.problem = QStringLiteral("string %1 header split across records").arg(s);
            return table;
        }
        table.starts.push_back(pieces[piece]->offset + 4 + at);
        const int count = U16(*data, at);
        int flags = std::uint8_t((*data)[at + 2]);
        at += 3;
        if (flags & 0x0C) {
            table.problem = QStringLiteral("string %1 has rich text or phonetic flags").arg(s);
            return table;
        }
        QString text;
        while (text.size() < count) {
            if (at >= data->size()) {
                if (!nextPiece()) {
                    table.problem = QStringLiteral("string %1 runs past SST").arg(s);
                    return table;
                }
                flags = std::uint8_t((*data)[at]);
                ++at;
            }
            if (flags & 1) {
                text += QChar(char16_t(U16(*data, at)));
                at += 2;
            } else {
                text += QChar(char16_t(std::uint8_t((*data)[at])));
                at += 1;
            }
        }
        table.strings << text;
    }
    return table;
}

} // namespace

bool ReadWorkbookStream(const QString& path, QByteArray* stream, QString* error) {
    gsf_init();
    GError* failure = nullptr;
    GsfInput* input = gsf_input_stdio_new(QFile::encodeName(path).constData(), &failure);
    if (!input) {
        *error = QString::fromUtf8(failure ? failure->message : "cannot open");
        return false;
    }
    GsfInfile* file = gsf_infile_msole_new(input, &failure);
    g_object_unref(input);
    if (!file) {
        *error = QString::fromUtf8(failure ? failure->message : "not a compound file");
        return false;
    }
    GsfInput* workbook = gsf_infile_child_by_name(file, "Workbook");
    g_object_unref(file);
    if (!workbook) {
        *error = QStringLiteral("no Workbook stream");
        return false;
    }
    const gsf_off_t size = gsf_input_size(workbook);
    stream->resize(qsizetype(size));
    const bool read =
        gsf_input_read(workbook, size_t(size), reinterpret_cast<guint8*>(stream->data()));
    g_object_unref(workbook);
    if (!read)
        *error = QStringLiteral("the Workbook stream cannot be read");
    return read;
}

bool SplitRecords(const QByteArray& stream, std::vector<BiffRecord>* records, QString* error) {
    qsizetype at = 0;
    int depth = 0;
    while (at + 4 <= stream.size()) {
        const int id = U16(stream, at);
        const int size = U16(stream, at + 2);
        if (id == 0 && size == 0 && depth == 0 && !records->empty())
            break; // the padding after the last EOF
        if (at + 4 + size > stream.size()) {
            *error =
                QStringLiteral("record %1 at %2 runs past the stream").arg(RecordName(id)).arg(at);
            return false;
        }
        records->push_back({std::uint16_t(id), at, stream.mid(at + 4, size)});
        if (id == 0x0809)
            ++depth;
        else if (id == 0x000A)
            --depth;
        at += 4 + size;
    }
    return true;
}

QString RecordName(std::uint16_t id) {
    const auto it = Names().constFind(id);
    return it != Names().constEnd() ? QString::fromLatin1(*it)
                                    : QStringLiteral("0x%1").arg(id, 4, 16, QLatin1Char('0'));
}

QSet<QString> RecordKinds(const std::vector<BiffRecord>& records) {
    QSet<QString> kinds;
    for (const BiffRecord& record : records)
        if (record.id != 0x003C)
            kinds.insert(RecordName(record.id));
    return kinds;
}

QString Dump(const std::vector<BiffRecord>& records, int limit) {
    QString out;
    int n = 0;
    for (const BiffRecord& record : records) {
        if (n++ >= limit) {
            out += QStringLiteral("...\n");
            break;
        }
        out += QStringLiteral("%1 %2 (%3)\n")
                   .arg(record.offset, 8)
                   .arg(RecordName(record.id))
                   .arg(record.data.size());
    }
    return out;
}

QStringList SharedStrings(const std::vector<BiffRecord>& records) {
    return ReadStrings(records).strings;
}

QStringList StructuralProblems(const QByteArray& stream) {
    QStringList problems;
    std::vector<BiffRecord> records;
    QString error;
    if (!SplitRecords(stream, &records, &error))
        return {error};
    std::map<qint64, size_t> byOffset;
    for (size_t i = 0; i < records.size(); ++i) {
        byOffset[records[i].offset] = i;
        if (records[i].data.size() > 8224)
            problems << QStringLiteral("%1 at %2 holds %3 bytes")
                            .arg(RecordName(records[i].id))
                            .arg(records[i].offset)
                            .arg(records[i].data.size());
    }

    // Substreams: the globals, then each sheet with its nested charts.
    struct Substream {
        int type;
        size_t first;
        size_t last;
    };
    std::vector<Substream> substreams;
    std::vector<size_t> open;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].id == 0x0809) {
            if (!open.empty() && U16(records[i].data, 2) != 0x0020)
                problems
                    << QStringLiteral("BOF at %1 inside another substream").arg(records[i].offset);
            open.push_back(i);
        } else if (records[i].id == 0x000A) {
            if (open.empty()) {
                problems << QStringLiteral("EOF at %1 without BOF").arg(records[i].offset);
                continue;
            }
            substreams.push_back({U16(records[open.back()].data, 2), open.back(), i});
            open.pop_back();
        } else if (open.empty()) {
            problems << QStringLiteral("%1 at %2 outside any substream")
                            .arg(RecordName(records[i].id))
                            .arg(records[i].offset);
        }
    }
    if (!open.empty())
        problems << QStringLiteral("a substream without EOF");
    std::sort(substreams.begin(), substreams.end(),
              [](const Substream& a, const Substream& b) { return a.first < b.first; });
    if (substreams.empty() || substreams.front().type != 0x0005 || substreams.front().first != 0)
        return problems << QStringLiteral("the stream does not begin with the workbook globals");

    const auto recordsOf = [&](const Substream& sub) {
        std::vector<const BiffRecord*> list;
        int depth = 0;
        for (size_t i = sub.first; i <= sub.last; ++i) {
            if (i > sub.first && records[i].id == 0x0809)
                ++depth;
            if (depth == 0)
                list.push_back(&records[i]);
            if (i > sub.first && records[i].id == 0x000A && depth > 0)
                --depth;
        }
        return list;
    };

    const Substream& globals = substreams.front();
    const std::vector<const BiffRecord*> globalRecords = recordsOf(globals);
    CheckOrder(globalRecords,
               {u"BOF"_qs,           u"INTERFACEHDR"_qs, u"MMS"_qs,        u"INTERFACEEND"_qs,
                u"WRITEACCESS"_qs,   u"CODEPAGE"_qs,     u"DSF"_qs,        u"TABID"_qs,
                u"WINDOWPROTECT"_qs, u"PROTECT"_qs,      u"PASSWORD"_qs,   u"PROT4REV"_qs,
                u"PROT4REVPASS"_qs,  u"WINDOW1"_qs,      u"BACKUP"_qs,     u"HIDEOBJ"_qs,
                u"DATEMODE"_qs,      u"PRECISION"_qs,    u"REFRESHALL"_qs, u"BOOKBOOL"_qs,
                u"FONT"_qs,          u"FORMAT"_qs,       u"XF"_qs,         u"STYLE"_qs,
                u"USESELFS"_qs,      u"BOUNDSHEET"_qs,   u"COUNTRY"_qs,    u"SST"_qs,
                u"EXTSST"_qs,        u"EOF"_qs},
               u"globals"_qs, &problems);
    int fonts = 0, formats = 0, xfs = 0;
    for (const BiffRecord* record : globalRecords) {
        fonts += record->id == 0x0031;
        formats += record->id == 0x041E;
        xfs += record->id == 0x00E0;
    }
    if (fonts < 5 || formats < 8 || xfs < 16)
        problems << QStringLiteral("globals: %1 FONT, %2 FORMAT, %3 XF")
                        .arg(fonts)
                        .arg(formats)
                        .arg(xfs);

    // Every sheet BOUNDSHEET names starts a worksheet substream.
    std::vector<qint64> sheetStarts;
    for (const BiffRecord* record : globalRecords)
        if (record->id == 0x0085)
            sheetStarts.push_back(qint64(U32(record->data, 0)));
    for (qint64 start : sheetStarts) {
        const auto it = byOffset.find(start);
        if (it == byOffset.end() || records[it->second].id != 0x0809 ||
            U16(records[it->second].data, 2) != 0x0010)
            problems << QStringLiteral("BOUNDSHEET points at %1, not a worksheet BOF").arg(start);
    }

    // Shared strings and their index.
    const StringTable table = ReadStrings(records);
    if (!table.problem.isEmpty())
        problems << table.problem;
    for (const BiffRecord* record : globalRecords) {
        if (record->id != 0x00FF || table.strings.isEmpty())
            continue;
        const int perBucket = U16(record->data, 0);
        const int buckets = int((record->data.size() - 2) / 8);
        if (perBucket < 8 || buckets != (table.unique + perBucket - 1) / perBucket)
            problems << QStringLiteral("EXTSST: %1 buckets of %2 for %3 strings")
                            .arg(buckets)
                            .arg(perBucket)
                            .arg(table.unique);
        for (int b = 0; b < buckets && size_t(b) * perBucket < table.starts.size(); ++b) {
            const qint64 ib = U32(record->data, 2 + 8 * b);
            const int cbOffset = U16(record->data, 6 + 8 * b);
            const qint64 expected = table.starts[size_t(b) * perBucket];
            auto recordStart = byOffset.upper_bound(expected);
            --recordStart;
            if (ib != expected || cbOffset != expected - recordStart->first)
                problems << QStringLiteral("EXTSST bucket %1: %2/%3, string at %4 in record at %5")
                                .arg(b)
                                .arg(ib)
                                .arg(cbOffset)
                                .arg(expected)
                                .arg(recordStart->first);
        }
    }

    // The drawing group counts every drawing and its shapes.
    int drawings = 0, shapes = 0;
    for (size_t s = 1; s < substreams.size(); ++s) {
        const Substream& sub = substreams[s];
        if (sub.type == 0x0020) {
            problems << ChartGrammarProblems(records, sub.first, sub.last);
            continue;
        }
        if (sub.type != 0x0010)
            continue;
        const std::vector<const BiffRecord*> list = recordsOf(sub);
        const QString where = QStringLiteral("sheet at %1").arg(records[sub.first].offset);
        for (const QString& problem : DrawingProblems(list, records))
            problems << where + QStringLiteral(": ") + problem;
        for (const BiffRecord* record : list) {
            if (record->id == 0x00EC && U16(record->data, 2) == 0xF002) {
                ++drawings;
                shapes += int(U32(record->data, 16));
            }
        }
        CheckOrder(list,
                   {u"BOF"_qs, u"INDEX"_qs, u"DEFAULTROWHEIGHT"_qs, u"WSBOOL"_qs, u"SETUP"_qs,
                    u"DEFCOLWIDTH"_qs, u"DIMENSIONS"_qs, u"WINDOW2"_qs, u"SELECTION"_qs, u"EOF"_qs},
                   where, &problems);
        if (list.size() < 2 || list[1]->id != 0x020B) {
            problems << where + QStringLiteral(": INDEX does not follow BOF");
            continue;
        }
        const QByteArray& index = list[1]->data;
        std::vector<qint64> dbCells, rows;
        qint64 defColWidth = -1, dimensions = -1, window = -1, lastCellBlock = -1;
        for (const BiffRecord* record : list) {
            if (record->id == 0x00D7)
                dbCells.push_back(record->offset);
            if (record->id == 0x0055)
                defColWidth = record->offset;
            if (record->id == 0x0200 && dimensions < 0)
                dimensions = record->offset;
            if (record->id == 0x023E && window < 0)
                window = record->offset;
            if (record->id == 0x0208 || IsCell(record->id) || record->id == 0x00D7)
                lastCellBlock = record->offset;
            if (record->id == 0x0208)
                rows.push_back(U16(record->data, 0));
            if (IsCell(record->id) && (dimensions < 0 || rows.empty()))
                problems << where + QStringLiteral(": a cell before DIMENSIONS or any ROW");
            if ((record->id == 0x00E5 || record->id == 0x01B8) && window < 0)
                problems << where +
                                QStringLiteral(": %1 before WINDOW2").arg(RecordName(record->id));
        }
        if (window >= 0 && lastCellBlock > window)
            problems << where + QStringLiteral(": cells after WINDOW2");
        if (qint64(U32(index, 12)) != defColWidth)
            problems << where + QStringLiteral(": INDEX ibXF %1, DEFCOLWIDTH at %2")
                                    .arg(U32(index, 12))
                                    .arg(defColWidth);
        std::vector<qint64> indexed;
        for (qsizetype at = 16; at + 4 <= index.size(); at += 4)
            indexed.push_back(qint64(U32(index, at)));
        if (indexed != dbCells)
            problems << where + QStringLiteral(": INDEX lists %1 DBCELL, the sheet has %2")
                                    .arg(indexed.size())
                                    .arg(dbCells.size());
        if (!rows.empty() &&
            (int(U32(index, 4)) != *std::min_element(rows.begin(), rows.end()) ||
             int(U32(index, 8)) != *std::max_element(rows.begin(), rows.end()) + 1))
            problems << where + QStringLiteral(": INDEX rows %1 to %2")
                                    .arg(U32(index, 4))
                                    .arg(U32(index, 8));

        // Each DBCELL: back to its block's first ROW, and to each row's first cell.
        for (qint64 at : dbCells) {
            const BiffRecord& dbCell = records[byOffset[at]];
            const qint64 firstRow = at - qint64(U32(dbCell.data, 0));
            const auto rowIt = byOffset.find(firstRow);
            if (rowIt == byOffset.end() || records[rowIt->second].id != 0x0208) {
                problems << where + QStringLiteral(": DBCELL at %1 does not lead to a ROW").arg(at);
                continue;
            }
            std::vector<int> blockRows;
            size_t k = rowIt->second;
            for (; records[k].id == 0x0208; ++k)
                blockRows.push_back(U16(records[k].data, 0));
            const int offsets = int((dbCell.data.size() - 4) / 2);
            if (offsets != int(blockRows.size()))
                problems << where + QStringLiteral(": DBCELL at %1 has %2 offsets for %3 rows")
                                        .arg(at)
                                        .arg(offsets)
                                        .arg(blockRows.size());
            qint64 position = firstRow + 20;
            for (int r = 0; r < offsets && r < int(blockRows.size()); ++r) {
                position += U16(dbCell.data, 4 + 2 * r);
                const auto cell = byOffset.find(position);
                if (cell == byOffset.end()) {
                    problems << where + QStringLiteral(": DBCELL at %1 offset %2 off a record")
                                            .arg(at)
                                            .arg(r);
                    break;
                }
                const BiffRecord& target = records[cell->second];
                if (IsCell(target.id) && U16(target.data, 0) != blockRows[size_t(r)] &&
                    U16(target.data, 0) < blockRows[size_t(r)])
                    problems << where + QStringLiteral(": DBCELL at %1 row %2 leads to row %3")
                                            .arg(at)
                                            .arg(blockRows[size_t(r)])
                                            .arg(U16(target.data, 0));
            }
            for (; k < size_t(byOffset[at]); ++k)
                if (IsCell(records[k].id) && std::find(blockRows.begin(), blockRows.end(),
                                                       U16(records[k].data, 0)) == blockRows.end())
                    problems << where + QStringLiteral(
                                            ": a cell of row %1 in the block of DBCELL at %2")
                                            .arg(U16(records[k].data, 0))
                                            .arg(at);
        }
        for (const BiffRecord* record : list)
            if (record->id == 0x00FD && int(U32(record->data, 6)) >= table.unique)
                problems << where + QStringLiteral(": LABELSST refers to string %1 of %2")
                                        .arg(U32(record->data, 6))
                                        .arg(table.unique);
    }
    const auto group = std::find_if(globalRecords.begin(), globalRecords.end(),
                                    [](const BiffRecord* r) { return r->id == 0x00EB; });
    if (drawings > 0 && group == globalRecords.end())
        problems << QStringLiteral("drawings without MSODRAWINGGROUP");
    if (group != globalRecords.end() &&
        (U16((*group)->data, 10) != 0xF006 || int(U32((*group)->data, 24)) != shapes ||
         int(U32((*group)->data, 28)) != drawings))
        problems << QStringLiteral("MSODRAWINGGROUP counts %1 shapes in %2 drawings, the sheets "
                                   "hold %3 in %4")
                        .arg(U32((*group)->data, 24))
                        .arg(U32((*group)->data, 28))
                        .arg(shapes)
                        .arg(drawings);
    return problems;
}

} // namespace plw::test
