#pragma once

#include "extract/ConditionRecord.h"

#include <QString>
#include <QStringList>

namespace plw {

// The detailed-condition module: the working and backup condition records behind the condition
// screen, and the modes through which the rest of the program reads and sets them.
// (Being completed: the screen state, summary, validation and count are added here.)
class ConditionModule {
public:
    // mode "JB" prepare, "CL" clear, "GT" get, "SR" set, "YS" set and show, anything else: load
    // CtyuGet.PRM and show. callerId "P1" for every caller of this program.
    void Run(const QString& mode, const QString& callerId, ConditionRecord& record);

    // The lines of the condition summary list (List1), separator lines included.
    QStringList SummaryLines() const;
};

} // namespace plw
