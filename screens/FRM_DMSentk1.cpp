#include "screens/FRM_DMSentk1.h"

#include "app/CommonRoutines.h"
#include "app/EraDate.h"
#include "extract/ConditionModule.h"
#include "screens/ConditionPages.h"
#include "screens/DateField.h"
#include "screens/FieldRoutines.h"
#include "screens/HardCopyButton.h"
#include "screens/MonthDayField.h"
#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"
#include "screens/TextField.h"
#include "screens/UpDownButtons.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace plw {

namespace {

using S = ConditionScreenState;

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

// The value options of sex and the two consents: name + "_1" ... and the state's choice.
struct ValueOption {
    const char16_t* Name;
    int Count;
    int S::*Choice;
};
constexpr std::array<ValueOption, 3> ValueOptions{{
    {u"optKihSeI_A", 2, &S::KihSei},
    {u"optDmkYNo", 2, &S::DmkOsr},
    {u"optEmlYNo", 3, &S::EmlOsr},
}};

constexpr std::array<const char16_t*, 10> DatePresetButtons{
    u"cmdA0",   u"cmdAA",    u"cmdB0",   u"cmdC0",   u"cmdD0",
    u"cmdSetA", u"cmdSetA1", u"cmdSetB", u"cmdSetD", u"cmdSetC",
};

// Text and date boxes show their state in white; disabled ones in the information background.
void paintBox(QWidget* box, bool enabled) {
    QPalette p = box->palette();
    const QColor base =
        enabled ? QColor(Qt::white) : QApplication::palette().color(QPalette::ToolTipBase);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, base);
    box->setPalette(p);
}

} // namespace

