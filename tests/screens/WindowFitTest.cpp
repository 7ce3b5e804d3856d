#include "app/Clock.h"
#include "app/EventPump.h"
#include "program/DesktopProgram.h"
#include "program/Session.h"
#include "screens/DateField.h"
#include "screens/DistributionWindow.h"
#include "screens/ExtractionWaitWindow.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/FRM_PLWAN402.h"
#include "screens/FRM_PLWAN403.h"
#include "screens/FRM_PLWAN404.h"
#include "screens/FRM_TEMPLATE.h"
#include "screens/Frm_excel2jyu.h"
#include "screens/Frm_excelRun.h"
#include "screens/SaveFileDialog.h"
#include "tests/support/Files.h"
#include "tests/support/ScriptedPrompter.h"
#include "tools/sample/SampleInstallation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// A 1366 x 768 display with a task bar leaves 1366 x 720 for a window and its frame; the window
// manager's frame is a title bar and thin borders around what Qt lays out.
const QRect Usable(0, 0, 1366, 720);
const QMargins Frame(4, 30, 4, 4);

// Shows the window as the program does and checks that it lies within the usable area with its
// frame, at a size that cuts none of its contents off.
void ExpectFits(QWidget& window, const char* name) {
    SCOPED_TRACE(name);
    if (!window.isVisible())
        window.show();
    QApplication::processEvents();
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1366, 768));
    const QRect framed = window.geometry().marginsAdded(Frame);
    EXPECT_TRUE(Usable.contains(framed)) << name << ": " << framed.x() << "," << framed.y() << " "
                                         << framed.width() << "x" << framed.height();
    const QSize needed = window.minimumSizeHint();
    EXPECT_GE(window.width(), needed.width()) << name;
    EXPECT_GE(window.height(), needed.height()) << name;
}

struct NoSaveDialog final : SaveFileDialog {
    QString askSaveFileName(QWidget*, const QString&, const QString&, const QString&,
                            const QString&, const QString&) override {
        return {};
    }
};

} // namespace

TEST(WindowFit, EveryWindowOfTheProgramFitsALaptopDisplay) {
    QTemporaryDir dir;
    sample::SampleOptions options;
    options.folder = dir.path() + QStringLiteral("/inst");
    options.customers = 12;
    QString error;
    sample::SampleSummary summary;
    ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &summary)) << error.toStdString();
    test::WriteBytes(summary.workFolder + QStringLiteral("MENU.DAT"), "");
    test::ScriptedPrompter prompter;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    CountingEventPump pump;
    Session session(prompter, clock, pump);
    session.Env.LocationFileOverride = summary.locationFile;
    NoSaveDialog saveDialog;
    DesktopProgram program(session, saveDialog);
    ASSERT_FALSE(program.start());

    ExpectFits(program.parameterScreen(), "FRM_PLWAN401");
    auto* date = dynamic_cast<DateField*>(
        program.parameterScreen().findChild<QLineEdit*>(QStringLiteral("imdKijyun")));
    ASSERT_TRUE(date);
    date->openCalendar();
    ASSERT_TRUE(date->calendarPopup());
    ExpectFits(*date->calendarPopup(), "calendar");
    date->calendarPopup()->hide();
    program.parameterScreen().hide();

    ExpectFits(program.viewpointScreen(), "FRM_PLWAN402");
    program.viewpointScreen().hide();
    program.thresholdScreen().open();
    ExpectFits(program.thresholdScreen(), "FRM_PLWAN404");
    program.thresholdScreen().hide();
    program.parameterScreen().show();
    program.parameterScreen().findChild<QAbstractButton*>(QStringLiteral("cmdF5"))->click();
    ASSERT_TRUE(program.distributionWindow().isVisible())
        << prompter.texts().join(u'|').toStdString();
    ExpectFits(program.distributionWindow(), "DistributionWindow");
    program.distributionWindow().hide();
    program.parameterScreen().hide();
    program.outputScreen().loadState();
    ExpectFits(program.outputScreen(), "FRM_PLWAN403");
    program.outputScreen().hide();

    // The condition screen on its widest tab, the template dialog over it, the help window.
    program.parameterScreen().show();
    program.parameterScreen().findChild<QAbstractButton*>(QStringLiteral("cmdNew"))->click();
    FRM_DMSentk1& conditions = program.conditionScreen();
    ASSERT_TRUE(conditions.isVisible());
    auto* tabs = conditions.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        ExpectFits(conditions, "FRM_DMSentk1");
    }
    FRM_TEMPLATE templates(session.Env.WorkFolder, QStringLiteral("T01"), prompter, &conditions);
    templates.scanFolder();
    ExpectFits(templates, "FRM_TEMPLATE");
    templates.hide();
    conditions.findChild<QAbstractButton*>(QStringLiteral("cmdHelp"))->click();
    QWidget* help = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("Frm_TYuHelp1"))
            help = window;
    ASSERT_TRUE(help);
    ExpectFits(*help, "Frm_TYuHelp1");
    help->hide();
    conditions.hide();

    program.progressWindow().open();
    ExpectFits(program.progressWindow(), "Frm_excelRun");
    program.progressWindow().close();
    program.waitWindow().open(QStringLiteral("抽出中"), QStringLiteral("抽出中"));
    ExpectFits(program.waitWindow(), "ExtractionWaitWindow");
    program.waitWindow().close();

    Frm_excel2jyu& running = program.runningDialog();
    QTimer::singleShot(0, &running, [&running] {
        ExpectFits(running, "Frm_excel2jyu");
        running.done(QDialog::Rejected);
    });
    running.choose();
    running.showWaiting(QStringLiteral("/home/shop/ドキュメント/RFM分析結果.xls"));
    ExpectFits(running, "Frm_excel2jyu waiting");
    running.close();

    // The standard dialogs the program opens: a message box with a long cause, the save dialog.
    QMessageBox box(QMessageBox::Critical, QStringLiteral("ポイント顧客分析（ＲＦＭ分析）"),
                    QStringLiteral("データベースの処理でエラーが発生しました。\n") +
                        QString(400, QChar(u'あ')),
                    QMessageBox::Ok);
    ExpectFits(box, "message box");
    box.hide();
    QFileDialog files(nullptr, QStringLiteral("ファイル保存"), dir.path(), QStringLiteral("*.XLS"));
    files.setAcceptMode(QFileDialog::AcceptSave);
    ExpectFits(files, "save dialog");
    files.hide();
}
