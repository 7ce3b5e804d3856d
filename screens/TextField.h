#pragma once

#include <QLineEdit>

namespace plw {

// The screens' text input field: a line edit with a maximum length on which Enter and Down move
// to the next field of the tab order and Up to the previous one. With auto-advance on, it moves
// on by itself once full (AutoAdvance on every key release).
class TextField : public QLineEdit {
public:
    explicit TextField(QWidget* parent = nullptr, int maxLength = 32767);

    void setAutoAdvance(bool on) { mAutoAdvance = on; }
    bool autoAdvance() const { return mAutoAdvance; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool mAutoAdvance = false;
};

} // namespace plw
