#pragma once

#include "extract/WaitWindow.h"

#include <cstdio>

namespace plw {

// The wait window of batch mode: the extraction's steps, each on a line of standard error.
class StreamWaitWindow final : public WaitWindow {
public:
    explicit StreamWaitWindow(std::FILE* stream = stderr) : mStream(stream) {}
    void open(const QString& caption, const QString& text) override;
    void setStep(const QString& label) override;
    void close() override {}

private:
    std::FILE* mStream;
    QString mCaption;
};

} // namespace plw
