#include "program/StreamProgress.h"
#include "program/StreamPrompter.h"

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

// Batch mode's messages: each on a line of standard error; a question nobody answers is printed
// with the answer it was given, never left standing as a question.
TEST(StreamPrompter, PrintsMessagesAndAQuestionWithTheAnswerGiven) {
    std::FILE* err = std::tmpfile();
    StreamPrompter prompter(err);
    Prompter& messages = prompter;
    EXPECT_EQ(messages.show(QStringLiteral("一行目\r二行目"), MessageIcon::Critical),
              MessageAnswer::Ok);
    EXPECT_EQ(messages.show(QStringLiteral("続けますか？"), MessageIcon::Question,
                            MessageButtons::OkCancel),
              MessageAnswer::Ok);
    EXPECT_EQ(messages.show(QStringLiteral("中断しますか？"), MessageIcon::Question,
                            MessageButtons::YesNo),
              MessageAnswer::Yes);
    EXPECT_EQ(QString::fromUtf8(Written(err)),
              QStringLiteral("plwan40: エラー: 一行目\n二行目\n"
                             "plwan40: 続けますか？ → 「OK」で続けます\n"
                             "plwan40: 中断しますか？ → 「はい」で続けます\n"));
    std::fclose(err);
}

} // namespace
} // namespace plw
