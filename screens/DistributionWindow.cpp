#include "screens/DistributionWindow.h"

#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "rfm/ParameterChecks.h"
#include "screens/FieldRoutines.h"
#include "screens/GroupMatrixWidget.h"
#include "screens/HardCopyButton.h"
#include "screens/HistogramWidget.h"
#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"
#include "screens/TextField.h"
#include "settings/ParameterFieldLimits.h"
#include "settings/ParameterScreenState.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace plw {

namespace {

struct DimensionLayout {
    Dimension dimension;
    char letter;
    const char16_t* heading;
    const char16_t* upper;  // caption beside ranks 5 to 2
    const char16_t* lowest; // caption beside rank 1
};

constexpr std::array<DimensionLayout, 3> Dimensions{{
    {Dimension::R, 'R', u"R（最終来店日からの日数）", u"日以内", u"日超"},
    {Dimension::F, 'F', u"F（利用回数）", u"回以上", u"回未満"},
    {Dimension::M, 'M', u"M（累計購買額・万円）", u"万以上", u"万未満"},
}};

const DimensionLayout& LayoutOf(Dimension dimension) {
    return Dimensions[static_cast<size_t>(dimension)];
}

std::array<QString, 5>& StateThresholds(ParameterScreenState& state, Dimension dimension) {
    switch (dimension) {
    case Dimension::F:
        return state.FThreshold;
    case Dimension::M:
        return state.MThreshold;
    case Dimension::R:
        break;
    }
    return state.RThreshold;
}

QString RankCaption(int rank) {
    return QStringLiteral("ランク") + QChar(0xFF10 + rank);
}

QString Customers(qint64 customers) {
    return FormatNumber(customers, QStringLiteral("#,##0")) + QStringLiteral("人");
}

QString Share(qint64 part, qint64 total) {
    return total == 0 ? QString()
                      : QString::number(100.0 * double(part) / double(total), 'f', 1) + u'%';
}

// What the window says after an equal split that ties or too few figures kept uneven.
QString SplitNote(const EqualSplit& split) {
    if (split.Ranks < 5)
        return QStringLiteral("値が%1通りしかないため、５つのランクには分けられません。"
                              "分けられるだけ分けました。")
            .arg(split.Ranks);
    if (!split.Even)
        return QStringLiteral("同じ値の顧客が多いため、均等には分けられません。"
                              "できるだけ近い人数に分けました。");
    return {};
}

} // namespace

DistributionWindow::DistributionWindow(const Environment& environment, Prompter& prompter,
                                       ParameterScreenState& state, QWidget* parent)
    : AnalysisScreen(environment, prompter, QStringLiteral("(PLWAN401) "), parent), mState(state) {
    setObjectName(QStringLiteral("DistributionWindow"));
    setWindowTitle(QStringLiteral("分布と閾値"));

    auto* panels = new QHBoxLayout;
    panels->setSpacing(4);
    for (const DimensionLayout& dim : Dimensions)
        panels->addWidget(buildPanel(dim.dimension), 1);
    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(panels);
    layout->addWidget(buildMatrix());
    layout->addWidget(buildBottomLine());
    layout->addStretch(1);

    // Enter walks the editable thresholds: R, F, M, each from rank 5 to 2.
    QWidget* previous = nullptr;
    for (const DimensionLayout& dim : Dimensions) {
        for (int rank = 5; rank >= 2; --rank) {
            QWidget* field = panelOf(dim.dimension).Fields[size_t(rank - 1)];
            if (previous)
                setTabOrder(previous, field);
            previous = field;
        }
    }
    setEscButton(mEsc);
}

DistributionWindow::~DistributionWindow() = default;

