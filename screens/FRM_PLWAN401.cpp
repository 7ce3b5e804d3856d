#include "screens/FRM_PLWAN401.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "app/ScreenDates.h"
#include "rfm/ParameterChecks.h"
#include "screens/DateField.h"
#include "screens/FieldRoutines.h"
#include "screens/GroupMatrixWidget.h"
#include "screens/HardCopyButton.h"
#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"
#include "screens/TextField.h"
#include "settings/ParameterFieldLimits.h"
#include "settings/SampleParameters.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace plw {

namespace {

// The months of the five quick-range buttons, in the order "前3ヵ月" … "前１０年" of the
// screen, with the names of the last-visit and the detailed-period buttons.
struct QuickRange {
    const char16_t* LastVisitName;
    const char16_t* DetailName;
    const char16_t* Caption;
    int Months;
};
constexpr std::array<QuickRange, 5> QuickRanges{{
    {u"cmdSetA", u"cmdSet2A", u"前3ヵ月", 3},
    {u"cmdSetA1", u"cmdSet2A1", u"前6ヵ月", 6},
    {u"cmdSetB", u"cmdSet2B", u"前１年", 12},
    {u"cmdSetD", u"cmdSet2D", u"前２年", 24},
    {u"cmdSetC", u"cmdSet2C", u"前１０年", 120},
}};

// The month count's slider and up-down run over ten years.
constexpr int MonthCountMin = 1;
constexpr int MonthCountMax = 120;

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

// A button usable once its handler is set.
QPushButton* handlerButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = MakeButton(name, caption, parent);
    b->setEnabled(false);
    return b;
}

QLabel* label(const QString& caption, QWidget* parent) {
    return new QLabel(caption, parent);
}

QGroupBox* area(const QString& caption, QWidget* parent) {
    return new QGroupBox(caption, parent);
}

} // namespace

FRM_PLWAN401::~FRM_PLWAN401() {
    // The base classes' destruction moves the focus; the watch must not reach this screen then.
    disconnect(mFocusWatch);
}

