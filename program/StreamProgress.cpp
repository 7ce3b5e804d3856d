#include "program/StreamProgress.h"

#include <algorithm>

#include <unistd.h>

namespace plw {

StreamProgress::StreamProgress(std::FILE* stream)
    : StreamProgress(stream, ::isatty(::fileno(stream)) == 1) {}

StreamProgress::~StreamProgress() {
    endBar();
}

void StreamProgress::showStep(const QString& text) {
    endBar();
    std::fprintf(mStream, "plwan40: %s\n", text.toUtf8().constData());
    std::fflush(mStream);
}

void StreamProgress::showCount(const QString& text) {
    mCount = text;
    drawBar();
}

void StreamProgress::showPercent(int percent) {
    mPercent = std::clamp(percent, 0, 100);
    drawBar();
}

void StreamProgress::drawBar() {
    if (!mTerminal)
        return;
    constexpr int Width = 40;
    const int filled = mPercent * Width / 100;
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(Width - filled, '.');
    std::fprintf(mStream, "\r[%s] %3d%% %s\x1b[K", bar.constData(), mPercent,
                 mCount.toUtf8().constData());
    std::fflush(mStream);
    mBarShown = true;
}

void StreamProgress::endBar() {
    if (!mBarShown)
        return;
    std::fputc('\n', mStream);
    std::fflush(mStream);
    mBarShown = false;
}

} // namespace plw
