#pragma once

#include <QWidget>

#include <functional>

namespace plw {

// The up-down control beside a number box: two small arrow buttons (name + "_up", name +
// "_down") that step the box by one. They take no focus, so Enter and the arrows keep working
// in the box.
class UpDownButtons final : public QWidget {
public:
    UpDownButtons(const QString& name, QWidget* parent);

    // Called with +1 or -1 on each click.
    void setStepHandler(std::function<void(int step)> handler) { mStep = std::move(handler); }

private:
    std::function<void(int)> mStep;
};

} // namespace plw
