#include "screens/ChartSamplePicture.h"

#include <QMouseEvent>
#include <QPainter>

#include <array>

namespace plw {

namespace {

// Three series of six groups, the same figures in every picture.
constexpr std::array<std::array<int, 6>, 3> Series{{
    {5, 8, 6, 3, 7, 4},
    {3, 4, 7, 5, 2, 6},
    {2, 3, 2, 6, 4, 3},
}};
const std::array<QColor, 6> Colours{QColor(0x4F, 0x81, 0xBD), QColor(0xC0, 0x50, 0x4D),
                                    QColor(0x9B, 0xBB, 0x59), QColor(0x80, 0x64, 0xA2),
                                    QColor(0x4B, 0xAC, 0xC6), QColor(0xF7, 0x96, 0x46)};

void drawAxes(QPainter& p, const QRectF& r) {
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawLine(r.bottomLeft(), r.topLeft());
    p.drawLine(r.bottomLeft(), r.bottomRight());
}

void drawColumns(QPainter& p, const QRectF& r, bool stacked, bool percent) {
    drawAxes(p, r);
    const int groups = 6;
    const qreal slot = r.width() / groups;
    for (int g = 0; g < groups; ++g) {
        qreal total = 0;
        for (const auto& s : Series)
            total += s[static_cast<size_t>(g)];
        qreal base = r.bottom();
        for (size_t s = 0; s < Series.size(); ++s) {
            const qreal value = Series[s][static_cast<size_t>(g)];
            p.setPen(Qt::NoPen);
            p.setBrush(Colours[s]);
            if (stacked) {
                const qreal h = percent ? r.height() * value / total : r.height() * value / 20.0;
                p.drawRect(QRectF(r.left() + g * slot + slot * 0.2, base - h, slot * 0.6, h));
                base -= h;
            } else {
                const qreal w = slot * 0.8 / Series.size();
                const qreal h = r.height() * value / 9.0;
                p.drawRect(QRectF(r.left() + g * slot + slot * 0.1 + s * w, r.bottom() - h, w, h));
            }
        }
    }
}

void drawBars(QPainter& p, const QRectF& r) {
    drawAxes(p, r);
    const int groups = 6;
    const qreal slot = r.height() / groups;
    for (int g = 0; g < groups; ++g) {
        const qreal w = r.width() * Series[0][static_cast<size_t>(g)] / 9.0;
        p.setPen(Qt::NoPen);
        p.setBrush(Colours[0]);
        p.drawRect(QRectF(r.left(), r.top() + g * slot + slot * 0.2, w, slot * 0.6));
    }
}

void drawPie(QPainter& p, const QRectF& r, bool hole) {
    const qreal side = std::min(r.width(), r.height());
    const QRectF circle(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    const auto& values = Series[0];
    int total = 0;
    for (int v : values)
        total += v;
    int start = 90 * 16;
    p.setPen(QPen(Qt::white, 1));
    for (size_t g = 0; g < values.size(); ++g) {
        const int span = -values[g] * 360 * 16 / total;
        p.setBrush(Colours[g]);
        p.drawPie(circle, start, span);
        start += span;
    }
    if (hole) {
        p.setBrush(Qt::white);
        p.drawEllipse(circle.center(), side / 4, side / 4);
    }
}

void drawLines(QPainter& p, const QRectF& r) {
    drawAxes(p, r);
    const qreal step = r.width() / 6;
    for (size_t s = 0; s < 2; ++s) {
        QPolygonF line;
        for (size_t g = 0; g < 6; ++g)
            line << QPointF(r.left() + step * (g + 0.5),
                            r.bottom() - r.height() * Series[s][g] / 9.0);
        p.setPen(QPen(Colours[s], 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(line);
        p.setBrush(Colours[s]);
        for (const QPointF& point : line)
            p.drawRect(QRectF(point.x() - 1.5, point.y() - 1.5, 3, 3));
    }
}

void drawCylinders(QPainter& p, const QRectF& r) {
    drawAxes(p, r);
    const qreal slot = r.width() / 6;
    for (size_t g = 0; g < 6; ++g) {
        const qreal w = slot * 0.6;
        const qreal h = r.height() * Series[0][g] / 9.0;
        const qreal x = r.left() + g * slot + slot * 0.2;
        QLinearGradient shade(x, 0, x + w, 0);
        shade.setColorAt(0, Colours[0].darker(130));
        shade.setColorAt(0.4, Colours[0].lighter(140));
        shade.setColorAt(1, Colours[0].darker(150));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRect(QRectF(x, r.bottom() - h, w, h - 1.5));
        p.drawEllipse(QRectF(x, r.bottom() - 3, w, 3));
        p.setBrush(Colours[0].lighter(120));
        p.drawEllipse(QRectF(x, r.bottom() - h - 1.5, w, 3));
    }
}

} // namespace

ChartSamplePicture::ChartSamplePicture(Kind kind, QWidget* parent) : QWidget(parent), mKind(kind) {
    setMinimumSize(sizeHint());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void ChartSamplePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(Qt::gray, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    const QRectF area = QRectF(rect()).adjusted(6, 5, -6, -5);
    switch (mKind) {
    case Kind::Template:
        drawColumns(p, area, true, false);
        break;
    case Kind::Column:
        drawColumns(p, area, false, false);
        break;
    case Kind::PercentColumn:
        drawColumns(p, area, true, true);
        break;
    case Kind::Pie:
        drawPie(p, area, false);
        break;
    case Kind::Bar:
        drawBars(p, area);
        break;
    case Kind::Doughnut:
        drawPie(p, area, true);
        break;
    case Kind::Line:
        drawLines(p, area);
        break;
    case Kind::Cylinder:
        drawCylinders(p, area);
        break;
    }
}

void ChartSamplePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && mClicked) {
        event->accept();
        mClicked();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace plw
