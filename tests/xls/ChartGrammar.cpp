#include "tests/xls/ChartGrammar.h"

#include <functional>
#include <map>

namespace plw::test {

namespace {

// Record types of the chart sheet grammar.
enum : std::uint16_t {
    Bof = 0x0809,
    Eof = 0x000A,
    Header = 0x0014,
    Footer = 0x0015,
    HCenter = 0x0083,
    VCenter = 0x0084,
    LeftMargin = 0x0026,
    RightMargin = 0x0027,
    TopMargin = 0x0028,
    BottomMargin = 0x0029,
    Setup = 0x00A1,
    PrintSize = 0x0033,
    Fbi = 0x1060,
    Protect = 0x0012,
    Password = 0x0013,
    MsoDrawing = 0x00EC,
    Obj = 0x005D,
    Continue = 0x003C,
    Units = 0x1001,
    Chart = 0x1002,
    Begin = 0x1033,
    End = 0x1034,
    Scl = 0x00A0,
    PlotGrowth = 0x1064,
    Frame = 0x1032,
    LineFormat = 0x1007,
    AreaFormat = 0x100A,
    Series = 0x1003,
    Brai = 0x1051,
    SeriesText = 0x100D,
    DataFormat = 0x1006,
    Chart3DBarShape = 0x105F,
    PieFormat = 0x100B,
    SerFmt = 0x105D,
    MarkerFormat = 0x1009,
    AttachedLabel = 0x100C,
    SerToCrt = 0x1045,
    ShtProps = 0x1044,
    DefaultText = 0x1024,
    Text = 0x1025,
    Pos = 0x104F,
    FontX = 0x1026,
    ObjectLink = 0x1027,
    AxesUsed = 0x1046,
    AxisParent = 0x1041,
    Axis = 0x101D,
    CatSerRange = 0x1020,
    AxcExt = 0x1062,
    ValueRange = 0x101F,
    IFmtRecord = 0x104E,
    Tick = 0x101E,
    AxisLine = 0x1021,
    PlotArea = 0x1035,
    ChartFormat = 0x1014,
    Bar = 0x1017,
    Line = 0x1018,
    Pie = 0x1019,
    Area = 0x101A,
    Scatter = 0x101B,
    Radar = 0x103E,
    CrtLink = 0x1022,
    SeriesList = 0x1016,
    Chart3d = 0x103A,
    Legend = 0x1015,
    Dimensions = 0x0200,
    SiIndex = 0x1065,
    Number = 0x0203,
    BoolErr = 0x0205,
    Blank = 0x0201,
    Label = 0x0204,
    Window2 = 0x023E,
};

// A recursive-descent reader of one rule set over the records; each rule answers whether it
// matched, consuming the records it matched, and leaves the position as it was when it did not.
class Grammar {
public:
    Grammar(const std::vector<BiffRecord>& records, size_t first, size_t last)
        : mRecords(records), mAt(first), mLast(last) {}

    QStringList check() {
        if (!sheet())
            mProblems << QStringLiteral("chart at %1: %2 expected, %3 found at %4")
                             .arg(mRecords[mFirstOffset].offset)
                             .arg(mExpected, name(mFurthest), QString::number(offset(mFurthest)));
        else if (mAt != mLast + 1)
            mProblems << QStringLiteral("chart: records after EOF");
        return mProblems;
    }

private:
    using Rule = std::function<bool()>;

    QString name(size_t at) const {
        return at <= mLast ? RecordName(mRecords[at].id) : QStringLiteral("the end");
    }
    qint64 offset(size_t at) const { return at <= mLast ? mRecords[at].offset : -1; }

    // One record of that type.
    bool rec(std::uint16_t id, const char* rule = nullptr) {
        if (mAt <= mLast && mRecords[mAt].id == id) {
            ++mAt;
            return true;
        }
        if (mAt >= mFurthest) {
            mFurthest = mAt;
            mExpected = rule ? QString::fromLatin1(rule) : RecordName(id);
        }
        return false;
    }
    bool opt(std::uint16_t id) {
        rec(id);
        return true;
    }
    // A sequence that matches whole or not at all.
    bool all(const Rule& rule) {
        const size_t start = mAt;
        if (rule())
            return true;
        mAt = start;
        return false;
    }
    bool many(const Rule& rule, int most = 1 << 30) {
        for (int i = 0; i < most && all(rule); ++i) {
        }
        return true;
    }
    bool manyOf(std::uint16_t id, int most = 1 << 30) {
        return many([&] { return rec(id); }, most);
    }