FRM_PLWAN401::FRM_PLWAN401(const Environment& environment, Prompter& prompter, const Clock& clock,
                           QWidget* parent)
    : AnalysisScreen(environment, prompter, QStringLiteral("(PLWAN401) "), parent), mClock(clock) {
    setObjectName(QStringLiteral("FRM_PLWAN401"));

    // Two columns over the group matrix, so that the screen fits a laptop display: the
    // conditions and the parameters on the left, the dates and the figures on the right.
    auto* grid = new QGridLayout(body());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    const auto column = [this](std::initializer_list<QWidget*> areas) {
        auto* stack = new QWidget(body());
        auto* layout = new QVBoxLayout(stack);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(4);
        for (QWidget* a : areas)
            layout->addWidget(a);
        layout->addStretch(1);
        return stack;
    };
    grid->addWidget(column({buildExtraction(), buildParameters()}), 0, 0);
    grid->addWidget(column({buildLastVisit(), buildDetailPeriod(), buildPreview()}), 0, 1);
    grid->addWidget(buildMatrix(), 1, 0, 1, 2);
    grid->addWidget(buildBottomLine(), 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    setF12Button(mF12);
    setF5Button(mDistributionButton);
    setEscButton(mEsc);
    connectControls();
    applyDetailEnabled(false);
    selectPaintGroup(0);
}

QWidget* FRM_PLWAN401::buildExtraction() {
    auto* box = area(QStringLiteral("抽出条件"), body());
    auto* layout = Compact(new QGridLayout(box));
    mList1 = new QListWidget(box);
    mList1->setObjectName(QStringLiteral("List1"));
    mList1->setFont(ColumnListFont());
    mList1->setMinimumHeight(60);
    layout->addWidget(mList1, 0, 0, 4, 1);
    mNewButton = handlerButton(QStringLiteral("cmdNew"), QStringLiteral("設    定"), box);
    mPreviousButton = handlerButton(QStringLiteral("cmdMae"), QStringLiteral("前条件に戻す"), box);
    mDirectMailButton =
        handlerButton(QStringLiteral("cmdDM"), QStringLiteral("ＤＭ設定から取得"), box);
    mMailButton = handlerButton(QStringLiteral("cmdEL"), QStringLiteral("メール設定から取得"), box);
    layout->addWidget(mNewButton, 0, 1);
    layout->addWidget(mPreviousButton, 1, 1);
    layout->addWidget(mDirectMailButton, 2, 1);
    layout->addWidget(mMailButton, 3, 1);
    auto* note = label(QStringLiteral("通常は来店日の範囲指定のみですが、たとえば女性だけに絞り込"
                                      "んで分析を行いたい場合等は詳細条件を設定できます。"),
                       box);
    note->setWordWrap(true);
    layout->addWidget(note, 4, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    return box;
}

QWidget* FRM_PLWAN401::buildLastVisit() {
    auto* box = area(QStringLiteral("最終来店日"), body());
    auto* layout = Compact(new QGridLayout(box));
    mLastVisitFrom = new DateField(box);
    mLastVisitFrom->setObjectName(QStringLiteral("imdPinRai_F"));
    mLastVisitTo = new DateField(box);
    mLastVisitTo->setObjectName(QStringLiteral("imdPinRai_T"));
    auto* range = new QHBoxLayout;
    range->addWidget(mLastVisitFrom);
    range->addWidget(label(QStringLiteral("～"), box));
    range->addWidget(mLastVisitTo);
    range->addStretch(1);
    layout->addLayout(range, 0, 0);

    auto* quick = new QHBoxLayout;
    for (const QuickRange& r : QuickRanges) {
        auto* b = MakeButton(text(r.LastVisitName), text(r.Caption), box);
        connect(b, &QPushButton::clicked, this,
                [this, months = r.Months] { setQuickRange(months, mLastVisitFrom, mLastVisitTo); });
        quick->addWidget(b);
    }
    quick->addStretch(1);
    layout->addLayout(quick, 1, 0);

    auto* add = new QHBoxLayout;
    add->addWidget(label(QStringLiteral("上記の後日付に"), box));
    mMonths = new TextField(box);
    mMonths->setDigitsOnly(MonthCountDigits, this->prompter());
    mMonths->setObjectName(QStringLiteral("txtPinRai_X"));
    mMonths->setAlignment(Qt::AlignRight);
    mMonths->setFixedWidth(mMonths->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    add->addWidget(mMonths);
    // The up-down beside the month count: one month up or down within the slider's range.
    auto* upDown = new QWidget(box);
    upDown->setObjectName(QStringLiteral("updPinRai"));
    auto* upDownLayout = new QVBoxLayout(upDown);
    upDownLayout->setContentsMargins(0, 0, 0, 0);
    upDownLayout->setSpacing(0);
    for (int step : {1, -1}) {
        auto* arrow = new QToolButton(upDown);
        arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setObjectName(step > 0 ? QStringLiteral("updPinRai_up")
                                      : QStringLiteral("updPinRai_down"));
        arrow->setFixedSize(18, 12);
        arrow->setFocusPolicy(Qt::NoFocus);
        connect(arrow, &QToolButton::clicked, this,
                [this, step] { setMonthCount(ToLong(mMonths->text()) + step); });
        upDownLayout->addWidget(arrow);
    }
    add->addWidget(upDown);
    add->addWidget(label(QStringLiteral("ヵ月後の"), box));
    mSetDate = MakeButton(QStringLiteral("cmdPinRai"), QStringLiteral("日付設定"), box);
    add->addWidget(mSetDate);
    mMonthSlider = new QSlider(Qt::Horizontal, box);
    mMonthSlider->setObjectName(QStringLiteral("sldPinRai"));
    mMonthSlider->setRange(MonthCountMin, MonthCountMax);
    mMonthSlider->setTickPosition(QSlider::TicksBelow);
    mMonthSlider->setTickInterval(12);
    add->addWidget(mMonthSlider, 1);
    layout->addLayout(add, 2, 0);
    return box;
}

QWidget* FRM_PLWAN401::buildDetailPeriod() {
    auto* box = area(QStringLiteral("購買日付詳細指定"), body());
    auto* layout = Compact(new QGridLayout(box));
    mDetailOn = new QCheckBox(QStringLiteral("購買日付詳細指定をする"), box);
    mDetailOn->setObjectName(QStringLiteral("chkKs1"));

    mDetailFrom = new DateField(box);
    mDetailFrom->setObjectName(QStringLiteral("imdPinRai_2F"));
    mDetailTo = new DateField(box);
    mDetailTo->setObjectName(QStringLiteral("imdPinRai_2T"));
    auto* range = new QHBoxLayout;
    range->addWidget(mDetailOn);
    range->addSpacing(8);
    range->addWidget(mDetailFrom);
    range->addWidget(label(QStringLiteral("～"), box));
    range->addWidget(mDetailTo);
    range->addStretch(1);
    layout->addLayout(range, 0, 0);

    auto* quick = new QHBoxLayout;
    for (std::size_t i = 0; i < QuickRanges.size(); ++i) {
        auto* b = MakeButton(text(QuickRanges[i].DetailName), text(QuickRanges[i].Caption), box);
        connect(b, &QPushButton::clicked, this, [this, months = QuickRanges[i].Months] {
            setQuickRange(months, mDetailFrom, mDetailTo);
        });
        mDetailButtons[i] = b;
        quick->addWidget(b);
    }
    quick->addStretch(1);
    layout->addLayout(quick, 1, 0);

    auto* last = new QHBoxLayout;
    mFromDetail = new QCheckBox(QStringLiteral("最終来店日を購買日付詳細範囲の日付とする。"), box);
    mFromDetail->setObjectName(QStringLiteral("chkKs2"));
    last->addWidget(mFromDetail);
    last->addStretch(1);
    mExplanationButton = handlerButton(QStringLiteral("Command8"), QStringLiteral("説明"), box);
    last->addWidget(mExplanationButton);
    layout->addLayout(last, 2, 0);
    return box;
}

QWidget* FRM_PLWAN401::buildParameters() {
    auto* box = area(QStringLiteral("RFＭ分析パラメータ"), body());
    auto* layout = Compact(new QVBoxLayout(box));
    layout->addLayout(buildBaseDate(box));
    auto* table = new QHBoxLayout;
    table->addLayout(buildThresholds(box));
    table->addSpacing(12);
    table->addLayout(buildThresholdButtons(box));
    table->addStretch(1);
    layout->addLayout(table);
    return box;
}

// The base date with the buttons that set it.
QLayout* FRM_PLWAN401::buildBaseDate(QWidget* box) {
    auto* base = new QHBoxLayout;
    base->addWidget(label(QStringLiteral("基準日"), box));
    mBaseDate = new DateField(box);
    mBaseDate->setObjectName(QStringLiteral("imdKijyun"));
    base->addWidget(mBaseDate);
    auto* today = MakeButton(QStringLiteral("cmdHi1"), QStringLiteral("本日"), box);
    auto* thisMonth = MakeButton(QStringLiteral("cmdHi2"), QStringLiteral("当月"), box);
    auto* lastMonth = MakeButton(QStringLiteral("cmdHi3"), QStringLiteral("前月"), box);
    auto* fromLastVisit =
        MakeButton(QStringLiteral("Command6"), QStringLiteral("最終来店日から設定"), box);
    connect(today, &QPushButton::clicked, this, [this] {
        SetDateNumber(mBaseDate, mClock.today().toString(QStringLiteral("yyyyMMdd")));
    });
    connect(thisMonth, &QPushButton::clicked, this,
            [this] { SetDateNumber(mBaseDate, FirstDayOfMonth(mClock.today(), 0)); });
    connect(lastMonth, &QPushButton::clicked, this,
            [this] { SetDateNumber(mBaseDate, FirstDayOfMonth(mClock.today(), -1)); });
    connect(fromLastVisit, &QPushButton::clicked, this,
            [this] { mBaseDate->setValue(mLastVisitTo->value()); });
    for (QPushButton* b : {today, thisMonth, lastMonth, fromLastVisit})
        base->addWidget(b);
    base->addStretch(1);
    return base;
}

// Three columns R, F, M; rows rank 5 (top) to rank 1, each field with its unit caption.
QLayout* FRM_PLWAN401::buildThresholds(QWidget* box) {
    auto* thresholds = new QGridLayout;
    thresholds->setHorizontalSpacing(4);
    thresholds->setVerticalSpacing(1);
    struct Dimension {
        const char16_t* Heading;
        const char16_t* Name;
        const char16_t* Upper;
        const char16_t* Lowest;
        std::array<TextField*, 5>* Fields;
    };
    const std::array<Dimension, 3> dimensions{{
        {u"Ｒ（最終来店日）", u"txtPrmR", u"日以内", u"日超", &mR},
        {u"Ｆ（来店回数）", u"txtPrmF", u"回以上", u"回未満", &mF},
        {u"Ｍ（購買金額）", u"txtPrmM", u"万以上", u"万未満", &mM},
    }};
    for (int rank = 5; rank >= 1; --rank)
        thresholds->addWidget(label(QStringLiteral("ランク%1").arg(rank), box), 6 - rank, 0);
    for (std::size_t d = 0; d < dimensions.size(); ++d) {
        const Dimension& dim = dimensions[d];
        const int column = 1 + static_cast<int>(d) * 2;
        thresholds->addWidget(label(text(dim.Heading), box), 0, column, 1, 2);
        for (int rank = 5; rank >= 1; --rank) {
            auto* field = new TextField(box);
            field->setDigitsOnly(ThresholdDigits, this->prompter());
            field->setObjectName(QStringLiteral("%1_%2").arg(text(dim.Name)).arg(rank));
            field->setAlignment(Qt::AlignRight);
            field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                                 12);
            // Field 1 always shows field 2: it is not typed into.
            if (rank == 1) {
                field->setReadOnly(true);
                field->setFocusPolicy(Qt::NoFocus);
            }
            (*dim.Fields)[rank - 1] = field;
            thresholds->addWidget(field, 6 - rank, column);
            thresholds->addWidget(label(text(rank == 1 ? dim.Lowest : dim.Upper), box), 6 - rank,
                                  column + 1);
        }
    }
    return thresholds;
}

// The buttons beside the thresholds: the sample set, the helper screens and the distribution.
QLayout* FRM_PLWAN401::buildThresholdButtons(QWidget* box) {
    auto* buttons = new QVBoxLayout;
    auto* sample = MakeButton(QStringLiteral("Command1"), QStringLiteral("サンプル設定"), box);
    connect(sample, &QPushButton::clicked, this, [this] {
        const SampleThresholdSet s = SampleThresholds();
        setThresholds(s.R, s.F, s.M);
    });
    mThresholdButton = MakeButton(QStringLiteral("Command9"), QStringLiteral("便利画面"), box);
    mThresholdButton->setEnabled(false);
    connect(mThresholdButton, &QPushButton::clicked, this, [this] {
        if (mThresholdScreen)
            mThresholdScreen();
    });
    buttons->addWidget(sample);
    buttons->addWidget(mThresholdButton);
    mThresholdTemplateButton =
        handlerButton(QStringLiteral("cmdTeplate2"), QStringLiteral("テンプレート"), box);
    buttons->addWidget(mThresholdTemplateButton);
    mDistributionButton =
        handlerButton(QStringLiteral("cmdF5"), QStringLiteral("F5:分布と閾値"), box);
    connect(mDistributionButton, &QPushButton::clicked, this, [this] {
        if (mDistribution && checkScreen())
            mDistribution();
    });
    buttons->addWidget(mDistributionButton);
    buttons->addStretch(1);
    return buttons;
}

QWidget* FRM_PLWAN401::buildMatrix() {
    auto* box = area(QStringLiteral("RFＭ分析でのグループ分け"), body());
    auto* layout = Compact(new QGridLayout(box));
    mMatrix = new GroupMatrixWidget(GroupMatrixWidget::Arrangement::R, box);
    mMatrix->setObjectName(QStringLiteral("lblR54321"));
    layout->addWidget(mMatrix, 0, 0, 2, 1, Qt::AlignTop);

    auto* options = area(QStringLiteral("設定するグループ"), box);
    auto* optionLayout = Compact(new QGridLayout(options));
    auto* group = new QButtonGroup(options);
    const std::array<std::pair<const char16_t*, const char16_t*>, 6> names{{
        {u"lblGrp_A", u"グループＡ"},
        {u"lblGrp_B", u"グループＢ"},
        {u"lblGrp_C", u"グループＣ"},
        {u"lblGrp_D", u"グループＤ"},
        {u"lblGrp_E", u"グループＥ"},
        {u"lblGrp_X", u"未分類"},
    }};
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* option = new QRadioButton(text(names[i].second), options);
        option->setObjectName(text(names[i].first));
        // A swatch beside each option shows the colour it paints with.
        auto* swatch = new QLabel(options);
        swatch->setFixedSize(28, 14);
        swatch->setFrameShape(QFrame::Box);
        swatch->setAutoFillBackground(true);
        QPalette p = swatch->palette();
        p.setColor(QPalette::Window,
                   GroupMatrixWidget::GroupColour(
                       GroupMatrixWidget::OptionLetter(static_cast<int>(i) + 1), palette()));
        swatch->setPalette(p);
        auto* row = new QHBoxLayout;
        row->addWidget(swatch);
        row->addWidget(option, 1);
        optionLayout->addLayout(row, static_cast<int>(i) % 3, static_cast<int>(i) / 3);
        group->addButton(option, static_cast<int>(i) + 1);
        mGroupOptions[i] = option;
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { selectPaintGroup(id); });
    layout->addWidget(options, 0, 1);

    auto* hint = label(QStringLiteral("該当部分をクリックするか　または　Ｓｈｉｆｔキーを押しな"
                                      "がらマウスでなぞって　指定します。"),
                       box);
    layout->addWidget(hint, 2, 0);

    auto* buttons = new QGridLayout;
    auto* all = MakeButton(QStringLiteral("Command5"), QStringLiteral("全て設定"), box);
    connect(all, &QPushButton::clicked, this, [this] { mMatrix->paintAll(); });
    auto* sample = MakeButton(QStringLiteral("Command2"), QStringLiteral("サンプル設定"), box);
    connect(sample, &QPushButton::clicked, this,
            [this] { mMatrix->setGroupMatrix(SampleGroupMatrix()); });
    mViewpointButton = MakeButton(QStringLiteral("Command7"), QStringLiteral("他の視点から"), box);
    mViewpointButton->setEnabled(false);
    connect(mViewpointButton, &QPushButton::clicked, this, [this] {
        if (mViewpoint)
            mViewpoint();
    });
    buttons->addWidget(all, 0, 0);
    mGroupTemplateButton =
        handlerButton(QStringLiteral("cmdTeplate"), QStringLiteral("テンプレート"), box);
    buttons->addWidget(mGroupTemplateButton, 0, 1);
    buttons->addWidget(sample, 1, 0);
    buttons->addWidget(mViewpointButton, 1, 1);
    layout->addLayout(buttons, 1, 1, 2, 1, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    return box;
}

QWidget* FRM_PLWAN401::buildPreview() {
    auto* box = area(QStringLiteral("参考：上部抽出条件での各値"), body());
    auto* layout = Compact(new QGridLayout(box));
    mPreviewButton = MakeButton(QStringLiteral("Command3"), QStringLiteral("各値を得る"), box);
    mPreviewButton->setEnabled(false);
    layout->addWidget(mPreviewButton, 0, 0, 3, 1, Qt::AlignTop);
    // The five figures in two columns beside the button.
    const auto value = [box, layout](const QString& name, const QString& caption, int place) {
        auto* result = new QLabel(box);
        result->setObjectName(name);
        result->setFrameShape(QFrame::Panel);
        result->setFrameShadow(QFrame::Sunken);
        result->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        result->setMinimumWidth(result->fontMetrics().horizontalAdvance(QString(15, u'0')));
        const int row = place % 3;
        const int column = 1 + place / 3 * 2;
        layout->addWidget(new QLabel(caption, box), row, column);
        layout->addWidget(result, row, column + 1);
        return result;
    };
    mSgnCnt = value(QStringLiteral("lblSgnCnt"), QStringLiteral("データ数"), 0);
    mSgnMax = value(QStringLiteral("lblSgnMax"), QStringLiteral("最大購買額"), 1);
    mSgnMin = value(QStringLiteral("lblSgnMin"), QStringLiteral("最小購買額"), 2);
    mSgnSum = value(QStringLiteral("lblSgnSum"), QStringLiteral("購買額累計"), 3);
    mSgnAvg = value(QStringLiteral("lblSgnAVG"), QStringLiteral("平均額累計"), 4);
    layout->setColumnStretch(5, 1);
    return box;
}

QWidget* FRM_PLWAN401::buildBottomLine() {
    auto* line = new QWidget(body());
    auto* keys = new QHBoxLayout(line);
    keys->setContentsMargins(0, 0, 0, 0);
    mEsc = MakeButton(QStringLiteral("cmdEsc"), QStringLiteral("ESC:メニューへ"), line);
    mF12 = MakeButton(QStringLiteral("cmdF12"), QStringLiteral("F12:次画面"), line);
    keys->addWidget(mEsc);
    auto* status = new QStatusBar(line);
    status->setObjectName(QStringLiteral("stbGuide"));
    status->setSizeGripEnabled(false);
    keys->addWidget(status, 1);
    mCalendarHint = new QLabel(QStringLiteral("F4キーでカレンダーから入力できます"), line);
    mCalendarHint->setObjectName(QStringLiteral("picHelp2"));
    mCalendarHint->setFrameShape(QFrame::Box);
    mCalendarHint->hide();
    keys->addWidget(mCalendarHint);
    keys->addStretch(1);
    keys->addWidget(new HardCopyButton(line));
    keys->addWidget(mF12);
    return line;
}

void FRM_PLWAN401::connectControls() {
    connect(mSetDate, &QPushButton::clicked, this, [this] {
        if (!mLastVisitFrom->refuseInvalidEntry())
            SetDatePlusMonths(mLastVisitTo, mLastVisitFrom, mMonths, prompter());
    });
    connect(mMonthSlider, &QSlider::valueChanged, this, [this](int position) {
        const QString count = QString::number(position);
        if (mMonths->text() != count)
            mMonths->setText(count);
    });
    connect(mMonths, &QLineEdit::textChanged, this, [this](const QString& count) {
        const QSignalBlocker block(mMonthSlider);
        mMonthSlider->setValue(ToLong(count));
    });

    mLastVisitFrom->setValueChangedHandler([this](const QString&) { reportLastVisit(); });
    mLastVisitTo->setValueChangedHandler([this](const QString&) { reportLastVisit(); });
    mFocusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        mCalendarHint->setVisible(now == mBaseDate || now == mLastVisitFrom || now == mLastVisitTo);
    });

    connect(mDetailOn, &QCheckBox::clicked, this,
            [this](bool checked) { applyDetailEnabled(checked); });

    for (auto* fields : {&mR, &mF, &mM}) {
        connect((*fields)[1], &QLineEdit::textChanged, this,
                [field1 = (*fields)[0]](const QString& value) { field1->setText(value); });
    }

    connect(mPreviewButton, &QPushButton::clicked, this, [this] { preview(); });
    // The condition screen opens only on a screen that passes its check.
    connect(mNewButton, &QPushButton::clicked, this, [this] {
        if (mEditConditions && checkScreen())
            mEditConditions();
    });
    connect(mPreviousButton, &QPushButton::clicked, this, [this] {
        if (mPreviousConditions && checkScreen())
            mPreviousConditions();
    });
    connect(mGroupTemplateButton, &QPushButton::clicked, this, [this] {
        if (mGroupTemplate)
            mGroupTemplate();
    });
    connect(mThresholdTemplateButton, &QPushButton::clicked, this, [this] {
        if (mThresholdTemplate)
            mThresholdTemplate();
    });
    connect(mDirectMailButton, &QPushButton::clicked, this,
            [this] { takeCampaign(CampaignSource::DirectMail); });
    connect(mMailButton, &QPushButton::clicked, this,
            [this] { takeCampaign(CampaignSource::Mail); });
    connect(mExplanationButton, &QPushButton::clicked, this, [this] {
        if (mExplanation)
            mExplanation();
    });
    connect(mF12, &QPushButton::clicked, this, [this] { goNext(); });
    connect(mEsc, &QPushButton::clicked, this, [this] {
        if (mMenu)
            mMenu();
    });

    // The order Enter and Down walk, and the first field focused.
    QWidget* previous = nullptr;
    int tag = 0;
    const auto chain = [&](QWidget* w) {
        w->setProperty("tag", QString::number(++tag));
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    };
    chain(mLastVisitFrom);
    chain(mLastVisitTo);
    chain(mMonths);
    chain(mDetailFrom);
    chain(mDetailTo);
    chain(mBaseDate);
    for (auto* fields : {&mR, &mF, &mM})
        for (int rank = 5; rank >= 2; --rank)
            chain((*fields)[rank - 1]);
}

