#pragma once

#include "app/CancelToken.h"
#include "app/ProgressSink.h"
#include "app/TwCom_Excelomati.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace plw {

class Prompter;

// The progress window of the workbook step ("経過表示"): the step under way, the count and bar
// while the customer list is written, and "中断", which asks and then sets the cancel flag.
// Its close box does what "中断" does; close() of the sink only hides it.
class Frm_excelRun final : public QWidget, public ProgressSink {
public:
    // cancel is requested once the operator confirmed the cancel.
    Frm_excelRun(Prompter& prompter, CancelToken& cancel, QWidget* parent = nullptr);

    void open() override;
    void showStep(const QString& text) override;
    void showCount(const QString& text) override;
    void showPercent(int percent) override;
    void setCounterVisible(bool visible) override;
    void close() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void askCancel();

    Prompter& mPrompter;
    CancelToken& mCancelToken;
    QLabel* mKey1;
    QLabel* mKey2;
    QLabel* mKen1;
    QLabel* mKen2;
    QProgressBar* mBar;
    QPushButton* mCancel;
};

} // namespace plw
