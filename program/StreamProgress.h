#pragma once

#include "app/ProgressSink.h"

#include <cstdio>

namespace plw {

// The progress display of batch mode: each step on its own line of standard error, and while a
// count runs, a bar redrawn in place when the stream is a terminal (a log file gets no bars).
class StreamProgress final : public ProgressSink {
public:
    explicit StreamProgress(std::FILE* stream = stderr);
    StreamProgress(std::FILE* stream, bool terminal) : mStream(stream), mTerminal(terminal) {}
    ~StreamProgress() override;

    void open() override {}
    void showStep(const QString& text) override;
    void showCount(const QString& text) override;
    void showPercent(int percent) override;
    void close() override { endBar(); }

private:
    void drawBar();
    void endBar();

    std::FILE* mStream;
    bool mTerminal;
    bool mBarShown = false;
    QString mCount;
    int mPercent = 0;
};

} // namespace plw
