#include "screens/FRM_TEMPLATE.h"

#include "app/Clock.h"
#include "extract/ConditionModule.h"
#include "screens/DateField.h"
#include "screens/FRM_DMSentk1.h"
#include "screens/FRM_PLWAN401.h"
#include "screens/GroupMatrixWidget.h"
#include "screens/TemplateButtons.h"
#include "settings/SampleParameters.h"
#include "settings/TemplateFiles.h"
#include "tests/extract/ConditionModuleFixture.h"
#include "tests/support/Files.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace plw;
using R = ConditionRecord;

namespace {

template <typename T = QWidget> T* Control(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void Click(QWidget& window, const char* name) {
    Control<QAbstractButton>(window, name)->click();
}

void Type(QWidget& window, const char* name, const QString& text) {
    auto* box = Control<QLineEdit>(window, name);
    box->clear();
    // Keys for what a keyboard types directly, the input method's result for the rest.
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(box, text);
    else
        box->insert(text);
}

QStringList Lines(QWidget& window) {
    QStringList lines;
    auto* list = Control<QListWidget>(window, "List1");
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->text();
    return lines;
}

// Shows the window and makes it the active one, so that its function keys reach it.
void Activate(QWidget& window) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    // The offscreen platform leaves a window shown again without the widgets' activation.
    if (QApplication::activeWindow() != &window)
        QApplication::setActiveWindow(&window);
}

// The real dialog, shown without its own event loop: the script works it as the operator
// would, and the choice is whatever the dialog holds afterwards.
class ScriptedTemplateDialog final : public TemplateDialog {
public:
    ScriptedTemplateDialog(const QString& workFolder, Prompter& prompter)
        : mWorkFolder(workFolder), mPrompter(prompter) {}

    std::function<void(FRM_TEMPLATE&)> script;
    QStringList kinds;

    Choice SetTemPlate_Main(QWidget* owner, const QString& kind,
                            const std::function<QString()>& saveCheck) override {
        kinds << kind;
        FRM_TEMPLATE dialog(mWorkFolder, kind, mPrompter, owner);
        dialog.chooser().setSaveCheck(saveCheck);
        dialog.scanFolder();
        Activate(dialog);
        if (script)
            script(dialog);
        return dialog.choice();
    }

private:
    QString mWorkFolder;
    Prompter& mPrompter;
};

// A work folder with three group templates, "春の分析" the newest.
class TemplateDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const struct {
            const char16_t* name;
            int day;
        } files[] = {{u"冬の分析", 1}, {u"春の分析", 3}, {u"既定", 2}};
        for (const auto& f : files) {
            const QString path = folder() + QString::fromUtf16(f.name) + QStringLiteral(".F01");
            test::WriteBytes(path, QByteArray(125, 'A'));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 11, f.day), QTime(10, 0)),
                                         QFileDevice::FileModificationTime));
        }
    }

    QString folder() const { return dir.path() + QLatin1Char('/'); }

    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
};

