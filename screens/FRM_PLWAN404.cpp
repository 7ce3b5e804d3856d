#include "screens/FRM_PLWAN404.h"

#include "app/Prompter.h"
#include "rfm/ThresholdSteps.h"
#include "screens/HardCopyButton.h"
#include "screens/ScreenButton.h"
#include "screens/TextField.h"
#include "settings/ParameterFieldLimits.h"
#include "settings/ParameterScreenState.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plw {

namespace {

struct DimensionLayout {
    char letter;
    const char16_t* heading;
    const char16_t* upper; // caption beside ranks 5 to 2
    const char16_t* lower; // caption beside rank 1
};

constexpr std::array<DimensionLayout, 3> Dimensions{{
    {'R', u"R（最終来店日時）", u"日以内", u"日超"},
    {'F', u"F（利用回数）", u"回以上", u"回未満"},
    {'M', u"M（累計購買額）", u"万以上", u"万未満"},
}};

// The step buttons: name, dimension, step, caption; in the order they stand under a column.
struct StepButton {
    const char16_t* name;
    char dimension;
    int amount;
};

constexpr std::array<StepButton, 12> StepButtons{{
    {u"Command3", 'R', -10},
    {u"Command1", 'R', -1},
    {u"Command2", 'R', 1},
    {u"Command4", 'R', 10},
    {u"Command5", 'F', -10},
    {u"Command6", 'F', -1},
    {u"Command8", 'F', 1},
    {u"Command7", 'F', 10},
    {u"Command12", 'M', -10},
    {u"Command11", 'M', -1},
    {u"Command9", 'M', 1},
    {u"Command10", 'M', 10},
}};

QString stepCaption(int amount) {
    return (amount < 0 ? QStringLiteral("－") : QStringLiteral("＋")) +
           QString::number(amount < 0 ? -amount : amount);
}

QString rankCaption(int rank) {
    return QStringLiteral("ランク") + QChar(0xFF10 + rank);
}

std::array<QString, 5>& stateThresholds(ParameterScreenState& state, char dimension) {
    if (dimension == 'F')
        return state.FThreshold;
    if (dimension == 'M')
        return state.MThreshold;
    return state.RThreshold;
}

} // namespace

FRM_PLWAN404::FRM_PLWAN404(const Environment& environment, Prompter& prompter,
                           ParameterScreenState& state, QWidget* parent)
    : AnalysisScreen(environment, prompter, QStringLiteral("(PLWAN401) "), parent), mState(state) {
    setObjectName(QStringLiteral("FRM_PLWAN404"));
    QWidget* frame = buildThresholds();
    chainEnterOrder(frame);

    mF12 = MakeButton(QStringLiteral("cmdF12"), QStringLiteral("F12:前画面"), body());
    connect(mF12, &QPushButton::clicked, this, [this] { goBack(); });
    setF12Button(mF12);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(new HardCopyButton(body()));
    bottom->addWidget(mF12);
    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    layout->addLayout(bottom);
    layout->addStretch(1);
    adjustSize();
}

QWidget* FRM_PLWAN404::buildThresholds() {
    auto* frame = new QGroupBox(QStringLiteral("RFＭ分析パラメータ"), body());
    frame->setObjectName(QStringLiteral("fraPrm"));
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    // Rows: headings, ranks 5 to 1, then the step buttons; one column group per dimension.
    for (int rank = 5; rank >= 1; --rank)
        grid->addWidget(new QLabel(rankCaption(rank), frame), 1 + 5 - rank, 0);

    for (int d = 0; d < static_cast<int>(Dimensions.size()); ++d) {
        const int column = 1 + d * 3;
        addDimension(grid, d, column);
        if (d + 1 < static_cast<int>(Dimensions.size()))
            grid->setColumnMinimumWidth(column + 2, 24);
    }
    return frame;
}

