#include "screens/Frm_TYuHelp1.h"

#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace plw {

namespace {

// The picture drawn at build time, scaled into its place with its proportions kept.
class HelpPicture final : public QWidget {
public:
    explicit HelpPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Help1"));
        mImage.load(QStringLiteral(":/help/ConditionHelp.png"));
    }

    const QImage& image() const { return mImage; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (mImage.isNull() || width() <= 0 || height() <= 0)
            return;
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize shown = mImage.size().scaled(size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint((width() - shown.width()) / 2, 0), shown), mImage);
    }

private:
    QImage mImage;
};

} // namespace

Frm_TYuHelp1::Frm_TYuHelp1(const Environment& environment, QWidget* parent)
    : QWidget(parent, Qt::Window), mEnvironment(environment) {
    setObjectName(QStringLiteral("Frm_TYuHelp1"));
    setWindowTitle(QStringLiteral("抽出条件の説明"));
    auto* picture = new HelpPicture(this);
    mPicture = picture;
    mClose = MakeButton(QStringLiteral("Command1"), QStringLiteral("閉じる"), this);
    connect(mClose, &QPushButton::clicked, this, &QWidget::hide);
    // The size of the design: the picture at its own size above the strip.
    const QSize designed = picture->image().isNull() ? QSize(960, 610) : picture->image().size();
    resize(designed.width(), designed.height() + mClose->sizeHint().height() + 8);
    setMinimumSize(240, 120);
    layOut();
}

QRect Frm_TYuHelp1::pictureRect() const {
    // A strip for the button; a window too low for it leaves the picture no height.
    const int strip = mClose->sizeHint().height() + 8;
    return QRect(0, 0, width(), qMax(0, height() - strip));
}

void Frm_TYuHelp1::layOut() {
    mPicture->setGeometry(pictureRect());
    const QSize button = mClose->sizeHint().expandedTo(QSize(96, 0));
    mClose->setGeometry(width() - button.width() - 8, height() - button.height() - 4,
                        button.width(), button.height());
}

void Frm_TYuHelp1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (mPlaced)
        return;
    mPlaced = true;
    CentreScreen(this);
    PlaceScreen(this, mEnvironment);
}

void Frm_TYuHelp1::keyPressEvent(QKeyEvent* event) {
    // Esc closes the help window as it leaves every other window of the program.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Frm_TYuHelp1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void ShowHelpWindow(std::unique_ptr<Frm_TYuHelp1>& window, const Environment& environment) {
    if (!window)
        window = std::make_unique<Frm_TYuHelp1>(environment);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace plw