TEST_F(TemplateDialogTest, ListsFiltersLoadsDeletesAndSavesTheTemplatesOfItsKind) {
    FRM_TEMPLATE dialog(folder(), QStringLiteral("F01"), prompter);
    dialog.scanFolder();
    Activate(dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("テンプレート (使用フォルダ:") + folder() +
                                        QStringLiteral(")   *.F01"));
    EXPECT_EQ(Lines(dialog), (QStringList{
                                 QStringLiteral("0001 | 2026/11/03 10:00:00 |  春の分析"),
                                 QStringLiteral("0002 | 2026/11/02 10:00:00 |  既定"),
                                 QStringLiteral("0003 | 2026/11/01 10:00:00 |  冬の分析"),
                             }));
    // Nothing is named until the operator chooses a line.
    EXPECT_EQ(Control<QLineEdit>(dialog, "txtSyosiki")->text(), QString());
    Control<QListWidget>(dialog, "List1")->setFocus();
    EXPECT_EQ(Control<QLineEdit>(dialog, "txtSyosiki")->text(), QString());
    Control<QListWidget>(dialog, "List1")->setCurrentRow(2);
    EXPECT_EQ(Control<QLineEdit>(dialog, "txtSyosiki")->text(), QStringLiteral("冬の分析"));

    // "かつ" needs its second text; "なし" keeps the names holding the first one.
    Type(dialog, "txtGrepMoji", QStringLiteral("の分析"));
    Click(dialog, "optAnd");
    Click(dialog, "cmdGrepOn");
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("条件を指定してください"));
    EXPECT_EQ(dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString(),
              QStringLiteral("txtGrepMoji2"));
    Type(dialog, "txtGrepMoji2", QStringLiteral("春"));
    Click(dialog, "cmdGrepOn");
    EXPECT_EQ(Lines(dialog), QStringList{QStringLiteral("0001 | 2026/11/03 10:00:00 |  春の分析")});
    EXPECT_TRUE(Control(dialog, "lblGrep")->isVisible());
    // A template filtered out cannot be loaded, although its file is there.
    Type(dialog, "txtSyosiki", QStringLiteral("既定"));
    Click(dialog, "cmdF6");
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("テンプレートにありません"));
    EXPECT_TRUE(dialog.isVisible());
    Click(dialog, "cmdGrepOff");
    EXPECT_FALSE(Control(dialog, "lblGrep")->isVisible());
    Click(dialog, "cmdF1"); // by name, highest character code first
    EXPECT_TRUE(Lines(dialog).first().endsWith(QStringLiteral("春の分析")));

    // Deleting asks, removes the file and keeps the dialog open.
    Type(dialog, "txtSyosiki", QStringLiteral("既定 "));
    QTest::keyClick(&dialog, Qt::Key_F4);
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("テンプレートから削除します。よろしいですか？"));
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("既定.F01")));
    EXPECT_EQ(Lines(dialog).size(), 2);
    EXPECT_TRUE(dialog.isVisible());

    // Saving asks once, then closes with the path.
    Type(dialog, "txtSyosiki", QStringLiteral("夏の分析"));
    QTest::keyClick(&dialog, Qt::Key_F8);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("テンプレートに保存します。いいですか？"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.choice().Action, TemplateAction::Save);
    EXPECT_EQ(dialog.choice().Path, folder() + QStringLiteral("夏の分析.F01"));
}

// After a delete the list is the filtered one while "絞り込み中" is lit, until it is cleared.
TEST_F(TemplateDialogTest, AFilterStaysAppliedAfterADelete) {
    FRM_TEMPLATE dialog(folder(), QStringLiteral("F01"), prompter);
    dialog.scanFolder();
    Activate(dialog);
    Type(dialog, "txtGrepMoji", QStringLiteral("の分析"));
    Click(dialog, "cmdGrepOn");
    ASSERT_EQ(Lines(dialog).size(), 2);
    Type(dialog, "txtSyosiki", QStringLiteral("冬の分析"));
    QTest::keyClick(&dialog, Qt::Key_F4);
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("冬の分析.F01")));
    EXPECT_EQ(Lines(dialog), QStringList{QStringLiteral("0001 | 2026/11/03 10:00:00 |  春の分析")});
    EXPECT_TRUE(Control(dialog, "lblGrep")->isVisible());
    // The filtered-out template is still out of reach, as the lit caption says.
    Type(dialog, "txtSyosiki", QStringLiteral("既定"));
    Click(dialog, "cmdF6");
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("テンプレートにありません"));
    Click(dialog, "cmdGrepOff");
    EXPECT_EQ(Lines(dialog).size(), 2);
    EXPECT_FALSE(Control(dialog, "lblGrep")->isVisible());
}

