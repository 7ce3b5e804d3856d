#include "screens/ConditionPages.h"

#include "extract/Classifications.h"
#include "screens/DateField.h"
#include "screens/MonthDayField.h"
#include "screens/ScreenButton.h"
#include "screens/TextField.h"
#include "screens/UpDownButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace plw {

namespace {

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

const std::array<const char16_t*, 4> KindCaptions{u"指定しない", u"指定（含める）", u"指定（かつ）",
                                                  u"除外する"};

// The months a date-setting button adds, and those since a last mailing, run over ten years.
constexpr int MonthsMaximum = 120;

QLabel* label(const QString& caption, QWidget* parent) {
    return new QLabel(caption, parent);
}

// Options of one value (sex, consent): name + "_1" ... in a group of their own.
void valueOptions(const QString& name, const QStringList& captions, QGridLayout* grid, int row,
                  QWidget* parent, QList<QWidget*>& values) {
    auto* group = new QButtonGroup(parent);
    auto* line = new QHBoxLayout;
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i], parent);
        option->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i + 1));
        group->addButton(option, i + 1);
        line->addWidget(option);
        values.append(option);
    }
    line->addStretch(1);
    grid->addLayout(line, row, 0, 1, -1);
}

QWidget* page(QWidget* parent) {
    auto* w = new QWidget(parent);
    return w;
}

// Frames in columns, each column from the top, the rest of the page left empty.
void columns(QWidget* page, const std::initializer_list<std::initializer_list<QWidget*>>& cols) {
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    for (const auto& col : cols) {
        auto* column = new QVBoxLayout;
        for (QWidget* w : col)
            column->addWidget(w);
        column->addStretch(1);
        layout->addLayout(column, 1);
    }
}

} // namespace

ConditionPages::ConditionPages(QTabWidget* tabs) {
    tabs->addTab(basicPage(tabs), QStringLiteral("基本情報"));
    tabs->addTab(agePage(tabs), QStringLiteral("年齢情報"));
    tabs->addTab(pointPage(tabs), QStringLiteral("ポイント情報"));
    tabs->addTab(directMailPage(tabs), QStringLiteral("ＤＭ情報"));
    tabs->addTab(mailPage(tabs), QStringLiteral("メール情報"));
    tabs->addTab(memoPage(tabs), QStringLiteral("基本情報メモ欄"));
    tabs->addTab(classificationPage(tabs), QStringLiteral("分類情報"));
}

ConditionPages::Frame ConditionPages::frame(Cond::Id condition, const QString& caption,
                                            QWidget* parent, bool stackedKinds) {
    const ConditionControl& control = ConditionControls[static_cast<size_t>(condition)];
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QStringLiteral("frm") + QString::fromUtf16(control.OptionGroup).mid(3));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    auto* kinds = new QGridLayout;
    kinds->setHorizontalSpacing(10);
    kinds->setVerticalSpacing(0);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(text(KindCaptions[static_cast<size_t>(i)]), box);
        option->setObjectName(
            QStringLiteral("%1_%2").arg(QString::fromUtf16(control.OptionGroup)).arg(i + 1));
        group->addButton(option, i + 1);
        if (stackedKinds)
            kinds->addWidget(option, i / 2, i % 2);
        else
            kinds->addWidget(option, 0, i);
    }
    kinds->setColumnStretch(stackedKinds ? 2 : 4, 1);
    layout->addLayout(kinds);
    auto* values = new QGridLayout;
    values->setHorizontalSpacing(4);
    values->setVerticalSpacing(3);
    layout->addLayout(values);
    return {box, values};
}

TextField* ConditionPages::textBox(Cond::Id condition, const QString& name, int maxLength,
                                   int widthChars, QWidget* parent) {
    auto* box = value(condition, new TextField(parent, maxLength));
    box->setObjectName(name);
    box->setAutoAdvance(true);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(widthChars, u'0')) + 12);
    return box;
}

QPushButton* ConditionPages::button(Cond::Id condition, const QString& name, const QString& caption,
                                    QWidget* parent) {
    return value(condition, MakeButton(name, caption, parent));
}

QSlider* ConditionPages::slider(Cond::Id condition, const QString& name, int minimum, int maximum,
                                QWidget* parent) {
    auto* s = value(condition, new QSlider(Qt::Horizontal, parent));
    s->setObjectName(name);
    s->setRange(minimum, maximum);
    s->setPageStep(qMax(1, (maximum - minimum) / 10));
    s->setMinimumWidth(120);
    return s;
}