    bool sheet() {
        return rec(Bof) && pageSetup() && rec(PrintSize) && manyOf(Fbi) && opt(Protect) &&
               opt(Password) && objects() && rec(Units) && chartFormats() && seriesData() &&
               manyOf(Window2) && rec(Eof);
    }
    bool pageSetup() {
        return rec(Header) && rec(Footer) && rec(HCenter) && rec(VCenter) && opt(LeftMargin) &&
               opt(RightMargin) && opt(TopMargin) && opt(BottomMargin) && rec(Setup);
    }
    bool objects() {
        return many([&] { return rec(MsoDrawing) && manyOf(Continue) && manyOf(Obj); });
    }
    bool frame() {
        return all([&] {
            return rec(Frame) && rec(Begin) && rec(LineFormat) && rec(AreaFormat) && rec(End);
        });
    }
    bool ai() { return rec(Brai, "AI") && opt(SeriesText); }
    bool ss() {
        return all([&] {
            return rec(DataFormat, "SS") && rec(Begin) && opt(Chart3DBarShape) &&
                   (all([&] { return rec(LineFormat) && rec(AreaFormat) && rec(PieFormat); }) ||
                    true) &&
                   opt(SerFmt) && opt(MarkerFormat) && opt(AttachedLabel) && rec(End);
        });
    }
    bool seriesFormat() {
        return all([&] {
            return rec(Series, "SERIESFORMAT") && rec(Begin) && ai() && ai() && ai() && ai() &&
                   many([&] { return ss(); }) && rec(SerToCrt) && rec(End);
        });
    }
    bool attachedLabel() {
        return all([&] {
            return rec(Text, "ATTACHEDLABEL") && rec(Begin) && rec(Pos) && opt(FontX) && ai() &&
                   (frame() || true) && opt(ObjectLink) && rec(End);
        });
    }
    bool dftText() {
        return all([&] { return rec(DefaultText) && attachedLabel(); });
    }
    bool axs() {
        return opt(IFmtRecord) && opt(Tick) && opt(FontX) &&
               many([&] { return rec(AxisLine) && rec(LineFormat); }, 4) && opt(AreaFormat);
    }
    bool ivAxis() {
        return all([&] {
            return rec(Axis, "IVAXIS") && rec(Begin) && opt(CatSerRange) && rec(AxcExt) && axs() &&
                   rec(End);
        });
    }
    bool dvAxis() {
        return all([&] {
            return rec(Axis, "DVAXIS") && rec(Begin) && opt(ValueRange) && axs() && rec(End);
        });
    }
    bool seriesAxis() {
        return all([&] {
            return rec(Axis, "SERIESAXIS") && rec(Begin) && opt(CatSerRange) && axs() && rec(End);
        });
    }
    bool axes() {
        return (all([&] { return ivAxis() && dvAxis() && (seriesAxis() || true); }) ||
                all([&] { return dvAxis() && dvAxis(); }) || true) &&
               many([&] { return attachedLabel(); }, 3) &&
               (all([&] { return rec(PlotArea) && frame(); }) || true);
    }
    bool legend() {
        return all([&] {
            return rec(Legend, "LD") && rec(Begin) && rec(Pos) && attachedLabel() &&
                   (frame() || true) && rec(End);
        });
    }
    bool crt() {
        return all([&] {
            return rec(ChartFormat, "CRT") && rec(Begin) &&
                   (rec(Bar) || rec(Line) || rec(Pie) || rec(Area) || rec(Scatter) || rec(Radar)) &&
                   rec(CrtLink) && opt(SeriesList) && opt(Chart3d) && (legend() || true) &&
                   many([&] { return dftText(); }, 2) && (ss() || true) && rec(End);
        });
    }
    bool axisParent() {
        return all([&] {
            if (!(rec(AxisParent, "AXISPARENT") && rec(Begin) && rec(Pos) && axes() && crt()))
                return false;
            many([&] { return crt(); }, 3);
            return rec(End);
        });
    }
    bool chartFormats() {
        return rec(Chart) && rec(Begin) && rec(Scl) && rec(PlotGrowth) && (frame() || true) &&
               many([&] { return seriesFormat(); }) && many([&] { return ss(); }) &&
               rec(ShtProps) && many([&] { return dftText(); }, 2) && rec(AxesUsed) &&
               axisParent() && (axisParent() || true) && many([&] { return attachedLabel(); }) &&
               rec(End);
    }
    bool seriesData() {
        if (!rec(Dimensions))
            return false;
        for (int i = 0; i < 3; ++i) {
            if (!rec(SiIndex))
                return false;
            many([&] { return rec(Number) || rec(BoolErr) || rec(Blank) || rec(Label); });
        }
        return true;
    }

