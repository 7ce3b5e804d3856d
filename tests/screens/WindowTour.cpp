#include "tests/screens/WindowTour.h"

#include "screens/DateField.h"
#include "screens/DistributionWindow.h"
#include "screens/ExtractionWaitWindow.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/FRM_PLWAN402.h"
#include "screens/FRM_PLWAN403.h"
#include "screens/FRM_PLWAN404.h"
#include "screens/Frm_excel2jyu.h"
#include "screens/Frm_excelRun.h"
#include "tests/support/Files.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileDialog>
#include <QFontInfo>
#include <QGlyphRun>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

namespace plw::test {

TourProgram::TourProgram(const QString& screenSide) {
    sample::SampleOptions options;
    options.folder = mDir.path() + QStringLiteral("/inst");
    options.customers = 12;
    options.screenSide = screenSide;
    QString error;
    if (!sample::WriteSampleInstallation(options, &error, &mSummary))
        ADD_FAILURE() << error.toStdString();
    WriteBytes(mSummary.workFolder + QStringLiteral("MENU.DAT"), "");
    mSession.Env.LocationFileOverride = mSummary.locationFile;
    mBrowsers = std::make_unique<QtMasterBrowserDialog>(mSession.Env);
    mHardCopyDialog = std::make_unique<QtHardCopyDialog>(mPrinters, mPrompter);
    mHardCopies = std::make_unique<ScreenHardCopy>(mClock, mPrompter, *mHardCopyDialog, mPrinters,
                                                   mSaveDialog);
    mProgram = std::make_unique<DesktopProgram>(mSession, mSaveDialog);
    mProgram->setScreenAids({mBrowsers.get(), mHardCopies.get(), nullptr});
}

bool TourProgram::start() {
    if (MaybeEnd end = mProgram->start()) {
        ADD_FAILURE() << "the program ended at its start with status " << end->status;
        return false;
    }
    return true;
}

namespace {

// What the operator does with a button: presses it, as a click or its key does.
std::function<void()> press(QWidget& window, const char* name) {
    return [&window, name] {
        auto* button = window.findChild<QAbstractButton*>(QLatin1String(name));
        if (!button) {
            ADD_FAILURE() << "no button " << name << " in " << window.objectName().toStdString();
            return;
        }
        button->click();
    };
}

std::function<QWidget*()> modal(const char* name) {
    return [name]() -> QWidget* {
        QWidget* window = QApplication::activeModalWidget();
        return window && window->objectName() == QLatin1String(name) ? window : nullptr;
    };
}

template <typename Dialog> std::function<QWidget*()> modalOf() {
    return [] {
        return qobject_cast<Dialog*>(QApplication::activeModalWidget());
    };
}

void reject(QWidget& window) {
    static_cast<QDialog&>(window).reject();
}

// Answers the message box shown with its most cautious button: Cancel, No, else OK.
void answerCautiously() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    for (QMessageBox::StandardButton b : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok})
        if (QAbstractButton* button = box->button(b)) {
            button->click();
            return;
        }
}

QWidget* topLevel(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name) && window->isVisible())
            return window;
    return nullptr;
}

} // namespace

