#pragma once

#include "app/CancelToken.h"
#include "app/Environment.h"
#include "db/Sub_DataBaseFotDB.h"
#include "extract/Classifications.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "rfm/ScoringStatistics.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterScreenState.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace plw {

class Clock;
class EventPump;
class Prompter;

// The program-wide state of one run: the installation, the open databases, the settings the
// screens show and the services the routines report through. Passed by reference; nothing of it
// is global.
struct Session {
    Session(Prompter& prompter, const Clock& clock, EventPump& pump)
        : Messages(prompter), Time(clock), Pump(pump) {}

    Environment Env;
    db::Databases Databases;
    Prompter& Messages;
    const Clock& Time;
    EventPump& Pump;

    // Prepared at start-up.
    ClassificationTable Classifications;
    QStringList ClassificationFaults; // what makes S3BUNRU.DAT no classification file
    QStringList OutputItems;
    std::unique_ptr<ConditionModule> Conditions;

    // The parameters from PLWAN40.PRM, the screens' states and the saved conditions.
    AnalysisParameters Parameters;
    ParameterScreenState ParameterScreen;
    OutputScreenState OutputScreen;
    ConditionRecord SavedConditions;

    // The analysis run's cancel flag and statistics.
    CancelToken Cancel;
    ScoringStatistics Statistics;

    // Saves the analysis parameters and conditions; ShutDown calls it on every exit path.
    std::function<void(Session&)> SaveSettings;
    // Unloads the screens before the return program starts (desktop only).
    std::function<void()> UnloadScreens;
    // Starts the spreadsheet program on a saved workbook (desktop only).
    std::function<void(const QString&)> OpenWorkbook;
};

} // namespace plw
