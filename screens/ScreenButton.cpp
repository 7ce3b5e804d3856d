#include "screens/ScreenButton.h"

#include <QKeyEvent>

namespace plw {

ScreenButton::ScreenButton(const QString& name, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setObjectName(name);
    setAutoDefault(false);
}

void ScreenButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // Taken here, so that it never reaches a dialog's default button; a held key presses once.
        event->accept();
        if (isEnabled() && !event->isAutoRepeat())
            click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace plw
