#include "screens/MasterBrowserForm.h"

#include "db/MasterBrowser.h"
#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace plw {

namespace {

// A caption beside a button, naming its key.
QLabel* keyCaption(const QString& key, QWidget* parent) {
    auto* label = new QLabel(key, parent);
    label->setFrameShape(QFrame::Box);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(48);
    return label;
}

} // namespace

MasterBrowserForm::MasterBrowserForm(MasterBrowser& browser, const QString& caption,
                                     QWidget* parent)
    : QDialog(parent), mBrowser(browser) {
    setObjectName(browser.table().FormName);
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Headings over the columns of a line: number, key, date (from column 14), count, memo.
    auto* heading = new QLabel(QStringLiteral("SEQ   番号   発送予定日      件数  メモ"), this);
    heading->setFont(ColumnListFont());
    mPage = new QLabel(this);
    mPage->setObjectName(QStringLiteral("lblPage"));
    mPage->setFrameShape(QFrame::Panel);
    mPage->setFrameShadow(QFrame::Sunken);
    mPage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mPage->setMinimumWidth(72);
    auto* top = new QHBoxLayout;
    top->addWidget(heading, 1);
    top->addWidget(mPage);

    mList = new QListWidget(this);
    mList->setObjectName(QStringLiteral("lstITIRAN"));
    mList->setFont(ColumnListFont());
    mList->setUniformItemSizes(true);
    mList->installEventFilter(this);
    const QFontMetrics metrics(mList->font());
    mList->setMinimumSize(metrics.horizontalAdvance(QString(100, u'0')) + 24,
                          metrics.height() * (MasterBrowser::PageRows + 1) + 8);
    connect(mList, &QListWidget::itemDoubleClicked, this, [this] { choose(); });

    auto* choose = MakeButton(QStringLiteral("cmdSen"), QStringLiteral("選択"), this);
    auto* left = MakeButton(QStringLiteral("cmdLEFT"), QStringLiteral("前頁"), this);
    auto* right = MakeButton(QStringLiteral("cmdRIGHT"), QStringLiteral("次頁"), this);
    auto* close = MakeButton(QStringLiteral("cmdCAN"), QStringLiteral("閉る"), this);
    connect(choose, &QPushButton::clicked, this, [this] { this->choose(); });
    connect(left, &QPushButton::clicked, this, [this] {
        if (mBrowser.previousPage())
            showPage();
    });
    connect(right, &QPushButton::clicked, this, [this] {
        if (mBrowser.nextPage())
            showPage();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(keyCaption(QStringLiteral("Enter"), this));
    buttons->addWidget(choose);
    buttons->addSpacing(24);
    buttons->addWidget(left);
    buttons->addWidget(right);
    buttons->addStretch(1);
    buttons->addWidget(keyCaption(QStringLiteral("ESC"), this));
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(mList, 1);
    layout->addLayout(buttons);
    showPage();
    mList->setFocus();
}

bool MasterBrowserForm::eventFilter(QObject* watched, QEvent* event) {
    // A list that gets the focus makes its first line current, which looks chosen: until the
    // operator selects a line none is current.
    if (watched == mList && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (mList->selectedItems().isEmpty())
                    mList->selectionModel()->setCurrentIndex(QModelIndex(),
                                                             QItemSelectionModel::NoUpdate);
            },
            Qt::QueuedConnection);
    if (watched == mList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choose();
            return true;
        }
        // With no line selected the first arrow key selects the first line.
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && mList->selectedItems().isEmpty() &&
            mList->count() > 0) {
            mList->setCurrentRow(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MasterBrowserForm::showPage() {
    mList->clear();
    mList->addItems(mBrowser.lines());
    mList->setCurrentRow(-1);
    mList->clearSelection();
    mPage->setText(mBrowser.pageLabel());
}

void MasterBrowserForm::choose() {
    QListWidgetItem* item = mList->currentItem();
    const int row = item && item->isSelected() ? mList->row(item) : -1;
    mChosen = mBrowser.choose(row);
    if (mChosen)
        accept();
}

} // namespace plw
