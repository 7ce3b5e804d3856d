#pragma once

#include "app/DocumentOpener.h"

namespace plw {

class Prompter;

// Opens documents with xdg-open, started directly (never through a shell). A missing xdg-open
// is reported at once; a non-zero exit status when the opener ends, with what it means (no
// viewer registered, file not found, the viewer failed).
class XdgDocumentOpener final : public DocumentOpener {
public:
    // program is the opener to run: "xdg-open", found on the search path.
    explicit XdgDocumentOpener(Prompter& prompter, QString program = QStringLiteral("xdg-open"))
        : mPrompter(prompter), mProgram(std::move(program)) {}

    void open(const QString& path) override;

private:
    Prompter& mPrompter;
    QString mProgram;
};

// The message for an opener that ended with exitCode (-1: it crashed) on the document at path.
QString OpenerFailureText(const QString& path, int exitCode);

} // namespace plw
