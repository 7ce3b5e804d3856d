#pragma once

#include "app/Clock.h"
#include "app/EventPump.h"
#include "program/DesktopProgram.h"
#include "program/Session.h"
#include "screens/MessageBoxPrompter.h"
#include "screens/QtHardCopyDialog.h"
#include "screens/QtMasterBrowserDialog.h"
#include "screens/QtSaveFileDialog.h"
#include "screens/Sub_HDCOPY.h"
#include "tests/screens/ScreenAidDoubles.h"
#include "tools/sample/SampleInstallation.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace plw::test {

// The desktop program as the operator starts it, with the real message boxes, save dialog,
// master browsers and hard-copy window, on a sample installation of its own (a dozen customers,
// the system description's ScreenSide as given). The printers are PDF files.
class TourProgram {
public:
    explicit TourProgram(const QString& screenSide = QString());

    // The start-up; false (a failure recorded) when it ended the program.
    bool start();

    DesktopProgram& program() { return *mProgram; }
    Session& session() { return mSession; }
    const sample::SampleSummary& installation() const { return mSummary; }

private:
    QTemporaryDir mDir;
    sample::SampleSummary mSummary;
    MessageBoxPrompter mPrompter{QStringLiteral("ポイント顧客分析（ＲＦＭ分析）")};
    FixedClock mClock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    CountingEventPump mPump;
    Session mSession{mPrompter, mClock, mPump};
    QtSaveFileDialog mSaveDialog;
    std::unique_ptr<QtMasterBrowserDialog> mBrowsers;
    PdfPrinters mPrinters{mDir.path(), {QStringLiteral("事務所のプリンタ")}};
    std::unique_ptr<QtHardCopyDialog> mHardCopyDialog;
    std::unique_ptr<ScreenHardCopy> mHardCopies;
    std::unique_ptr<DesktopProgram> mProgram;
};

// One window on the tour: how the operator opens it, the window once it is there, and how the
// operator leaves it (no Leave: it stays for the stops that follow).
struct TourStop {
    QString Name;
    std::function<void()> Open;
    std::function<QWidget*()> Window;
    std::function<void(QWidget&)> Leave;
};

// Every top-level window of the desktop program, each opened through the program's own flow
// from the parameter screen: the screens, the condition screen on each tab and under a
// message, the dialogs, the message boxes and the run's windows. A new window joins here.
std::vector<TourStop> ProgramWindows(DesktopProgram& program);

// Opens each window in turn; once it is shown and ready(window) says so, calls visit with it,
// then leaves it. A window that does not come within ten seconds fails the test.
void TakeTour(const std::vector<TourStop>& stops, const std::function<bool(QWidget&)>& ready,
              const std::function<void(const QString& name, QWidget& window)>& visit);

// The window's lists whose columns are lined up with blanks (List1, List2, List3, lstITIRAN)
// draw every line in one fixed-pitch Japanese font.
void ExpectColumnListsInOneFont(QWidget& window);

} // namespace plw::test