void FRM_PLWAN401::loadState(const ParameterScreenState& s) {
    mLoading = true;
    mLastVisitFrom->setValue(s.LastVisitFrom);
    mLastVisitTo->setValue(s.LastVisitTo);
    mMonths->setText(s.LastVisitMonths);
    mBaseDate->setValue(s.BaseDate);
    for (int i = 4; i >= 0; --i) {
        mR[i]->setText(s.RThreshold[i]);
        mF[i]->setText(s.FThreshold[i]);
        mM[i]->setText(s.MThreshold[i]);
    }
    selectPaintGroup(s.PaintGroup);
    mMatrix->setGroupMatrix(s.GroupMatrix);
    mDetailOn->setChecked(s.DetailPeriodOn);
    mFromDetail->setChecked(s.LastVisitFromDetail);
    mDetailFrom->setValue(s.DetailFrom);
    mDetailTo->setValue(s.DetailTo);
    applyDetailEnabled(s.DetailControlsEnabled);
    setConditionSummary(s.ConditionSummary);
    mLoading = false;
}

ParameterScreenState FRM_PLWAN401::state() const {
    ParameterScreenState s;
    s.LastVisitFrom = mLastVisitFrom->value();
    s.LastVisitTo = mLastVisitTo->value();
    s.LastVisitMonths = mMonths->text();
    s.BaseDate = mBaseDate->value();
    for (std::size_t i = 0; i < 5; ++i) {
        s.RThreshold[i] = mR[i]->text();
        s.FThreshold[i] = mF[i]->text();
        s.MThreshold[i] = mM[i]->text();
    }
    s.PaintGroup = mMatrix->paintGroup();
    s.GroupMatrix = mMatrix->groupMatrix();
    s.DetailPeriodOn = mDetailOn->isChecked();
    s.LastVisitFromDetail = mFromDetail->isChecked();
    s.DetailFrom = mDetailFrom->value();
    s.DetailTo = mDetailTo->value();
    for (int row = 0; row < mList1->count(); ++row)
        s.ConditionSummary.append(mList1->item(row)->text());
    s.DetailControlsEnabled = mDetailFrom->isEnabled();
    return s;
}

