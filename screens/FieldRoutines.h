#pragma once

#include <QString>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace plw {

class DateField;
class Prompter;

// The input conventions every screen shares.

// Enter, Return and Down move the focus to the next field of the tab order, Up to the previous
// one (no modifier). Returns whether the key was one of them (it is then accepted).
bool MoveFocusForKey(QWidget* field, QKeyEvent* event);

// Called on a key release in a field: when the field is full (the caret at the maximum length)
// and the maximum length is at most 9 or odd, yields once to the window system and sends Tab,
// moving on. Tab, Backtab and the arrow keys never advance; nor do fields with an even maximum
// length of 10 or more.
void AutoAdvance(QLineEdit* field, int key);

// Focuses the first tagged control (dynamic property "tag" with a non-empty text) of the
// screen, in tab order, that is enabled and visible. Up to 200 tagged controls are considered.
void FocusFirstInput(QWidget* screen);

// Focuses the control only when it is enabled and visible (within its window: a control on a
// hidden tab page or in a hidden frame is not focused).
void SetFocusSafe(QWidget* control);

// False after focusing the field and showing the digits-only message (critical) when its text
// holds anything but digits and blanks around them. A disabled or hidden field, and an empty
// one, pass.
bool CheckDigitsOnly(QLineEdit* field, Prompter& prompter);

// Sets the date field's "YYYYMMDD" value; a value it rejects is ignored.
void SetDateNumber(DateField* field, const QString& value);
// Sets the date field to "1996" + mmdd (a leap year, so "0229" is accepted).
void SetMonthDay(DateField* field, const QString& mmdd);

// target := from + months (DatePlusMonths). Without a from date, or with fewer than one month,
// shows "指定してください" (critical), focuses that field and returns false; nothing changes.
bool SetDatePlusMonths(DateField* target, DateField* from, QLineEdit* months, Prompter& prompter);

} // namespace plw