TEST_F(TemplateDialogTest, DoubleClickLoadsEscCancelsAndALoadOnlyKindNeitherSavesNorDeletes) {
    {
        FRM_TEMPLATE dialog(folder(), QStringLiteral("F01"), prompter);
        dialog.scanFolder();
        Activate(dialog);
        auto* list = Control<QListWidget>(dialog, "List1");
        list->setCurrentRow(1);
        const QRect line = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line.center());
        EXPECT_EQ(dialog.choice().Action, TemplateAction::Load);
        EXPECT_EQ(dialog.choice().Path, folder() + QStringLiteral("既定.F01"));
    }
    {
        FRM_TEMPLATE dialog(folder(), QStringLiteral("*F01"), prompter);
        dialog.scanFolder();
        Activate(dialog);
        EXPECT_FALSE(Control(dialog, "cmdF4")->isEnabled());
        EXPECT_FALSE(Control(dialog, "cmdF8")->isEnabled());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.choice().Action, TemplateAction::Cancelled);
        EXPECT_EQ(dialog.choice().Path, QString());
    }
}

// The parameter and condition screens with their template buttons over the scripted dialog.
class TemplateButtonsTest : public TemplateDialogTest {
protected:
    void SetUp() override {
        TemplateDialogTest::SetUp();
        ConditionRecord unused;
        module.Run(ConditionModule::Mode::Prepare, ConditionCaller::None, unused);
        ParameterScreenState state;
        state.LastVisitFrom = QStringLiteral("20250401");
        state.LastVisitTo = QStringLiteral("20260331");
        state.BaseDate = QStringLiteral("20260331");
        const SampleThresholdSet t = SampleThresholds();
        state.RThreshold = t.R;
        state.FThreshold = t.F;
        state.MThreshold = t.M;
        state.GroupMatrix = SampleGroupMatrix();
        state.PaintGroup = 6;
        parameters.loadState(state);
    }

    // The dialog's script: the name typed, then a function key.
    void willPress(const QString& name, Qt::Key key) {
        dialog.script = [name, key](FRM_TEMPLATE& d) {
            Type(d, "txtSyosiki", name);
            QTest::keyClick(&d, key);
        };
    }

    static Environment InstallationAt(const QString& folder) {
        Environment e;
        e.WorkFolder = folder;
        e.BuildPaths();
        e.DeviceDescriptionPath = QStringLiteral("/nonexistent/INI/KIKISYU.SYS");
        return e;
    }

    Environment environment = InstallationAt(folder());
    ClassificationTable table = test::SmallClassifications();
    FixedClock clock{QDateTime(QDate(2026, 3, 31), QTime(9, 0))};
    ConditionModule module{environment, table, prompter, clock};
    FRM_DMSentk1 conditions{environment, prompter, module};
    FRM_PLWAN401 parameters{environment, prompter, clock};
    ScriptedTemplateDialog dialog{folder(), prompter};
    TemplateButtons buttons{dialog, prompter, module, conditions, parameters};
};

TEST_F(TemplateButtonsTest, GroupAndThresholdTemplatesComeBackToTheParameterScreen) {
    willPress(QStringLiteral("見本"), Qt::Key_F8);
    Click(parameters, "cmdTeplate");
    willPress(QStringLiteral("見本"), Qt::Key_F8);
    Click(parameters, "cmdTeplate2");
    EXPECT_EQ(dialog.kinds, (QStringList{QStringLiteral("F01"), QStringLiteral("F02")}));
    ASSERT_TRUE(QFile::exists(folder() + QStringLiteral("見本.F01")));
    ASSERT_TRUE(QFile::exists(folder() + QStringLiteral("見本.F02")));

    const ParameterScreenState saved = parameters.state();
    Click(parameters, "Command5"); // everything group X
    Type(parameters, "txtPrmM_5", QStringLiteral("700"));
    Type(parameters, "txtPrmF_2", QStringLiteral("3"));
    ASSERT_NE(parameters.state().GroupMatrix, saved.GroupMatrix);
    willPress(QStringLiteral("見本"), Qt::Key_F6);
    Click(parameters, "cmdTeplate");
    willPress(QStringLiteral("見本"), Qt::Key_F6);
    Click(parameters, "cmdTeplate2");
    const ParameterScreenState loaded = parameters.state();
    EXPECT_EQ(loaded.GroupMatrix, saved.GroupMatrix);
    EXPECT_EQ(loaded.RThreshold, saved.RThreshold);
    EXPECT_EQ(loaded.FThreshold, saved.FThreshold);
    EXPECT_EQ(loaded.MThreshold, saved.MThreshold);
    EXPECT_EQ(loaded.BaseDate, saved.BaseDate);
    EXPECT_TRUE(prompter.texts().filter(QStringLiteral("できませんでした")).isEmpty());
}

