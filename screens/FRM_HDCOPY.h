#pragma once

#include "screens/HardCopyDialog.h"

#include <QDialog>
#include <QImage>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace plw {

class HardCopyPrinter;
class Prompter;

// The hard-copy window "ハードコピー": the picture (imgPRE, scaled to fit), its date and time
// (lblDate), the buttons "この画面を印刷する", "クリップボード内容", "プリンタ選択" and
// "キャンセル", and the printer panel (picPrnSel) that makes the chosen printer the program's
// printer. It stays on top while it is open.
class FRM_HDCOPY final : public QDialog {
public:
    FRM_HDCOPY(HardCopyPrinter& printer, Prompter& prompter, QWidget* parent = nullptr);

    // Shows the picture and the date and time; the operator's choice once the window closes.
    HardCopyChoice choose(const QImage& picture, const QString& dateTime);
    // Fills the picture and the date without opening the window (for a look at it).
    void showPicture(const QImage& picture, const QString& dateTime);

    // "プリンタ選択": the panel with the installed printers, the program's printer selected.
    void showPrinterPanel();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void finish(HardCopyChoice choice);
    void choosePrinter();
    void placePanel();

    HardCopyPrinter& mPrinter;
    Prompter& mPrompter;
    HardCopyChoice mChoice = HardCopyChoice::Cancel;
    QImage mPicture;
    QLabel* mImage = nullptr;
    QLabel* mDate = nullptr;
    QPushButton* mPrint = nullptr;
    QFrame* mPanel = nullptr;
    QListWidget* mPrinters = nullptr;
    QLabel* mNoPrinter = nullptr;
    QPushButton* mSet = nullptr;
};

} // namespace plw