TextField* ConditionPages::sliderBox(Cond::Id condition, const QString& stem, int maxLength,
                                     int minimum, int maximum, QGridLayout* grid, int row,
                                     int boxColumn, int sliderColumn) {
    QWidget* parent = grid->parentWidget();
    TextField* box = textBox(condition, QStringLiteral("txt") + stem, maxLength, maxLength, parent);
    box->setAlignment(Qt::AlignRight);
    // A months box (txtPinRai_X, txtDmkHas_A) has its up-down and slider without the suffix.
    const QString partner = stem.endsWith(QLatin1String("_X")) || stem.endsWith(QLatin1String("_A"))
                                ? stem.chopped(2)
                                : stem;
    auto* upDown = value(condition, new UpDownButtons(QStringLiteral("upd") + partner, parent));
    QSlider* s = slider(condition, QStringLiteral("sld") + partner, minimum, maximum, parent);
    grid->addWidget(box, row, boxColumn);
    grid->addWidget(upDown, row, boxColumn + 1);
    grid->addWidget(s, row, sliderColumn);
    mSliders.append({box, s, upDown});
    return box;
}

void ConditionPages::rangeRows(const Frame& f, Cond::Id condition, const QString& stem,
                               int maxLength, const QString& fromUnit, const QString& toUnit) {
    int minimum = 0;
    int maximum = 0;
    for (const ConditionRangeControl& range : ConditionRangeControls())
        if (range.Owner == condition) {
            minimum = range.Minimum;
            maximum = range.Maximum;
        }
    QWidget* parent = f.Box;
    const std::array<std::pair<const char*, const QString*>, 2> rows{
        {{"_F", &fromUnit}, {"_T", &toUnit}}};
    for (int row = 0; row < 2; ++row) {
        const QString suffix = QLatin1String(rows[static_cast<size_t>(row)].first);
        sliderBox(condition, stem + suffix, maxLength, minimum, maximum, f.Values, row, 0, 4);
        f.Values->addWidget(label(*rows[static_cast<size_t>(row)].second, parent), row, 2);
        f.Values->addWidget(button(condition, QStringLiteral("cmd") + stem + suffix,
                                   row == 0 ? QStringLiteral("Min") : QStringLiteral("Max"),
                                   parent),
                            row, 3);
    }
    f.Values->setColumnStretch(4, 1);
}

void ConditionPages::periodRows(const Frame& f, Cond::Id condition, const QString& fromName,
                                const QString& toName,
                                const std::array<const char16_t*, 5>& presets,
                                const QString& monthsStem, const QString& setButton) {
    QWidget* parent = f.Box;
    auto* dates = new QHBoxLayout;
    for (const QString& name : {fromName, toName}) {
        auto* date = value(condition, new DateField(parent));
        date->setObjectName(name);
        date->setAutoAdvance(true);
        dates->addWidget(date);
        if (name == fromName)
            dates->addWidget(label(QStringLiteral("～"), parent));
    }
    dates->addStretch(1);
    f.Values->addLayout(dates, 0, 0, 1, -1);

    auto* presetLine = new QHBoxLayout;
    const std::array<const char*, 5> captions{"当月", "前月", "前2ヵ月", "前6ヵ月", "前１年"};
    for (size_t i = 0; i < presets.size(); ++i)
        presetLine->addWidget(
            button(condition, text(presets[i]), QString::fromUtf8(captions[i]), parent));
    presetLine->addStretch(1);
    f.Values->addLayout(presetLine, 1, 0, 1, -1);

    auto* months = new QGridLayout;
    months->setHorizontalSpacing(4);
    auto* holder = new QWidget(parent);
    holder->setLayout(months);
    months->setContentsMargins(0, 0, 0, 0);
    months->addWidget(label(QStringLiteral("上記の後日付に"), holder), 0, 0);
    sliderBox(condition, monthsStem, 3, 1, MonthsMaximum, months, 0, 1, 6);
    months->addWidget(label(QStringLiteral("ヵ月後の"), holder), 0, 3);
    months->addWidget(button(condition, setButton, QStringLiteral("日付設定"), holder), 0, 4);
    months->setColumnMinimumWidth(5, 8);
    months->setColumnStretch(6, 1);
    f.Values->addWidget(holder, 2, 0, 1, -1);
}

void ConditionPages::monthsSinceRow(const Frame& f, Cond::Id condition, const QString& stem) {
    sliderBox(condition, stem, 3, 0, MonthsMaximum, f.Values, 0, 0, 3);
    f.Values->addWidget(label(QStringLiteral("ヵ月以上経過"), f.Box), 0, 2);
    f.Values->setColumnStretch(3, 1);
}