void FRM_PLWAN401::setPreviewHandler(PreviewHandler handler) {
    mPreview = std::move(handler);
    mPreviewButton->setEnabled(static_cast<bool>(mPreview));
}

void FRM_PLWAN401::setThresholdScreenHandler(std::function<void()> handler) {
    mThresholdScreen = std::move(handler);
    mThresholdButton->setEnabled(static_cast<bool>(mThresholdScreen));
}

void FRM_PLWAN401::setViewpointHandler(std::function<void()> handler) {
    mViewpoint = std::move(handler);
    mViewpointButton->setEnabled(static_cast<bool>(mViewpoint));
}

void FRM_PLWAN401::setDistributionHandler(std::function<void()> handler) {
    mDistribution = std::move(handler);
    mDistributionButton->setEnabled(static_cast<bool>(mDistribution));
}

void FRM_PLWAN401::setConditionHandlers(std::function<void()> edit,
                                        std::function<void()> previous) {
    mEditConditions = std::move(edit);
    mPreviousConditions = std::move(previous);
    mNewButton->setEnabled(static_cast<bool>(mEditConditions));
    mPreviousButton->setEnabled(static_cast<bool>(mPreviousConditions));
}

void FRM_PLWAN401::setTemplateHandlers(std::function<void()> group,
                                       std::function<void()> thresholds) {
    mGroupTemplate = std::move(group);
    mThresholdTemplate = std::move(thresholds);
    mGroupTemplateButton->setEnabled(static_cast<bool>(mGroupTemplate));
    mThresholdTemplateButton->setEnabled(static_cast<bool>(mThresholdTemplate));
}

