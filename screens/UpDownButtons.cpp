#include "screens/UpDownButtons.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace plw {

UpDownButtons::UpDownButtons(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int step : {1, -1}) {
        auto* arrow = new QToolButton(this);
        arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setObjectName(name + (step > 0 ? QStringLiteral("_up") : QStringLiteral("_down")));
        arrow->setFixedSize(18, 12);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setAutoRepeat(true);
        connect(arrow, &QToolButton::clicked, this, [this, step] {
            if (mStep)
                mStep(step);
        });
        layout->addWidget(arrow);
    }
}

} // namespace plw
