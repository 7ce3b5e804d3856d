#include "screens/QtMasterBrowserDialog.h"

#include "screens/MasterBrowserForm.h"
#include "screens/ScreenRoutines.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace plw {

QtMasterBrowserDialog::QtMasterBrowserDialog(const Environment& environment)
    : mEnvironment(environment) {}

QtMasterBrowserDialog::~QtMasterBrowserDialog() = default;

void QtMasterBrowserDialog::showPreparing() {
    if (!mPreparing) {
        mPreparing = std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
        mPreparing->setObjectName(QStringLiteral("PreparingWindow"));
        mPreparing->setWindowTitle(QStringLiteral("一覧準備中"));
        auto* layout = new QVBoxLayout(mPreparing.get());
        auto* text = new QLabel(QStringLiteral("しばらくお待ち下さい"), mPreparing.get());
        text->setAlignment(Qt::AlignCenter);
        text->setMinimumSize(260, 60);
        layout->addWidget(text);
        mPreparing->adjustSize();
    }
    CentreScreen(mPreparing.get());
    mPreparing->show();
}

void QtMasterBrowserDialog::hidePreparing() {
    if (mPreparing)
        mPreparing->hide();
}

std::optional<QString> QtMasterBrowserDialog::choose(MasterBrowser& browser,
                                                     const QString& caption) {
    MasterBrowserForm form(browser, caption, QApplication::activeWindow());
    form.adjustSize();
    CentreScreen(&form);
    PlaceScreen(&form, mEnvironment);
    form.exec();
    return form.chosen();
}

} // namespace plw
