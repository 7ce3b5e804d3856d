#pragma once

#include <QWidget>

#include <functional>

namespace plw {

// A small sample picture of a chart kind for the group-value chart options; a click on it calls
// the handler, as a click on its option does.
class ChartSamplePicture final : public QWidget {
public:
    enum class Kind { Template, Column, PercentColumn, Pie, Bar, Doughnut, Line, Cylinder };

    explicit ChartSamplePicture(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return mKind; }
    void setClickHandler(std::function<void()> handler) { mClicked = std::move(handler); }

    QSize sizeHint() const override { return {72, 48}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Kind mKind;
    std::function<void()> mClicked;
};

} // namespace plw
