#include "screens/ExtractionWaitWindow.h"

#include "app/CancelToken.h"
#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plw {

ExtractionWaitWindow::ExtractionWaitWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ExtractionWaitWindow"));
    mText = new QLabel(this);
    mText->setObjectName(QStringLiteral("lblText"));
    mText->setAlignment(Qt::AlignCenter);
    mStep = new QLabel(this);
    mStep->setObjectName(QStringLiteral("lblStep"));
    mStep->setAlignment(Qt::AlignCenter);
    mCancelButton = MakeButton(QStringLiteral("cmdCancel"), QStringLiteral("中断"), this);
    mCancelButton->hide();
    connect(mCancelButton, &QPushButton::clicked, this, [this] {
        if (mCancel)
            mCancel->request();
        mCancelButton->setEnabled(false);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(mText);
    layout->addWidget(mStep);
    layout->addWidget(mCancelButton, 0, Qt::AlignCenter);
    setMinimumWidth(240);
}

void ExtractionWaitWindow::setCancel(CancelToken* token) {
    mCancel = token;
    mCancelButton->setVisible(token != nullptr);
    mCancelButton->setEnabled(true);
}

void ExtractionWaitWindow::open(const QString& caption, const QString& text) {
    setWindowTitle(caption);
    mText->setText(text);
    mStep->clear();
    mOpen = true;
    adjustSize();
    CentreScreen(this);
    show();
    raise();
}

void ExtractionWaitWindow::setStep(const QString& label) {
    mStep->setText(label);
}

void ExtractionWaitWindow::close() {
    mOpen = false;
    hide();
}

void ExtractionWaitWindow::closeEvent(QCloseEvent* event) {
    if (!mOpen) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (mCancel && mCancelButton->isEnabled())
        mCancelButton->click();
}

} // namespace plw
