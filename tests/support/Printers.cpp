#include <QString>
#include <ostream>

// Lets GoogleTest print QString values in failure messages.
QT_BEGIN_NAMESPACE
void PrintTo(const QString& value, std::ostream* os) { *os << '"' << value.toStdString() << '"'; }
QT_END_NAMESPACE
