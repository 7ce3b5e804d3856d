#pragma once

#include <QStringList>

namespace plw {

// The vocabulary of the customer-list columns: 32 texts whose first three characters are the
// item code, the last four named after the classification levels.
constexpr int OutputItemCapacity = 50;

QStringList BuildOutputItemList(const QStringList& classificationLevelNames);

// The items the customer list shows: those of items not left out, in the order of items.
QStringList ItemsToOutput(const QStringList& items, const QStringList& leftOut);

} // namespace plw
