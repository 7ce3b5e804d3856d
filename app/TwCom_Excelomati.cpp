#include "app/TwCom_Excelomati.h"

#include "app/CommonRoutines.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"

namespace plw {

void ProgressCounter::ReportProgress(qint64 current, qint64 total, int step) {
    if (++mTicks != step)
        return;
    mTicks = 0;
    const QString format = QStringLiteral("##,###");
    mSink.showCount(FormatNumber(current, format) + u'/' + FormatNumber(total, format));
    // The bar shows the share done, rounded to whole per cent; counts never run backwards.
    if (total > 0 && current >= 0 && current <= total) {
        const Currency share = Currency::fromInteger(current * 100) / Currency::fromInteger(total);
        mSink.showPercent(static_cast<int>(share.roundedToInteger()));
    }
    mPump.yield();
}

} // namespace plw
