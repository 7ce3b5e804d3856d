#include "screens/Frm_excelRun.h"

#include "app/Prompter.h"
#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace plw {

namespace {

QLabel* NamedLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QProgressBar* NamedBar(const QString& name, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

} // namespace

Frm_excelRun::Frm_excelRun(Prompter& prompter, CancelToken& cancel, QWidget* parent)
    : QWidget(parent, Qt::Window), mPrompter(prompter), mCancelToken(cancel) {
    setObjectName(QStringLiteral("Frm_excelRun"));
    setWindowTitle(QStringLiteral("経過表示"));

    // The frame line above the texts and the second row of labels and bar belong to the
    // window's layout; nothing drives them.
    auto* lblD1 = NamedLabel(QStringLiteral("lblD1"), this);
    lblD1->setFrameShape(QFrame::HLine);
    lblD1->setFrameShadow(QFrame::Sunken);
    mKey1 = NamedLabel(QStringLiteral("lblKey1"), this);
    mKey2 = NamedLabel(QStringLiteral("lblKey2"), this);
    mKen1 = NamedLabel(QStringLiteral("lblKen1"), this);
    mKen1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mKen2 = NamedLabel(QStringLiteral("lblKen2"), this);
    mKen2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mBar = NamedBar(QStringLiteral("proBAR"), this);
    auto* lblKey3 = NamedLabel(QStringLiteral("lblKey3"), this);
    auto* lblKen4 = NamedLabel(QStringLiteral("lblKen4"), this);
    auto* proBAR2 = NamedBar(QStringLiteral("proBAR2"), this);
    proBAR2->hide();
    mCancel = MakeButton(QStringLiteral("Command1"), QStringLiteral("中断"), this);

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(0, 220);
    grid->setColumnMinimumWidth(1, 140);
    grid->addWidget(mKey1, 0, 0);
    grid->addWidget(mKen1, 0, 1);
    grid->addWidget(mKey2, 1, 0);
    grid->addWidget(mKen2, 1, 1);
    grid->addWidget(mBar, 2, 0, 1, 2);
    grid->addWidget(lblKey3, 3, 0);
    grid->addWidget(lblKen4, 3, 1);
    grid->addWidget(proBAR2, 4, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblD1);
    layout->addLayout(grid);
    layout->addWidget(mCancel, 0, Qt::AlignHCenter);

    connect(mCancel, &QPushButton::clicked, this, [this] { askCancel(); });
}

void Frm_excelRun::open() {
    if (isVisible())
        return;
    mKey2->clear();
    mKen2->clear();
    adjustSize();
    CentreScreen(this);
    show();
    raise();
}

void Frm_excelRun::showStep(const QString& text) {
    mKey1->setText(text);
}

void Frm_excelRun::showCount(const QString& text) {
    mKen1->setText(text);
}

void Frm_excelRun::showPercent(int percent) {
    mBar->setValue(qBound(0, percent, 100));
}

void Frm_excelRun::setCounterVisible(bool visible) {
    mKen1->setVisible(visible);
    mBar->setVisible(visible);
}

void Frm_excelRun::close() {
    hide();
}

void Frm_excelRun::closeEvent(QCloseEvent* event) {
    // The window stays until the run ends; its close box only asks for the cancel.
    event->ignore();
    askCancel();
}

void Frm_excelRun::askCancel() {
    if (mPrompter.show(QStringLiteral("処理を中断してもよろしいですか？"), MessageIcon::Question,
                       MessageButtons::YesNo) == MessageAnswer::Yes)
        mCancelToken.request();
}

} // namespace plw
