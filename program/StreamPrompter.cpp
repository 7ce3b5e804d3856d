#include "program/StreamPrompter.h"

namespace plw {

MessageAnswer StreamPrompter::show(const QString& text, MessageIcon icon, MessageButtons buttons) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const char* prefix = icon == MessageIcon::Critical ? "plwan40: エラー: " : "plwan40: ";
    std::fprintf(mStream, "%s%s\n", prefix, line.toUtf8().constData());
    std::fflush(mStream);
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

} // namespace plw