// The heading, the five fields with their units and the step buttons of dimension d in the
// columns from column on.
void FRM_PLWAN404::addDimension(QGridLayout* grid, int d, int column) {
    QWidget* frame = grid->parentWidget();
    const DimensionLayout& dim = Dimensions[static_cast<size_t>(d)];
    auto* heading = new QLabel(QString::fromUtf16(dim.heading), frame);
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, column, 1, 2);
    Fields& fields = fieldsOf(dim.letter);
    for (int rank = 5; rank >= 1; --rank) {
        auto* field = new TextField(frame);
        field->setDigitsOnly(ThresholdDigits, this->prompter());
        field->setObjectName(QStringLiteral("txtPrm") + QChar(QLatin1Char(dim.letter)) +
                             QStringLiteral("_") + QString::number(rank));
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 7 + 12);
        fields[rank - 1] = field;
        grid->addWidget(field, 1 + 5 - rank, column);
        grid->addWidget(new QLabel(QString::fromUtf16(rank == 1 ? dim.lower : dim.upper), frame),
                        1 + 5 - rank, column + 1);
    }
    // Field 1 is the echo of field 2.
    fields[0]->setReadOnly(true);
    fields[0]->setFocusPolicy(Qt::NoFocus);
    TextField* echo = fields[0];
    connect(fields[1], &QLineEdit::textChanged, echo,
            [echo](const QString& text) { echo->setText(text); });

    auto* steps = new QHBoxLayout;
    steps->setSpacing(2);
    steps->addStretch(1);
    for (const StepButton& button : StepButtons) {
        if (button.dimension != dim.letter)
            continue;
        auto* push = MakeButton(QString::fromUtf16(button.name), stepCaption(button.amount), frame);
        push->setFocusPolicy(Qt::TabFocus);
        push->setFixedWidth(push->fontMetrics().horizontalAdvance(QStringLiteral("＋10")) + 20);
        const char dimension = button.dimension;
        const int amount = button.amount;
        connect(push, &QPushButton::clicked, this,
                [this, dimension, amount] { step(dimension, amount); });
        steps->addWidget(push);
    }
    steps->addStretch(1);
    grid->addLayout(steps, 6, column, 1, 2);
}

// Enter moves through the twelve input fields first, then the step buttons.
void FRM_PLWAN404::chainEnterOrder(QWidget* frame) {
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (Fields* fields : {&mR, &mF, &mM})
        for (int i = 4; i >= 1; --i)
            chain((*fields)[i]);
    for (const StepButton& button : StepButtons)
        chain(frame->findChild<QPushButton*>(QString::fromUtf16(button.name)));
}

void FRM_PLWAN404::open() {
    for (const DimensionLayout& dim : Dimensions) {
        Fields& fields = fieldsOf(dim.letter);
        const std::array<QString, 5>& values = stateThresholds(mState, dim.letter);
        // Field 1 last, so that it is copied as it is rather than echoed from field 2.
        for (int i = 4; i >= 0; --i)
            fields[i]->setText(values[i]);
    }
    show();
    raise();
    activateWindow();
    mR[4]->setFocus();
}

TextField* FRM_PLWAN404::thresholdField(char dimension, int index) const {
    if (index < 1 || index > 5)
        return nullptr;
    const Fields& fields = dimension == 'F' ? mF : dimension == 'M' ? mM : mR;
    return fields[index - 1];
}

void FRM_PLWAN404::closeEvent(QCloseEvent* event) {
    // The close box goes back without copying the thresholds.
    const bool wasVisible = isVisible();
    event->accept();
    AnalysisScreen::closeEvent(event);
    if (wasVisible && mReturn)
        mReturn(false);
}

FRM_PLWAN404::Fields& FRM_PLWAN404::fieldsOf(char dimension) {
    if (dimension == 'F')
        return mF;
    if (dimension == 'M')
        return mM;
    return mR;
}

void FRM_PLWAN404::step(char dimension, int amount) {
    Fields& fields = fieldsOf(dimension);
    std::array<QString, 5> values;
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = fields[i]->text();
    if (!StepThresholds(values, amount)) {
        prompter().show(QStringLiteral("しきい値は %1 までです").arg(ThresholdMaximum),
                        MessageIcon::Critical);
        return;
    }
    // Field 1 last, so that it is set as stepped rather than echoed from field 2.
    for (size_t i = values.size(); i-- > 0;)
        fields[i]->setText(values[i]);
}

void FRM_PLWAN404::goBack() {
    for (const DimensionLayout& dim : Dimensions) {
        const Fields& fields = fieldsOf(dim.letter);
        std::array<QString, 5>& values = stateThresholds(mState, dim.letter);
        for (int i = 0; i < 5; ++i)
            values[i] = fields[i]->text();
    }
    hide();
    if (mReturn)
        mReturn(true);
}

} // namespace plw
