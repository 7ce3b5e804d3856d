#include "screens/FRM_PLWAN403.h"

#include "screens/ScreenRoutines.h"

#include "app/CommonRoutines.h"
#include "app/OutputItemList.h"
#include "app/Prompter.h"
#include "rfm/GroupMovement.h"
#include "rfm/Sub_TokuFur_Sub.h"
#include "screens/ChartSamplePicture.h"
#include "screens/FieldRoutines.h"
#include "screens/HardCopyButton.h"
#include "screens/SaveFileDialog.h"
#include "screens/ScreenButton.h"
#include "screens/TextField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace plw {

namespace {

// Selects the option with the number (1-based) in the group, or none for 0 or a number the
// group does not have.
template <size_t N>
void selectOption(QButtonGroup* group, const std::array<QRadioButton*, N>& options, int number) {
    group->setExclusive(false);
    for (size_t i = 0; i < N; ++i)
        options[i]->setChecked(static_cast<int>(i) + 1 == number);
    group->setExclusive(true);
}

template <size_t N> int selectedOption(const std::array<QRadioButton*, N>& options) {
    for (size_t i = 0; i < N; ++i)
        if (options[i]->isChecked())
            return static_cast<int>(i) + 1;
    return 0;
}

QStringList entries(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

// An item list whose preferred height shows about eight items, so that the screen, with the
// comparison and the mailing list below the lists, fits a laptop display; it scrolls the rest.
class ItemList final : public QListWidget {
public:
    using QListWidget::QListWidget;
    QSize sizeHint() const override { return {256, 150}; }
};

// The selected entry's row, or -1 when nothing is selected.
int selectedRow(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->row(item) : -1;
}

} // namespace

FRM_PLWAN403::FRM_PLWAN403(const Environment& environment, Prompter& prompter,
                           OutputScreenState& state, const QStringList& outputItems,
                           SaveFileDialog& saveDialog, QWidget* parent)
    : AnalysisScreen(environment, prompter, QStringLiteral("(PLWAN401) "), parent), mState(state),
      mOutputItems(outputItems), mSaveDialog(saveDialog) {
    setObjectName(QStringLiteral("FRM_PLWAN403"));
    buildControls();
    loadState();
}

void FRM_PLWAN403::buildControls() {
    // The parts are made in the order Tab goes through them.
    QWidget* area = body();
    QWidget* outputBox = buildOutputChoices(area);
    QLayout* charts = buildChartChoices(area);
    QWidget* listBox = buildCustomerList(area);
    QWidget* nameBox = buildWorkbookName(area);
    QLayout* bottom = buildBottomLine(area);

    auto* top = new QHBoxLayout;
    top->addWidget(outputBox);
    top->addLayout(charts, 1);
    auto* extras = new QHBoxLayout;
    extras->addWidget(buildComparison(area));
    extras->addWidget(buildMailing(area), 1);
    auto* layout = new QVBoxLayout(area);
    layout->addLayout(top);
    layout->addWidget(listBox, 1);
    layout->addLayout(extras);
    layout->addWidget(nameBox);
    layout->addLayout(bottom);
}

// Sheets of the workbook.
QWidget* FRM_PLWAN403::buildOutputChoices(QWidget* area) {
    auto* outputBox = new QGroupBox(QStringLiteral("出力物の選択"), area);
    const std::array<std::pair<const char16_t*, const char16_t*>, 9> outputs{{
        {u"chkP10", u"RFM解析パラメータ"},
        {u"chkP20", u"グループ値"},
        {u"chkP25", u"RFM顧客一覧"},
        {u"chkP30", u"Ｒ視点人数"},
        {u"chkP31", u"Ｒ視点金額"},
        {u"chkP40", u"Ｆ視点人数"},
        {u"chkP41", u"Ｆ視点金額"},
        {u"chkP50", u"Ｍ視点人数"},
        {u"chkP51", u"Ｍ視点金額"},
    }};
    auto* outputLayout = Compact(new QGridLayout(outputBox));
    for (size_t i = 0; i < outputs.size(); ++i) {
        mOutputs[i] = new QCheckBox(QString::fromUtf16(outputs[i].second), outputBox);
        mOutputs[i]->setObjectName(QString::fromUtf16(outputs[i].first));
    }
    // The general sheets in the first column, the six viewpoint sheets in pairs beside them.
    outputLayout->addWidget(mOutputs[0], 0, 0);
    outputLayout->addWidget(mOutputs[1], 1, 0);
    outputLayout->addWidget(mOutputs[2], 2, 0);
    for (int v = 0; v < 3; ++v) {
        outputLayout->addWidget(mOutputs[static_cast<size_t>(3 + 2 * v)], v, 1);
        outputLayout->addWidget(mOutputs[static_cast<size_t>(4 + 2 * v)], v, 2);
    }
    auto* checkAll =
        MakeButton(QStringLiteral("Command9"), QStringLiteral("全部チェック"), outputBox);
    auto* clearAll = MakeButton(QStringLiteral("Command8"), QStringLiteral("全部解除"), outputBox);
    auto* outputButtons = new QHBoxLayout;
    outputButtons->addStretch(1);
    outputButtons->addWidget(checkAll);
    outputButtons->addWidget(clearAll);
    outputLayout->addLayout(outputButtons, 3, 0, 1, 3);
    connect(checkAll, &QPushButton::clicked, this, [this] { tickAllOutputs(true); });
    connect(clearAll, &QPushButton::clicked, this, [this] { tickAllOutputs(false); });
    return outputBox;
}

// Chart types of the group-value sheet, each option with its sample picture: the left and the
// right chart one above the other.
QLayout* FRM_PLWAN403::buildChartChoices(QWidget* area) {
    using Kind = ChartSamplePicture::Kind;
    const auto chartBox = [this, area](const QString& caption, auto& options, QButtonGroup*& group,
                                       const QString& prefix, const auto& pictures, int columns) {
        auto* box = new QGroupBox(caption, area);
        auto* layout = Compact(new QGridLayout(box));
        group = new QButtonGroup(box);
        for (size_t i = 0; i < options.size(); ++i) {
            auto* option = new QRadioButton(QStringLiteral("種類") + QChar(0xFF11 + int(i)), box);
            option->setObjectName(prefix + QString::number(i + 1));
            group->addButton(option);
            options[i] = option;
            auto* picture = new ChartSamplePicture(pictures[i].second, box);
            picture->setObjectName(pictures[i].first);
            picture->setClickHandler([this, option] { chooseChart(option); });
            connect(option, &QRadioButton::clicked, this, [this, option] { chooseChart(option); });
            const int row = static_cast<int>(i) / columns * 2;
            const int column = static_cast<int>(i) % columns;
            layout->addWidget(picture, row, column, Qt::AlignHCenter);
            layout->addWidget(option, row + 1, column, Qt::AlignHCenter);
        }
        return box;
    };
    const std::array<std::pair<QString, Kind>, 3> leftPictures{{
        {QStringLiteral("Image1"), Kind::Template},
        {QStringLiteral("Image2"), Kind::Column},
        {QStringLiteral("Image3"), Kind::PercentColumn},
    }};
    const std::array<std::pair<QString, Kind>, 6> rightPictures{{
        {QStringLiteral("Image8"), Kind::Pie},
        {QStringLiteral("Image7"), Kind::Column},
        {QStringLiteral("Image6"), Kind::Bar},
        {QStringLiteral("Image11"), Kind::Doughnut},
        {QStringLiteral("Image10"), Kind::Line},
        {QStringLiteral("Image9"), Kind::Cylinder},
    }};
    auto* leftBox = chartBox(QStringLiteral("グループ値のグラフの種類(左)"), mLeftCharts,
                             mLeftChartGroup, QStringLiteral("optG2"), leftPictures, 3);
    auto* rightBox = chartBox(QStringLiteral("グループ値のグラフの種類(右)"), mRightCharts,
                              mRightChartGroup, QStringLiteral("optG3"), rightPictures, 6);
    auto* charts = new QVBoxLayout;
    charts->addWidget(leftBox);
    charts->addWidget(rightBox);
    return charts;
}

// Columns, order and groups of the customer list.
QWidget* FRM_PLWAN403::buildCustomerList(QWidget* area) {
    auto* listBox = new QGroupBox(QStringLiteral("RFM顧客一覧の出力項目/順序"), area);
    const auto itemList = [listBox](const QString& name) {
        auto* list = new ItemList(listBox);
        list->setObjectName(name);
        list->setFont(ColumnListFont());
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setMinimumSize(200, 120);
        return list;
    };
    mList2 = itemList(QStringLiteral("List2"));
    mList3 = itemList(QStringLiteral("List3"));
    auto* allSet = MakeButton(QStringLiteral("cmdAllSet"), QStringLiteral("全不要"), listBox);
    auto* toUnneeded = MakeButton(QStringLiteral("cmdM2KSen"), QStringLiteral("不要"), listBox);
    auto* toOutput = MakeButton(QStringLiteral("cmdK2MSen"), QStringLiteral("出力"), listBox);
    auto* allClear = MakeButton(QStringLiteral("cmdAllCLEAR"), QStringLiteral("全出力"), listBox);
    auto* moveButtons = new QVBoxLayout;
    moveButtons->addStretch(1);
    for (QPushButton* b : {allSet, toUnneeded, toOutput, allClear})
        moveButtons->addWidget(b);
    moveButtons->addStretch(1);
    connect(allSet, &QPushButton::clicked, this, [this] { unneedAll(); });
    connect(toUnneeded, &QPushButton::clicked, this, [this] { moveToUnneeded(); });
    connect(toOutput, &QPushButton::clicked, this, [this] { moveToOutput(); });
    connect(allClear, &QPushButton::clicked, this, [this] { outputAll(); });
    connect(mList2, &QListWidget::itemDoubleClicked, this, [this] { moveToUnneeded(); });
    connect(mList3, &QListWidget::itemDoubleClicked, this, [this] { moveToOutput(); });
    QWidget* orderBox = buildListOrder(listBox);
    QWidget* groupBox = buildListGroups(listBox);

    auto* listLayout = Compact(new QGridLayout(listBox));
    listLayout->addWidget(new QLabel(QStringLiteral("出力項目"), listBox), 0, 0);
    listLayout->addWidget(new QLabel(QStringLiteral("出力不要項目"), listBox), 0, 2);
    listLayout->addWidget(mList2, 1, 0);
    listLayout->addLayout(moveButtons, 1, 1);
    listLayout->addWidget(mList3, 1, 2);
    listLayout->addWidget(
        new QLabel(QStringLiteral("ダブルクリックでも指定/解除できます。"), listBox), 2, 0, 1, 3);
    auto* listOptions = new QVBoxLayout;
    listOptions->addWidget(orderBox);
    listOptions->addWidget(groupBox);
    listOptions->addStretch(1);
    listLayout->addLayout(listOptions, 0, 3, 3, 1);
    return listBox;
}

// The order of the customer list.
QWidget* FRM_PLWAN403::buildListOrder(QWidget* listBox) {
    auto* orderBox = new QGroupBox(QStringLiteral("出力順序"), listBox);
    auto* orderLayout = Compact(new QVBoxLayout(orderBox));
    mOrderGroup = new QButtonGroup(orderBox);
    const std::array<const char16_t*, 3> orders{u"会員番号順", u"RFM値順", u"グループ順"};
    for (size_t i = 0; i < orders.size(); ++i) {
        mOrders[i] = new QRadioButton(QString::fromUtf16(orders[i]), orderBox);
        mOrders[i]->setObjectName(QStringLiteral("optJR") + QString::number(i + 1));
        mOrderGroup->addButton(mOrders[i]);
        orderLayout->addWidget(mOrders[i]);
    }
    return orderBox;
}

// The groups the customer list shows.
QWidget* FRM_PLWAN403::buildListGroups(QWidget* listBox) {
    auto* groupBox = new QGroupBox(QStringLiteral("出力グループ"), listBox);
    auto* groupLayout = Compact(new QGridLayout(groupBox));
    const std::array<std::pair<const char16_t*, const char16_t*>, 6> groups{{
        {u"chkGrp_A", u"グループＡ"},
        {u"chkGrp_B", u"グループＢ"},
        {u"chkGrp_C", u"グループＣ"},
        {u"chkGrp_D", u"グループＤ"},
        {u"chkGrp_E", u"グループＥ"},
        {u"chkGrp_X", u"未分類"},
    }};
    for (size_t i = 0; i < groups.size(); ++i) {
        mGroups[i] = new QCheckBox(QString::fromUtf16(groups[i].second), groupBox);
        mGroups[i]->setObjectName(QString::fromUtf16(groups[i].first));
        groupLayout->addWidget(mGroups[i], static_cast<int>(i % 3), static_cast<int>(i / 3));
    }
    auto* groupsOn =
        MakeButton(QStringLiteral("Command2"), QStringLiteral("全部チェック"), groupBox);
    auto* groupsOff = MakeButton(QStringLiteral("Command1"), QStringLiteral("全部解除"), groupBox);
    groupLayout->addWidget(groupsOn, 3, 0);
    groupLayout->addWidget(groupsOff, 3, 1);
    connect(groupsOn, &QPushButton::clicked, this, [this] { tickAllGroups(true); });
    connect(groupsOff, &QPushButton::clicked, this, [this] { tickAllGroups(false); });
    return groupBox;
}

// The name of the workbook written, with F9 to choose it.
QWidget* FRM_PLWAN403::buildWorkbookName(QWidget* area) {
    auto* nameBox = new QGroupBox(
        QStringLiteral(
            "出力するExcelブック名(フォルダを指定しない場合はマイドキュメントに作成されます）"),
        area);
    mWorkbookName = new TextField(nameBox);
    mWorkbookName->setObjectName(QStringLiteral("txtOtFname"));
    mF9 = MakeButton(QStringLiteral("cmdF9"), QStringLiteral("F9:参照"), nameBox);
    auto* nameLayout = Compact(new QHBoxLayout(nameBox));
    nameLayout->addWidget(mWorkbookName, 1);
    nameLayout->addWidget(mF9);
    connect(mF9, &QPushButton::clicked, this, [this] { browseWorkbook(); });
    return nameBox;
}

// ESC, the hard copy and F12.
QLayout* FRM_PLWAN403::buildBottomLine(QWidget* area) {
    mEsc = MakeButton(QStringLiteral("cmdEsc"), QStringLiteral("ESC:前画面"), area);
    mF12 = MakeButton(QStringLiteral("cmdF12"), QStringLiteral("F12:Excel出力"), area);
    for (QPushButton* b : {mEsc, mF12})
        b->setMinimumSize(130, 28);
    connect(mEsc, &QPushButton::clicked, this, [this] { goBack(); });
    connect(mF12, &QPushButton::clicked, this, [this] { execute(); });
    setEscButton(mEsc);
    setF9Button(mF9);
    setF12Button(mF12);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(mEsc);
    bottom->addStretch(1);
    bottom->addWidget(new HardCopyButton(area));
    bottom->addWidget(mF12);
    return bottom;
}

QWidget* FRM_PLWAN403::buildComparison(QWidget* area) {
    auto* box = new QGroupBox(QStringLiteral("前回との比較（シート「グループ推移」）"), area);
    mHistory = new QComboBox(box);
    mHistory->setObjectName(QStringLiteral("cboHistory"));
    mHistory->setMinimumContentsLength(26);
    mHistory->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* layout = Compact(new QVBoxLayout(box));
    layout->addWidget(mHistory);
    return box;
}

QWidget* FRM_PLWAN403::buildMailing(QWidget* area) {
    // Unticked, the whole box is greyed out: its settings are kept but nothing is written.
    mMailing = new QGroupBox(QStringLiteral("宛名リストを出力"), area);
    mMailing->setObjectName(QStringLiteral("chkMailList"));
    mMailing->setCheckable(true);
    const std::array<std::pair<const char16_t*, const char16_t*>, 6> groups{{
        {u"chkMail_A", u"Ａ"},
        {u"chkMail_B", u"Ｂ"},
        {u"chkMail_C", u"Ｃ"},
        {u"chkMail_D", u"Ｄ"},
        {u"chkMail_E", u"Ｅ"},
        {u"chkMail_X", u"未分類"},
    }};
    auto* row = Compact(new QHBoxLayout(mMailing));
    for (size_t i = 0; i < groups.size(); ++i) {
        mMailGroups[i] = new QCheckBox(QString::fromUtf16(groups[i].second), mMailing);
        mMailGroups[i]->setObjectName(QString::fromUtf16(groups[i].first));
        row->addWidget(mMailGroups[i]);
    }
    row->addSpacing(8);
    // Who goes in: those who agreed to direct mail and have an address, or to mail notices and
    // have an e-mail address.
    mMailDirect = new QRadioButton(QStringLiteral("ＤＭ"), mMailing);
    mMailDirect->setObjectName(QStringLiteral("optMailDM"));
    mMailDirect->setToolTip(QStringLiteral("ＤＭ発送に同意し、住所１がある顧客"));
    mMailMail = new QRadioButton(QStringLiteral("メール"), mMailing);
    mMailMail->setObjectName(QStringLiteral("optMailMail"));
    mMailMail->setToolTip(QStringLiteral("メールお知らせに同意し、メールアドレスがある顧客"));
    auto* kinds = new QButtonGroup(mMailing);
    kinds->addButton(mMailDirect);
    kinds->addButton(mMailMail);
    row->addWidget(mMailDirect);
    row->addWidget(mMailMail);
    row->addSpacing(8);
    mMailFile = new TextField(mMailing);
    mMailFile->setObjectName(QStringLiteral("txtMailFname"));
    mMailFile->setPlaceholderText(QStringLiteral("ファイル名(CSV)"));
    mMailFile->setMinimumWidth(240);
    mMailBrowse = MakeButton(QStringLiteral("cmdMailRef"), QStringLiteral("参照"), mMailing);
    connect(mMailBrowse, &QPushButton::clicked, this, [this] { browseMailingList(); });
    row->addWidget(mMailFile, 1);
    row->addWidget(mMailBrowse);
    return mMailing;
}

void FRM_PLWAN403::setHistory(HistoryRead history, const QDate& baseDate) {
    mKept = std::move(history);
    mBaseDate = baseDate;
}

// The choices: the newest kept run before the base date ("前回"), every kept run by its base
// date, no comparison; a chosen base date no longer kept stays shown as what it is.
void FRM_PLWAN403::showComparisonChoices() {
    const auto slash = [](const QDate& date) {
        return date.toString(QStringLiteral("yyyy/MM/dd"));
    };
    mChoices.clear();
    mHistory->clear();
    // Without kept runs the first choice says why; the details are in its tip.
    QString previousText = QStringLiteral("前回（基準日より前の実行はありません）");
    QString tip;
    switch (mKept.Outcome) {
    case HistoryRead::State::Empty:
        previousText = QStringLiteral("前回（グループ履歴はまだありません）");
        tip = QStringLiteral("今回の実行から履歴に残します。");
        break;
    case HistoryRead::State::Damaged:
        previousText = QStringLiteral("前回（グループ履歴が壊れています）");
        tip = QStringLiteral("実行すると壊れた履歴を別の名前で残し、新しく始めます。\n") +
              mKept.Cause;
        break;
    case HistoryRead::State::Failed:
        previousText = QStringLiteral("前回（グループ履歴を読めません）");
        tip = mKept.Cause;
        break;
    case HistoryRead::State::Read:
        break;
    }
    const ComparisonChoice previous;
    const std::optional<KeptRun> newest = ComparedRun(mKept.Runs, previous, mBaseDate);
    mChoices.push_back(previous);
    mHistory->addItem(newest ? QStringLiteral("前回（基準日 %1）").arg(slash(newest->BaseDate))
                             : previousText);
    mHistory->setToolTip(tip);
    for (const KeptRun& run : mKept.Runs) {
        qint64 customers = 0;
        for (qint64 n : run.GroupCounts)
            customers += n;
        mChoices.push_back({ComparisonChoice::Kind::BaseDate, run.BaseDate});
        mHistory->addItem(
            QStringLiteral("基準日 %1（%2 実行、%3人）")
                .arg(slash(run.BaseDate), run.RunTime.toString(QStringLiteral("yyyy/MM/dd")))
                .arg(customers));
    }
    const ComparisonChoice& stored = mState.CompareWith;
    if (stored.Choice == ComparisonChoice::Kind::BaseDate &&
        std::find(mChoices.begin(), mChoices.end(), stored) == mChoices.end()) {
        mChoices.push_back(stored);
        mHistory->addItem(
            QStringLiteral("基準日 %1（履歴に残っていません）").arg(slash(stored.BaseDate)));
    }
    mChoices.push_back({ComparisonChoice::Kind::None, QDate()});
    mHistory->addItem(QStringLiteral("比較しない"));
    const auto selected = std::find(mChoices.begin(), mChoices.end(), stored);
    mHistory->setCurrentIndex(int(selected - mChoices.begin()));
}

void FRM_PLWAN403::loadState() {
    const std::array<bool, 9> outputs{
        mState.OutParameters, mState.OutGroupValues, mState.OutCustomerList,
        mState.OutRCount,     mState.OutRAmount,     mState.OutFCount,
        mState.OutFAmount,    mState.OutMCount,      mState.OutMAmount};
    for (size_t i = 0; i < outputs.size(); ++i)
        mOutputs[i]->setChecked(outputs[i]);
    selectOption(mLeftChartGroup, mLeftCharts, mState.LeftChartType);
    selectOption(mRightChartGroup, mRightCharts, mState.RightChartType);
    selectOption(mOrderGroup, mOrders, mState.ListOrder);
    for (size_t g = 0; g < mGroups.size(); ++g)
        mGroups[g]->setChecked(mState.ListGroups[g]);
    // List2 always shows the master items not left out, in master order.
    showLists(mState.List3);
    mWorkbookName->setText(mState.WorkbookName);

    showComparisonChoices();
    mMailing->setChecked(mState.MailingList);
    for (size_t g = 0; g < mMailGroups.size(); ++g)
        mMailGroups[g]->setChecked(mState.MailingGroups[g]);
    (mState.MailingKind == MailingConsent::Mail ? mMailMail : mMailDirect)->setChecked(true);
    mMailFile->setText(mState.MailingFile);
}

void FRM_PLWAN403::storeState() {
    bool* outputs[] = {&mState.OutParameters, &mState.OutGroupValues, &mState.OutCustomerList,
                       &mState.OutRCount,     &mState.OutRAmount,     &mState.OutFCount,
                       &mState.OutFAmount,    &mState.OutMCount,      &mState.OutMAmount};
    for (size_t i = 0; i < mOutputs.size(); ++i)
        *outputs[i] = mOutputs[i]->isChecked();
    mState.LeftChartType = selectedOption(mLeftCharts);
    mState.RightChartType = selectedOption(mRightCharts);
    mState.ListOrder = selectedOption(mOrders);
    for (size_t g = 0; g < mGroups.size(); ++g)
        mState.ListGroups[g] = mGroups[g]->isChecked();
    mState.List2 = entries(mList2);
    mState.List3 = entries(mList3);
    mState.WorkbookName = mWorkbookName->text();

    const int choice = mHistory->currentIndex();
    if (choice >= 0 && size_t(choice) < mChoices.size())
        mState.CompareWith = mChoices[size_t(choice)];
    mState.MailingList = mMailing->isChecked();
    for (size_t g = 0; g < mMailGroups.size(); ++g)
        mState.MailingGroups[g] = mMailGroups[g]->isChecked();
    mState.MailingKind = mMailMail->isChecked() ? MailingConsent::Mail : MailingConsent::DirectMail;
    mState.MailingFile = mMailFile->text();
}

void FRM_PLWAN403::tickAllOutputs(bool on) {
    for (QCheckBox* box : mOutputs)
        box->setChecked(on);
}

void FRM_PLWAN403::tickAllGroups(bool on) {
    for (QCheckBox* box : mGroups)
        box->setChecked(on);
}

void FRM_PLWAN403::chooseChart(QRadioButton* option) {
    option->setChecked(true);
    mOutputs[1]->setChecked(true); // chkP20 "グループ値"
}

void FRM_PLWAN403::moveToUnneeded() {
    const int row = selectedRow(mList2);
    if (row < 0) {
        prompter().show(QStringLiteral("選択されていません"), MessageIcon::Critical);
        return;
    }
    QStringList unneeded = entries(mList3);
    unneeded.append(mList2->item(row)->text());
    showLists(unneeded);
    mOutputs[2]->setChecked(true); // chkP25 "RFM顧客一覧"
}

void FRM_PLWAN403::moveToOutput() {
    const int row = selectedRow(mList3);
    if (row < 0) {
        prompter().show(QStringLiteral("選択されていません"), MessageIcon::Critical);
        return;
    }
    QStringList unneeded = entries(mList3);
    unneeded.removeAt(row);
    showLists(unneeded);
    mOutputs[2]->setChecked(true);
}

void FRM_PLWAN403::unneedAll() {
    showLists(mOutputItems);
    mOutputs[2]->setChecked(true);
}

void FRM_PLWAN403::outputAll() {
    showLists(QStringList());
    mOutputs[2]->setChecked(true);
}

// List3 := the items left out, in their order; List2 := the master items not among them.
void FRM_PLWAN403::showLists(const QStringList& unneeded) {
    mList3->clear();
    mList3->addItems(unneeded);
    mList2->clear();
    mList2->addItems(ItemsToOutput(mOutputItems, unneeded));
}

void FRM_PLWAN403::browseWorkbook() {
    const QString chosen = TrimAll(mSaveDialog.askSaveFileName(
        this, QStringLiteral("ファイル保存"), mState.DialogFolder, mState.DialogFile,
        QStringLiteral("(*.XLS *.xls)"), QStringLiteral("XLS")));
    if (chosen.isEmpty())
        return;
    const ChosenWorkbook workbook = CompleteChosenWorkbook(chosen);
    mWorkbookName->setText(workbook.Folder + workbook.File);
    mState.DialogFolder = workbook.Folder;
    mState.DialogFile = workbook.File;
}

void FRM_PLWAN403::browseMailingList() {
    QString folder, file;
    SplitPath(TrimAll(mMailFile->text()), folder, file);
    const QString chosen = TrimAll(
        mSaveDialog.askSaveFileName(this, QStringLiteral("ファイル保存"), folder, file,
                                    QStringLiteral("(*.CSV *.csv)"), QStringLiteral("CSV")));
    if (chosen.isEmpty())
        return;
    SplitPath(chosen, folder, file);
    if (!file.contains(u'.'))
        file += QStringLiteral(".csv");
    mMailFile->setText(folder + file);
}

void FRM_PLWAN403::execute() {
    storeState();
    if (!mExecute)
        return;
    const AnalysisResult result = mExecute();
    // The name check completes the name in place (documents folder, extension).
    mWorkbookName->setText(mState.WorkbookName);
    if (!result.Focus.isEmpty())
        SetFocusSafe(findChild<QWidget*>(result.Focus));
}

void FRM_PLWAN403::goBack() {
    storeState();
    hide();
    if (mBack)
        mBack();
}

void FRM_PLWAN403::closeEvent(QCloseEvent* event) {
    // The close box does what "ESC:前画面" does.
    event->ignore();
    mEsc->click();
}

} // namespace plw
