#pragma once

#include <QFont>
#include <QMargins>
#include <QString>

class QLayout;
class QWidget;

namespace plw {

struct Environment;

// Window caption of a main screen: ScreenTitleText of the designed caption and the
// installation's card device.
void SetScreenTitle(QWidget* form, const QString& designedCaption, const Environment& environment);

// The window manager's frame around the window: its own once the window is framed, before that
// the frame of another window of the program, or a usual title bar and borders.
QMargins FrameMargins(const QWidget* form);

// Centres the window with its frame on the part of its display that windows may use (without
// task bars); a window taller or wider than that part starts at its top left corner.
void CentreScreen(QWidget* form);

// Narrow margins and spacing for the layout of an area, so that a screen stays compact enough
// for a laptop display; Compact returns the layout.
void CompactLayout(QLayout* layout);
template <typename Layout> Layout* Compact(Layout* layout) {
    CompactLayout(layout);
    return layout;
}

// On a display wider than 1280 pixels, moves the window into the right ("MIGI") or left ("HIDA")
// half as the installation's ScreenSide says, keeping the whole window with its frame on the
// part of the display that windows may use; the top never changes.
void PlaceScreen(QWidget* form, const Environment& environment);

// The font of lists whose columns are lined up with blanks: one fixed-pitch Japanese font for
// every character (IPA Gothic: a full-width character as wide as two half-width ones), at the
// size of the screens' font.
QFont ColumnListFont();

// Makes the window stay on top of the others, shown at its current position and size without
// taking the activation.
void KeepOnTop(QWidget* form);

} // namespace plw