void FRM_PLWAN401::setCampaignHandler(CampaignHandler handler) {
    mCampaign = std::move(handler);
    mDirectMailButton->setEnabled(static_cast<bool>(mCampaign));
    mMailButton->setEnabled(static_cast<bool>(mCampaign));
}

void FRM_PLWAN401::setExplanationHandler(std::function<void()> handler) {
    mExplanation = std::move(handler);
    mExplanationButton->setEnabled(static_cast<bool>(mExplanation));
}

void FRM_PLWAN401::setConditionSummary(const QStringList& lines) {
    mList1->clear();
    mList1->addItems(lines);
}

void FRM_PLWAN401::showPreviewLabels(const PreviewLabels& labels) {
    mSgnCnt->setText(labels.Count);
    mSgnMax->setText(labels.Max);
    mSgnMin->setText(labels.Min);
    mSgnSum->setText(labels.Sum);
    mSgnAvg->setText(labels.Average);
}

void FRM_PLWAN401::setThresholds(const std::array<QString, 5>& r, const std::array<QString, 5>& f,
                                 const std::array<QString, 5>& m) {
    // Field 2 last, so that field 1 ends up echoing it.
    for (int i : {4, 3, 2, 0, 1}) {
        mR[i]->setText(r[i]);
        mF[i]->setText(f[i]);
        mM[i]->setText(m[i]);
    }
}