TEST_F(TemplateButtonsTest, AThresholdTheFileWouldCutIsRefusedAtF8) {
    Type(parameters, "txtPrmM_5", QStringLiteral("12345"));
    bool stayedOpen = false;
    dialog.script = [&](FRM_TEMPLATE& d) {
        Type(d, "txtSyosiki", QStringLiteral("長い"));
        QTest::keyClick(&d, Qt::Key_F8);
        stayedOpen = d.isVisible();
        QTest::keyClick(&d, Qt::Key_Escape);
    };
    Click(parameters, "cmdTeplate2");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral(
                  "Ｍ のランク５「12345」は４文字を超えるため、テンプレートに保存できません")});
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("長い.F02")));
}

TEST_F(TemplateButtonsTest, AConditionTemplateKeepsTheAnalysisPeriodAndItsOwnMailConsent) {
    ConditionRecord period = ClearedConditionRecord();
    period[R::PinRaiKind] = QStringLiteral("3");
    period[R::PinRaiFrom] = QStringLiteral("20250401");
    period[R::PinRaiTo] = QStringLiteral("20260331");
    // As in the program: the saved conditions are set first, then the screen is opened on them.
    module.Run(ConditionModule::Mode::Set, ConditionCaller::Analysis, period);
    module.Run(ConditionModule::Mode::SetAndShow, ConditionCaller::Analysis, period);

    ConditionRecord stored = ClearedConditionRecord();
    stored[R::KihSeiKind] = QStringLiteral("3");
    stored[R::KihSeiValue] = QStringLiteral("2");
    stored[R::PinRaiKind] = QStringLiteral("2");
    stored[R::PinRaiFrom] = QStringLiteral("20200101");
    stored[R::PinRaiTo] = QStringLiteral("20201231");
    stored[R::EmlOsrValue] = QStringLiteral("2");
    QString error;
    ASSERT_TRUE(WriteConditionTemplate(folder() + QStringLiteral("女性.T01"), stored, &error));

    willPress(QStringLiteral("女性"), Qt::Key_F6);
    Click(conditions, "cmdTeplate");
    EXPECT_EQ(dialog.kinds, QStringList{QStringLiteral("T01")});
    ASSERT_TRUE(conditions.isVisible());
    EXPECT_TRUE(Control<QRadioButton>(conditions, "optKihSeI_A_2")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(conditions, "optPinRai_3")->isChecked());
    EXPECT_EQ(Control<DateField>(conditions, "imdPinRai_F")->value(), QStringLiteral("20250401"));
    // The template's mail consent stays "指定しない": nothing narrows to who accepted mail.
    EXPECT_TRUE(Control<QRadioButton>(conditions, "optEmlOSR_1")->isChecked());
    EXPECT_EQ(module.Working()[R::EmlOsrKind], QStringLiteral("1"));

    // Saving stores what the screen shows.
    Click(conditions, "optKhmemo_3");
    Type(conditions, "txtKhmemo_A", QStringLiteral("常連"));
    willPress(QStringLiteral("常連の女性"), Qt::Key_F8);
    Click(conditions, "cmdTeplate");
    ConditionRecord written;
    ASSERT_TRUE(
        ReadConditionTemplate(folder() + QStringLiteral("常連の女性.T01"), written, &error));
    EXPECT_EQ(written[R::KhMemoText], QStringLiteral("常連"));
    EXPECT_EQ(written[R::KihSeiValue], QStringLiteral("2"));
}

} // namespace