    const std::vector<BiffRecord>& mRecords;
    size_t mAt;
    const size_t mLast;
    const size_t mFirstOffset = mAt;
    size_t mFurthest = 0;
    QString mExpected;
    QStringList mProblems;
};

// One OfficeArt record header: version and instance, type, length.
struct ArtHeader {
    int version = 0;
    int instance = 0;
    int type = 0;
    std::uint32_t length = 0;
};

ArtHeader ReadHeader(const QByteArray& data, qsizetype at) {
    const int first = U16(data, at);
    return {first & 0x0F, first >> 4, U16(data, at + 2), U32(data, at + 4)};
}

} // namespace

QStringList ChartGrammarProblems(const std::vector<BiffRecord>& records, size_t first,
                                 size_t last) {
    return Grammar(records, first, last).check();
}

QStringList DrawingProblems(const std::vector<const BiffRecord*>& sheet,
                            const std::vector<BiffRecord>& all) {
    QStringList problems;
    QByteArray drawing;
    int objects = 0;
    std::map<qint64, size_t> byOffset;
    for (size_t i = 0; i < all.size(); ++i)
        byOffset[all[i].offset] = i;
    for (size_t i = 0; i < sheet.size(); ++i) {
        if (sheet[i]->id == MsoDrawing) {
            drawing += sheet[i]->data;
            if (i + 1 >= sheet.size() || sheet[i + 1]->id != Obj)
                problems
                    << QStringLiteral("MSODRAWING at %1 without its OBJ").arg(sheet[i]->offset);
        } else if (sheet[i]->id == Obj) {
            ++objects;
            const size_t at = byOffset[sheet[i]->offset];
            const bool chart = U16(sheet[i]->data, 4) == 5;
            if (chart && (at + 1 >= all.size() || all[at + 1].id != Bof ||
                          U16(all[at + 1].data, 2) != 0x0020))
                problems << QStringLiteral("chart OBJ at %1 not followed by its chart")
                                .arg(sheet[i]->offset);
        }
    }
    if (drawing.isEmpty())
        return problems;

    // The drawing container: its drawing record, then the shapes' group container.
    const ArtHeader container = ReadHeader(drawing, 0);
    if (container.type != 0xF002 || container.version != 0x0F ||
        qsizetype(container.length) + 8 != drawing.size())
        return problems << QStringLiteral("drawing container of %1 bytes in %2")
                               .arg(container.length)
                               .arg(drawing.size());
    const ArtHeader dg = ReadHeader(drawing, 8);
    if (dg.type != 0xF008 || dg.length != 8)
        return problems << QStringLiteral("no drawing record");
    const int shapeCount = int(U32(drawing, 16));
    const ArtHeader group = ReadHeader(drawing, 24);
    if (group.type != 0xF003 || qsizetype(group.length) + 32 != drawing.size())
        return problems << QStringLiteral("group container of %1 bytes").arg(group.length);
    int shapes = 0;
    qsizetype at = 32;
    while (at < drawing.size()) {
        const ArtHeader shape = ReadHeader(drawing, at);
        if (shape.type != 0xF004 || at + 8 + qsizetype(shape.length) > drawing.size())
            return problems << QStringLiteral("shape container at %1").arg(at);
        // Its records must fill it exactly.
        QList<int> types;
        qsizetype inner = at + 8;
        while (inner < at + 8 + qsizetype(shape.length)) {
            const ArtHeader record = ReadHeader(drawing, inner);
            types << record.type;
            inner += 8 + qsizetype(record.length);
        }
        if (inner != at + 8 + qsizetype(shape.length))
            problems << QStringLiteral("shape at %1: records overrun it").arg(at);
        if (shapes > 0 && (!types.contains(0xF010) || !types.contains(0xF011)))
            problems << QStringLiteral("shape at %1 without anchor or client data").arg(at);
        ++shapes;
        at += 8 + qsizetype(shape.length);
    }
    if (shapes != shapeCount || shapes - 1 != objects)
        problems << QStringLiteral("%1 shapes, the drawing counts %2, %3 OBJ")
                        .arg(shapes)
                        .arg(shapeCount)
                        .arg(objects);
    return problems;
}

} // namespace plw::test
