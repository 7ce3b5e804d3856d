#include "screens/Sub_HDCOPY.h"

#include "app/Clock.h"
#include "screens/FRM_HDCOPY.h"
#include "screens/HardCopyButton.h"
#include "screens/HardCopyDialog.h"
#include "screens/HardCopyPrinter.h"
#include "tests/screens/ScreenAidDoubles.h"
#include "tests/screens/ScriptedSaveDialog.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>

using namespace plw;
using test::PdfPrinters;
using test::ScriptedHardCopyDialog;

namespace {

QString pdfText(const QString& path) {
    return test::ProgramOutput(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
}

class HardCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        mScreen.resize(400, 300);
        mScreen.setObjectName(QStringLiteral("screen"));
        auto* layout = new QVBoxLayout(&mScreen);
        layout->addWidget(new QLabel(QStringLiteral("顧客分析"), &mScreen));
        mButton = new HardCopyButton(&mScreen);
        layout->addWidget(mButton);
        mScreen.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&mScreen));
        // The operator looks at the picture for five seconds before answering.
        mDialog.whileShown = [this] {
            mClock.set(mClock.now().addSecs(5));
        };
    }

    QTemporaryDir mDir;
    FixedClock mClock{QDateTime(QDate(2026, 12, 10), QTime(9, 0, 0))};
    test::ScriptedPrompter mPrompter;
    ScriptedHardCopyDialog mDialog;
    PdfPrinters mPrinter{mDir.path(), {QStringLiteral("事務所のプリンタ")}};
    test::ScriptedSaveDialog mSaveDialog;
    ScreenHardCopy mHardCopy{mClock, mPrompter, mDialog, mPrinter, mSaveDialog};
    QWidget mScreen;
    HardCopyButton* mButton = nullptr;
};

