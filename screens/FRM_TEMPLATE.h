#pragma once

#include "screens/TemplateDialog.h"
#include "settings/TemplateChooser.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace plw {

class TextField;

// The template dialog: the templates of one kind in the work folder (newest first, numbered),
// the name box, the filter, and the buttons to order, delete, load and save, each also on its
// function key. Selecting a line puts its name in the name box; a double click loads. The
// checks and confirmations are the TemplateChooser's; loading, saving and cancelling close the
// dialog with the choice, deleting keeps it open.
class FRM_TEMPLATE final : public QDialog {
public:
    FRM_TEMPLATE(const QString& workFolder, const QString& kind, Prompter& prompter,
                 QWidget* parent = nullptr);

    TemplateChooser& chooser() { return mChooser; }
    TemplateDialog::Choice choice() const { return {mChooser.action(), mChooser.path()}; }

    // Scans the folder and shows the list (newest first).
    void scanFolder();

protected:
    void reject() override;

private:
    QWidget* buildFilter();
    QWidget* buildButtons();
    void refill();
    // Runs an action of the chooser: closes the dialog when it says so, else focuses what a
    // refusal named.
    void act(bool closes);
    void press(QPushButton* button);

    TemplateChooser mChooser;
    QListWidget* mList = nullptr;
    TextField* mName = nullptr;
    TextField* mGrep1 = nullptr;
    TextField* mGrep2 = nullptr;
    QRadioButton* mNone = nullptr;
    QRadioButton* mAnd = nullptr;
    QRadioButton* mOr = nullptr;
    QLabel* mFiltering = nullptr;
    QLabel* mSkipped = nullptr;
    QPushButton* mF1 = nullptr;
    QPushButton* mF2 = nullptr;
    QPushButton* mF4 = nullptr;
    QPushButton* mF6 = nullptr;
    QPushButton* mF8 = nullptr;
    QPushButton* mEsc = nullptr;
};

} // namespace plw
