#include "rfm/ReadRankedValues.h"

#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/EventPump.h"
#include "app/Prompter.h"
#include "app/WorkFolderLock.h"
#include "db/Database.h"
#include "db/M1CustMstM_T.h"
#include "db/Sub_DataBaseFotDB.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "extract/ExtractCustomers.h"
#include "extract/WaitWindow.h"
#include "rfm/AnalysisContext.h"
#include "rfm/AnalysisExtraction.h"
#include "rfm/PLWAN40_RNM.h"
#include "rfm/PeriodPurchases.h"
#include "rfm/RankedValues.h"
#include "settings/ParameterScreenState.h"

#include <optional>

namespace plw {

namespace {

// Rows read between two looks at the window system (its repaints and the cancel button).
constexpr qint64 RowsPerYield = 4096;

// The wait window, open from the start of the reading to its end: the extraction's own opening
// and closing only name the window again and leave it open.
class ReadingWaitWindow final : public WaitWindow {
public:
    explicit ReadingWaitWindow(WaitWindow& window) : mWindow(window) {
        mWindow.open(WaitWindowCaption, WaitWindowText);
    }
    ~ReadingWaitWindow() override { mWindow.close(); }
    ReadingWaitWindow(const ReadingWaitWindow&) = delete;
    ReadingWaitWindow& operator=(const ReadingWaitWindow&) = delete;

    void open(const QString&, const QString&) override {}
    void setStep(const QString& label) override { mWindow.setStep(label); }
    void close() override {}

private:
    WaitWindow& mWindow;
};

// The master rows of the selected customers (the extraction's current table, whose rows a rank
// or age step of kind "2" may have added with the customer number only), in customer order when
// the point history is merged with them.
QString FiguresQuery(const QString& selected, bool inCustomerOrder) {
    QString query =
        QStringLiteral("SELECT M1_お客様マスタ.M1KaiBan, M1_お客様マスタ.M1SakHby, "
                       "M1_お客様マスタ.M1SakRik, M1_お客様マスタ.M1SakRgk FROM M1_お客様マスタ "
                       "INNER JOIN %1 ON M1_お客様マスタ.M1KaiBan = %1.M1KaiBan")
            .arg(selected);
    if (inCustomerOrder)
        query += QStringLiteral(" ORDER BY M1_お客様マスタ.M1KaiBan");
    return query;
}

// Reads the figures of the selected customers; false when the operator cancelled.
bool ReadFigures(AnalysisContext& context, WaitWindow& wait, const QString& selected, qint64 count,
                 RankedValues& values) {
    const ParameterScreenState& screen = context.ParameterScreen;
    const QDate baseDate = DateOfText(screen.BaseDate);
    auto rows =
        context.Databases.Transaction->openRecordset(FiguresQuery(selected, screen.DetailPeriodOn));
    const db::CustomerFieldReader columns(*rows,
                                          {u"M1KaiBan", u"M1SakHby", u"M1SakRik", u"M1SakRgk"});
    std::optional<PeriodPurchaseStream> history;
    if (screen.DetailPeriodOn)
        history.emplace(*context.Databases.Master, screen.DetailFrom, screen.DetailTo);
    values.reserve(count);
    db::CustomerRecord customer;
    for (qint64 n = 1; !rows->eof(); rows->moveNext(), ++n) {
        columns.read(*rows, customer);
        if (history)
            ApplyPeriodPurchases(customer, history->next(customer.M1KaiBan),
                                 screen.LastVisitFromDetail, screen.DetailTo);
        values.add(FiguresOf(baseDate, customer.M1SakHby, customer.M1SakRik, customer.M1SakRgk),
                   customer.M1SakRgk);
        if (n % RowsPerYield == 0) {
            const QString format = QStringLiteral("#,##0");
            wait.setStep(QStringLiteral("読込中 %1 / %2人")
                             .arg(FormatNumber(n, format), FormatNumber(count, format)));
            context.Pump.yield();
            if (context.Cancel.requested())
                return false;
        }
    }
    return true;
}

} // namespace

ReadingOutcome ReadRankedValues(AnalysisContext& context, RankedValues& values) {
    values = RankedValues();
    context.Cancel.reset();
    if (!CheckConditions(context))
        return ReadingOutcome::Refused;
    const WorkFolderLock lock(context.Env.WorkFolder);
    if (!lock.held()) {
        context.Messages.show(lock.message(), MessageIcon::Critical);
        return ReadingOutcome::Refused;
    }
    ConditionRecord conditions;
    context.Conditions.Run(ConditionModule::Mode::Get, ConditionCaller::Analysis, conditions);

    ReadingWaitWindow wait(context.Wait);
    // The window shows before the extraction drops the earlier tables, which may take a while.
    context.Pump.yield();
    ExtractionContext extraction(*context.Databases.Transaction, context.Time, context.Pump, wait);
    extraction.Cancel = &context.Cancel;
    try {
        const ExtractionResult selected =
            ExtractCustomers(extraction, ExtractionMode::Count, conditions, QString());
        if (selected.Cancelled ||
            (selected.Count > 0 &&
             !ReadFigures(context, wait, selected.CurrentTable, selected.Count, values))) {
            values = RankedValues();
            return ReadingOutcome::Cancelled;
        }
    } catch (const db::DatabaseError& error) {
        values = RankedValues();
        ReportDatabaseFailure(context, error.message());
        return ReadingOutcome::Failed;
    }
    return ReadingOutcome::Read;
}

} // namespace plw
