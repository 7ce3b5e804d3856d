#pragma once

#include <QString>

class QWidget;

namespace plw {

struct Environment;

// Window caption of a main screen: ScreenTitleText of the designed caption and the
// installation's card device.
void SetScreenTitle(QWidget* form, const QString& designedCaption, const Environment& environment);

// Centres the window on its display.
void CentreScreen(QWidget* form);

// On a display wider than 1280 pixels, moves the window into the right ("MIGI") or left ("HIDA")
// half as the installation's ScreenSide says; the top never changes.
void PlaceScreen(QWidget* form, const Environment& environment);

// Makes the window stay on top of the others, shown at its current position and size without
// taking the activation.
void KeepOnTop(QWidget* form);

} // namespace plw