std::vector<TourStop> ProgramWindows(DesktopProgram& program) {
    FRM_PLWAN401& parameters = program.parameterScreen();
    FRM_DMSentk1& conditions = program.conditionScreen();
    FRM_PLWAN403& output = program.outputScreen();
    auto* tabs = conditions.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    const auto is = [](QWidget& window) {
        return [&window] {
            return &window;
        };
    };
    const auto baseDate = [&parameters] {
        return dynamic_cast<DateField*>(
            parameters.findChild<QLineEdit*>(QStringLiteral("imdKijyun")));
    };

    std::vector<TourStop> stops{
        {QStringLiteral("FRM_PLWAN401"), {}, is(parameters), {}},
        {QStringLiteral("calendar"), [baseDate] { baseDate()->openCalendar(); },
         [baseDate]() -> QWidget* {
             QCalendarWidget* calendar = baseDate()->calendarPopup();
             return calendar ? calendar->window() : nullptr;
         },
         [](QWidget& popup) {
             popup.hide();
         }},
        {QStringLiteral("FRM_PLWAN402"), press(parameters, "Command7"),
         is(program.viewpointScreen()),
         [](QWidget& window) {
             press(window, "cmdF12")();
         }},
        {QStringLiteral("FRM_PLWAN404"), press(parameters, "Command9"),
         is(program.thresholdScreen()),
         [](QWidget& window) {
             press(window, "cmdF12")();
         }},
        {QStringLiteral("DistributionWindow"), press(parameters, "cmdF5"),
         is(program.distributionWindow()),
         [](QWidget& window) {
             press(window, "cmdEsc")();
         }},
        {QStringLiteral("FRM_TEMPLATE F01"), press(parameters, "cmdTeplate"), modal("FRM_TEMPLATE"),
         reject},
        {QStringLiteral("FRM_TBLBRSM4"), press(parameters, "cmdDM"), modal("FRM_TBLBRSM4"), reject},
        {QStringLiteral("FRM_TBLBRSM6"), press(parameters, "cmdEL"), modal("FRM_TBLBRSM6"), reject},
        {QStringLiteral("FRM_HDCOPY"), press(parameters, "imgHDCopy"), modal("FRM_HDCOPY"), reject},
        {QStringLiteral("FRM_DMSentk1"), press(parameters, "cmdNew"), is(conditions), {}},
    };
    for (int tab = 1; tab < tabs->count(); ++tab)
        stops.push_back({QStringLiteral("FRM_DMSentk1 ") + tabs->tabText(tab),
                         [tabs, tab] { tabs->setCurrentIndex(tab); },
                         is(conditions),
                         {}});
    stops.insert(
        stops.end(),
        {
            // A date field entered shows the calendar hint.
            {QStringLiteral("FRM_DMSentk1 F4キーの案内"),
             [tabs, &conditions] {
                 tabs->setCurrentIndex(0);
                 press(conditions, "optKihHjm_2")();
                 conditions.findChild<QWidget*>(QStringLiteral("imdSeiFR"))->setFocus();
             },
             is(conditions),
             {}},
            // The count's message over the screen, and the screen under it.
            {QStringLiteral("message box 件数"), press(conditions, "cmdF1"), modalOf<QMessageBox>(),
             [](QWidget&) {
                 answerCautiously();
             }},
            {QStringLiteral("FRM_DMSentk1 under a message"), press(conditions, "cmdF1"),
             [&conditions]() -> QWidget* {
                 return modalOf<QMessageBox>()() ? &conditions : nullptr;
             },
             [](QWidget&) {
                 answerCautiously();
             }},
            {QStringLiteral("Frm_TYuHelp1"), press(conditions, "cmdHelp"),
             [] { return topLevel("Frm_TYuHelp1"); },
             [](QWidget& window) {
                 press(window, "Command1")();
             }},
            {QStringLiteral("FRM_TEMPLATE T01"), press(conditions, "cmdTeplate"),
             modal("FRM_TEMPLATE"), reject},
            // Back to the parameter screen without the edits, and on to the output screen.
            {QStringLiteral("FRM_PLWAN403"),
             [&conditions, &parameters] {
                 press(conditions, "cmdEsc")();
                 press(parameters, "cmdF12")();
             },
             is(output),
             {}},
            {QStringLiteral("save dialog"), press(output, "cmdF9"), modalOf<QFileDialog>(), reject},
            {QStringLiteral("message box 処理してもよろしいですか？"), press(output, "cmdF12"),
             modalOf<QMessageBox>(),
             [](QWidget&) {
                 answerCautiously();
             }},
            // The run's windows, as a run opens them.
            {QStringLiteral("ExtractionWaitWindow"),
             [&program] {
                 program.waitWindow().open(QStringLiteral("抽出中"), QStringLiteral("抽出中"));
             },
             is(program.waitWindow()),
             [&program](QWidget&) {
                 program.waitWindow().close();
             }},
            {QStringLiteral("Frm_excelRun"), [&program] { program.progressWindow().open(); },
             is(program.progressWindow()),
             [&program](QWidget&) {
                 program.progressWindow().close();
             }},
            {QStringLiteral("Frm_excel2jyu"),
             [&program] {
                 // A long lock holder: the lock file, its user and host, its date.
                 program.runningDialog().choose(QStringLiteral(
                     "ロックファイル: /home/shop/ドキュメント/.~lock.RFM分析結果.xls#\r"
                     "利用者: 佐藤 健一郎（ホスト: shop-office-pc-02）\r日時: "
                     "2020/01/01 09:00"));
             },
             modal("Frm_excel2jyu"), reject},
            {QStringLiteral("Frm_excel2jyu waiting"),
             [&program] {
                 program.runningDialog().showWaiting(
                     QStringLiteral("/home/shop/ドキュメント/RFM分析結果.xls"));
             },
             is(program.runningDialog()),
             [&program](QWidget&) {
                 program.runningDialog().close();
             }},
        });
    return stops;
}

