#include "settings/ParameterLoader.h"
#include "settings/ParameterSaver.h"

#include "app/Clock.h"
#include "app/Environment.h"
#include "app/OutputItemList.h"
#include "extract/ConditionModule.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/OutputScreenState.h"
#include "settings/ParameterMapping.h"
#include "settings/ParameterScreenState.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;
using R = ConditionRecord;

namespace {

// Every value of the two screens as "name=value" lines, so that a difference names its field.
QStringList Describe(const ParameterScreenState& s) {
    QStringList out;
    const auto add = [&out](const char* name, const QString& value) {
        out << QString::fromLatin1(name) + QLatin1Char('=') + value;
    };
    add("LastVisitFrom", s.LastVisitFrom);
    add("LastVisitTo", s.LastVisitTo);
    add("LastVisitMonths", s.LastVisitMonths);
    add("BaseDate", s.BaseDate);
    for (size_t i = 0; i < 5; ++i) {
        add("RThreshold", s.RThreshold[i]);
        add("FThreshold", s.FThreshold[i]);
        add("MThreshold", s.MThreshold[i]);
    }
    add("PaintGroup", QString::number(s.PaintGroup));
    for (const QString& cell : s.GroupMatrix)
        add("GroupMatrix", cell);
    add("DetailPeriodOn", QString::number(s.DetailPeriodOn));
    add("LastVisitFromDetail", QString::number(s.LastVisitFromDetail));
    add("DetailFrom", s.DetailFrom);
    add("DetailTo", s.DetailTo);
    add("DetailControlsEnabled", QString::number(s.DetailControlsEnabled));
    return out;
}

QStringList Describe(const OutputScreenState& s) {
    QStringList out;
    const auto add = [&out](const char* name, const QString& value) {
        out << QString::fromLatin1(name) + QLatin1Char('=') + value;
    };
    const bool boxes[] = {s.OutParameters, s.OutGroupValues, s.OutCustomerList,
                          s.OutRCount,     s.OutRAmount,     s.OutFCount,
                          s.OutFAmount,    s.OutMCount,      s.OutMAmount};
    for (bool box : boxes)
        add("Out", QString::number(box));
    add("LeftChartType", QString::number(s.LeftChartType));
    add("RightChartType", QString::number(s.RightChartType));
    add("ListOrder", QString::number(s.ListOrder));
    for (bool group : s.ListGroups)
        add("ListGroup", QString::number(group));
    add("List2", s.List2.join(QLatin1Char('|')));
    add("List3", s.List3.join(QLatin1Char('|')));
    add("WorkbookName", s.WorkbookName);
    add("DialogFolder", s.DialogFolder);
    add("DialogFile", s.DialogFile);
    return out;
}

// The program-wide values the loader fills and the saver reads.
struct Settings {
    AnalysisParameters parameters;
    ParameterScreenState parameterScreen;
    OutputScreenState outputScreen;
    ConditionRecord saved;
    ParameterLoad found; // what loading found in the files
};

// A work folder and a condition module prepared as at start-up.
class ParameterFiles : public ::testing::Test {
protected:
    ParameterFiles() : mModule(mEnv, mClassifications, mPrompter, mClock) {
        mEnv.WorkFolder = mDir.path() + QLatin1Char('/');
        mEnv.SystemFolder = mEnv.WorkFolder;
        mEnv.BuildPaths();
        mItems = BuildOutputItemList({QStringLiteral("地区"), QStringLiteral("業種"),
                                      QStringLiteral("職業"), QStringLiteral("趣味")});
        ConditionRecord unused;
        mModule.Run(QStringLiteral("JB"), QStringLiteral("P1"), unused);
    }

    Settings load() {
        Settings s;
        s.found = LoadParameters(mEnv, mItems, s.parameters, s.parameterScreen, s.outputScreen,
                                 s.saved, mModule);
        return s;
    }
    void save(Settings& s) {
        QString error;
        ASSERT_TRUE(
            SaveParameters(mEnv, s.parameterScreen, s.outputScreen, s.parameters, s.saved, &error))
            << error.toStdString();
    }

