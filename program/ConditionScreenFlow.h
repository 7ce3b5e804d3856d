#pragma once

#include "extract/ConditionRecord.h"

#include <QString>

#include <functional>
#include <optional>

namespace plw {

class FRM_DMSentk1;
class FRM_PLWAN401;
class WaitWindow;
struct Session;

// The condition screen in the desktop program. "設    定" opens it on the session's saved
// conditions (mode "設定"); "前条件に戻す" on the conditions of PLWAN40.JKN (mode "前条件"), the
// current ones kept. Its F12 fetches the edited conditions into the saved-conditions record
// ("GT"), the one the last-visit period, the run and the exit save use; its ESC puts a kept copy
// back ("SR"). Either way the parameter screen comes back with its summary rebuilt. F1 counts on
// the session's database with the wait window up and the program busy.
class ConditionScreenFlow {
public:
    // busy disables the program's other windows while the count yields.
    ConditionScreenFlow(Session& session, FRM_PLWAN401& parameterScreen,
                        FRM_DMSentk1& conditionScreen, WaitWindow& wait,
                        std::function<void(bool)> busy);
    ~ConditionScreenFlow();

    // Hides the parameter screen and opens the condition screen on record; its ESC puts the
    // current conditions back.
    void openWithCopy(const QString& modeCaption, const ConditionRecord& record);

private:
    void edit();
    void previous();
    void open(const QString& modeCaption, ConditionRecord& record);
    void finished(bool confirmed);
    void count();

    Session& mSession;
    FRM_PLWAN401& mParameterScreen;
    FRM_DMSentk1& mConditionScreen;
    WaitWindow& mWait;
    std::function<void(bool)> mBusy;
    // The conditions as they were before a mode that ESC undoes.
    std::optional<ConditionRecord> mKept;
};

} // namespace plw
