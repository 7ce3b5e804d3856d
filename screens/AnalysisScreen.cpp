#include "screens/AnalysisScreen.h"

#include "app/CommonRoutines.h"
#include "screens/DateField.h"
#include "screens/FieldRoutines.h"
#include "screens/ScreenRoutines.h"

#include <QAbstractButton>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>
#include <QVBoxLayout>

namespace plw {

namespace {

QFrame* panel(const QString& name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

} // namespace

AnalysisScreen::AnalysisScreen(const Environment& environment, Prompter& prompter,
                               const QString& designedCaption, QWidget* parent)
    : QWidget(parent), mEnvironment(environment), mPrompter(prompter) {
    SetScreenTitle(this, designedCaption, mEnvironment);

    mHeader = new QWidget(this);
    mTitle = new QLabel(QStringLiteral("ポイント顧客分析（ＲＦＭ分析）"), mHeader);
    mTitle->setObjectName(QStringLiteral("lblTitle"));

    mDebugPanel = panel(QStringLiteral("pnlDEBUG"), mHeader);
    auto* debugLayout = new QHBoxLayout(mDebugPanel);
    debugLayout->addWidget(new QLabel(QStringLiteral("デバッグモード"), mDebugPanel));

    mOutputPanel = panel(QStringLiteral("pnlOUT"), mHeader);
    auto* outputLayout = new QHBoxLayout(mOutputPanel);
    outputLayout->addWidget(new QLabel(QStringLiteral("ﾌﾟﾘﾝﾀｰ出力先"), mOutputPanel));
    mOutputCode = new QLabel(QStringLiteral("ＳＣＲ"), mOutputPanel);
    mOutputCode->setObjectName(QStringLiteral("lblOUT"));
    outputLayout->addWidget(mOutputCode);

    auto* headerLayout = new QHBoxLayout(mHeader);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->addWidget(mTitle);
    headerLayout->addStretch(1);
    headerLayout->addWidget(mDebugPanel);
    headerLayout->addWidget(mOutputPanel);

    mBody = new QWidget(this);
    mBody->setObjectName(QStringLiteral("body"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(4);
    layout->addWidget(mHeader);
    layout->addWidget(mBody, 1);

    mOutputCode->setText(ToFullWidth(mEnvironment.PrinterDestination));
    mOutputPanel->setVisible(outputPanelApplies());
    mDebugPanel->setVisible(debugPanelApplies());

    // Anywhere on the screen, also while a field or button has the focus.
    const auto functionKey = [this](Qt::Key key, auto action) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    functionKey(Qt::Key_F12, [this] { pressFunctionButton(mF12Button); });
    functionKey(Qt::Key_F9, [this] { pressFunctionButton(mF9Button); });
    functionKey(Qt::Key_F5, [this] { pressFunctionButton(mF5Button); });
    functionKey(Qt::Key_Escape, [this] {
        if (mEscButton && mEscButton->isEnabled())
            mEscButton->click();
    });
}

void AnalysisScreen::togglePanels() {
    if (!mOutputPanel->isHidden())
        mOutputPanel->hide();
    else if (outputPanelApplies())
        mOutputPanel->show();
    if (!mDebugPanel->isHidden())
        mDebugPanel->hide();
    else if (debugPanelApplies())
        mDebugPanel->show();
}

void AnalysisScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (mPlaced)
        return;
    mPlaced = true;
    // Our widget classes have no meta-object of their own, so they are told apart by their type.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        if (auto* field = dynamic_cast<DateField*>(edit))
            field->setPrompter(&mPrompter);
    CentreScreen(this);
    PlaceScreen(this, mEnvironment);
}

void AnalysisScreen::mousePressEvent(QMouseEvent* event) {
    // Only the background: the screen itself, its body and the heading line.
    QWidget* hit = childAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton &&
        (!hit || hit == mBody || hit == mHeader || hit == mTitle)) {
        togglePanels();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

bool AnalysisScreen::outputPanelApplies() const {
    return mEnvironment.PrinterDestination != QLatin1String("LPT");
}

bool AnalysisScreen::debugPanelApplies() const {
    return mEnvironment.DebugMode == 1;
}

void AnalysisScreen::pressFunctionButton(QAbstractButton* button) {
    // As the key were Enter on the focused button: the field being left loses the focus first.
    if (!button || !button->isEnabled() || !button->isVisibleTo(this))
        return;
    SetFocusSafe(button);
    button->click();
}

} // namespace plw
