#pragma once

#include "extract/WaitWindow.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace plw {

class CancelToken;

// The window that stays up while customers are extracted ("抽出中"): a fixed text and the step
// under way. The extraction closes it. For work that may be cancelled it shows "中断", which
// (like its close box then) requests the cancel token; otherwise its close box does nothing.
class ExtractionWaitWindow final : public QWidget, public WaitWindow {
public:
    explicit ExtractionWaitWindow(QWidget* parent = nullptr);

    // The token "中断" requests; none hides the button.
    void setCancel(CancelToken* token);

    void open(const QString& caption, const QString& text) override;
    void setStep(const QString& label) override;
    void close() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* mText;
    QLabel* mStep;
    QPushButton* mCancelButton;
    CancelToken* mCancel = nullptr;
    bool mOpen = false;
};

} // namespace plw