QWidget* ConditionPages::basicPage(QWidget* parent) {
    QWidget* p = page(parent);
    const Frame number = frame(Cond::KihKai, QStringLiteral("会員番号"), p);
    number.Values->addWidget(textBox(Cond::KihKai, QStringLiteral("txtKihKai_F"), 7, 8, number.Box),
                             0, 0);
    number.Values->addWidget(label(QStringLiteral("～"), number.Box), 0, 1);
    number.Values->addWidget(textBox(Cond::KihKai, QStringLiteral("txtKihKai_T"), 7, 8, number.Box),
                             0, 2);
    number.Values->setColumnStretch(3, 1);

    const Frame sex = frame(Cond::KihSei, QStringLiteral("性別"), p);
    valueOptions(QStringLiteral("optKihSeI_A"), {QStringLiteral("男"), QStringLiteral("女")},
                 sex.Values, 0, sex.Box, mValues[Cond::KihSei]);

    const Frame first = frame(Cond::KihHjm, QStringLiteral("初回来店日"), p);
    periodRows(first, Cond::KihHjm, QStringLiteral("imdSeiFR"), QStringLiteral("imdSeiTO"),
               {u"cmdA0", u"cmdAA", u"cmdB0", u"cmdC0", u"cmdD0"}, QStringLiteral("KihHjm_X"),
               QStringLiteral("cmdKihHjm_X"));

    const Frame zip = frame(Cond::KihZip, QStringLiteral("郵便番号"), p);
    zip.Values->addWidget(label(QStringLiteral("〒"), zip.Box), 0, 0);
    zip.Values->addWidget(textBox(Cond::KihZip, QStringLiteral("txtKihZip_A"), 3, 4, zip.Box), 0,
                          1);
    zip.Values->addWidget(label(QStringLiteral("-"), zip.Box), 0, 2);
    zip.Values->addWidget(textBox(Cond::KihZip, QStringLiteral("txtKihZip_B"), 4, 5, zip.Box), 0,
                          3);
    zip.Values->setColumnStretch(4, 1);

    const Frame address = frame(Cond::KihAdr, QStringLiteral("住所"), p);
    TextField* addressBox =
        textBox(Cond::KihAdr, QStringLiteral("txtKihAdr_A"), 40, 40, address.Box);
    addressBox->setMinimumWidth(addressBox->width());
    addressBox->setMaximumWidth(QWIDGETSIZE_MAX);
    address.Values->addWidget(addressBox, 0, 0);
    address.Values->addWidget(label(QStringLiteral("を含む"), address.Box), 0, 1);

    const Frame shop = frame(Cond::MisBan, QStringLiteral("登録店番"), p);
    shop.Values->addWidget(textBox(Cond::MisBan, QStringLiteral("txtMisBan_A"), 4, 5, shop.Box), 0,
                           0);
    shop.Values->setColumnStretch(1, 1);

    columns(p, {{number.Box, sex.Box, zip.Box, shop.Box}, {first.Box, address.Box}});
    return p;
}

