#pragma once

#include "rfm/Histogram.h"

#include <QString>
#include <QWidget>

#include <array>

namespace plw {

// A histogram of one dimension's figures with the four rank boundaries drawn as lines, each
// labelled with its threshold, and the rank numbers between them; the axis names its ends (and
// the powers of ten of a logarithmic axis, which the caller says is one). Without customers it
// says "該当する顧客がいません".
class HistogramWidget final : public QWidget {
public:
    explicit HistogramWidget(QWidget* parent = nullptr);

    // atMost: the R rule, rank 5 on the left (the fewest days); otherwise rank 1 on the left.
    void setHistogram(const Histogram& histogram, bool atMost);
    // The boundaries (RankBoundary figures) after ranks 5, 4, 3 and 2 with their threshold texts.
    void setBoundaries(const std::array<double, 4>& figures, const std::array<QString, 4>& labels);

    const Histogram& histogram() const { return mHistogram; }

    QSize sizeHint() const override { return {360, 120}; }
    QSize minimumSizeHint() const override { return {240, 90}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect plotArea() const;
    int xOf(double figure, const QRect& plot) const;

    Histogram mHistogram;
    bool mAtMost = false;
    std::array<double, 4> mBoundaries{};
    std::array<QString, 4> mLabels;
};

} // namespace plw
