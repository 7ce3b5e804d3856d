#pragma once

#include "extract/WaitWindow.h"

#include <QWidget>

class QLabel;

namespace plw {

// The window that stays up while customers are extracted ("抽出中"): a fixed text and the step
// under way. It has no cancel; its close box does nothing, the extraction closes it.
class ExtractionWaitWindow final : public QWidget, public WaitWindow {
public:
    explicit ExtractionWaitWindow(QWidget* parent = nullptr);

    void open(const QString& caption, const QString& text) override;
    void setStep(const QString& label) override;
    void close() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* mText;
    QLabel* mStep;
    bool mOpen = false;
};

} // namespace plw