    // Screens with a value of their own in every field.
    Settings distinctScreens() const {
        Settings s;
        ParameterScreenState& ps = s.parameterScreen;
        ps.LastVisitFrom = QStringLiteral("20250101");
        ps.LastVisitTo = QStringLiteral("20251231");
        ps.LastVisitMonths = QStringLiteral("12");
        ps.BaseDate = QStringLiteral("20260105");
        for (size_t i = 0; i < 5; ++i) {
            ps.RThreshold[i] = QString::number(10 * (i + 1));
            ps.FThreshold[i] = QString::number(i + 2);
            ps.MThreshold[i] = QString::number(100 + i);
        }
        // Field 1 shows field 2, as on the screen.
        for (auto* thresholds : {&ps.RThreshold, &ps.FThreshold, &ps.MThreshold})
            (*thresholds)[0] = (*thresholds)[1];
        ps.PaintGroup = 5;
        for (size_t k = 0; k < 125; ++k)
            ps.GroupMatrix[k] = QString(QChar(u"ABCDEX"[k % 6]));
        ps.DetailPeriodOn = true;
        ps.DetailControlsEnabled = true;
        ps.DetailFrom = QStringLiteral("20240301");
        ps.DetailTo = QStringLiteral("20240229");

        OutputScreenState& os = s.outputScreen;
        os.OutParameters = os.OutGroupValues = os.OutRCount = os.OutFCount = os.OutMAmount = true;
        os.LeftChartType = 2;
        os.RightChartType = 6;
        os.ListOrder = 3;
        os.ListGroups = {true, false, true, true, false, true};
        os.List3 = {mItems[31], mItems[0], mItems[17]};
        for (const QString& item : mItems)
            if (!os.List3.contains(item))
                os.List2 << item;
        os.WorkbookName = QStringLiteral("/home/shop/分析\\月次.xls");
        os.DialogFolder = QStringLiteral("/home/shop/分析\\");
        os.DialogFile = QStringLiteral("月次.xls");

        s.saved = ClearedConditionRecord();
        s.saved[R::KihAdrText] = QStringLiteral("札幌");
        s.saved[R::KihAdrKind] = ConditionKind::KindAnd;
        return s;
    }

    QTemporaryDir mDir;
    Environment mEnv;
    ClassificationTable mClassifications;
    test::ScriptedPrompter mPrompter;
    FixedClock mClock{QDateTime(QDate(2026, 1, 10), QTime(9, 0))};
    QStringList mItems;
    ConditionModule mModule;
};

} // namespace

TEST_F(ParameterFiles, SavedScreensLoadBackUnchanged) {
    Settings before = distinctScreens();
    before.parameterScreen.RThreshold[2] = QStringLiteral(" 30 ");
    save(before);

    const Settings after = load();
    ParameterScreenState expected = before.parameterScreen;
    expected.RThreshold[2] = QStringLiteral("30"); // thresholds lose their blanks on loading
    EXPECT_EQ(Describe(after.parameterScreen), Describe(expected));
    EXPECT_EQ(Describe(after.outputScreen), Describe(before.outputScreen));
    EXPECT_EQ(after.parameters, before.parameters);

    // The saved conditions come back, with the screen's period as the last-visit condition, and
    // the condition module holds them.
    ConditionRecord expectedConditions = before.saved;
    SetLastVisitCondition(before.parameterScreen, expectedConditions);
    EXPECT_EQ(after.saved, expectedConditions);
    EXPECT_EQ(mModule.Working(), expectedConditions);
    EXPECT_EQ(after.parameterScreen.ConditionSummary, mModule.SummaryLines());
    EXPECT_TRUE(after.parameterScreen.ConditionSummary.join(QString()).contains(u"札幌"));

    // Saving what was loaded writes the same conditions and, but for the trimmed threshold, the
    // same record.
    const QByteArray jkn = test::ReadBytes(mEnv.SavedConditionPath);
    Settings again = after;
    again.saved = before.saved;
    save(again);
    EXPECT_EQ(test::ReadBytes(mEnv.SavedConditionPath), jkn);
    AnalysisParameters expectedRecord = before.parameters;
    expectedRecord.RThreshold[2] = QStringLiteral("30");
    AnalysisParameters reread;
    QString error;
    ASSERT_TRUE(ReadParameterFile(mEnv.ParameterPath, reread));
    EXPECT_EQ(reread, expectedRecord);
}

TEST_F(ParameterFiles, LoadingForcesTheLastVisitCondition) {
    Settings stored = distinctScreens();
    stored.saved[R::PinRaiKind] = ConditionKind::KindExclude;
    stored.saved[R::PinRaiFrom] = QStringLiteral("20000101");
    stored.saved[R::PinRaiTo] = QStringLiteral("20001231");
    stored.saved[R::PinRaiMonths] = QStringLiteral("3");
    save(stored);

    const Settings loaded = load();
    EXPECT_EQ(loaded.saved[R::PinRaiKind], QStringLiteral("3"));
    EXPECT_EQ(loaded.saved[R::PinRaiFrom], QStringLiteral("20250101"));
    EXPECT_EQ(loaded.saved[R::PinRaiTo], QStringLiteral("20251231"));
    EXPECT_EQ(loaded.saved[R::PinRaiMonths], QStringLiteral("12"));
    EXPECT_EQ(loaded.saved[R::KihAdrText], QStringLiteral("札幌"));
}

