#pragma once

#include "app/Prompter.h"

class QMessageBox;
class QWidget;

namespace plw {

// The desktop's Prompter: a modal message box over the active window, titled with the program's
// caption, CR in a text breaking the line as in the suite's message boxes.
class MessageBoxPrompter final : public Prompter {
public:
    explicit MessageBoxPrompter(QString title) : mTitle(std::move(title)) {}
    MessageAnswer show(const QString& text, MessageIcon icon = MessageIcon::None,
                       MessageButtons buttons = MessageButtons::Ok) override;

private:
    QString mTitle;
};

// Makes a message box at least as wide as its title needs, so that a short message does not cut
// the title short.
void WidenForTitle(QMessageBox& box);

} // namespace plw
