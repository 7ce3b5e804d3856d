#include "screens/FRM_HDCOPY.h"

#include "app/Prompter.h"
#include "screens/HardCopyPrinter.h"
#include "screens/ScreenButton.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace plw {

namespace {

// The preview's room: the whole window stays within 1366 x 720 with its frame.
constexpr QSize PreviewSize(1100, 560);

} // namespace

FRM_HDCOPY::FRM_HDCOPY(HardCopyPrinter& printer, Prompter& prompter, QWidget* parent)
    : QDialog(parent), mPrinter(printer), mPrompter(prompter) {
    setObjectName(QStringLiteral("FRM_HDCOPY"));
    setWindowTitle(QStringLiteral("ハードコピー"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    mDate = new QLabel(this);
    mDate->setObjectName(QStringLiteral("lblDate"));
    mImage = new QLabel(this);
    mImage->setObjectName(QStringLiteral("imgPRE"));
    mImage->setFixedSize(PreviewSize);
    mImage->setAlignment(Qt::AlignCenter);
    mImage->setFrameShape(QFrame::Box);

    mPrint = MakeButton(QStringLiteral("cmdPrint"), QStringLiteral("この画面を印刷する"), this);
    auto* clip = MakeButton(QStringLiteral("cmdClip"), QStringLiteral("クリップボード内容"), this);
    auto* select = MakeButton(QStringLiteral("cmdPrnSel"), QStringLiteral("プリンタ選択"), this);
    auto* exit = MakeButton(QStringLiteral("cmdExit"), QStringLiteral("キャンセル"), this);
    connect(mPrint, &QPushButton::clicked, this, [this] { finish(HardCopyChoice::Print); });
    connect(clip, &QPushButton::clicked, this, [this] { finish(HardCopyChoice::Clipboard); });
    connect(select, &QPushButton::clicked, this, [this] { showPrinterPanel(); });
    connect(exit, &QPushButton::clicked, this, [this] { finish(HardCopyChoice::Cancel); });

    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(mDate);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mPrint);
    buttons->addWidget(clip);
    buttons->addStretch(1);
    buttons->addWidget(select);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(mImage);
    layout->addLayout(buttons);

    // The printer panel lies over the picture while it is open.
    mPanel = new QFrame(this);
    mPanel->setObjectName(QStringLiteral("picPrnSel"));
    mPanel->setFrameShape(QFrame::Panel);
    mPanel->setFrameShadow(QFrame::Raised);
    mPanel->setAutoFillBackground(true);
    mPrinters = new QListWidget(mPanel);
    mPrinters->setObjectName(QStringLiteral("lstPrnSel"));
    mNoPrinter = new QLabel(QStringLiteral("プリンタがインストールされていません。\n"
                                           "印刷するときはPDFファイルに保存できます。"),
                            mPanel);
    mNoPrinter->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mSet = MakeButton(QStringLiteral("Command2"), QStringLiteral("設定"), mPanel);
    auto* close = MakeButton(QStringLiteral("Command1"), QStringLiteral("ｷｬﾝｾﾙ"), mPanel);
    connect(mSet, &QPushButton::clicked, this, [this] { choosePrinter(); });
    connect(mPrinters, &QListWidget::itemDoubleClicked, this, [this] { choosePrinter(); });
    connect(close, &QPushButton::clicked, mPanel, &QWidget::hide);
    auto* panelButtons = new QHBoxLayout;
    panelButtons->addStretch(1);
    panelButtons->addWidget(mSet);
    panelButtons->addWidget(close);
    auto* panelLayout = new QVBoxLayout(mPanel);
    auto* heading = new QLabel(QStringLiteral("プリンタ選択"), mPanel);
    heading->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    panelLayout->addWidget(heading);
    // The list, or with no printer the note in its place.
    panelLayout->addWidget(mPrinters, 1);
    panelLayout->addWidget(mNoPrinter, 1);
    panelLayout->addLayout(panelButtons);
    mPanel->resize(420, 260);
    mPanel->hide();
}

HardCopyChoice FRM_HDCOPY::choose(const QImage& picture, const QString& dateTime) {
    showPicture(picture, dateTime);
    mChoice = HardCopyChoice::Cancel;
    mPrint->setFocus();
    exec();
    return mChoice;
}

void FRM_HDCOPY::showPicture(const QImage& picture, const QString& dateTime) {
    mPicture = picture;
    mDate->setText(dateTime);
    // Never enlarged: a small picture keeps its size, a screen is shrunk to fit.
    QPixmap shown = QPixmap::fromImage(picture);
    if (shown.width() > PreviewSize.width() - 4 || shown.height() > PreviewSize.height() - 4)
        shown =
            shown.scaled(PreviewSize - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    mImage->setPixmap(shown);
}

void FRM_HDCOPY::showPrinterPanel() {
    mPrinters->clear();
    const QStringList names = mPrinter.printerNames();
    mPrinters->addItems(names);
    const QString current = mPrinter.currentPrinter();
    for (int row = 0; row < mPrinters->count(); ++row)
        if (mPrinters->item(row)->text() == current)
            mPrinters->setCurrentRow(row);
    mPrinters->setVisible(!names.isEmpty());
    mNoPrinter->setVisible(names.isEmpty());
    mSet->setEnabled(!names.isEmpty());
    placePanel();
    mPanel->show();
    mPanel->raise();
    mPrinters->setFocus();
}

void FRM_HDCOPY::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placePanel();
}

void FRM_HDCOPY::finish(HardCopyChoice choice) {
    mChoice = choice;
    mPanel->hide();
    if (choice == HardCopyChoice::Cancel)
        reject();
    else
        accept();
}

void FRM_HDCOPY::choosePrinter() {
    QListWidgetItem* item = mPrinters->currentItem();
    if (!item || !item->isSelected()) {
        mPrompter.show(QStringLiteral("選択されていません"));
        return;
    }
    const QString name = item->text();
    if (!mPrinter.setCurrentPrinter(name)) {
        mPrompter.show(name + QStringLiteral("は見つかりません"), MessageIcon::Critical);
        return;
    }
    mPanel->hide();
    mPrompter.show(name + QStringLiteral("に設定しました"));
}

void FRM_HDCOPY::placePanel() {
    const QRect over = mImage->geometry();
    mPanel->move(over.center() - QPoint(mPanel->width() / 2, mPanel->height() / 2));
}

} // namespace plw