TEST_F(HardCopyTest, PrintedTwiceEachPageCarriesItsOwnTimeOfPrinting) {
    EXPECT_FALSE(mButton->isEnabled());
    ConnectHardCopy(&mScreen, mHardCopy);
    ASSERT_TRUE(mButton->isEnabled());

    mDialog.answers = {HardCopyChoice::Print, HardCopyChoice::Print};
    QTest::mouseClick(mButton, Qt::LeftButton);
    mClock.set(QDateTime(QDate(2026, 12, 10), QTime(9, 10, 0)));
    QTest::mouseClick(mButton, Qt::LeftButton);

    // The window shows the time of the capture; the page the time it was printed.
    EXPECT_EQ(mDialog.dates, (QStringList{QStringLiteral("2026/12/10 09:00:00"),
                                          QStringLiteral("2026/12/10 09:10:00")}));
    EXPECT_EQ(mDialog.sizes.value(0), mScreen.size());
    ASSERT_EQ(mPrinter.files.size(), 2);
    const QString first = pdfText(mPrinter.files[0]);
    const QString second = pdfText(mPrinter.files[1]);
    EXPECT_TRUE(first.contains(QStringLiteral("2026/12/10 09:00:05"))) << first.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("2026/12/10 09:10:05"))) << second.toStdString();
    EXPECT_FALSE(second.contains(QStringLiteral("09:00:05")));

    // One landscape page with the picture on it.
    const QString info = test::ProgramOutput(QStringLiteral("pdfinfo"), {mPrinter.files[0]});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)")).match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble());
    EXPECT_TRUE(test::ProgramOutput(QStringLiteral("pdfimages"),
                                    {QStringLiteral("-list"), mPrinter.files[0]})
                    .contains(QStringLiteral("image")));
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(HardCopyTest, ADoubleClickOnTheScreenPrintsWhereTheScreenAsksForIt) {
    QWidget condition;
    condition.resize(300, 200);
    auto* button = new HardCopyButton(&condition, &condition);
    condition.show();
    ConnectHardCopy(&condition, mHardCopy);
    QTest::mouseDClick(&condition, Qt::LeftButton, {}, QPoint(150, 150));
    ASSERT_EQ(mDialog.sizes, QList<QSize>{QSize(300, 200)});
    // Only where asked: the screen of the fixture does not print on a double click.
    ConnectHardCopy(&mScreen, mHardCopy);
    QTest::mouseDClick(&mScreen, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(mDialog.sizes.size(), 1);
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(HardCopyTest, CancelPrintsNothing) {
    mHardCopy.HardCopy(&mScreen);
    EXPECT_EQ(mDialog.dates.size(), 1);
    EXPECT_TRUE(mPrinter.files.isEmpty());
    EXPECT_TRUE(mPrompter.texts().isEmpty());
}

TEST_F(HardCopyTest, ClipboardPictureIsPrintedAndWithoutOneTheHintShows) {
    QGuiApplication::clipboard()->setText(QStringLiteral("文字だけ"));
    mDialog.answers = {HardCopyChoice::Clipboard};
    mHardCopy.HardCopy(&mScreen);
    EXPECT_EQ(mPrompter.texts(),
              QStringList{QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞに画面がありません\r"
                                         "印刷したい画面を指定するのは、\r"
                                         "Alt を押しながら print を押します\r")});
    EXPECT_EQ(mPrompter.messages()[0].icon, MessageIcon::None);
    EXPECT_TRUE(mPrinter.files.isEmpty());

    QImage picture(50, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QGuiApplication::clipboard()->setImage(picture);
    mDialog.answers = {HardCopyChoice::Clipboard, HardCopyChoice::Print};
    mHardCopy.HardCopy(&mScreen);
    ASSERT_EQ(mDialog.sizes.size(), 3);
    EXPECT_EQ(mDialog.sizes[2], QSize(50, 40));
    EXPECT_EQ(mPrinter.files.size(), 1);
    EXPECT_EQ(mPrompter.texts().size(), 1);
    QGuiApplication::clipboard()->clear();
}

TEST_F(HardCopyTest, WithoutAPrinterThePageGoesToAPdfFileIfTheOperatorWants) {
    PdfPrinters none(mDir.path(), {});
    ScreenHardCopy hardCopy(mClock, mPrompter, mDialog, none, mSaveDialog);
    const QString path = mDir.filePath(QStringLiteral("控え.pdf"));

    mPrompter.answerNext(MessageAnswer::No);
    mDialog.answers = {HardCopyChoice::Print, HardCopyChoice::Print};
    hardCopy.HardCopy(&mScreen);
    EXPECT_TRUE(mSaveDialog.asked.isEmpty());

    mSaveDialog.answers = {path};
    hardCopy.HardCopy(&mScreen);
    ASSERT_EQ(mSaveDialog.asked.size(), 1);
    EXPECT_EQ(mSaveDialog.asked[0][2], QStringLiteral("ハードコピー_20261210_090010.pdf"));
    EXPECT_EQ(mSaveDialog.asked[0][4], QStringLiteral("pdf"));
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(pdfText(path).contains(QStringLiteral("2026/12/10 09:00:10")));

    ASSERT_EQ(mPrompter.messages().size(), 3);
    EXPECT_EQ(
        mPrompter.messages()[0].text,
        QStringLiteral("プリンタがインストールされていません。\rPDFファイルに印刷しますか？"));
    EXPECT_EQ(mPrompter.messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(mPrompter.messages()[2].text, QStringLiteral("PDFファイルに印刷しました\r") + path);
}

// The real window, its buttons and the printer panel.
class HardCopyWindow : public ::testing::Test {
protected:
    HardCopyChoice pressWhileOpen(const QString& button) {
        QTimer::singleShot(0, &mWindow, [this, button] {
            QTest::mouseClick(mWindow.findChild<QPushButton*>(button), Qt::LeftButton);
        });
        return mWindow.choose(mPicture, QStringLiteral("2026/12/10 09:00:00"));
    }

    QTemporaryDir mDir;
    PdfPrinters mPrinter{mDir.path(), {QStringLiteral("事務所のプリンタ"), QStringLiteral("倉庫")}};
    test::ScriptedPrompter mPrompter;
    FRM_HDCOPY mWindow{mPrinter, mPrompter};
    QImage mPicture{QSize(1366, 700), QImage::Format_RGB32};
};

TEST_F(HardCopyWindow, ButtonsTellTheChoiceAndTheWindowFitsTheDisplay) {
    mPicture.fill(Qt::lightGray);
    EXPECT_EQ(pressWhileOpen(QStringLiteral("cmdPrint")), HardCopyChoice::Print);
    EXPECT_EQ(pressWhileOpen(QStringLiteral("cmdClip")), HardCopyChoice::Clipboard);
    EXPECT_EQ(pressWhileOpen(QStringLiteral("cmdExit")), HardCopyChoice::Cancel);
    EXPECT_EQ(mWindow.windowTitle(), QStringLiteral("ハードコピー"));
    EXPECT_EQ(mWindow.findChild<QLabel*>(QStringLiteral("lblDate"))->text(),
              QStringLiteral("2026/12/10 09:00:00"));
    // Room for a frame of 40 pixels and the task bar.
    EXPECT_LE(mWindow.sizeHint().width(), 1366 - 16);
    EXPECT_LE(mWindow.sizeHint().height(), 720 - 40);
}

TEST_F(HardCopyWindow, PrinterPanelMakesTheChosenPrinterTheProgramsPrinter) {
    mWindow.showPicture(mPicture, QString());
    mWindow.show();
    mWindow.findChild<QPushButton*>(QStringLiteral("cmdPrnSel"))->click();
    auto* panel = mWindow.findChild<QWidget*>(QStringLiteral("picPrnSel"));
    auto* list = mWindow.findChild<QListWidget*>(QStringLiteral("lstPrnSel"));
    ASSERT_TRUE(panel->isVisible());
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 0); // the program's printer

    list->clearSelection();
    mWindow.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("選択されていません")});

    list->setCurrentRow(1);
    mWindow.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    EXPECT_EQ(mPrinter.currentPrinter(), QStringLiteral("倉庫"));
    EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("倉庫に設定しました"));
    EXPECT_FALSE(panel->isVisible());

    mWindow.findChild<QPushButton*>(QStringLiteral("cmdPrnSel"))->click();
    EXPECT_EQ(list->currentRow(), 1);
    mWindow.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(mPrinter.currentPrinter(), QStringLiteral("倉庫"));
}

TEST_F(HardCopyWindow, PanelWithoutPrintersSaysSo) {
    PdfPrinters none(mDir.path(), {});
    FRM_HDCOPY window(none, mPrompter);
    window.show();
    window.showPrinterPanel();
    EXPECT_FALSE(window.findChild<QListWidget*>(QStringLiteral("lstPrnSel"))->isVisible());
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("Command2"))->isEnabled());
}

} // namespace