QWidget* ConditionPages::agePage(QWidget* parent) {
    QWidget* p = page(parent);
    const Frame birth = frame(Cond::TosTan, QStringLiteral("生年月日"), p);
    auto* dates = new QHBoxLayout;
    auto* eras = new QHBoxLayout;
    eras->addWidget(label(QStringLiteral("元号(M,T,S,H,R)"), birth.Box));
    for (const char* name : {"imdTosTan_F", "imdTosTan_T"}) {
        auto* date = value(Cond::TosTan, new DateField(birth.Box));
        date->setObjectName(QLatin1String(name));
        date->setAutoAdvance(true);
        dates->addWidget(date);
        auto* era = new QLabel(birth.Box);
        era->setObjectName(QStringLiteral("lbl") + QLatin1String(name).mid(3));
        era->setMinimumWidth(era->fontMetrics().horizontalAdvance(QStringLiteral("S00.00.00")));
        eras->addWidget(era);
        if (QLatin1String(name).endsWith(QLatin1String("_F"))) {
            dates->addWidget(label(QStringLiteral("～"), birth.Box));
            eras->addWidget(label(QStringLiteral("～"), birth.Box));
            mEraFrom = era;
        } else {
            mEraTo = era;
        }
    }
    dates->addStretch(1);
    eras->addStretch(1);
    birth.Values->addLayout(dates, 0, 0);
    birth.Values->addLayout(eras, 1, 0);

    const Frame age = frame(Cond::TosNen, QStringLiteral("年齢/推定年齢"), p);
    rangeRows(age, Cond::TosNen, QStringLiteral("TosNen"), 2, QStringLiteral("歳から"),
              QStringLiteral("歳まで"));

    const Frame month = frame(Cond::TosTuk, QStringLiteral("誕生月"), p);
    for (int m = 1; m <= 12; ++m) {
        const QString caption = m < 10 ? QString(QChar(0xFF10 + m)) + QStringLiteral("月")
                                       : QStringLiteral("%1月").arg(m);
        auto* box = value(Cond::TosTuk, new QCheckBox(caption, month.Box));
        box->setObjectName(QStringLiteral("chkTosTuk_%1").arg(m));
        month.Values->addWidget(box, (m - 1) / 6, (m - 1) % 6);
    }
    month.Values->addWidget(
        button(Cond::TosTuk, QStringLiteral("cmdCLR"), QStringLiteral("クリア"), month.Box), 0, 6,
        2, 1, Qt::AlignVCenter);
    month.Values->setColumnStretch(7, 1);

    const Frame birthday = frame(Cond::TosBar, QStringLiteral("誕生日"), p);
    auto* day = value(Cond::TosBar, new MonthDayField(birthday.Box));
    day->setObjectName(QStringLiteral("imdTosBar_A"));
    day->setAutoAdvance(true);
    day->setFixedWidth(day->fontMetrics().horizontalAdvance(QStringLiteral("00月00日")) + 16);
    birthday.Values->addWidget(day, 0, 0);
    birthday.Values->addWidget(
        button(Cond::TosBar, QStringLiteral("cmdNow"), QStringLiteral("本日"), birthday.Box), 0, 1);
    birthday.Values->addWidget(
        button(Cond::TosBar, QStringLiteral("cmdNow2"), QStringLiteral("明日"), birthday.Box), 0,
        2);
    birthday.Values->setColumnStretch(3, 1);

    columns(p, {{birth.Box, age.Box}, {month.Box, birthday.Box}});
    return p;
}

QWidget* ConditionPages::pointPage(QWidget* parent) {
    QWidget* p = page(parent);
    const Frame visits = frame(Cond::PinUse, QStringLiteral("利用回数"), p);
    rangeRows(visits, Cond::PinUse, QStringLiteral("PinUse"), 5, QStringLiteral("回から"),
              QStringLiteral("回まで"));
    const Frame points = frame(Cond::PinGen, QStringLiteral("現在ポイント"), p);
    rangeRows(points, Cond::PinGen, QStringLiteral("PinGen"), 5, QStringLiteral("から"),
              QStringLiteral("まで"));
    const Frame amount = frame(Cond::PinGak, QStringLiteral("累計購買額"), p);
    rangeRows(amount, Cond::PinGak, QStringLiteral("PinGak"), 5, QStringLiteral("千円から"),
              QStringLiteral("千円まで"));
    const Frame lifetime = frame(Cond::PinLif, QStringLiteral("生涯ポイント"), p);
    rangeRows(lifetime, Cond::PinLif, QStringLiteral("PinLif"), 6, QStringLiteral("から"),
              QStringLiteral("まで"));
    const Frame rank = frame(Cond::PinJun, QStringLiteral("累計購買額順位"), p);
    rangeRows(rank, Cond::PinJun, QStringLiteral("PinJun"), 5, QStringLiteral("位から"),
              QStringLiteral("位まで"));
    const Frame last = frame(Cond::PinRai, QStringLiteral("最終来店日"), p);
    periodRows(last, Cond::PinRai, QStringLiteral("imdPinRai_F"), QStringLiteral("imdPinRai_T"),
               {u"cmdSetA", u"cmdSetA1", u"cmdSetB", u"cmdSetD", u"cmdSetC"},
               QStringLiteral("PinRai_X"), QStringLiteral("cmdPinRai"));
    // Under the analysis the period is the parameter screen's; the note says so when locked.
    mPeriodNote = new QLabel(
        QStringLiteral("分析期間（最終来店日）は、パラメータ画面で指定します。"), last.Box);
    mPeriodNote->setObjectName(QStringLiteral("lblPinRaiNote"));
    mPeriodNote->setStyleSheet(QStringLiteral("color: #1f4e9a;"));
    last.Values->addWidget(mPeriodNote, 3, 0, 1, -1);
    columns(p, {{visits.Box, points.Box, amount.Box}, {lifetime.Box, rank.Box, last.Box}});
    return p;
}

