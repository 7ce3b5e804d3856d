#pragma once

#include "report/RunningSpreadsheetDialog.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace plw {

// The already-running dialog ("ＥＸＣＥＬ２重起動"): the operator chooses how to go on while
// the output workbook is open in a spreadsheet program, and may then watch the wait for that
// workbook to be let go, with a button that cancels the wait.
class Frm_excel2jyu final : public QDialog, public RunningSpreadsheetDialog {
public:
    explicit Frm_excel2jyu(QWidget* parent = nullptr);

    // Modal; optAutoQuit is selected when it opens (again after close()), the operator's choice
    // kept when it is shown again before that. Closing it without cmdF12 (close box, Esc)
    // abandons the run. The holder (lock file, user, host, date) is shown under the messages.
    Choice choose(const QString& holder) override;
    // Shown without blocking: the awaited file and "中断"; the close box and Esc cancel too.
    void showWaiting(const QString& file) override;
    bool waitCancelled() override { return mWaitCancelled; }
    void close() override;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* mChoicePage;
    QWidget* mWaitPage;
    QRadioButton* mAutoQuit;
    QRadioButton* mClosed;
    QRadioButton* mAbandon;
    QPushButton* mGo;
    QLabel* mHolder;
    QLabel* mWaitFile;
    QPushButton* mWaitCancel;
    bool mLoaded = false;
    bool mWaiting = false;
    bool mWaitCancelled = false;
};

} // namespace plw
