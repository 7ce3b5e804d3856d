#pragma once

#include <QPushButton>

namespace plw {

// The push button of every screen and dialog of the program: Enter or Return on it while it has
// the focus presses it, in a dialog as on a main screen, since the screens are worked from the
// keyboard. It is never a dialog's automatic default button: Enter in a field moves on.
class ScreenButton : public QPushButton {
public:
    ScreenButton(const QString& name, const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A screen button named for its control (objectName) with its caption.
inline ScreenButton* MakeButton(const QString& name, const QString& caption, QWidget* parent) {
    return new ScreenButton(name, caption, parent);
}

} // namespace plw
