#include "screens/ExtractionWaitWindow.h"

#include <QLabel>
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

} // namespace
