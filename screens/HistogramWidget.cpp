#include "screens/HistogramWidget.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plw {

namespace {

// The figures an axis names: its ends and, on a logarithmic axis, the powers of ten between.
std::vector<qint64> AxisFigures(const Histogram& histogram) {
    const qint64 low = histogram.Edges.front();
    const qint64 high = histogram.Edges.back() - 1;
    std::vector<qint64> figures{low};
    if (histogram.Logarithmic) {
        for (qint64 power = 10; power < high; power *= 10)
            if (power > low)
                figures.push_back(power);
    } else {
        figures.push_back(low + (high - low) / 2);
    }
    figures.push_back(high);
    return figures;
}

} // namespace

HistogramWidget::HistogramWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HistogramWidget::setHistogram(const Histogram& histogram, bool atMost) {
    mHistogram = histogram;
    mAtMost = atMost;
    update();
}

void HistogramWidget::setBoundaries(const std::array<double, 4>& figures,
                                    const std::array<QString, 4>& labels) {
    // Painted again only when a line moved: typing in one dimension leaves the others alone.
    if (figures == mBoundaries && labels == mLabels)
        return;
    mBoundaries = figures;
    mLabels = labels;
    update();
}

QRect HistogramWidget::plotArea() const {
    const int line = fontMetrics().height();
    // Room above for the threshold labels and the rank numbers, below for the axis figures.
    return rect().adjusted(4, 2 * line + 2, -4, -line - 4);
}

int HistogramWidget::xOf(double figure, const QRect& plot) const {
    return plot.left() + static_cast<int>(std::lround(mHistogram.position(figure) * plot.width()));
}

void HistogramWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QColor text = palette().color(QPalette::WindowText);
    if (mHistogram.empty()) {
        painter.setPen(text);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("該当する顧客がいません"));
        return;
    }
    const QRect plot = plotArea();
    const int line = fontMetrics().height();
    const qint64 most = *std::max_element(mHistogram.Customers.begin(), mHistogram.Customers.end());

    // Bars: each bin from its first edge to the next, as high as its share of the fullest bin.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(96, 128, 176));
    for (size_t i = 0; i < mHistogram.Customers.size(); ++i) {
        if (mHistogram.Customers[i] == 0)
            continue;
        const int left = xOf(double(mHistogram.Edges[i]), plot);
        const int right = std::max(left + 1, xOf(double(mHistogram.Edges[i + 1]), plot) - 1);
        const int height =
            std::max<int>(1, static_cast<int>(std::lround(double(mHistogram.Customers[i]) /
                                                          double(most) * plot.height())));
        painter.drawRect(
            QRect(QPoint(left, plot.bottom() - height + 1), QPoint(right - 1, plot.bottom())));
    }
    painter.setPen(text);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    // The axis figures below it.
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.85);
    painter.setFont(small);
    std::vector<QRect> taken;
    // Draws a label centred over x unless it would overlap one already drawn.
    const auto label = [&](int x, int top, const QString& caption) {
        const int width = painter.fontMetrics().horizontalAdvance(caption);
        const QRect place(std::clamp(x - width / 2, 0, std::max(0, this->width() - width)), top,
                          width, line);
        for (const QRect& other : taken)
            if (other.adjusted(-3, 0, 3, 0).intersects(place))
                return;
        taken.push_back(place);
        painter.drawText(place, Qt::AlignCenter, caption);
    };
    // The ends first, so that a figure between gives way to them.
    std::vector<qint64> figures = AxisFigures(mHistogram);
    std::rotate(figures.begin() + 1, figures.end() - 1, figures.end());
    for (const qint64 figure : figures)
        label(xOf(double(figure) + 0.5, plot), plot.bottom() + 2, QString::number(figure));

    // The boundaries with their thresholds, and each rank's number between them.
    const QColor boundary(208, 32, 32);
    std::array<int, 4> xs{};
    for (size_t i = 0; i < xs.size(); ++i)
        xs[i] = xOf(mBoundaries[i], plot);
    for (size_t i = 0; i < xs.size(); ++i) {
        painter.setPen(QPen(boundary, 1, Qt::DashLine));
        painter.drawLine(xs[i], plot.top() - line / 2, xs[i], plot.bottom());
        painter.setPen(boundary);
        label(xs[i], line, mLabels[i]);
    }
    // Ranks 5 to 1 from the left for R, 1 to 5 for F and M; boundaries after ranks 5, 4, 3, 2.
    std::array<int, 6> zone{plot.left(), 0, 0, 0, 0, plot.right()};
    for (size_t i = 0; i < xs.size(); ++i)
        zone[mAtMost ? i + 1 : 4 - i] = xs[i];
    painter.setPen(text);
    for (int z = 0; z < 5; ++z) {
        const int rank = mAtMost ? 5 - z : z + 1;
        const int left = zone[static_cast<size_t>(z)];
        const int right = zone[static_cast<size_t>(z + 1)];
        if (right - left < painter.fontMetrics().horizontalAdvance(QStringLiteral("5")))
            continue;
        painter.drawText(QRect(left, 0, right - left, line), Qt::AlignCenter,
                         QString::number(rank));
    }
}

} // namespace plw
