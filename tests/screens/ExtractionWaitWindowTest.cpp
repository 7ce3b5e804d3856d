#include "screens/ExtractionWaitWindow.h"

#include "app/CancelToken.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace plw;

namespace {

QString LabelText(QWidget& window, const char* name) {
    auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_TRUE(label) << name;
    return label ? label->text() : QString();
}

TEST(ExtractionWaitWindow, ShowsTheCaptionTextAndEachStepUntilClosed) {
    ExtractionWaitWindow window;
    WaitWindow& wait = window;
    wait.open(WaitWindowCaption, WaitWindowText);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("抽出中"));
    EXPECT_EQ(LabelText(window, "lblText"), QStringLiteral("現在処理中です。"));
    EXPECT_TRUE(LabelText(window, "lblStep").isEmpty());

    for (int n = 1; n <= 8; ++n) {
        const QString step = QStringLiteral("Step %1").arg(n, 2);
        wait.setStep(step);
        EXPECT_EQ(LabelText(window, "lblStep"), step);
    }
    EXPECT_EQ(LabelText(window, "lblStep"), QStringLiteral("Step  8"));

    // The close box does not end the wait; the extraction does.
    static_cast<QWidget&>(window).close();
    EXPECT_TRUE(window.isVisible());
    wait.close();
    EXPECT_FALSE(window.isVisible());

    // Opened again it starts without the last step.
    wait.open(WaitWindowCaption, WaitWindowText);
    EXPECT_TRUE(LabelText(window, "lblStep").isEmpty());
    wait.close();
}

TEST(ExtractionWaitWindow, WorkThatMayBeCancelledGetsAButtonAndTheCloseBoxForIt) {
    ExtractionWaitWindow window;
    WaitWindow& wait = window;
    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    ASSERT_TRUE(cancel);
    wait.open(WaitWindowCaption, WaitWindowText);
    EXPECT_FALSE(cancel->isVisible());
    wait.close();

    CancelToken token;
    window.setCancel(&token);
    wait.open(WaitWindowCaption, WaitWindowText);
    ASSERT_TRUE(cancel->isVisible());
    EXPECT_EQ(cancel->text(), QStringLiteral("中断"));
    cancel->click();
    EXPECT_TRUE(token.requested());
    EXPECT_TRUE(window.isVisible()); // the work closes it once it has stopped
    wait.close();

    // The close box asks for the cancel too.
    token.reset();
    window.setCancel(&token);
    wait.open(WaitWindowCaption, WaitWindowText);
    static_cast<QWidget&>(window).close();
    EXPECT_TRUE(token.requested());
    EXPECT_TRUE(window.isVisible());
    wait.close();
    window.setCancel(nullptr);
}

} // namespace
