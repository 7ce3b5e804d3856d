#pragma once

#include <QLineEdit>

namespace plw {

class Prompter;

// The screens' text input field: a line edit with a maximum length on which Enter and Down move
// to the next field of the tab order and Up to the previous one. With auto-advance on, it moves
// on by itself once a key that put a character into it filled it (AutoAdvance on that key's
// release; Ctrl+A, a click or a key that changed nothing never moves on). A click into a field
// without an entry puts the caret at its first position.
class TextField : public QLineEdit {
public:
    explicit TextField(QWidget* parent = nullptr, int maxLength = 32767);

    void setAutoAdvance(bool on) { mAutoAdvance = on; }
    bool autoAdvance() const { return mAutoAdvance; }

    // The field takes the digits 0 to 9 only, at most `digits` of them, as typed or pasted:
    // another character is refused with a message through the prompter, a digit beyond the
    // last place only with a beep. A text the program sets is shown as it is, never cut.
    void setDigitsOnly(int digits, Prompter& prompter);

protected:
    // Whether the field holds nothing the operator entered (a masked field: only its blanks).
    virtual bool hasNoEntry() const { return text().isEmpty(); }

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void refuseInput();

    bool mAutoAdvance = false;
    // A key put a character into the field since the last key release.
    bool mTyped = false;
    int mDigits = 0;
    Prompter* mPrompter = nullptr;
    // The text of the key being handled, to tell a refused digit from another character.
    QString mKeyText;
};

} // namespace plw