void FRM_PLWAN401::setQuickRange(int months, DateField* from, DateField* to) {
    QString first;
    QString last;
    PeriodFromMonths(-months, mClock, first, last);
    from->setValue(first);
    to->setValue(last);
}

void FRM_PLWAN401::setMonthCount(int months) {
    mMonths->setText(QString::number(std::clamp(months, MonthCountMin, MonthCountMax)));
}

void FRM_PLWAN401::applyDetailEnabled(bool enabled) {
    mFromDetail->setEnabled(enabled);
    mDetailFrom->setEnabled(enabled);
    mDetailTo->setEnabled(enabled);
    for (QPushButton* b : mDetailButtons)
        b->setEnabled(enabled);
}

void FRM_PLWAN401::selectPaintGroup(int option) {
    const bool valid = option >= 1 && option <= 6;
    for (std::size_t i = 0; i < mGroupOptions.size(); ++i) {
        // An exclusive group keeps one option checked: lift that while clearing them all.
        auto* group = mGroupOptions[i]->group();
        if (group && !valid)
            group->setExclusive(false);
        mGroupOptions[i]->setChecked(valid && static_cast<int>(i) + 1 == option);
        if (group && !valid)
            group->setExclusive(true);
    }
    mMatrix->setPaintGroup(valid ? option : 0);
}

