#include "screens/FRM_PLWAN402.h"

#include "screens/HardCopyButton.h"
#include "screens/ScreenButton.h"

#include "settings/ParameterScreenState.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plw {

namespace {

struct ViewLayout {
    GroupMatrixWidget::Arrangement arrangement;
    const char16_t* name;
    const char16_t* caption;
};

constexpr std::array<ViewLayout, 3> Views{{
    {GroupMatrixWidget::Arrangement::R, u"lblR54321", u"R（recency：最終来店日時）の視点"},
    {GroupMatrixWidget::Arrangement::F, u"lblF54321", u"F（frequency：利用回数）の視点"},
    {GroupMatrixWidget::Arrangement::M, u"lblM54321", u"M（monetary：累計購買額）の視点"},
}};

struct OptionLayout {
    const char16_t* name;
    const char16_t* caption;
};

constexpr std::array<OptionLayout, 6> Options{{
    {u"lblGrp_A", u"グループＡ"},
    {u"lblGrp_B", u"グループＢ"},
    {u"lblGrp_C", u"グループＣ"},
    {u"lblGrp_D", u"グループＤ"},
    {u"lblGrp_E", u"グループＥ"},
    {u"lblGrp_X", u"未分類"},
}};

// A group option in its group's colour; the selected one shows sunken.
QPushButton* optionButton(const OptionLayout& layout, int option, QWidget* parent) {
    QPushButton* button =
        MakeButton(QString::fromUtf16(layout.name), QString::fromUtf16(layout.caption), parent);
    button->setCheckable(true);
    const QColor colour =
        GroupMatrixWidget::GroupColour(GroupMatrixWidget::OptionLetter(option), button->palette());
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 2px outset "
                       "#808080; padding: 4px 10px; }"
                       "QPushButton:checked { border: 3px inset #000000; font-weight: bold; }")
            .arg(colour.name()));
    return button;
}

} // namespace

FRM_PLWAN402::FRM_PLWAN402(const Environment& environment, Prompter& prompter,
                           ParameterScreenState& state, QWidget* parent)
    : AnalysisScreen(environment, prompter, QStringLiteral("(PLWAN401) "), parent), mState(state) {
    setObjectName(QStringLiteral("FRM_PLWAN402"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    for (size_t v = 0; v < Views.size(); ++v) {
        auto* frame = new QGroupBox(QString::fromUtf16(Views[v].caption), body());
        auto* frameLayout = new QHBoxLayout(frame);
        auto* view = new GroupMatrixWidget(Views[v].arrangement, frame);
        view->setObjectName(QString::fromUtf16(Views[v].name));
        frameLayout->addWidget(view);
        frameLayout->addStretch(1);
        mViews[v] = view;
        layout->addWidget(frame);
    }
    // A cell painted in one view carries its code's new group into the other two.
    for (GroupMatrixWidget* view : mViews) {
        view->setCellChangedHandler([this, view](const QString& code, const QString& letter) {
            for (GroupMatrixWidget* other : mViews)
                if (other != view)
                    other->setGroup(code, letter);
        });
    }

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("設定するグループ"), body()));
    mOptionGroup = new QButtonGroup(this);
    for (int option = 1; option <= 6; ++option) {
        QPushButton* button = optionButton(Options[option - 1], option, body());
        mOptions[option - 1] = button;
        mOptionGroup->addButton(button, option);
        options->addWidget(button);
    }
    connect(mOptionGroup, &QButtonGroup::idClicked, this,
            [this](int option) { selectPaintGroup(option); });
    options->addStretch(1);

    mF12 = MakeButton(QStringLiteral("cmdF12"), QStringLiteral("F12:前画面"), body());
    connect(mF12, &QPushButton::clicked, this, [this] { goBack(); });
    setF12Button(mF12);
    options->addWidget(new HardCopyButton(body()));
    options->addWidget(mF12);

    // The hint on a line of its own: beside the group options it made the screen wider than a
    // laptop's display.
    layout->addWidget(new QLabel(QStringLiteral("該当部分をクリックするか　または　Ｓｈｉｆｔキーを"
                                                "押しながらマウスでなぞって　指定します。"),
                                 body()));
    layout->addLayout(options);
}

void FRM_PLWAN402::open() {
    for (GroupMatrixWidget* view : mViews)
        view->setGroupMatrix(mState.GroupMatrix);
    selectPaintGroup(mState.PaintGroup);
    show();
    raise();
    activateWindow();
}

GroupMatrixWidget* FRM_PLWAN402::view(GroupMatrixWidget::Arrangement arrangement) const {
    for (GroupMatrixWidget* view : mViews)
        if (view->arrangement() == arrangement)
            return view;
    return nullptr;
}

QAbstractButton* FRM_PLWAN402::groupOption(int option) const {
    return option >= 1 && option <= 6 ? mOptions[option - 1] : nullptr;
}

void FRM_PLWAN402::closeEvent(QCloseEvent* event) {
    // The close box goes back without copying the matrix.
    const bool wasVisible = isVisible();
    event->accept();
    AnalysisScreen::closeEvent(event);
    if (wasVisible && mReturn)
        mReturn(false);
}

void FRM_PLWAN402::selectPaintGroup(int option) {
    mPaintGroup = option >= 1 && option <= 6 ? option : 0;
    for (GroupMatrixWidget* view : mViews)
        view->setPaintGroup(mPaintGroup);
    // No option selected leaves every button up, which an exclusive group would not allow.
    mOptionGroup->setExclusive(false);
    for (int i = 0; i < 6; ++i)
        mOptions[i]->setChecked(i + 1 == mPaintGroup);
    mOptionGroup->setExclusive(true);
}

void FRM_PLWAN402::goBack() {
    // The R view is numbered like the parameter screen's matrix; all three hold the same letters.
    mState.GroupMatrix = view(GroupMatrixWidget::Arrangement::R)->groupMatrix();
    mState.PaintGroup = mPaintGroup;
    hide();
    if (mReturn)
        mReturn(true);
}

} // namespace plw
