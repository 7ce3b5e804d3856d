#include "program/StreamProgress.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace plw {
namespace {

// Everything written to the stream.
QByteArray Written(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[256];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, stream))
        bytes.append(buffer, static_cast<qsizetype>(n));
    return bytes;
}

void Drive(ProgressSink& sink) {
    sink.showStep(QStringLiteral("RFM解析　データ準備中"));
    sink.showCount(QStringLiteral("10/20"));
    sink.showPercent(50);
    sink.showStep(QStringLiteral("次"));
}

TEST(StreamProgress, ALogGetsTheStepsOnlyAndATerminalTheBarOnItsOwnLine) {
    std::FILE* log = std::tmpfile();
    {
        StreamProgress progress(log, false);
        Drive(progress);
    }
    EXPECT_EQ(Written(log), QByteArray("plwan40: RFM解析　データ準備中\nplwan40: 次\n"));
    std::fclose(log);

    std::FILE* terminal = std::tmpfile();
    {
        StreamProgress progress(terminal, true);
        Drive(progress);
    }
    const QByteArray shown = Written(terminal);
    EXPECT_TRUE(shown.contains("] \x20"
                               "50% 10/20"))
        << shown.constData();
    EXPECT_TRUE(shown.endsWith("\x1b[K\nplwan40: 次\n")) << shown.constData();
    std::fclose(terminal);
}

} // namespace
} // namespace plw
