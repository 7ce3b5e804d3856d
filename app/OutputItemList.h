#pragma once

#include <QStringList>

namespace plw {

// The vocabulary of the customer-list columns: 32 texts whose first three characters are the
// item code, the last four named after the classification levels.
constexpr int OutputItemCapacity = 50;

QStringList BuildOutputItemList(const QStringList& classificationLevelNames);

} // namespace plw