QWidget* DistributionWindow::buildPanel(Dimension dimension) {
    const DimensionLayout& dim = LayoutOf(dimension);
    Panel& panel = panelOf(dimension);
    auto* box = new QGroupBox(QString::fromUtf16(dim.heading), body());
    box->setObjectName(QStringLiteral("fra") + QLatin1Char(dim.letter));
    panel.Box = box;
    auto* layout = Compact(new QVBoxLayout(box));
    panel.Histogram = new HistogramWidget(box);
    panel.Histogram->setObjectName(QStringLiteral("hst") + QLatin1Char(dim.letter));
    layout->addWidget(panel.Histogram);

    auto* table = new QGridLayout;
    table->setHorizontalSpacing(6);
    table->setVerticalSpacing(1);
    for (int rank = 5; rank >= 1; --rank) {
        const int row = 5 - rank;
        const size_t i = size_t(rank - 1);
        table->addWidget(new QLabel(RankCaption(rank), box), row, 0);
        auto* field = new TextField(box);
        field->setDigitsOnly(ThresholdDigits, prompter());
        field->setObjectName(QStringLiteral("txtPrm") + QLatin1Char(dim.letter) + u'_' +
                             QString::number(rank));
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 7 + 12);
        panel.Fields[i] = field;
        table->addWidget(field, row, 1);
        table->addWidget(new QLabel(QString::fromUtf16(rank == 1 ? dim.lowest : dim.upper), box),
                         row, 2);
        panel.Customers[i] = new QLabel(box);
        panel.Customers[i]->setObjectName(QStringLiteral("lblCnt") + QLatin1Char(dim.letter) +
                                          u'_' + QString::number(rank));
        panel.Customers[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->addWidget(panel.Customers[i], row, 3);
        panel.Shares[i] = new QLabel(box);
        panel.Shares[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        panel.Shares[i]->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100.0%")));
        table->addWidget(panel.Shares[i], row, 4);
    }
    table->setColumnStretch(3, 1);
    // Field 1 is the echo of field 2; every change counts again.
    panel.Fields[0]->setReadOnly(true);
    panel.Fields[0]->setFocusPolicy(Qt::NoFocus);
    TextField* echo = panel.Fields[0];
    connect(panel.Fields[1], &QLineEdit::textChanged, echo,
            [echo](const QString& text) { echo->setText(text); });
    for (int rank = 5; rank >= 2; --rank)
        connect(panel.Fields[size_t(rank - 1)], &QLineEdit::textChanged, this, [this] {
            if (!mLoading)
                recount();
        });

    layout->addLayout(table);

    // The equal split, and beside it what the window has to say about the split or the figures.
    auto* split = MakeButton(QStringLiteral("cmdSplit") + QLatin1Char(dim.letter),
                             QStringLiteral("均等に分ける"), box);
    connect(split, &QPushButton::clicked, this, [this, dimension] { splitEqually(dimension); });
    panel.Note = new QLabel(box);
    panel.Note->setObjectName(QStringLiteral("lblNote") + QLatin1Char(dim.letter));
    panel.Note->setWordWrap(true);
    panel.Note->setMinimumHeight(2 * fontMetrics().height());
    panel.Note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(split, 0, Qt::AlignTop);
    bottom->addWidget(panel.Note, 1);
    layout->addLayout(bottom);
    return box;
}

QWidget* DistributionWindow::buildMatrix() {
    auto* box =
        new QGroupBox(QStringLiteral("RFＭ分析でのグループ分け（各欄の下は該当顧客数）"), body());
    auto* layout = Compact(new QVBoxLayout(box));
    mMatrix = new GroupMatrixWidget(GroupMatrixWidget::Arrangement::R, box);
    mMatrix->setObjectName(QStringLiteral("lblR54321"));
    mMatrix->setCellCounts(std::array<qint64, 125>{});
    mMatrix->setCellChangedHandler([this](const QString&, const QString&) { showGroups(); });
    layout->addWidget(mMatrix, 0, Qt::AlignHCenter);

    // Each group: its painting option, its customers and its amount.
    auto* groups = new QGridLayout;
    groups->setHorizontalSpacing(12);
    groups->setVerticalSpacing(0);
    auto* options = new QButtonGroup(box);
    for (int g = 0; g < 6; ++g) {
        const QString letter = GroupMatrixWidget::OptionLetter(g + 1);
        auto* swatch = new QLabel(box);
        swatch->setFixedSize(24, 12);
        swatch->setFrameShape(QFrame::Box);
        swatch->setAutoFillBackground(true);
        QPalette p = swatch->palette();
        p.setColor(QPalette::Window, GroupMatrixWidget::GroupColour(letter, palette()));
        swatch->setPalette(p);
        auto* option =
            new QRadioButton(letter == u"X" ? QStringLiteral("未分類")
                                            : QStringLiteral("グループ") + ToFullWidth(letter),
                             box);
        option->setObjectName(QStringLiteral("lblGrp_") + letter);
        options->addButton(option, g + 1);
        mGroupOptions[size_t(g)] = option;
        auto* heading = new QHBoxLayout;
        heading->addWidget(swatch);
        heading->addWidget(option, 1);
        groups->addLayout(heading, 0, g);
        mGroupCustomers[size_t(g)] = new QLabel(box);
        mGroupCustomers[size_t(g)]->setObjectName(QStringLiteral("lblGrpCnt_") + letter);
        mGroupAmounts[size_t(g)] = new QLabel(box);
        mGroupAmounts[size_t(g)]->setObjectName(QStringLiteral("lblGrpAmt_") + letter);
        auto* figures = new QHBoxLayout;
        figures->addWidget(mGroupCustomers[size_t(g)]);
        figures->addStretch(1);
        figures->addWidget(mGroupAmounts[size_t(g)]);
        groups->addLayout(figures, 1, g);
        groups->setColumnStretch(g, 1);
    }
    connect(options, &QButtonGroup::idClicked, this,
            [this](int id) { mMatrix->setPaintGroup(id); });
    layout->addLayout(groups);
    layout->addWidget(new QLabel(QStringLiteral("該当部分をクリックするか　または　Ｓｈｉｆｔキー"
                                                "を押しながらマウスでなぞって　指定します。"),
                                 box));
    return box;
}

QWidget* DistributionWindow::buildBottomLine() {
    auto* line = new QWidget(body());
    auto* keys = new QHBoxLayout(line);
    keys->setContentsMargins(0, 0, 0, 0);
    mEsc = MakeButton(QStringLiteral("cmdEsc"), QStringLiteral("ESC:閉じる"), line);
    connect(mEsc, &QPushButton::clicked, this, [this] { goBack(false); });
    auto* all = MakeButton(QStringLiteral("cmdSplitAll"),
                           QStringLiteral("均等に分ける（ＲＦＭ全て）"), line);
    connect(all, &QPushButton::clicked, this, [this] {
        for (const DimensionLayout& dim : Dimensions)
            splitEqually(dim.dimension);
    });
    mTotal = new QLabel(line);
    mTotal->setObjectName(QStringLiteral("lblTotal"));
    mUse = MakeButton(QStringLiteral("cmdUse"), QStringLiteral("この閾値を使う"), line);
    connect(mUse, &QPushButton::clicked, this, [this] { useThresholds(); });
    keys->addWidget(mEsc);
    keys->addWidget(all);
    keys->addSpacing(12);
    keys->addWidget(mTotal, 1);
    keys->addWidget(new HardCopyButton(line));
    keys->addWidget(mUse);
    return line;
}

void DistributionWindow::open(RankDistribution distribution) {
    mDistribution = std::move(distribution);
    mLoading = true;
    for (const DimensionLayout& dim : Dimensions) {
        Panel& panel = panelOf(dim.dimension);
        const Histogram& histogram = mDistribution.histogram(dim.dimension);
        panel.Histogram->setHistogram(histogram, dim.dimension == Dimension::R);
        panel.Box->setTitle(QString::fromUtf16(dim.heading) +
                            (histogram.Logarithmic ? QStringLiteral("　対数目盛") : QString()));
        setThresholds(dim.dimension, StateThresholds(mState, dim.dimension));
        panel.Note->clear();
    }
    const qint64 withoutDays = mDistribution.withoutDays();
    if (withoutDays > 0)
        panelOf(Dimension::R)
            .Note->setText(QStringLiteral("最終来店日のない顧客 %1 はランク１です。")
                               .arg(Customers(withoutDays)));
    mMatrix->setGroupMatrix(mState.GroupMatrix);
    const int paint = mState.PaintGroup >= 1 && mState.PaintGroup <= 6 ? mState.PaintGroup : 0;
    for (int g = 0; g < 6; ++g)
        mGroupOptions[size_t(g)]->setChecked(g + 1 == paint);
    mMatrix->setPaintGroup(paint);
    const bool anybody = mDistribution.customers() > 0;
    for (QPushButton* split : findChildren<QPushButton*>())
        if (split->objectName().startsWith(u"cmdSplit"))
            split->setEnabled(anybody);
    mTotal->setText(anybody ? QStringLiteral("対象の顧客　") + Customers(mDistribution.customers())
                            : QStringLiteral("該当する顧客がいません"));
    mLoading = false;
    recount();
    show();
    raise();
    activateWindow();
    panelOf(Dimension::R).Fields[4]->setFocus();
}

TextField* DistributionWindow::thresholdField(char dimension, int index) const {
    if (index < 1 || index > 5)
        return nullptr;
    for (const DimensionLayout& dim : Dimensions)
        if (dim.letter == dimension)
            return mPanels[static_cast<size_t>(dim.dimension)].Fields[size_t(index - 1)];
    return nullptr;
}

Thresholds DistributionWindow::thresholds(Dimension dimension) const {
    Thresholds values;
    const Panel& panel = mPanels[static_cast<size_t>(dimension)];
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = panel.Fields[i]->text();
    return values;
}

void DistributionWindow::setThresholds(Dimension dimension, const Thresholds& values) {
    const bool loading = mLoading;
    mLoading = true;
    Panel& panel = panelOf(dimension);
    // Field 1 last, so that it shows its own value rather than the echo of field 2.
    for (int i = 4; i >= 0; --i)
        panel.Fields[size_t(i)]->setText(values[size_t(i)]);
    mLoading = loading;
}

void DistributionWindow::recount() {
    const Thresholds r = thresholds(Dimension::R);
    const Thresholds f = thresholds(Dimension::F);
    const Thresholds m = thresholds(Dimension::M);
    mCounts = mDistribution.count(r, f, m);
    const qint64 total = mDistribution.customers();
    for (const DimensionLayout& dim : Dimensions) {
        Panel& panel = panelOf(dim.dimension);
        const Thresholds& values = dim.dimension == Dimension::R   ? r
                                   : dim.dimension == Dimension::F ? f
                                                                   : m;
        std::array<double, 4> boundaries{};
        std::array<QString, 4> labels;
        for (int rank = 5; rank >= 1; --rank) {
            const qint64 customers = mCounts.ofRank(dim.dimension, rank);
            panel.Customers[size_t(rank - 1)]->setText(Customers(customers));
            panel.Shares[size_t(rank - 1)]->setText(Share(customers, total));
            if (rank >= 2) {
                const Currency threshold = ThresholdValue(values[size_t(rank - 1)]);
                boundaries[size_t(5 - rank)] =
                    RankBoundary(threshold, dim.dimension == Dimension::R);
                labels[size_t(5 - rank)] = threshold.toString();
            }
        }
        panel.Histogram->setBoundaries(boundaries, labels);
    }
    std::array<qint64, 125> cells{};
    for (size_t k = 0; k < cells.size(); ++k)
        cells[k] = mCounts.Cells[k].Customers;
    mMatrix->setCellCounts(cells);
    showGroups();
}

void DistributionWindow::showGroups() {
    const std::array<CustomerTotal, 6> groups = CountGroups(mCounts, mMatrix->groupMatrix());
    for (size_t g = 0; g < groups.size(); ++g) {
        mGroupCustomers[g]->setText(Customers(groups[g].Customers));
        mGroupAmounts[g]->setText(FormatNumber(groups[g].AmountYen, QStringLiteral("#,##0")) +
                                  QStringLiteral("円"));
    }
}

void DistributionWindow::splitEqually(Dimension dimension) {
    const EqualSplit split = mDistribution.splitEqually(dimension);
    setThresholds(dimension, split.Values);
    panelOf(dimension).Note->setText(SplitNote(split));
    recount();
}

void DistributionWindow::useThresholds() {
    ParameterScreenState chosen = mState;
    for (const DimensionLayout& dim : Dimensions)
        StateThresholds(chosen, dim.dimension) = thresholds(dim.dimension);
    const ParameterCheckFailure failure = CheckThresholds(chosen);
    if (!failure.passed()) {
        prompter().show(failure.Message, MessageIcon::Critical);
        if (auto* field = findChild<QWidget*>(failure.Focus))
            SetFocusSafe(field);
        return;
    }
    for (const DimensionLayout& dim : Dimensions)
        StateThresholds(mState, dim.dimension) = StateThresholds(chosen, dim.dimension);
    mState.GroupMatrix = mMatrix->groupMatrix();
    goBack(true);
}

void DistributionWindow::goBack(bool copy) {
    hide();
    // The customers' figures are let go with the window.
    mDistribution = RankDistribution();
    mCounts = RankCounts();
    if (mReturn)
        mReturn(copy);
}

void DistributionWindow::closeEvent(QCloseEvent* event) {
    // The close box goes back without copying, as ESC does.
    const bool wasVisible = isVisible();
    event->accept();
    AnalysisScreen::closeEvent(event);
    if (wasVisible)
        goBack(false);
}

} // namespace plw
