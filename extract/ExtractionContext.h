#pragma once

#include "extract/ConditionCaller.h"

#include <QString>

#include <optional>

namespace plw {

class CancelToken;
class Clock;
class EventPump;
class WaitWindow;

namespace db {
class Database;
}

// The services an extraction runs with: the transaction database (customer master and work tables),
// the clock (ages, times of writing, the default random seed), the event pump it yields to between
// steps and the wait window it shows.
struct ExtractionContext {
    ExtractionContext(db::Database& transaction, const Clock& time, EventPump& pump,
                      WaitWindow& wait)
        : Transaction(transaction), Time(time), Pump(pump), Wait(wait) {}

    db::Database& Transaction;
    const Clock& Time;
    EventPump& Pump;
    WaitWindow& Wait;
    // The condition module's caller: the direct-mail and mail callers also drop the customers
    // without their consent.
    ConditionCaller Caller = ConditionCaller::Analysis;
    // Seed of random sampling; without one the clock seeds it.
    std::optional<quint64> RandomSeed;
    // An extraction that may be cancelled: once requested, the steps not yet begun are skipped.
    const CancelToken* Cancel = nullptr;
};

} // namespace plw
