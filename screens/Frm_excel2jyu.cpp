#include "screens/Frm_excel2jyu.h"

#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace plw {

namespace {

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QRadioButton* NamedOption(const QString& name, const QString& text, QWidget* parent) {
    auto* option = new QRadioButton(text, parent);
    option->setObjectName(name);
    return option;
}

} // namespace

Frm_excel2jyu::Frm_excel2jyu(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Frm_excel2jyu"));
    setWindowTitle(QStringLiteral("ＥＸＣＥＬ２重起動"));

    mChoicePage = new QWidget(this);
    mChoicePage->setObjectName(QStringLiteral("fraChoice"));
    auto* choiceLayout = new QVBoxLayout(mChoicePage);
    choiceLayout->setContentsMargins(0, 0, 0, 0);
    choiceLayout->addWidget(NamedLabel(QStringLiteral("lblMsg1"),
                                       QStringLiteral("Excelが起動しています。"), mChoicePage));
    choiceLayout->addWidget(
        NamedLabel(QStringLiteral("lblMsg2"),
                   QStringLiteral("この処理はExcelが起動している場合は行えません。"), mChoicePage));
    choiceLayout->addWidget(NamedLabel(QStringLiteral("lblMsg3"),
                                       QStringLiteral("Excelを終了させてください。"), mChoicePage));
    // Who holds the workbook: the operator may remove a lock that nobody uses any more.
    mHolder = NamedLabel(QStringLiteral("lblHolder"), QString(), mChoicePage);
    mHolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mHolder->setWordWrap(true);
    mHolder->setMaximumWidth(640);
    mHolder->hide();
    choiceLayout->addWidget(mHolder);
    auto* options = new QGroupBox(QStringLiteral("処理の選択"), mChoicePage);
    options->setObjectName(QStringLiteral("fraSentaku"));
    mAutoQuit = NamedOption(QStringLiteral("optAutoQuit"),
                            QStringLiteral("Excelを自動終了させて、処理を続行する。"), options);
    mClosed = NamedOption(QStringLiteral("optZokkou"),
                          QStringLiteral("Excelを終了したので、処理を続行する。"), options);
    mAbandon = NamedOption(QStringLiteral("optTyudan"), QStringLiteral("処理を中断する"), options);
    auto* optionLayout = new QVBoxLayout(options);
    optionLayout->addWidget(mAutoQuit);
    optionLayout->addWidget(mClosed);
    optionLayout->addWidget(mAbandon);
    choiceLayout->addWidget(options);
    mGo = MakeButton(QStringLiteral("cmdF12"), QStringLiteral("選択した処理を行う"), mChoicePage);
    mGo->setDefault(true);
    choiceLayout->addWidget(mGo, 0, Qt::AlignRight);

    mWaitPage = new QWidget(this);
    mWaitPage->setObjectName(QStringLiteral("fraWait"));
    auto* waitLayout = new QVBoxLayout(mWaitPage);
    waitLayout->setContentsMargins(0, 0, 0, 0);
    waitLayout->addWidget(NamedLabel(QStringLiteral("lblWait"),
                                     QStringLiteral("次のファイルが閉じられるのを待っています。"),
                                     mWaitPage));
    mWaitFile = NamedLabel(QStringLiteral("lblWaitFile"), QString(), mWaitPage);
    mWaitFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    waitLayout->addWidget(mWaitFile);
    waitLayout->addWidget(NamedLabel(QStringLiteral("lblWait2"),
                                     QStringLiteral("ファイルが閉じられると処理を続行します。"),
                                     mWaitPage));
    mWaitCancel = MakeButton(QStringLiteral("cmdWaitCancel"), QStringLiteral("中断"), mWaitPage);
    waitLayout->addWidget(mWaitCancel, 0, Qt::AlignRight);
    mWaitPage->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mChoicePage);
    layout->addWidget(mWaitPage);

    connect(mGo, &QPushButton::clicked, this, [this] { accept(); });
    connect(mWaitCancel, &QPushButton::clicked, this, [this] { mWaitCancelled = true; });
}

RunningSpreadsheetDialog::Choice Frm_excel2jyu::choose(const QString& holder) {
    hide();
    QString shown = holder;
    mHolder->setText(shown.replace(u'\r', u'\n'));
    mHolder->setVisible(!holder.isEmpty());
    mWaiting = false;
    mWaitPage->hide();
    mChoicePage->show();
    // The automatic option is chosen when the dialog opens; shown again within the same check it
    // keeps what the operator chose.
    if (!mLoaded)
        mAutoQuit->setChecked(true);
    mLoaded = true;
    mGo->setFocus();
    adjustSize();
    CentreScreen(this);
    if (exec() != QDialog::Accepted)
        return Choice::Abandon;
    if (mClosed->isChecked())
        return Choice::Closed;
    if (mAbandon->isChecked())
        return Choice::Abandon;
    return Choice::AutoQuit;
}

void Frm_excel2jyu::showWaiting(const QString& file) {
    mWaiting = true;
    mWaitCancelled = false;
    mWaitFile->setText(file);
    mChoicePage->hide();
    mWaitPage->show();
    setModal(false);
    adjustSize();
    CentreScreen(this);
    show();
    raise();
    mWaitCancel->setFocus();
}

void Frm_excel2jyu::close() {
    mWaiting = false;
    mLoaded = false;
    hide();
}

void Frm_excel2jyu::reject() {
    // While waiting, the close box and Esc cancel the wait; the window stays until close().
    if (mWaiting) {
        mWaitCancelled = true;
        return;
    }
    QDialog::reject();
}

void Frm_excel2jyu::keyPressEvent(QKeyEvent* event) {
    // F12 does what the button it names does.
    if (event->key() == Qt::Key_F12 && !mWaiting) {
        mGo->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace plw
