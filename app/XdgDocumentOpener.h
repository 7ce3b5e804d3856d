#pragma once

#include "app/DocumentOpener.h"

namespace plw {

class Prompter;

// Opens documents with xdg-open, started directly (never through a shell). Only a failure to
// start the viewer is reported: a missing xdg-open at once, a failure status when the opener
// ends within startWindowMs, with what it means (no viewer registered, file not found, the
// viewer failed). Without a desktop environment xdg-open runs the viewer itself and ends when
// the viewer does, failing when the viewer was ended by a signal: an end after the first
// seconds, or by a signal, is that of a viewer that had opened, and says nothing.
class XdgDocumentOpener final : public DocumentOpener {
public:
    // program is the opener to run: "xdg-open", found on the search path.
    explicit XdgDocumentOpener(Prompter& prompter, QString program = QStringLiteral("xdg-open"),
                               int startWindowMs = 3000)
        : mPrompter(prompter), mProgram(std::move(program)), mStartWindowMs(startWindowMs) {}

    void open(const QString& path) override;

private:
    Prompter& mPrompter;
    QString mProgram;
    int mStartWindowMs;
};

// The message for an opener that ended with exitCode on the document at path.
QString OpenerFailureText(const QString& path, int exitCode);

} // namespace plw
