#include "screens/TextField.h"

#include "screens/FieldRoutines.h"

#include <QKeyEvent>

namespace plw {

TextField::TextField(QWidget* parent, int maxLength) : QLineEdit(parent) {
    setMaxLength(maxLength);
}

void TextField::keyPressEvent(QKeyEvent* event) {
    if (MoveFocusForKey(this, event))
        return;
    QLineEdit::keyPressEvent(event);
}

void TextField::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (mAutoAdvance)
        AutoAdvance(this, event->key());
}

} // namespace plw
