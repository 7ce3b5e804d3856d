// Whole-run benchmark: one analysis as batch mode runs it (start-up, extraction, scoring, every
// sheet of the workbook, the .xlsx save and the .xls conversion) on sample installations, against
// the bare copy of the customer master into a work table (the yardstick).
//
//   plwan40-bench-run [--customers N[,N...]] [--dir DIR]   (default 100000,1000000)
//
// The run phase times its steps by the progress and wait displays the run drives, and resets the
// process's peak resident set at every step (/proc/self/clear_refs), so that each step's peak is
// its own. The sample's saved settings select every sheet; the list stops at 65,000 customers.

#include "app/Clock.h"
#include "app/EventPump.h"
#include "app/ProgressSink.h"
#include "app/Sleeper.h"
#include "app/TwCom_Excelomati.h"
#include "bench/Phases.h"
#include "extract/WaitWindow.h"
#include "program/Session.h"
#include "program/SessionAnalysis.h"
#include "program/StartUp.h"
#include "program/StreamPrompter.h"
#include "report/LibreOfficeConverter.h"
#include "report/RunningSpreadsheetDialog.h"
#include "report/SpreadsheetHost.h"
#include "report/writers/ExcelWorkbookWriter.h"
#include "rfm/AnalysisRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

using namespace plw;
using namespace plw::bench;

// The peak resident set since the last reset, in MiB; then a fresh count starts.
double TakePeakMiB() {
    double peak = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly))
        reset.write("5");
    return peak;
}

// The steps of a run, each from the display change that began it to the one that began the next.
class Timeline final : public ProgressSink, public WaitWindow {
public:
    Timeline() { mClock.start(); }

    void begin(const QString& step) {
        close(mCurrent);
        mCurrent = step;
        mStarted = mClock.nsecsElapsed();
    }
    QStringList finish() {
        close(mCurrent);
        return mLines;
    }

    // The wait window of the extraction and the progress window of scoring and workbook.
    void open(const QString&, const QString&) override { begin(QStringLiteral("extraction")); }
    void setStep(const QString&) override {}
    void close() override {}
    void open() override {}
    // The scoring names one step; the workbook step begins with "準備中", each sheet with its text.
    void showStep(const QString& text) override {
        const QString step = text.startsWith(u"RFM解析") ? QStringLiteral("scoring")
                             : text == u"準備中"         ? QStringLiteral("template")
                             : text == u"保存中"         ? QStringLiteral("save .xlsx")
                                                         : text;
        if (step != mCurrent)
            begin(step);
    }
    void showCount(const QString&) override {}
    void showPercent(int) override {}
    void setCounterVisible(bool) override {}

private:
    void close(const QString& step) {
        if (step.isEmpty())
            return;
        const double seconds = double(mClock.nsecsElapsed() - mStarted) / 1e9;
        mLines << QStringLiteral("%1\t%2\t%3")
                      .arg(step)
                      .arg(seconds, 0, 'f', 2)
                      .arg(TakePeakMiB(), 0, 'f', 0);
    }

    QElapsedTimer mClock;
    qint64 mStarted = 0;
    QString mCurrent;
    QStringList mLines;
};

struct Unattended final : RunningSpreadsheetDialog {
    Choice choose() override { return Choice::Abandon; }
    void showWaiting(const QString&) override {}
    bool waitCancelled() override { return true; }
    void close() override {}
};

QString RunAnalysisPhase(const QString& dir) {
    Timeline timeline;
    timeline.begin(QStringLiteral("start-up"));
    std::FILE* messages = std::fopen("/dev/null", "w");
    StreamPrompter prompter(messages);
    SystemClock clock;
    CountingEventPump pump;
    Session session(prompter, clock, pump);
    session.Env.LocationFileOverride = dir + QStringLiteral("/場所PLW.TWS");
    session.Env.ProgramFolder = QStringLiteral(PLWAN40_PROGRAM_FOLDER);
    if (PrepareSession(session, MenuCheck::Skipped))
        throw std::runtime_error("the sample installation does not start");
    LoadSessionParameters(session);

    Unattended dialog;
    ThreadSleeper sleeper;
    ExcelWorkbookWriter workbook(dialog, sleeper, [](const QString& file) {
        return std::make_unique<LinuxSpreadsheetHost>(file);
    });
    workbook.setConversion([&](const QString& xlsx, const QString& target, QString* error) {
        timeline.begin(QStringLiteral("conversion to .xls"));
        return LibreOfficeConverter::Convert(xlsx, target, WorkbookFormat::Xls, 3'600'000, error);
    });
    AnalysisContext context = SessionAnalysis(session, timeline, timeline, &workbook);
    const AnalysisResult result = ExecuteAnalysis(context);
    QStringList lines = timeline.finish();
    std::fclose(messages);
    if (result.Outcome != AnalysisOutcome::WorkbookSaved)
        throw std::runtime_error("the run did not save a workbook");
    QFile out(dir + QStringLiteral("/run-steps.txt"));
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the step figures");
    out.write(lines.join(u'\n').toUtf8());
    return QStringLiteral("%1 customers extracted, workbook %2")
        .arg(result.Extracted)
        .arg(QDir::toNativeSeparators(result.WorkbookPath));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    Arguments arguments;
    arguments.Customers = {100'000, 1'000'000};
    if (!ParseArguments(QStringLiteral("plwan40-bench-run"), arguments))
        return 2;
    if (!arguments.Phase.isEmpty()) {
        return RunChildPhase(arguments, {{QStringLiteral("run"), [&](QElapsedTimer&, double&) {
                                              return RunAnalysisPhase(arguments.Dir);
                                          }}});
    }
    QTemporaryDir temporary;
    const QString root = RootFolder(arguments.Dir, temporary);
    if (root.isEmpty())
        return 1;
    PrintHeader();
    for (const qint64 customers : arguments.Customers) {
        const QString dir = root + QStringLiteral("/n%1").arg(customers);
        if (!EnsureSample(dir, customers))
            return 1;
        const PhaseResult copy = RunPhase(QStringLiteral("copy"), dir, customers);
        PrintRow(customers, QStringLiteral("copy (yardstick)"), copy, copy.detail);
        const PhaseResult run = RunPhase(QStringLiteral("run"), dir, customers);
        PrintRow(customers, QStringLiteral("whole run"), run, run.detail);
        if (!copy.ok || !run.ok)
            return 1;
        QFile steps(dir + QStringLiteral("/run-steps.txt"));
        if (!steps.open(QIODevice::ReadOnly))
            return 1;
        double beforeConversion = 0;
        for (const QString& line : QString::fromUtf8(steps.readAll()).split(u'\n')) {
            const QStringList parts = line.split(u'\t');
            if (parts.size() != 3)
                continue;
            PhaseResult step;
            step.ok = true;
            step.seconds = parts[1].toDouble();
            step.peakMiB = parts[2].toDouble();
            if (!parts[0].startsWith(u"conversion"))
                beforeConversion += step.seconds;
            PrintRow(customers, QStringLiteral("  ") + parts[0], step, QString());
        }
        const double ratio = beforeConversion / copy.seconds;
        PrintLine(stdout, QStringLiteral("%1 customers: everything but the conversion %2 s = %3 x "
                                         "the copy (goal <= 8 x): %4")
                              .arg(customers)
                              .arg(beforeConversion, 0, 'f', 1)
                              .arg(ratio, 0, 'f', 2)
                              .arg(ratio <= 8 ? QStringLiteral("met") : QStringLiteral("not met")));
    }
    return 0;
}
