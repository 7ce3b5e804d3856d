#pragma once

#include "app/Environment.h"

#include <QWidget>

class QAbstractButton;
class QFrame;
class QLabel;

namespace plw {

class Prompter;

// The frame every analysis screen shares: the window caption of a main screen, the heading
// "ポイント顧客分析（ＲＦＭ分析）", the output-destination panel pnlOUT (hidden for "LPT") and the
// debug panel pnlDEBUG (debug flag 1), which a click on the background hides and shows again;
// centred on the display when first shown, then the installation's wide-screen placement. Keys
// are previewed for the whole screen: F12 (and F9, F5 where set) puts the focus on its button and
// presses it, so the button's checks run exactly as for a click; Esc presses the ESC button.
// A screen puts its own controls into body().
class AnalysisScreen : public QWidget {
public:
    AnalysisScreen(const Environment& environment, Prompter& prompter,
                   const QString& designedCaption = QStringLiteral("(PLWAN401) "),
                   QWidget* parent = nullptr);

    QWidget* body() const { return mBody; }
    const Environment& environment() const { return mEnvironment; }
    Prompter& prompter() const { return mPrompter; }

    void setF12Button(QAbstractButton* button) { mF12Button = button; }
    void setF9Button(QAbstractButton* button) { mF9Button = button; }
    void setF5Button(QAbstractButton* button) { mF5Button = button; }
    void setEscButton(QAbstractButton* button) { mEscButton = button; }

    // The background click: a shown panel is hidden, a hidden one shown again where it applies.
    void togglePanels();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool outputPanelApplies() const;
    bool debugPanelApplies() const;
    void pressFunctionButton(QAbstractButton* button);

    Environment mEnvironment;
    Prompter& mPrompter;
    QWidget* mHeader = nullptr;
    QLabel* mTitle = nullptr;
    QFrame* mOutputPanel = nullptr;
    QLabel* mOutputCode = nullptr;
    QFrame* mDebugPanel = nullptr;
    QWidget* mBody = nullptr;
    QAbstractButton* mF12Button = nullptr;
    QAbstractButton* mF9Button = nullptr;
    QAbstractButton* mF5Button = nullptr;
    QAbstractButton* mEscButton = nullptr;
    bool mPlaced = false;
};

} // namespace plw
