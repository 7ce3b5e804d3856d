#include "screens/FRM_TEMPLATE.h"

#include "screens/FieldRoutines.h"
#include "screens/ScreenButton.h"
#include "screens/ScreenRoutines.h"
#include "screens/TextField.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace plw {

namespace {

TextField* field(const QString& name, int maxLength, QWidget* parent) {
    auto* f = new TextField(parent, maxLength);
    f->setObjectName(name);
    return f;
}

} // namespace

FRM_TEMPLATE::FRM_TEMPLATE(const QString& workFolder, const QString& kind, Prompter& prompter,
                           QWidget* parent)
    : QDialog(parent), mChooser(workFolder, kind, prompter) {
    setObjectName(QStringLiteral("FRM_TEMPLATE"));
    setWindowTitle(mChooser.caption());
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("保存されているテンプレート"), this));
    mList = new QListWidget(this);
    mList->setObjectName(QStringLiteral("List1"));
    mList->setFont(ColumnListFont());
    mList->setMinimumSize(mList->fontMetrics().horizontalAdvance(QString(64, u'0')),
                          mList->fontMetrics().height() * 14);
    layout->addWidget(mList, 1);
    mSkipped = new QLabel(this);
    mSkipped->hide();
    layout->addWidget(mSkipped);

    auto* nameLine = new QHBoxLayout;
    nameLine->addWidget(new QLabel(QStringLiteral("テンプレート名"), this));
    mName = field(QStringLiteral("txtSyosiki"), 100, this);
    nameLine->addWidget(mName, 1);
    layout->addLayout(nameLine);
    layout->addWidget(buildFilter());
    layout->addWidget(buildButtons());

    // A line the operator selects gives its name; the list taking the focus selects none, so
    // nothing is named that the operator did not choose.
    connect(mList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = mList->selectedItems();
        if (!selected.isEmpty())
            mName->setText(TemplateList::NameFromLine(selected.first()->text()));
    });
    connect(mList, &QListWidget::itemDoubleClicked, this, [this] { press(mF6); });
    connect(mF1, &QPushButton::clicked, this, [this] {
        mChooser.list().sortByName();
        refill();
    });
    connect(mF2, &QPushButton::clicked, this, [this] {
        mChooser.list().sortByTimeStamp();
        refill();
    });
    connect(mF4, &QPushButton::clicked, this, [this] {
        mChooser.remove(mName->text());
        refill();
        act(false);
    });
    connect(mF6, &QPushButton::clicked, this, [this] { act(mChooser.load(mName->text())); });
    connect(mF8, &QPushButton::clicked, this, [this] { act(mChooser.save(mName->text())); });
    connect(mEsc, &QPushButton::clicked, this, [this] { reject(); });

    // The function keys press their buttons, as on every screen.
    for (const auto& [key, target] :
         {std::pair{Qt::Key_F1, mF1}, std::pair{Qt::Key_F2, mF2}, std::pair{Qt::Key_F4, mF4},
          std::pair{Qt::Key_F6, mF6}, std::pair{Qt::Key_F8, mF8}}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, b = target] { press(b); });
    }
    mName->setFocus();
    const bool changes = !mChooser.loadOnly();
    mF4->setEnabled(changes);
    mF8->setEnabled(changes);
}

