#include "program/ConditionScreenFlow.h"

#include "app/Prompter.h"
#include "extract/ConditionModule.h"
#include "extract/ExtractionContext.h"
#include "extract/WaitWindow.h"
#include "program/Session.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "settings/PreviousConditions.h"

namespace plw {

namespace {

const QString P1 = QStringLiteral("P1");

// The wait window, with the program busy for as long as it is open.
class BusyWhileWaiting final : public WaitWindow {
public:
    BusyWhileWaiting(WaitWindow& window, std::function<void(bool)> busy)
        : mWindow(window), mBusy(std::move(busy)) {}
    void open(const QString& caption, const QString& text) override {
        mBusy(true);
        mWindow.open(caption, text);
    }
    void setStep(const QString& label) override { mWindow.setStep(label); }
    void close() override {
        mWindow.close();
        mBusy(false);
    }

private:
    WaitWindow& mWindow;
    std::function<void(bool)> mBusy;
};

} // namespace

ConditionScreenFlow::ConditionScreenFlow(Session& session, FRM_PLWAN401& parameterScreen,
                                         FRM_DMSentk1& conditionScreen, WaitWindow& wait,
                                         std::function<void(bool)> busy)
    : mSession(session), mParameterScreen(parameterScreen), mConditionScreen(conditionScreen),
      mWait(wait), mBusy(std::move(busy)) {
    mParameterScreen.setConditionHandlers([this] { edit(); }, [this] { previous(); });
    // A campaign's conditions open the screen in its mode ("ＤＭ", "メール"); ESC keeps the
    // current.
    mParameterScreen.setConditionScreenHandler(
        [this](const QString& modeCaption, const ConditionRecord& record) {
            openWithCopy(modeCaption, record);
        });
    mConditionScreen.setCountHandler([this] { count(); });
    mSession.Conditions->Finished = [this](bool confirmed) {
        finished(confirmed);
    };
}

ConditionScreenFlow::~ConditionScreenFlow() {
    mSession.Conditions->Finished = nullptr;
}

void ConditionScreenFlow::edit() {
    mKept.reset();
    open(QStringLiteral("設定"), mSession.SavedConditions);
}

void ConditionScreenFlow::previous() {
    ConditionRecord previous;
    QString error;
    if (!LoadPreviousConditions(mSession.Env.SavedConditionPath, mParameterScreen.state(), previous,
                                &error)) {
        mSession.Messages.show(error, MessageIcon::Critical);
        return;
    }
    openWithCopy(QStringLiteral("前条件"), previous);
}

void ConditionScreenFlow::openWithCopy(const QString& modeCaption, const ConditionRecord& record) {
    mKept = mSession.SavedConditions;
    ConditionRecord opened = record;
    open(modeCaption, opened);
}

void ConditionScreenFlow::open(const QString& modeCaption, ConditionRecord& record) {
    mParameterScreen.hide();
    mConditionScreen.setModeCaption(modeCaption);
    mSession.Conditions->Run(QStringLiteral("YS"), P1, record);
}

void ConditionScreenFlow::finished(bool confirmed) {
    ConditionModule& conditions = *mSession.Conditions;
    if (confirmed) {
        conditions.Run(QStringLiteral("GT"), P1, mSession.SavedConditions);
    } else if (mKept) {
        mSession.SavedConditions = *mKept;
        conditions.Run(QStringLiteral("SR"), P1, mSession.SavedConditions);
    }
    mKept.reset();
    mParameterScreen.setConditionSummary(conditions.SummaryLines());
    mParameterScreen.show();
}

void ConditionScreenFlow::count() {
    // Nothing takes input while the wait window is up; the checks and the count's message come
    // with the screen usable again.
    BusyWhileWaiting wait(mWait, [this](bool busy) {
        mConditionScreen.setBusy(busy);
        if (mBusy)
            mBusy(busy);
    });
    ExtractionContext context(*mSession.Databases.Transaction, mSession.Time, mSession.Pump, wait);
    mSession.Conditions->Count(context);
}

} // namespace plw
