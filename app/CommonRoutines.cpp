#include "app/CommonRoutines.h"

namespace plw {
namespace {

bool isTrimmed(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000) || c == QChar(0);
}

} // namespace

QString TrimAll(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isTrimmed(text[first]))
        ++first;
    while (last > first && isTrimmed(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

} // namespace plw
