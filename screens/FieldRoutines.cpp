#include "screens/FieldRoutines.h"

#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "app/ScreenDates.h"
#include "screens/DateField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QVariant>

namespace plw {

bool MoveFocusForKey(QWidget* field, QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down: {
        event->accept();
        // The focus chain decides; a field alone on its screen keeps the focus.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &tab);
        return true;
    }
    case Qt::Key_Up: {
        event->accept();
        QKeyEvent backtab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
        QCoreApplication::sendEvent(field, &backtab);
        return true;
    }
    default:
        return false;
    }
}

void AutoAdvance(QLineEdit* field, int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return;
    default:
        break;
    }
    const int maxLength = field->maxLength();
    if (!(maxLength <= 9 || maxLength % 2 == 1))
        return;
    if (field->cursorPosition() != maxLength)
        return;
    QCoreApplication::processEvents();
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &tab);
}

void FocusFirstInput(QWidget* screen) {
    constexpr int MaxTagged = 200;
    // The focus chain is the tab order; tagged controls keep the order in which it reaches them.
    QList<QWidget*> tagged;
    for (QWidget* w = screen->nextInFocusChain(); w && w != screen && tagged.size() < MaxTagged;
         w = w->nextInFocusChain()) {
        if (screen->isAncestorOf(w) && !w->property("tag").toString().isEmpty())
            tagged.append(w);
    }
    for (QWidget* w : tagged) {
        if (w->isEnabled() && w->isVisibleTo(w->window())) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void SetFocusSafe(QWidget* control) {
    if (control && control->isEnabled() && control->isVisibleTo(control->window()))
        control->setFocus(Qt::OtherFocusReason);
}

bool CheckDigitsOnly(QLineEdit* field, Prompter& prompter) {
    if (!field->isEnabled() || !field->isVisibleTo(field->window()))
        return true;
    if (IsDigitsOnly(field->text()))
        return true;
    SetFocusSafe(field);
    prompter.show(QStringLiteral("数字以外は指定できません(マイナスも指定できません)"),
                  MessageIcon::Critical);
    return false;
}

void SetDateNumber(DateField* field, const QString& value) {
    field->setValue(value);
}

void SetMonthDay(DateField* field, const QString& mmdd) {
    SetDateNumber(field, QStringLiteral("1996") + mmdd);
}

bool SetDatePlusMonths(DateField* target, DateField* from, QLineEdit* months, Prompter& prompter) {
    if (from->value().isEmpty()) {
        prompter.show(QStringLiteral("指定してください"), MessageIcon::Critical);
        SetFocusSafe(from);
        return false;
    }
    const int n = ToInteger(ToCurrency(months->text()).toString());
    if (n < 1) {
        prompter.show(QStringLiteral("指定してください"), MessageIcon::Critical);
        SetFocusSafe(months);
        return false;
    }
    SetDateNumber(target, DatePlusMonths(from->value(), n));
    return true;
}

} // namespace plw
