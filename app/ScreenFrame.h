#pragma once

#include <QRect>
#include <QString>
#include <optional>

namespace plw {

struct Environment;

// The card device of the installation, as INI/KIKISYU.SYS describes it.
struct DeviceType {
    int Type = 1;
    QString Name = QStringLiteral("DVR-BAS");
    int Subtype = 0;
};

constexpr qsizetype DeviceDescriptionRecordLength = 4096;

// Reads the device description; a missing or unreadable file leaves the defaults.
DeviceType ReadDeviceType(const Environment& environment);
DeviceType DecodeDeviceType(const QByteArray& record);
// The record as the suite writes it: type and subtype characters, the rest blank.
QByteArray EncodeDeviceType(char type, char subtype);

// The title of a main screen: the suite's title text, the screen's designed caption, and the
// device name with its suffix (" **" for subtype 1, " .." for subtype 2 of device type 2).
QString ScreenTitleText(const QString& designedCaption, const DeviceType& device);

constexpr int TwipsPerPixel = 15;

// The left edge, in twips, of a window placed on a wide screen: centred in the right half for
// "MIGI", in the left half for "HIDA". Nothing when the screen is 19200 twips wide or less, or
// the side is anything else (the window stays where it is).
std::optional<double> PlacedLeftTwips(double screenWidthTwips, double formWidthTwips,
                                      const QString& screenSide);

// The left edge, in pixels, of a window's frame placed on a display by the wide-screen rule, then
// kept on the part of the display that windows may use (available, without task bars): moved
// right or left as little as needed, a frame wider than that part at its left edge. Nothing when
// the rule leaves the window where it is.
std::optional<int> PlacedFrameLeft(const QRect& display, const QRect& available, int frameWidth,
                                   const QString& screenSide);

} // namespace plw