void FRM_PLWAN401::reportLastVisit() {
    if (!mLoading && mLastVisit)
        mLastVisit(mLastVisitFrom->value(), mLastVisitTo->value(), mMonths->text());
}

void FRM_PLWAN401::failWith(const QString& message, const QString& focus) {
    prompter().show(message, MessageIcon::Critical);
    if (auto* control = findChild<QWidget*>(focus))
        SetFocusSafe(control);
}

bool FRM_PLWAN401::refuseInvalidDates() {
    for (DateField* field : {mLastVisitFrom, mLastVisitTo, mBaseDate, mDetailFrom, mDetailTo})
        if (field->isEnabled() && field->refuseInvalidEntry())
            return true;
    return false;
}

bool FRM_PLWAN401::checkScreen() {
    if (refuseInvalidDates())
        return false;
    const ParameterCheckFailure failure = CheckParameterScreen(state(), mClock);
    if (!failure.passed())
        failWith(failure.Message, failure.Focus);
    return failure.passed();
}

void FRM_PLWAN401::takeCampaign(CampaignSource source) {
    if (!mCampaign || !checkScreen())
        return;
    const std::optional<CampaignConditions> taken = mCampaign(source, state());
    if (taken && mConditionScreen)
        mConditionScreen(taken->ModeCaption, taken->Record);
}

void FRM_PLWAN401::goNext() {
    if (refuseInvalidDates())
        return;
    const ParameterCheckFailure failure = CheckParameters(state(), mClock);
    if (!failure.passed()) {
        failWith(failure.Message, failure.Focus);
        return;
    }
    if (mNext)
        mNext();
}

void FRM_PLWAN401::preview() {
    if (!mPreview || refuseInvalidDates())
        return;
    // The waiting texts stay while the preview runs and when it finds nothing.
    PreviewLabels labels = WaitingPreviewLabels();
    showPreviewLabels(labels);
    mPreview(labels);
    showPreviewLabels(labels);
}

} // namespace plw
