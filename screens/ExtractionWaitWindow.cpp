#include "screens/ExtractionWaitWindow.h"

#include "screens/ScreenRoutines.h"

#include <QCloseEvent>
#include <QLabel>
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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(mText);
    layout->addWidget(mStep);
    setMinimumWidth(240);
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
    if (mOpen)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

} // namespace plw
