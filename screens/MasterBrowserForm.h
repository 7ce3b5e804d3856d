#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QListWidget;

namespace plw {

class MasterBrowser;

// The window of a master browser (FRM_TBLBRSM4 for the direct-mail master, FRM_TBLBRSM6 for the
// mail master): the page's lines in lstITIRAN, the page number in lblPage, "選択" (also Enter
// in the list and a double click), "前頁", "次頁" and "閉る" (also Esc). The paging, the
// messages and the chosen key are the browser's.
class MasterBrowserForm final : public QDialog {
public:
    MasterBrowserForm(MasterBrowser& browser, const QString& caption, QWidget* parent = nullptr);

    // The key chosen when the window closed, or nothing after "閉る".
    const std::optional<QString>& chosen() const { return mChosen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage();
    void choose();

    MasterBrowser& mBrowser;
    QListWidget* mList = nullptr;
    QLabel* mPage = nullptr;
    std::optional<QString> mChosen;
};

} // namespace plw