void TakeTour(const std::vector<TourStop>& stops, const std::function<bool(QWidget&)>& ready,
              const std::function<void(const QString& name, QWidget& window)>& visit) {
    for (const TourStop& stop : stops) {
        SCOPED_TRACE(stop.Name.toStdString());
        bool visited = false;
        const QDeadlineTimer deadline(10000);
        // Polled also while a modal window runs its own event loop.
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* window = stop.Window();
            if (visited)
                return;
            if (deadline.hasExpired()) {
                // Whatever came instead must not hold the tour: it is answered or closed.
                poll.stop();
                if (QWidget* other = QApplication::activeModalWidget()) {
                    ADD_FAILURE() << "instead: " << other->windowTitle().toStdString();
                    if (qobject_cast<QMessageBox*>(other))
                        answerCautiously();
                    else if (auto* dialog = qobject_cast<QDialog*>(other))
                        dialog->reject();
                }
                return;
            }
            if (!window || !window->isVisible() || !ready(*window))
                return;
            visited = true;
            poll.stop();
            visit(stop.Name, *window);
            if (stop.Leave)
                stop.Leave(*window);
        });
        poll.start();
        if (stop.Open)
            stop.Open();
        while (!visited && !deadline.hasExpired())
            QTest::qWait(20);
        poll.stop();
        if (!visited) {
            ADD_FAILURE() << stop.Name.toStdString() << " did not come";
            return;
        }
    }
}

void ExpectColumnListsInOneFont(QWidget& window) {
    for (QListWidget* list : window.findChildren<QListWidget*>()) {
        const QString name = list->objectName();
        if (name != u"List1" && name != u"List2" && name != u"List3" && name != u"lstITIRAN")
            continue;
        SCOPED_TRACE(name.toStdString());
        // A full-width character is as wide as two half-width ones, which are all alike.
        EXPECT_EQ(QFontInfo(list->font()).family(), QStringLiteral("IPAGothic"));
        const QFontMetrics metrics(list->font());
        const int column = metrics.horizontalAdvance(u'0');
        for (QChar c : QStringLiteral("|:/ W1iｱ"))
            EXPECT_EQ(metrics.horizontalAdvance(c), column) << QString(c).toStdString();
        for (QChar c : QStringLiteral("あ名ラ（　"))
            EXPECT_EQ(metrics.horizontalAdvance(c), 2 * column) << QString(c).toStdString();
        for (int row = 0; row < list->count(); ++row) {
            QTextLayout layout(list->item(row)->text(), list->font());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            QSet<QString> families;
            for (const QGlyphRun& run : layout.glyphRuns())
                families.insert(run.rawFont().familyName());
            EXPECT_EQ(families, QSet<QString>{QStringLiteral("IPAGothic")})
                << list->item(row)->text().toStdString();
        }
    }
}

} // namespace plw::test
