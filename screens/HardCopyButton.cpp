#include "screens/HardCopyButton.h"

#include "screens/Sub_HDCOPY.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace plw {

namespace {

// A small printer: paper in, the body, paper out.
QIcon printerIcon() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 1.5, 9, 6));
    p.setBrush(QColor(96, 96, 96));
    p.drawRoundedRect(QRectF(1.5, 7.5, 17, 7), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 12.5, 9, 6));
    p.drawLine(QPointF(7, 15), QPointF(13, 15));
    return QIcon(pixmap);
}

} // namespace

HardCopyButton::HardCopyButton(QWidget* parent, QWidget* doubleClickArea)
    : QToolButton(parent), mDoubleClickArea(doubleClickArea) {
    setObjectName(QStringLiteral("imgHDCopy"));
    setText(QStringLiteral("ハードコピー"));
    setIcon(printerIcon());
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setToolTip(QStringLiteral("この画面を印刷します"));
    setFocusPolicy(Qt::NoFocus);
    setEnabled(false);
    connect(this, &QToolButton::clicked, this, [this] { hardCopy(); });
    if (mDoubleClickArea)
        mDoubleClickArea->installEventFilter(this);
}

bool HardCopyButton::eventFilter(QObject* watched, QEvent* event) {
    // Double clicks that reach the area itself: on its background, or passed on by a control
    // that does not take them.
    if (watched == mDoubleClickArea && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && isEnabled()) {
        hardCopy();
        return true;
    }
    return QToolButton::eventFilter(watched, event);
}

void HardCopyButton::hardCopy() {
    if (mHardCopy)
        mHardCopy->HardCopy(this);
}

void HardCopyButton::setHardCopy(ScreenHardCopy* hardCopy) {
    mHardCopy = hardCopy;
    setEnabled(mHardCopy != nullptr);
}

void ConnectHardCopy(QWidget* screen, ScreenHardCopy& hardCopy) {
    // The class has no meta-object of its own: found by name, then told apart by its type.
    for (QToolButton* button : screen->findChildren<QToolButton*>(QStringLiteral("imgHDCopy")))
        if (auto* hardCopyButton = dynamic_cast<HardCopyButton*>(button))
            hardCopyButton->setHardCopy(&hardCopy);
}

} // namespace plw
