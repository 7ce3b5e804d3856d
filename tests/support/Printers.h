#pragma once

#include <QString>
#include <ostream>

QT_BEGIN_NAMESPACE
void PrintTo(const QString& value, std::ostream* os);
QT_END_NAMESPACE
