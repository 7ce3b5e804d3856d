#pragma once

#include <QString>

namespace plw {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Every operator message goes through a Prompter: the desktop shows a message box, batch mode
// prints to standard error, tests record the message and answer from a script.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer show(const QString& text, MessageIcon icon = MessageIcon::None,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};

} // namespace plw