FRM_DMSentk1::FRM_DMSentk1(const Environment& environment, Prompter& prompter,
                           ConditionModule& module, QWidget* parent)
    : AnalysisScreen(environment, prompter, QString(), parent), mModule(module) {
    setObjectName(QStringLiteral("FRM_DMSentk1"));
    setWindowTitle(QStringLiteral("抽出条件の設定"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildTopLine());
    mTabs = new QTabWidget(body());
    mTabs->setObjectName(QStringLiteral("SSTab1"));
    mPages = std::make_unique<ConditionPages>(mTabs);
    layout->addWidget(mTabs, 1);
    mSummary = new QListWidget(body());
    mSummary->setObjectName(QStringLiteral("List1"));
    mSummary->setFont(ColumnListFont());
    // Eight whole lines, measured on a line of the list's own.
    mSummary->addItem(QStringLiteral("基本情報"));
    mSummary->setFixedHeight(mSummary->sizeHintForRow(0) * 8 + 2 * mSummary->frameWidth());
    mSummary->clear();
    mSummary->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(mSummary);
    layout->addWidget(buildBottomLine());

    setF12Button(mF12);
    setEscButton(mEsc);
    bindConditions();
    bindButtons();

    mModule.ShowScreen = [this] {
        showState();
        show();
        raise();
        activateWindow();
        // Keys reach the screen from its first moment: the tabs have the focus to begin with.
        if (!isAncestorOf(focusWidget()))
            mTabs->setFocus();
    };
    mModule.HideScreen = [this] {
        hide();
    };
    mModule.ScreenChanged = [this] {
        showState();
    };
    showState();
}

FRM_DMSentk1::~FRM_DMSentk1() {
    mModule.ShowScreen = nullptr;
    mModule.HideScreen = nullptr;
    mModule.ScreenChanged = nullptr;
}

QWidget* FRM_DMSentk1::buildTopLine() {
    auto* line = new QWidget(body());
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    mMode = new QLabel(line);
    mMode->setObjectName(QStringLiteral("lblMode"));
    mMode->setFrameShape(QFrame::Panel);
    mMode->setFrameShadow(QFrame::Sunken);
    mMode->setMinimumWidth(mMode->fontMetrics().horizontalAdvance(QStringLiteral("前条件前条件")));
    mMode->setAlignment(Qt::AlignCenter);
    layout->addWidget(new QLabel(QStringLiteral("モード"), line));
    layout->addWidget(mMode);
    layout->addSpacing(16);
    auto* notice = new QFrame(line);
    notice->setObjectName(QStringLiteral("picHelp9"));
    notice->setFrameShape(QFrame::Box);
    auto* noticeLayout = new QHBoxLayout(notice);
    noticeLayout->setContentsMargins(8, 2, 8, 2);
    mNoticeText = new QLabel(notice);
    mNoticeText->setObjectName(QStringLiteral("lblHelp9"));
    noticeLayout->addWidget(mNoticeText);
    mNotice = notice;
    layout->addWidget(notice);
    layout->addStretch(1);
    return line;
}

QWidget* FRM_DMSentk1::buildBottomLine() {
    auto* line = new QWidget(body());
    auto* layout = new QVBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* keys = new QHBoxLayout;
    mEsc = MakeButton(QStringLiteral("cmdEsc"), QStringLiteral("ESC: キャンセル"), line);
    mAllNone = MakeButton(QStringLiteral("cmdAllDel"), QStringLiteral("全て指定しないに"), line);
    mTemplate = MakeButton(QStringLiteral("cmdTeplate"), QStringLiteral("テンプレート機能"), line);
    mHelp = MakeButton(QStringLiteral("cmdHelp"), QStringLiteral("説明"), line);
    mDebug = MakeButton(QStringLiteral("cmdDebug"), QStringLiteral("DEBUG_SQLクリップ"), line);
    mF1 = MakeButton(QStringLiteral("cmdF1"), QStringLiteral("F1: 件数確認"), line);
    mF12 = MakeButton(QStringLiteral("cmdF12"), QStringLiteral("F12: 選択完了"), line);
    mTemplate->setEnabled(false);
    mHelp->setEnabled(false);
    mF1->setEnabled(false);
    mCount = new QLabel(QStringLiteral("件数"), line);
    mCount->setObjectName(QStringLiteral("lblKen"));
    mCount->setFrameShape(QFrame::Panel);
    mCount->setFrameShadow(QFrame::Sunken);
    mCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mCount->setMinimumWidth(
        mCount->fontMetrics().horizontalAdvance(QStringLiteral("該当 ０００,０００ 人")) + 12);
    keys->addWidget(mEsc);
    keys->addSpacing(12);
    keys->addWidget(mAllNone);
    keys->addWidget(mTemplate);
    keys->addWidget(mHelp);
    keys->addWidget(mDebug);
    keys->addStretch(1);
    // A double click on the screen's background prints it too.
    keys->addWidget(new HardCopyButton(line, this));
    keys->addWidget(mF1);
    keys->addWidget(mCount);
    keys->addSpacing(12);
    keys->addWidget(mF12);
    layout->addLayout(keys);
    auto* status = new QStatusBar(line);
    status->setObjectName(QStringLiteral("stb_Guaid"));
    status->setSizeGripEnabled(false);
    status->addWidget(
        new QLabel(QStringLiteral("条件ごとに指定方法を選んで値を入れ、F1 で該当人数を確認、"
                                  "F12 で設定を終わります。"),
                   status));
    // The calendar hint comes and goes on the status line, in room kept for it, so that the
    // screen's width never changes.
    mCalendarHint = new QLabel(QStringLiteral("F4キーでカレンダーから入力できます"), status);
    mCalendarHint->setObjectName(QStringLiteral("picHelp2"));
    mCalendarHint->setFrameShape(QFrame::Box);
    QSizePolicy keepRoom = mCalendarHint->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    mCalendarHint->setSizePolicy(keepRoom);
    status->addPermanentWidget(mCalendarHint);
    mCalendarHint->hide();
    layout->addWidget(status);
    return line;
}

void FRM_DMSentk1::bindConditions() {
    bindOptions();
    bindChecksAndLists();
    bindSliderBoxes();
    bindTextFields();
    bindDateFields();
    for (const char* name : {"txtKihKai_F", "txtKihKai_T", "txtMisBan_A"})
        findChild<QLineEdit*>(QLatin1String(name))->installEventFilter(this);

    S& s = mModule.Screen();
    connect(mTabs, &QTabWidget::currentChanged, this, [this, &s](int index) {
        if (!mShowing)
            s.CurrentTab = index;
    });
}

// Each condition's kind options and the options that choose a value store their choice.
void FRM_DMSentk1::bindOptions() {
    S& s = mModule.Screen();
    for (int c = 0; c < Cond::Count; ++c) {
        const QString group =
            QString::fromUtf16(ConditionControls[static_cast<size_t>(c)].OptionGroup);
        for (int kind = 1; kind <= 4; ++kind) {
            auto* option = findChild<QRadioButton*>(QStringLiteral("%1_%2").arg(group).arg(kind));
            connect(option, &QRadioButton::toggled, this, [this, &s, c, kind](bool checked) {
                if (!checked || mShowing)
                    return;
                s.Kinds[static_cast<size_t>(c)] = kind;
                changed();
            });
        }
    }
    for (const ValueOption& v : ValueOptions) {
        for (int i = 1; i <= v.Count; ++i) {
            auto* option =
                findChild<QRadioButton*>(QStringLiteral("%1_%2").arg(text(v.Name)).arg(i));
            connect(option, &QRadioButton::toggled, this, [this, &s, v, i](bool checked) {
                if (!checked || mShowing)
                    return;
                s.*v.Choice = i;
                changed();
            });
        }
    }
}

// The month and mail-type check boxes and the classification lists store their ticks.
void FRM_DMSentk1::bindChecksAndLists() {
    S& s = mModule.Screen();
    const auto bindChecks = [this](const QString& stem, auto& flags) {
        for (size_t i = 0; i < flags.size(); ++i) {
            auto* box = findChild<QCheckBox*>(stem + QString::number(i + 1));
            connect(box, &QCheckBox::toggled, this, [this, &flags, i](bool checked) {
                if (mShowing)
                    return;
                flags[i] = checked;
                changed();
            });
        }
    };
    bindChecks(QStringLiteral("chkTosTuk_"), s.TosTuk);
    bindChecks(QStringLiteral("chkEmlSbt_"), s.EmlSbt);
    for (int level = 1; level <= ClassificationLevels; ++level) {
        auto* list = findChild<QListWidget*>(QStringLiteral("lstZok%1").arg(level));
        connect(list, &QListWidget::itemChanged, this,
                [this, &s, list, level](QListWidgetItem* item) {
                    const int row = list->row(item);
                    if (mShowing || row < 0 || row >= ConditionRecord::BunItems)
                        return;
                    s.BunSelected[static_cast<size_t>(level - 1)][static_cast<size_t>(row)] =
                        item->checkState() == Qt::Checked;
                    changed();
                });
    }
}

// A box paired with a slider moves it first; the slider and the up-down type into the box.
void FRM_DMSentk1::bindSliderBoxes() {
    for (const ConditionPages::SliderBox& pair : mPages->sliderBoxes()) {
        QSlider* slider = pair.Slider;
        TextField* box = pair.Box;
        connect(box, &QLineEdit::textChanged, this, [slider](const QString& value) {
            const QSignalBlocker block(slider);
            slider->setValue(std::clamp(ToLong(value), slider->minimum(), slider->maximum()));
        });
        connect(slider, &QSlider::valueChanged, this, [box](int value) {
            if (box->text() != QString::number(value))
                box->setText(QString::number(value));
        });
        pair.UpDown->setStepHandler([box, slider](int step) {
            const int value =
                std::clamp(ToLong(box->text()) + step, slider->minimum(), slider->maximum());
            box->setText(QString::number(value));
        });
    }
}

// The text boxes store what is typed.
void FRM_DMSentk1::bindTextFields() {
    S& s = mModule.Screen();
    for (const ConditionTextControl& control : ConditionTextControls()) {
        auto* box = findChild<QLineEdit*>(QString::fromUtf16(control.Name));
        connect(box, &QLineEdit::textChanged, this,
                [this, &s, member = control.Value](const QString& value) {
                    if (mShowing)
                        return;
                    s.*member = value;
                    changed();
                });
    }
}

// The date fields store their date (a month and day in a leap year); the event filter shows the
// calendar hint while one has the focus and checks it when it loses the focus.
void FRM_DMSentk1::bindDateFields() {
    S& s = mModule.Screen();
    for (const ConditionDateControl& control : ConditionDateControls()) {
        const QString name = QString::fromUtf16(control.Name);
        QWidget* field = nullptr;
        if (control.MonthDay) {
            auto* day = findChild<MonthDayField*>(name);
            day->setValueChangedHandler([this, &s, member = control.Value](const QString& mmdd) {
                if (mShowing)
                    return;
                s.*member = mmdd.isEmpty() ? QString() : QStringLiteral("1996") + mmdd;
                changed();
            });
            field = day;
        } else {
            auto* date = findChild<DateField*>(name);
            date->setValueChangedHandler([this, &s, member = control.Value](const QString& value) {
                if (mShowing)
                    return;
                s.*member = value;
                changed();
            });
            field = date;
        }
        field->installEventFilter(this);
    }
}

void FRM_DMSentk1::bindButtons() {
    const auto onClick = [this](const QString& name, std::function<void()> routine) {
        auto* b = findChild<QPushButton*>(name);
        connect(b, &QPushButton::clicked, this, [this, routine] { act(routine); });
    };
    // Min and Max: cmd + the box's name without "txt".
    for (const ConditionRangeControl& range : ConditionRangeControls()) {
        for (const ConditionTextControl& box : ConditionTextControls()) {
            if (box.Owner != range.Owner)
                continue;
            const QString name = QString::fromUtf16(box.Name);
            const bool lower = name.endsWith(QLatin1String("_F"));
            onClick(QStringLiteral("cmd") + name.mid(3), [this, lower, c = range.Owner] {
                lower ? mModule.SetMinimum(c) : mModule.SetMaximum(c);
            });
        }
    }
    for (const char16_t* name : DatePresetButtons)
        onClick(text(name), [this, name] { mModule.DatePreset(text(name)); });
    onClick(QStringLiteral("cmdKihHjm_X"), [this] { mModule.DateSetting(Cond::KihHjm); });
    onClick(QStringLiteral("cmdPinRai"), [this] { mModule.DateSetting(Cond::PinRai); });
    onClick(QStringLiteral("cmdNow"), [this] { mModule.Today(); });
    onClick(QStringLiteral("cmdNow2"), [this] { mModule.Tomorrow(); });
    onClick(QStringLiteral("cmdCLR"), [this] { mModule.ClearMonths(); });
    for (int level = 1; level <= ClassificationLevels; ++level) {
        onClick(QStringLiteral("cmdBunKai0_%1").arg(level - 1),
                [this, level] { mModule.SelectAllEntries(level); });
        onClick(QStringLiteral("cmdBunKai1_%1").arg(level - 1),
                [this, level] { mModule.DeselectAllEntries(level); });
    }

    onClick(QStringLiteral("cmdF12"), [this] { mModule.Confirm(); });
    onClick(QStringLiteral("cmdEsc"), [this] { mModule.Cancel(); });
    onClick(QStringLiteral("cmdAllDel"), [this] { mModule.AllToNone(); });
    onClick(QStringLiteral("cmdF1"), [this] {
        if (mCountHandler)
            mCountHandler();
    });
    onClick(QStringLiteral("cmdTeplate"), [this] {
        if (mTemplateHandler)
            mTemplateHandler();
    });
    connect(mHelp, &QPushButton::clicked, this, [this] {
        if (mHelpHandler)
            mHelpHandler();
    });
    connect(mDebug, &QPushButton::clicked, this, [this] { clipDebugSql(); });

    // F1 anywhere on the screen, as F12 is.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f1, &QShortcut::activated, this, [this] { press(mF1); });
}

void FRM_DMSentk1::setCountHandler(std::function<void()> handler) {
    mCountHandler = std::move(handler);
    mF1->setEnabled(static_cast<bool>(mCountHandler));
}

void FRM_DMSentk1::setTemplateHandler(std::function<void()> handler) {
    mTemplateHandler = std::move(handler);
    mTemplate->setEnabled(static_cast<bool>(mTemplateHandler));
}

void FRM_DMSentk1::setHelpHandler(std::function<void()> handler) {
    mHelpHandler = std::move(handler);
    mHelp->setEnabled(static_cast<bool>(mHelpHandler));
}

void FRM_DMSentk1::setBusy(bool busy) {
    // Disabling takes the focus away; it goes back where it was, so that keys work at once.
    if (busy)
        mFocusBeforeBusy = focusWidget();
    body()->setEnabled(!busy);
    if (!busy && mFocusBeforeBusy)
        SetFocusSafe(mFocusBeforeBusy);
}

void FRM_DMSentk1::setModeCaption(const QString& caption) {
    mMode->setText(caption);
}

void FRM_DMSentk1::act(const std::function<void()>& routine) {
    routine();
    showState();
}

void FRM_DMSentk1::changed() {
    mModule.Changed();
    showState();
}

void FRM_DMSentk1::press(QPushButton* button) {
    if (!button->isEnabled() || !button->isVisibleTo(this))
        return;
    SetFocusSafe(button);
    button->click();
}

void FRM_DMSentk1::clipDebugSql() {
    QApplication::clipboard()->setText(mModule.DebugSqlText());
    mModule.ReportClipped();
}

void FRM_DMSentk1::showState() {
    S& s = mModule.Screen();
    mShowing = true;
    for (int level = 1; level <= ClassificationLevels; ++level) {
        const size_t l = static_cast<size_t>(level - 1);
        findChild<QGroupBox*>(QStringLiteral("frmBun%1").arg(level))->setTitle(s.BunCaptions[l]);
        auto* list = findChild<QListWidget*>(QStringLiteral("lstZok%1").arg(level));
        const QStringList& items = s.BunItems[l];
        bool same = list->count() == items.size();
        for (int row = 0; same && row < list->count(); ++row)
            same = list->item(row)->text() == items[row];
        if (!same) {
            list->clear();
            for (const QString& item : items) {
                auto* entry = new QListWidgetItem(item, list);
                entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            }
        }
        for (int row = 0; row < list->count(); ++row) {
            const bool selected =
                row < ConditionRecord::BunItems && s.BunSelected[l][static_cast<size_t>(row)];
            list->item(row)->setCheckState(selected ? Qt::Checked : Qt::Unchecked);
        }
    }
    for (int c = 0; c < Cond::Count; ++c) {
        const QString group =
            QString::fromUtf16(ConditionControls[static_cast<size_t>(c)].OptionGroup);
        for (int kind = 1; kind <= 4; ++kind) {
            auto* option = findChild<QRadioButton*>(QStringLiteral("%1_%2").arg(group).arg(kind));
            if (kind == s.Kinds[static_cast<size_t>(c)])
                option->setChecked(true);
            option->setEnabled(s.KindEnabled[static_cast<size_t>(c)]);
        }
    }
    for (const ValueOption& v : ValueOptions)
        if (auto* option = findChild<QRadioButton*>(
                QStringLiteral("%1_%2").arg(text(v.Name)).arg(s.*v.Choice)))
            option->setChecked(true);
    for (int m = 1; m <= 12; ++m)
        findChild<QCheckBox*>(QStringLiteral("chkTosTuk_%1").arg(m))
            ->setChecked(s.TosTuk[static_cast<size_t>(m - 1)]);
    for (int t = 1; t <= 3; ++t)
        findChild<QCheckBox*>(QStringLiteral("chkEmlSbt_%1").arg(t))
            ->setChecked(s.EmlSbt[static_cast<size_t>(t - 1)]);
    for (const ConditionTextControl& control : ConditionTextControls()) {
        auto* box = findChild<QLineEdit*>(QString::fromUtf16(control.Name));
        if (box->text() != s.*control.Value)
            box->setText(s.*control.Value);
    }
    for (const ConditionDateControl& control : ConditionDateControls()) {
        const QString name = QString::fromUtf16(control.Name);
        const QString& value = s.*control.Value;
        if (control.MonthDay) {
            auto* day = findChild<MonthDayField*>(name);
            const QString mmdd = value.mid(4, 4);
            if (day->value() != mmdd)
                day->setValue(mmdd);
        } else {
            auto* date = findChild<DateField*>(name);
            if (date->value() != value)
                date->setValue(value);
        }
    }
    mPages->eraFrom()->setText(EraDateText(s.TosTanFrom));
    mPages->eraTo()->setText(EraDateText(s.TosTanTo));
    mPages->periodNote()->setVisible(!s.KindEnabled[Cond::PinRai]);
    applyEnabled();

    QStringList shown;
    for (int row = 0; row < mSummary->count(); ++row)
        shown << mSummary->item(row)->text();
    if (shown != s.SummaryLines) {
        mSummary->clear();
        mSummary->addItems(s.SummaryLines);
    }
    mCount->setText(s.CountLabel);
    mNotice->setVisible(s.NoticeVisible);
    mNoticeText->setText(s.NoticeText);
    mDebug->setVisible(s.DebugVisible);
    if (mTabs->currentIndex() != s.CurrentTab)
        mTabs->setCurrentIndex(s.CurrentTab);
    mShowing = false;

    if (!s.Focus.isEmpty()) {
        const QString name = std::exchange(s.Focus, QString());
        SetFocusSafe(findChild<QWidget*>(name));
    }
}

void FRM_DMSentk1::applyEnabled() {
    const S& s = mModule.Screen();
    for (int c = 0; c < Cond::Count; ++c) {
        const bool enabled = s.ValuesEnabled[static_cast<size_t>(c)];
        for (QWidget* control : mPages->valueControls(static_cast<Cond::Id>(c))) {
            control->setEnabled(enabled);
            if (qobject_cast<QLineEdit*>(control))
                paintBox(control, enabled);
        }
    }
}

bool FRM_DMSentk1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const bool in = event->type() == QEvent::FocusIn;
        const QString name = watched->objectName();
        if (name.startsWith(QLatin1String("imd")))
            mCalendarHint->setVisible(in);
        else if (!in)
            act([this, name] { mModule.LeaveField(name); });
    }
    return AnalysisScreen::eventFilter(watched, event);
}

void FRM_DMSentk1::closeEvent(QCloseEvent* event) {
    // The close box is ESC: the edits are dropped and the parameter screen comes back.
    event->ignore();
    if (isVisible() && isEnabled())
        mEsc->click();
}

} // namespace plw
