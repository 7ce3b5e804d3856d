#include "rfm/PLWAN40_sgn.h"

#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/EventPump.h"
#include "app/Prompter.h"
#include "db/Database.h"
#include "db/Sub_DataBaseFotDB.h"
#include "db/WholeNumber.h"
#include "db/WorkTablesLock.h"
#include "extract/ConditionRecord.h"
#include "extract/KeyTable.h"
#include "rfm/AnalysisContext.h"
#include "rfm/AnalysisExtraction.h"

#include <cmath>

namespace plw {

namespace {

// A value of the statistics row, formatted; Null counts as 0. The average keeps four decimals
// where a fixed-point number holds them; the whole numbers are shown as they are.
QString Shown(const QVariant& value, const QString& format) {
    if (!value.isValid() || value.isNull())
        return FormatRight(Currency(), format);
    if (value.typeId() == QMetaType::Double) {
        const double number = value.toDouble();
        if (std::fabs(number) < 1e14)
            return FormatRight(ToCurrency(QString::number(number, 'f', 6)), format);
        return FormatRight(qint64(std::llround(number)), format);
    }
    return FormatRight(value.toLongLong(), format);
}

} // namespace

PreviewLabels WaitingPreviewLabels() {
    return {QString(), QStringLiteral("しばらく"), QStringLiteral("カウント中"),
            QStringLiteral("お待ちください"), QString()};
}

bool PreviewStatistics(AnalysisContext& context, PreviewLabels& labels) {
    labels = WaitingPreviewLabels();
    context.Pump.yield();

    const db::WorkTablesLock lock(context.Env.WorkFolder, *context.Databases.Transaction);
    if (!lock.held()) {
        context.Messages.show(lock.message(), MessageIcon::Critical);
        return false;
    }
    ConditionRecord record; // the preview's own conditions
    if (ExtractForAnalysis(context, record) <= 0)
        return false;

    db::Database& work = *context.Databases.Transaction;
    const QString keyTable = QStringLiteral("WorkPLWAN40X_1");
    const QString selected = QStringLiteral("WorkPLWAN40X_2");
    try {
        qint64 keys = 0;
        QString error;
        if (!LoadKeyTable(work, context.Env.KeyFilePath, keyTable, &keys, &error)) {
            context.Messages.show(error, MessageIcon::Critical);
            return false;
        }
        JoinMasterByKeys(work, keyTable, selected);
        // The amounts are read as the run reads them: one it would refuse is named here too,
        // rather than summed or ranked as something else.
        for (auto amounts = work.openRecordset(
                 QStringLiteral("SELECT M1KaiBan, M1SakRgk FROM WorkPLWAN40X_2"));
             !amounts->eof(); amounts->moveNext())
            db::WholeNumber::require(amounts->value(u"M1SakRgk"), u"M1SakRgk",
                                     amounts->text(u"M1KaiBan"));
        auto row = work.openRecordset(QStringLiteral(
            "SELECT MAX(M1SakRgk) AS   [最大],       MIN(M1SakRgk) AS   [最小],       "
            "AVG(M1SakRgk) AS   [平均],       SUM(M1SakRgk) AS   [合計],       "
            "COUNT(M1KaiBan) AS [個数]  FROM WorkPLWAN40X_2"));
        const QString format = QStringLiteral("##,###,###,##0");
        auto show = [&](const char16_t* field) {
            return Shown(row->eof() ? QVariant() : row->value(field), format);
        };
        labels.Max = show(u"最大");
        labels.Min = show(u"最小");
        labels.Average = show(u"平均");
        labels.Sum = show(u"合計");
        labels.Count = show(u"個数");
    } catch (const db::DatabaseError& error) {
        ReportDatabaseFailure(context, error.message());
        return false;
    }
    return true;
}

} // namespace plw