QWidget* ConditionPages::directMailPage(QWidget* parent) {
    QWidget* p = page(parent);
    const Frame count = frame(Cond::DmkHKs, QStringLiteral("DM送付回数"), p);
    rangeRows(count, Cond::DmkHKs, QStringLiteral("DmkHKs"), 3, QStringLiteral("回から"),
              QStringLiteral("回まで"));
    const Frame since = frame(Cond::DmkHas, QStringLiteral("前回ＤＭ発送日から"), p);
    monthsSinceRow(since, Cond::DmkHas, QStringLiteral("DmkHas_A"));
    const Frame consent = frame(Cond::DmkOsr, QStringLiteral("DM送付許諾"), p);
    valueOptions(QStringLiteral("optDmkYNo"),
                 {QStringLiteral("許諾の者"), QStringLiteral("拒否の者")}, consent.Values, 0,
                 consent.Box, mValues[Cond::DmkOsr]);
    columns(p, {{count.Box, since.Box}, {consent.Box}});
    return p;
}

QWidget* ConditionPages::mailPage(QWidget* parent) {
    QWidget* p = page(parent);
    const Frame consent = frame(Cond::EmlOsr, QStringLiteral("メール送付許諾"), p);
    valueOptions(QStringLiteral("optEmlYNo"),
                 {QStringLiteral("許諾の者"), QStringLiteral("拒否の者"),
                  QStringLiteral("メールアドレス誤りの者")},
                 consent.Values, 0, consent.Box, mValues[Cond::EmlOsr]);
    const Frame count = frame(Cond::EmlHKs, QStringLiteral("メール送信回数"), p);
    rangeRows(count, Cond::EmlHKs, QStringLiteral("EmlHKs"), 3, QStringLiteral("回から"),
              QStringLiteral("回まで"));
    const Frame since = frame(Cond::EmlHas, QStringLiteral("前回メール送信日から"), p);
    monthsSinceRow(since, Cond::EmlHas, QStringLiteral("EmlHas_A"));
    const Frame type = frame(Cond::EmlSbt, QStringLiteral("メール種別"), p);
    const std::array<const char16_t*, 3> types{u"PCメール", u"携帯メール", u"種別不明"};
    for (int t = 0; t < 3; ++t) {
        auto* box =
            value(Cond::EmlSbt, new QCheckBox(text(types[static_cast<size_t>(t)]), type.Box));
        box->setObjectName(QStringLiteral("chkEmlSbt_%1").arg(t + 1));
        type.Values->addWidget(box, 0, t);
    }
    type.Values->setColumnStretch(3, 1);
    columns(p, {{consent.Box, type.Box}, {count.Box, since.Box}});
    return p;
}

QWidget* ConditionPages::memoPage(QWidget* parent) {
    QWidget* p = page(parent);
    const Frame memo = frame(Cond::KhMemo, QStringLiteral("メモ"), p);
    TextField* box = textBox(Cond::KhMemo, QStringLiteral("txtKhmemo_A"), 60, 60, memo.Box);
    box->setMinimumWidth(box->width());
    box->setMaximumWidth(QWIDGETSIZE_MAX);
    memo.Values->addWidget(box, 0, 0);
    memo.Values->addWidget(
        label(QStringLiteral("ここで指定した文字を含むものを抽出します。"), memo.Box), 1, 0);
    auto* empty = new QWidget(p);
    columns(p, {{memo.Box}, {empty}});
    return p;
}

QWidget* ConditionPages::classificationPage(QWidget* parent) {
    QWidget* p = page(parent);
    auto* layout = new QHBoxLayout(p);
    layout->setContentsMargins(6, 6, 6, 6);
    for (int level = 1; level <= ClassificationLevels; ++level) {
        const Cond::Id condition = Cond::Bun(level);
        const Frame f = frame(condition, QString(), p, true);
        auto* list = value(condition, new QListWidget(f.Box));
        list->setObjectName(QStringLiteral("lstZok%1").arg(level));
        list->setSelectionMode(QAbstractItemView::NoSelection);
        // Room for all twenty entries of a level, measured on a check item of the list's own.
        list->addItem(QStringLiteral("00:"));
        list->item(0)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        list->item(0)->setCheckState(Qt::Unchecked);
        list->setMinimumHeight(list->sizeHintForRow(0) * ConditionRecord::BunItems +
                               2 * list->frameWidth());
        list->clear();
        f.Values->addWidget(list, 0, 0, 1, 2);
        f.Values->addWidget(button(condition, QStringLiteral("cmdBunKai0_%1").arg(level - 1),
                                   QStringLiteral("全チェック"), f.Box),
                            1, 0);
        f.Values->addWidget(button(condition, QStringLiteral("cmdBunKai1_%1").arg(level - 1),
                                   QStringLiteral("全チェック解除"), f.Box),
                            1, 1);
        layout->addWidget(f.Box, 1);
    }
    return p;
}

} // namespace plw
