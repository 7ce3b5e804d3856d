// The desktop program's own start, in a test program whose harness creates no application and
// loads no translations: what the checks see is what the program's start-up did.
#include "program/CommandLine.h"
#include "program/DesktopProgram.h"
#include "tests/support/Files.h"
#include "tools/sample/SampleInstallation.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace plw;

namespace {

// What Qt's own widgets showed once the program had started.
struct StartTexts {
    bool Seen = false;
    QString Buttons;
    QString FileDialogLabels;
    QString MonthName;
    QString DayName;
    QLocale::Language CalendarLanguage = QLocale::AnyLanguage;
};
StartTexts Texts;

// Reads Qt's texts once the program runs its event loop, then ends the program.
void ReadTextsOnceStarted() {
    QMetaObject::invokeMethod(
        qApp,
        [] {
            QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                 QDialogButtonBox::Yes | QDialogButtonBox::No |
                                 QDialogButtonBox::Save);
            QStringList buttons;
            for (QAbstractButton* button : box.buttons())
                buttons << button->text().remove(u'&');
            Texts.Buttons = buttons.join(u'|');

            QFileDialog dialog;
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            QStringList labels;
            for (QLabel* label : dialog.findChildren<QLabel*>())
                labels << label->text();
            Texts.FileDialogLabels = labels.join(u'|');

            Texts.MonthName = QLocale().monthName(12);
            Texts.DayName = QLocale().dayName(1, QLocale::ShortFormat);
            Texts.CalendarLanguage = QCalendarWidget().locale().language();
            Texts.Seen = true;
            // The program may still be inside a step of its start: it ends at its event loop.
            auto* end = new QTimer(qApp);
            QObject::connect(end, &QTimer::timeout, [] { QCoreApplication::exit(0); });
            end->start(50);
        },
        Qt::QueuedConnection);
}

} // namespace

// Qt's own texts are Japanese: the standard buttons, the file dialog and the calendar.
TEST(DesktopStart, StandardDialogsAndTheCalendarSpeakJapanese) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    sample::SampleOptions options;
    options.folder = folder.path() + QStringLiteral("/inst");
    options.customers = 12;
    sample::SampleSummary summary;
    QString error;
    ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &summary)) << error.toStdString();
    // Started from the menu, as the operator starts it.
    test::WriteBytes(summary.workFolder + QStringLiteral("MENU.DAT"), "");

    CommandLine line;
    line.LocationFile = summary.locationFile;
    qAddPreRoutine(ReadTextsOnceStarted);
    char name[] = "plwan40";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(RunDesktop(1, argv, line), 0);
    ASSERT_TRUE(Texts.Seen);

    for (const char* expected : {"OK", "キャンセル", "はい", "いいえ", "保存"})
        EXPECT_TRUE(Texts.Buttons.contains(QString::fromUtf8(expected)))
            << expected << " in " << Texts.Buttons.toStdString();
    EXPECT_TRUE(Texts.FileDialogLabels.contains(QStringLiteral("ファイル名")))
        << Texts.FileDialogLabels.toStdString();
    EXPECT_EQ(Texts.MonthName, QStringLiteral("12月"));
    EXPECT_EQ(Texts.DayName, QStringLiteral("月"));
    EXPECT_EQ(Texts.CalendarLanguage, QLocale::Japanese);
}
