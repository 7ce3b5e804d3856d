#include "app/ScreenFrame.h"

#include "app/AnsiCodec.h"
#include "app/Environment.h"
#include "app/RecordFile.h"

#include <algorithm>
#include <cmath>

namespace plw {

DeviceType DecodeDeviceType(const QByteArray& record) {
    DeviceType device;
    RecordReader reader(record);
    if (reader.fixedText(1) == QLatin1String("2")) {
        device.Type = 2;
        device.Name = QStringLiteral("DVR500LX");
    }
    const QString second = reader.fixedText(1);
    device.Subtype = second.size() == 1 && second[0].isDigit() && second[0].unicode() < 0x80
                         ? second[0].digitValue()
                         : 0;
    return device;
}

QByteArray EncodeDeviceType(char type, char subtype) {
    QByteArray record(DeviceDescriptionRecordLength, ' ');
    record[0] = type;
    record[1] = subtype;
    return record;
}

DeviceType ReadDeviceType(const Environment& environment) {
    QByteArray record;
    if (!ReadRecord(environment.DeviceDescriptionPath, DeviceDescriptionRecordLength, 1, &record,
                    nullptr))
        return DeviceType();
    return DecodeDeviceType(record);
}

QString ScreenTitleText(const QString& designedCaption, const DeviceType& device) {
    QString title = QStringLiteral("Twsystem Lumen v1 ") + designedCaption + QStringLiteral("  ");
    title += QStringLiteral(" ") + device.Name;
    if (device.Type == 2) {
        if (device.Subtype == 1)
            title += QStringLiteral(" **");
        else if (device.Subtype == 2)
            title += QStringLiteral(" ..");
    }
    return title;
}

std::optional<double> PlacedLeftTwips(double screenWidthTwips, double formWidthTwips,
                                      const QString& screenSide) {
    if (screenWidthTwips <= 19200)
        return std::nullopt;
    const double half = screenWidthTwips / 2;
    if (screenSide == QLatin1String("MIGI"))
        return (half - formWidthTwips) / 2 + half;
    if (screenSide == QLatin1String("HIDA"))
        return (half - formWidthTwips) / 2;
    return std::nullopt;
}

std::optional<int> PlacedFrameLeft(const QRect& display, const QRect& available, int frameWidth,
                                   const QString& screenSide) {
    const std::optional<double> left = PlacedLeftTwips(
        double(display.width()) * TwipsPerPixel, double(frameWidth) * TwipsPerPixel, screenSide);
    if (!left)
        return std::nullopt;
    const int placed = display.x() + int(std::lround(*left / TwipsPerPixel));
    const int rightmost = available.x() + available.width() - frameWidth;
    return std::max(available.x(), std::min(placed, rightmost));
}

} // namespace plw
