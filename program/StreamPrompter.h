#pragma once

#include "app/Prompter.h"

#include <cstdio>

namespace plw {

// The Prompter of batch mode: every message goes to a stream (standard error) and nothing waits
// for an operator; a question is answered with its affirmative button, and the line says so.
class StreamPrompter final : public Prompter {
public:
    explicit StreamPrompter(std::FILE* stream = stderr) : mStream(stream) {}
    MessageAnswer show(const QString& text, MessageIcon icon, MessageButtons buttons) override;

private:
    std::FILE* mStream;
};

} // namespace plw