TEST_F(ParameterFiles, BadFilesGiveDefaultsSayWhyAndLeaveTheOtherFileAlone) {
    Settings good = distinctScreens();
    save(good);
    const QByteArray goodPrm = test::ReadBytes(mEnv.ParameterPath);
    const QByteArray goodJkn = test::ReadBytes(mEnv.SavedConditionPath);
    const Settings fromGood = load();

    // What an empty work folder gives: empty fields, X cells, nothing ticked, every item output,
    // the cleared conditions with the (empty) last-visit period.
    QFile::remove(mEnv.ParameterPath);
    QFile::remove(mEnv.SavedConditionPath);
    const Settings empty = load();
    EXPECT_EQ(empty.found.Parameters.Outcome, StoredFileRead::State::Missing);
    EXPECT_EQ(empty.found.Conditions.Outcome, StoredFileRead::State::Missing);
    EXPECT_EQ(empty.parameters, AnalysisParameters());
    EXPECT_EQ(empty.parameterScreen.GroupMatrix[0], QStringLiteral("X"));
    EXPECT_EQ(empty.outputScreen.List2, mItems);
    ConditionRecord cleared = ClearedConditionRecord();
    SetLastVisitCondition(ParameterScreenState(), cleared);
    EXPECT_EQ(empty.saved, cleared);

    using State = StoredFileRead::State;
    struct Case {
        const char* what;
        QByteArray bytes;
        State state;
    };
    // A bad PLWAN40.PRM beside the good PLWAN40.JKN: nothing is taken from it.
    QByteArray lengthPastRecord = goodPrm;
    lengthPastRecord[2] = '\xff';
    lengthPastRecord[3] = '\xff';
    const Case badPrm[] = {
        {"empty", QByteArray(), State::Empty},
        {"noise", test::PseudoRandomBytes(3000, 11), State::Damaged},
        {"length past the record", lengthPastRecord, State::Damaged},
        {"cut short", goodPrm.left(26), State::Damaged},
    };
    for (const Case& c : badPrm) {
        SCOPED_TRACE(c.what);
        test::WriteBytes(mEnv.ParameterPath, c.bytes);
        test::WriteBytes(mEnv.SavedConditionPath, goodJkn);
        Settings s = load();
        EXPECT_EQ(s.found.Parameters.Outcome, c.state);
        EXPECT_TRUE(s.found.Conditions.ok());
        EXPECT_EQ(s.parameters, AnalysisParameters());
        EXPECT_EQ(Describe(s.parameterScreen), Describe(empty.parameterScreen));
        EXPECT_EQ(Describe(s.outputScreen), Describe(empty.outputScreen));
        EXPECT_EQ(s.saved[R::KihAdrText], QStringLiteral("札幌"));
        // Saving after it writes a good record.
        save(s);
        EXPECT_EQ(Describe(load().parameterScreen), Describe(s.parameterScreen));
    }

    // A bad PLWAN40.JKN beside the good PLWAN40.PRM.
    QByteArray otherMarker = goodJkn;
    otherMarker.replace(2, 6, "V10XXX");
    const Case badJkn[] = {
        {"empty", QByteArray(), State::Empty},
        {"noise", test::PseudoRandomBytes(9000, 11), State::Damaged},
        {"cut short", goodJkn.left(goodJkn.size() / 2), State::Damaged},
        {"another marker", otherMarker, State::Damaged},
    };
    ConditionRecord expected = ClearedConditionRecord();
    SetLastVisitCondition(fromGood.parameterScreen, expected);
    for (const Case& c : badJkn) {
        SCOPED_TRACE(c.what);
        test::WriteBytes(mEnv.ParameterPath, goodPrm);
        test::WriteBytes(mEnv.SavedConditionPath, c.bytes);
        Settings s = load();
        EXPECT_EQ(s.found.Conditions.Outcome, c.state);
        EXPECT_EQ(Describe(s.parameterScreen), Describe(fromGood.parameterScreen));
        EXPECT_EQ(Describe(s.outputScreen), Describe(fromGood.outputScreen));
        EXPECT_EQ(s.saved, expected);
        save(s);
        EXPECT_EQ(load().saved, s.saved); // now marked "V10YUK"
    }
}