QWidget* FRM_TEMPLATE::buildFilter() {
    auto* box = new QGroupBox(QStringLiteral("絞り込み"), this);
    auto* grid = new QGridLayout(box);
    mGrep1 = field(QStringLiteral("txtGrepMoji"), 100, box);
    mGrep2 = field(QStringLiteral("txtGrepMoji2"), 100, box);
    mNone = new QRadioButton(QStringLiteral("なし"), box);
    mNone->setObjectName(QStringLiteral("optNasi"));
    mAnd = new QRadioButton(QStringLiteral("かつ"), box);
    mAnd->setObjectName(QStringLiteral("optAnd"));
    mOr = new QRadioButton(QStringLiteral("または"), box);
    mOr->setObjectName(QStringLiteral("optOr"));
    auto* modes = new QButtonGroup(box);
    auto* options = new QHBoxLayout;
    for (QRadioButton* option : {mNone, mAnd, mOr}) {
        modes->addButton(option);
        options->addWidget(option);
    }
    mNone->setChecked(true);
    auto* on = MakeButton(QStringLiteral("cmdGrepOn"), QStringLiteral("絞込"), box);
    auto* off = MakeButton(QStringLiteral("cmdGrepOff"), QStringLiteral("絞込解除"), box);
    mFiltering = new QLabel(QStringLiteral("絞り込み中"), box);
    mFiltering->setObjectName(QStringLiteral("lblGrep"));
    mFiltering->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    mFiltering->hide();
    grid->addWidget(mGrep1, 0, 0);
    grid->addLayout(options, 0, 1);
    grid->addWidget(mGrep2, 0, 2);
    grid->addWidget(on, 0, 3);
    grid->addWidget(off, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("注意：全角／半角は区別されます"), box), 1, 0, 1, 3);
    grid->addWidget(mFiltering, 1, 3, 1, 2, Qt::AlignCenter);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    connect(on, &QPushButton::clicked, this, [this] {
        const TemplateFilter mode = mAnd->isChecked()  ? TemplateFilter::Both
                                    : mOr->isChecked() ? TemplateFilter::Either
                                                       : TemplateFilter::First;
        if (!mChooser.filter(mode, mGrep1->text(), mGrep2->text())) {
            act(false);
            return;
        }
        refill();
    });
    connect(off, &QPushButton::clicked, this, [this] {
        mChooser.clearFilter();
        refill();
    });
    return box;
}

QWidget* FRM_TEMPLATE::buildButtons() {
    auto* line = new QWidget(this);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    mF1 = MakeButton(QStringLiteral("cmdF1"), QStringLiteral("F1:名前順"), line);
    mF2 = MakeButton(QStringLiteral("cmdF2"), QStringLiteral("F2:日付時刻順"), line);
    mF4 = MakeButton(QStringLiteral("cmdF4"), QStringLiteral("F4:ﾃﾝﾌﾟﾚｰﾄからの削除"), line);
    mF6 = MakeButton(QStringLiteral("cmdF6"), QStringLiteral("F6:読込"), line);
    mF8 = MakeButton(QStringLiteral("cmdF8"), QStringLiteral("F8:保存"), line);
    mEsc = MakeButton(QStringLiteral("cmdESC"), QStringLiteral("ESC:ｷｬﾝｾﾙ"), line);
    for (QPushButton* b : {mF1, mF2, mF4})
        layout->addWidget(b);
    layout->addStretch(1);
    for (QPushButton* b : {mF6, mF8, mEsc})
        layout->addWidget(b);
    return line;
}

void FRM_TEMPLATE::scanFolder() {
    mChooser.open();
    const int skipped = mChooser.list().skipped();
    mSkipped->setText(QStringLiteral("古いテンプレート %1 件は表示していません（表示は %2 件まで）")
                          .arg(skipped)
                          .arg(TemplateList::MaxFiles));
    mSkipped->setVisible(skipped > 0);
    refill();
}

void FRM_TEMPLATE::refill() {
    const QSignalBlocker block(mList);
    mList->clear();
    mList->addItems(mChooser.list().lines());
    mFiltering->setVisible(mChooser.filtered());
}

void FRM_TEMPLATE::act(bool closes) {
    if (closes) {
        accept();
        return;
    }
    if (!mChooser.focusControl().isEmpty())
        SetFocusSafe(findChild<QWidget*>(mChooser.focusControl()));
}

void FRM_TEMPLATE::press(QPushButton* target) {
    if (!target->isEnabled())
        return;
    SetFocusSafe(target);
    target->click();
}

void FRM_TEMPLATE::reject() {
    mChooser.cancel();
    QDialog::reject();
}

} // namespace plw
