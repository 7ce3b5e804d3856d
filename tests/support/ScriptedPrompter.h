#pragma once

#include "app/Prompter.h"

#include <QList>
#include <QString>

namespace plw::test {

// Records every message and answers confirmations from a script (Ok/Yes when it runs out).
class ScriptedPrompter final : public Prompter {
public:
    struct Message {
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer show(const QString& text, MessageIcon icon, MessageButtons buttons) override;

    void answerNext(MessageAnswer answer) { mAnswers.append(answer); }
    const QList<Message>& messages() const { return mMessages; }
    QStringList texts() const;

private:
    QList<Message> mMessages;
    QList<MessageAnswer> mAnswers;
};

} // namespace plw::test
