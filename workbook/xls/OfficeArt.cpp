#include "workbook/xls/OfficeArt.h"

#include <algorithm>

namespace plw::xls::OfficeArt {

namespace {

// Record types.
constexpr int kDggContainer = 0xF000;
constexpr int kDgg = 0xF006;
constexpr int kOpt = 0xF00B;
constexpr int kSplitMenuColors = 0xF11E;
constexpr int kDgContainer = 0xF002;
constexpr int kDg = 0xF008;
constexpr int kSpgrContainer = 0xF003;
constexpr int kSpContainer = 0xF004;
constexpr int kSpgr = 0xF009;
constexpr int kSp = 0xF00A;
constexpr int kClientAnchor = 0xF010;
constexpr int kClientData = 0xF011;

constexpr int kContainer = 0xF;
// Shape ids come in clusters of 1024 per drawing.
constexpr int kIdsPerDrawing = 1024;
// The shape type of a host control, which is what an embedded chart is drawn as.
constexpr int kHostControl = 201;
constexpr int kHeader = 8;

void Header(RecordData& out, int version, int instance, int type, std::uint32_t length) {
    out.u16(version | (instance << 4));
    out.u16(type);
    out.u32(length);
}

// A shape property: its id and value, or, for a complex property, its bytes.
struct Property {
    int id;
    std::uint32_t value;
    QByteArray complex;
};

RecordData Properties(const std::vector<Property>& properties) {
    RecordData body;
    QByteArray complex;
    for (const Property& property : properties) {
        body.u16(property.id | (property.complex.isEmpty() ? 0 : 0x8000));
        body.u32(property.complex.isEmpty() ? property.value
                                            : std::uint32_t(property.complex.size()));
        complex += property.complex;
    }
    body.bytes(complex);
    RecordData out;
    Header(out, 3, int(properties.size()), kOpt, std::uint32_t(body.size()));
    out.bytes(body.data());
    return out;
}

// The container of one chart frame: the shape, its properties, its anchor and its client data.
RecordData FrameContainer(int shapeId, const ChartFrame& frame) {
    RecordData shape;
    Header(shape, 2, kHostControl, kSp, 8);
    shape.u32(std::uint32_t(shapeId));
    shape.u32(0x0A00); // has an anchor, has a shape type
    std::vector<Property> properties = {
        {0x007F, 0x01040104, {}},                           // locked against grouping, text editing
        {0x00BF, 0x00080008, {}},                           // text fitted to the shape
        {0x0181, 0x0800004E, {}},                           // fill: the chart's own
        {0x0183, 0x0800004D, {}}, {0x01BF, 0x00110010, {}}, // no fill hit test
        {0x01C0, 0x0800004D, {}},                           // line: the chart's own
        {0x01FF, 0x00080008, {}},                           // no line
        {0x023F, 0x00020000, {}},                           // no shadow
    };
    if (!frame.name.isEmpty()) {
        QByteArray name;
        for (QChar c : frame.name + QChar(0)) {
            name.append(char(c.unicode() & 0xFF));
            name.append(char(c.unicode() >> 8));
        }
        properties.push_back({0x0380, 0, name});
    }
    properties.push_back({0x03BF, 0x00080000, {}}); // printed
    shape.bytes(Properties(properties).data());
    Header(shape, 0, 0, kClientAnchor, 18);
    const CellAnchor& a = frame.anchor;
    for (int value :
         {a.behaviour, a.column1, a.dx1, a.row1, a.dy1, a.column2, a.dx2, a.row2, a.dy2})
        shape.u16(value);
    Header(shape, 0, 0, kClientData, 0);

    RecordData out;
    Header(out, kContainer, 0, kSpContainer, std::uint32_t(shape.size()));
    out.bytes(shape.data());
    return out;
}

} // namespace

RecordData DrawingGroup(const std::vector<DrawingCount>& drawings) {
    int lastId = 0;
    int shapes = 0;
    for (const DrawingCount& drawing : drawings) {
        lastId = std::max(lastId, drawing.id * kIdsPerDrawing + drawing.shapes);
        shapes += drawing.shapes + 1;
    }
    RecordData dgg;
    Header(dgg, 0, 0, kDgg, std::uint32_t(16 + 8 * drawings.size()));
    dgg.u32(std::uint32_t(lastId));
    dgg.u32(std::uint32_t(drawings.size() + 1));
    dgg.u32(std::uint32_t(shapes));
    dgg.u32(std::uint32_t(drawings.size()));
    for (const DrawingCount& drawing : drawings) {
        dgg.u32(std::uint32_t(drawing.id));
        dgg.u32(std::uint32_t(drawing.shapes + 1)); // one more than the last id of the cluster
    }
    // The defaults of new shapes and the colours of the fill and line menus.
    const RecordData defaults =
        Properties({{0x00BF, 0x00080008, {}}, {0x0181, 0x08000041, {}}, {0x01C0, 0x08000040, {}}});
    RecordData menu;
    Header(menu, 0, 4, kSplitMenuColors, 16);
    for (std::uint32_t colour : {0x0800000Du, 0x0800000Cu, 0x08000017u, 0x100000F7u})
        menu.u32(colour);

    RecordData out;
    Header(out, kContainer, 0, kDggContainer,
           std::uint32_t(dgg.size() + defaults.size() + menu.size()));
    out.bytes(dgg.data());
    out.bytes(defaults.data());
    out.bytes(menu.data());
    return out;
}

std::vector<RecordData> ChartDrawing(int drawingId, const std::vector<ChartFrame>& frames) {
    std::vector<RecordData> containers;
    std::uint32_t framesLength = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        containers.push_back(FrameContainer(drawingId * kIdsPerDrawing + int(i) + 1, frames[i]));
        framesLength += std::uint32_t(containers.back().size());
    }
    // The group shape every drawing begins with.
    RecordData group;
    Header(group, 1, 0, kSpgr, 16);
    group.zeros(16);
    Header(group, 2, 0, kSp, 8);
    group.u32(std::uint32_t(drawingId * kIdsPerDrawing));
    group.u32(0x0005); // the group shape, the top one
    RecordData groupContainer;
    Header(groupContainer, kContainer, 0, kSpContainer, std::uint32_t(group.size()));
    groupContainer.bytes(group.data());

    const std::uint32_t groupLength = std::uint32_t(groupContainer.size()) + framesLength;
    RecordData first;
    Header(first, kContainer, 0, kDgContainer, kHeader + 8 + kHeader + groupLength);
    Header(first, 0, drawingId, kDg, 8);
    first.u32(std::uint32_t(frames.size() + 1));
    first.u32(std::uint32_t(drawingId * kIdsPerDrawing + int(frames.size())));
    Header(first, kContainer, 0, kSpgrContainer, groupLength);
    first.bytes(groupContainer.data());
    if (!containers.empty()) {
        first.bytes(containers.front().data());
        containers.front() = first;
    } else {
        containers.push_back(first);
    }
    return containers;
}

RecordData ChartObject(int objectId) {
    RecordData out;
    out.u16(0x0015); // common object data
    out.u16(0x0012);
    out.u16(0x0005); // a chart
    out.u16(objectId);
    out.u16(0x6011); // locked, printed, automatic fill and line
    out.zeros(12);
    out.u32(0); // end
    return out;
}

} // namespace plw::xls::OfficeArt
