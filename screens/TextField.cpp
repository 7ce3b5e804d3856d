#include "screens/TextField.h"

#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "screens/FieldRoutines.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpressionValidator>

namespace plw {

TextField::TextField(QWidget* parent, int maxLength) : QLineEdit(parent) {
    setMaxLength(maxLength);
}

void TextField::setDigitsOnly(int digits, Prompter& prompter) {
    mDigits = digits;
    mPrompter = &prompter;
    // The validator limits what is typed; the maximum length would cut what the program sets.
    setMaxLength(32767);
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), this));
    connect(this, &QLineEdit::inputRejected, this, [this] { refuseInput(); });
}

void TextField::keyPressEvent(QKeyEvent* event) {
    if (MoveFocusForKey(this, event))
        return;
    mKeyText = event->text();
    const QString before = text();
    QLineEdit::keyPressEvent(event);
    const bool printable = !mKeyText.isEmpty() && mKeyText.at(0).isPrint() &&
                           !(event->modifiers() & Qt::ControlModifier);
    if (printable && text() != before)
        mTyped = true;
    mKeyText.clear();
}

void TextField::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (mAutoAdvance && mTyped && !event->isAutoRepeat()) {
        mTyped = false;
        AutoAdvance(this, event->key());
    }
}

void TextField::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    // Typing starts at the beginning, not in the middle of a date's blanks.
    if (event->button() == Qt::LeftButton && hasNoEntry())
        setCursorPosition(0);
}

void TextField::refuseInput() {
    // Only the operator's input is refused: a text the program sets is never reported here.
    if (!hasFocus())
        return;
    // A digit typed into a full field is only one place too many; anything else is no digit.
    const bool digit = mKeyText.size() == 1 && mKeyText.at(0) >= u'0' && mKeyText.at(0) <= u'9';
    if (digit || !mPrompter) {
        QApplication::beep();
        return;
    }
    mPrompter->show(QStringLiteral("数字（半角の0～9）だけを%1桁まで入力できます")
                        .arg(ToFullWidth(QString::number(mDigits))),
                    MessageIcon::Critical);
}

} // namespace plw
