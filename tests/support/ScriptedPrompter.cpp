#include "tests/support/ScriptedPrompter.h"

#include <QStringList>

namespace plw::test {

MessageAnswer ScriptedPrompter::show(const QString& text, MessageIcon icon,
                                     MessageButtons buttons) {
    mMessages.append({text, icon, buttons});
    if (!mAnswers.isEmpty())
        return mAnswers.takeFirst();
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Message& m : mMessages)
        out << m.text;
    return out;
}

} // namespace plw::test
