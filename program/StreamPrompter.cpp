#include "program/StreamPrompter.h"

namespace plw {

MessageAnswer StreamPrompter::show(const QString& text, MessageIcon icon, MessageButtons buttons) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const MessageAnswer answer =
        buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    // A question nobody will answer is printed as the answer given.
    if (buttons != MessageButtons::Ok)
        line += answer == MessageAnswer::Yes ? QStringLiteral(" → 「はい」で続けます")
                                             : QStringLiteral(" → 「OK」で続けます");
    const char* prefix = icon == MessageIcon::Critical ? "plwan40: エラー: " : "plwan40: ";
    std::fprintf(mStream, "%s%s\n", prefix, line.toUtf8().constData());
    std::fflush(mStream);
    return answer;
}

} // namespace plw
