#include "extract/ConditionModule.h"
#include "tests/extract/ConditionModuleFixture.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QFile>

using namespace plw;
using namespace plw::test;
using R = ConditionRecord;

namespace {

using ConditionModuleTest = ConditionModuleFixture;

// The analysis period as the parameter screen puts it into the conditions.
ConditionRecord WithPeriod(ConditionRecord record = ClearedConditionRecord()) {
    record[R::PinRaiKind] = QStringLiteral("3");
    record[R::PinRaiFrom] = QStringLiteral("20250401");
    record[R::PinRaiTo] = QStringLiteral("20260331");
    record[R::PinRaiMonths] = QStringLiteral("12");
    return record;
}

ConditionRecord Edited() {
    ConditionRecord record = WithPeriod();
    record[R::KihSeiKind] = QStringLiteral("3");
    record[R::KihSeiValue] = QStringLiteral("2");
    record[R::KihAdrKind] = QStringLiteral("2");
    record[R::KihAdrText] = QStringLiteral("港区");
    record[R::PinGakKind] = QStringLiteral("4");
    record[R::PinGakFrom] = QStringLiteral("5");
    record[R::BunKind(1)] = QStringLiteral("3");
    record[R::BunItem(1, 3)] = QStringLiteral("1");
    return record;
}

bool AllKindsNone(const ConditionScreenState& state) {
    for (int c = 0; c < Cond::Count; ++c)
        if (state.Kinds[c] != 1)
            return false;
    return true;
}

} // namespace

TEST_F(ConditionModuleTest, PrepareFillsClassificationFramesOnly) {
    EXPECT_EQ(Screen().BunCaptions[0], QStringLiteral("地区"));
    EXPECT_EQ(Screen().BunCaptions[2], QString());
    EXPECT_EQ(Screen().BunItems[0], QStringList({QStringLiteral("A1:北"), QStringLiteral("A2:南"),
                                                 QStringLiteral("A3:東")}));
    EXPECT_EQ(Screen().BunItems[1].size(), 2);
    EXPECT_TRUE(Screen().BunItems[3].isEmpty());
    EXPECT_EQ(Screen().CountLabel, QStringLiteral("件数"));
    EXPECT_FALSE(mModule.Visible());
    EXPECT_EQ(mModule.CallerId(), QString());
}

TEST_F(ConditionModuleTest, FirstOpenWithoutScreenFileShowsNothingSpecified) {
    Run("", "P1");
    EXPECT_TRUE(mModule.Visible());
    EXPECT_EQ(mShown, 1);
    EXPECT_TRUE(AllKindsNone(Screen()));
    EXPECT_EQ(Screen().KihSei, 1);
    EXPECT_EQ(Screen().DmkOsr, 1);
    EXPECT_EQ(Screen().EmlOsr, 1);
    EXPECT_TRUE(Screen().SummaryLines.isEmpty());
    EXPECT_EQ(Screen().CountLabel, QString());
    EXPECT_EQ(mModule.Working()[R::KihSeiValue], QStringLiteral("1"));
    EXPECT_EQ(mModule.Working()[R::KihHjmFrom], QStringLiteral("0")); // an empty date box reads 0
}

TEST_F(ConditionModuleTest, ADamagedScreenFileGivesTheClearedRecordIsReportedAndKeptAside) {
    ConditionRecord saved = Edited();
    QString error;
    ASSERT_TRUE(WriteConditionFile(mEnvironment.ConditionScreenPath, saved, &error));
    const QByteArray good = ReadBytes(mEnvironment.ConditionScreenPath);
    QByteArray foreign = good;
    foreign.replace(2, 6, "V10XXX");
    const struct {
        const char* name;
        QByteArray bytes;
        const char* caller;
        bool damaged;
    } cases[] = {
        {"empty", QByteArray(), "P1", false},
        {"foreign marker", foreign, "P1", true},
        {"ends inside the record", good.left(120), "P1", true},
        {"cleared for the direct-mail caller", foreign, "DM", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(mEnvironment.ConditionScreenPath + QStringLiteral(".damaged"));
        WriteBytes(mEnvironment.ConditionScreenPath, c.bytes);
        const qsizetype told = mPrompter.texts().size();
        Run("", c.caller);
        EXPECT_EQ(Screen().Kinds[Cond::KihSei], 1);
        EXPECT_EQ(Screen().Kinds[Cond::PinRai], 1);
        EXPECT_EQ(Screen().Kinds[Cond::DmkOsr], std::string(c.caller) == "DM" ? 3 : 1);
        // A damaged file is no "nothing saved": the operator is told and the file kept aside.
        EXPECT_EQ(mPrompter.texts().size(), told + (c.damaged ? 1 : 0));
        if (c.damaged) {
            EXPECT_TRUE(mPrompter.texts().last().contains(QStringLiteral("CtyuGet.PRM")));
            EXPECT_EQ(ReadBytes(mEnvironment.ConditionScreenPath + QStringLiteral(".damaged")),
                      c.bytes);
        }
    }
    WriteBytes(mEnvironment.ConditionScreenPath, good);
    Run("", "P1");
    EXPECT_EQ(Screen().Kinds[Cond::KihSei], 3);
    EXPECT_EQ(Screen().KihAdr, QStringLiteral("港区"));
}

TEST_F(ConditionModuleTest, ConfirmWritesTheScreenFileThatTheNextStartReads) {
    Run("SR", "P1", Edited());
    Run("YS", "P1", Edited());
    Screen().Kinds[Cond::KhMemo] = 2;
    Screen().KhMemo = QStringLiteral(" 常連 ");
    mModule.Changed();
    ASSERT_TRUE(mModule.Confirm());
    EXPECT_FALSE(mModule.Visible());
    EXPECT_EQ(mFinished, QList<bool>{true});
    EXPECT_TRUE(mPrompter.messages().isEmpty());

    ConditionModule next(mEnvironment, mTable, mPrompter, mClock);
    ConditionRecord unused;
    next.Run(QStringLiteral("JB"), QString(), unused);
    next.Run(QString(), QStringLiteral("P1"), unused);
    EXPECT_EQ(next.Working(), mModule.Working());
    EXPECT_EQ(next.Working()[R::KhMemoText], QStringLiteral("常連"));
    EXPECT_EQ(next.Working()[R::BunItem(1, 3)], QStringLiteral("1"));
    EXPECT_EQ(next.Working()[R::Marker], ConditionMarker);
}

TEST_F(ConditionModuleTest, ConfirmStopsAtAFailedCheckAndReportsAFailedWrite) {
    Run("YS", "P1", WithPeriod());
    Screen().Kinds[Cond::PinGak] = 3;
    mModule.Changed();
    EXPECT_FALSE(mModule.Confirm());
    ASSERT_EQ(mPrompter.texts(), QStringList{QStringLiteral("範囲を指定してください")});
    EXPECT_EQ(mPrompter.messages()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(Screen().CurrentTab, 2);
    EXPECT_EQ(Screen().Focus, QStringLiteral("txtPinGak_F"));
    EXPECT_TRUE(mModule.Visible());
    EXPECT_TRUE(mFinished.isEmpty());
    EXPECT_FALSE(QFile::exists(mEnvironment.ConditionScreenPath));

    // The work folder vanished: the conditions still reach the parameter screen, the operator
    // is told that the file was not written.
    Screen().PinGakFrom = QStringLiteral("5");
    mModule.Changed();
    mEnvironment.ConditionScreenPath = mDir.path() + QStringLiteral("/gone/CtyuGet.PRM");
    EXPECT_TRUE(mModule.Confirm());
    ASSERT_EQ(mPrompter.messages().size(), 2);
    EXPECT_TRUE(mPrompter.texts()[1].contains(QStringLiteral("CtyuGet.PRM")));
    EXPECT_EQ(mFinished, QList<bool>{true});
}

TEST_F(ConditionModuleTest, EscapeBringsBackTheConditionsTheScreenOpenedWith) {
    Run("SR", "P1", Edited());
    Run("YS", "P1", Edited());
    const ConditionRecord opened = Run("GT", "P1");
    Screen().Kinds[Cond::KihSei] = 1;
    Screen().KihAdr = QStringLiteral("別の町");
    Screen().BunSelected[0][0] = true;
    mModule.Changed();
    ASSERT_NE(mModule.Working(), opened);

    mModule.Cancel();
    EXPECT_FALSE(mModule.Visible());
    EXPECT_EQ(mFinished, QList<bool>{false});
    EXPECT_EQ(Screen().Kinds[Cond::KihSei], 3);
    EXPECT_EQ(Screen().KihAdr, QStringLiteral("港区"));
    EXPECT_EQ(Run("GT", "P1"), opened);
}

TEST_F(ConditionModuleTest, ModesAndTheirCommonPreparation) {
    mEnvironment.DebugMode = 1;
    Screen().CountLabel = QStringLiteral("該当 １ 人");
    const ConditionRecord cleared = Run("CL", "DM", Edited());
    EXPECT_EQ(cleared[R::DmkOsrKind], QStringLiteral("3"));
    EXPECT_EQ(cleared[R::KihSeiKind], QStringLiteral("1"));
    EXPECT_EQ(Screen().CountLabel, QString());
    EXPECT_TRUE(Screen().DebugVisible);
    EXPECT_TRUE(Screen().NoticeVisible);
    EXPECT_EQ(Screen().NoticeText, QStringLiteral("ＤＭを拒否している人は対象になりません"));
    Run("GT", "EL");
    EXPECT_EQ(Screen().NoticeText, QStringLiteral("メールを拒否している人は対象になりません"));
    mEnvironment.DebugMode = 0;
    Run("GT", "P1");
    EXPECT_FALSE(Screen().NoticeVisible);
    EXPECT_FALSE(Screen().DebugVisible);

    // "SR" sets without showing; "YS" also refreshes and shows; the backup is the record the
    // module held before.
    Run("SR", "P1", Edited());
    EXPECT_FALSE(mModule.Visible());
    EXPECT_EQ(Screen().KihAdr, QStringLiteral("港区"));
    EXPECT_EQ(mModule.SummaryLines().size(), 7);
    EXPECT_TRUE(
        mModule.SummaryLines().contains(QStringLiteral("分類情報:地区 指定（かつ）     03:東 ")));
    const ConditionRecord held = mModule.Working();
    Run("YS", "P1", WithPeriod());
    EXPECT_TRUE(mModule.Visible());
    EXPECT_EQ(mModule.Backup(), held);
    EXPECT_EQ(Screen().SummaryLines, mModule.SummaryLines());
    EXPECT_EQ(Screen().SummaryLines.size(), 1);
    const ConditionRecord got = Run("GT", "P1");
    EXPECT_EQ(got, mModule.Working());
    EXPECT_EQ(got[R::PinRaiFrom], QStringLiteral("20250401"));
}

TEST_F(ConditionModuleTest, ChangesEmptyTheCountAndRefreshUnlessBusy) {
    Run("YS", "P1", WithPeriod());
    Screen().CountLabel = QStringLiteral("該当 ３ 人");
    Screen().Kinds[Cond::KihKai] = 3;
    EXPECT_FALSE(Screen().ValuesEnabled[Cond::KihKai]);
    mModule.Changed();
    EXPECT_EQ(Screen().CountLabel, QString());
    EXPECT_TRUE(Screen().ValuesEnabled[Cond::KihKai]);
    EXPECT_EQ(mModule.Working()[R::KihKaiKind], QStringLiteral("3"));
    EXPECT_EQ(Screen().SummaryLines.size(), 2);
    EXPECT_FALSE(mModule.Busy());
}

TEST_F(ConditionModuleTest, CallersLockTheirOwnConditions) {
    const struct {
        const char* caller;
        Cond::Id locked;
        int kindAfterAllClear;
    } cases[] = {{"P1", Cond::PinRai, 3}, {"DM", Cond::DmkOsr, 3}, {"EL", Cond::EmlOsr, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caller);
        Run("YS", c.caller, Edited());
        EXPECT_FALSE(Screen().KindEnabled[c.locked]);
        EXPECT_FALSE(Screen().ValuesEnabled[c.locked]);
        EXPECT_TRUE(Screen().ValuesEnabled[Cond::KihSei]);
        mPrompter.answerNext(MessageAnswer::Cancel);
        mModule.AllToNone();
        EXPECT_EQ(Screen().Kinds[Cond::KihSei], 3);
        mModule.AllToNone();
        EXPECT_EQ(mPrompter.texts().last(),
                  QStringLiteral("すべてを指定しないにしてもよろしいですか？"));
        EXPECT_EQ(mPrompter.messages().last().buttons, MessageButtons::OkCancel);
        EXPECT_EQ(Screen().Kinds[c.locked], c.kindAfterAllClear);
        EXPECT_EQ(Screen().Kinds[Cond::KihSei], 1);
        EXPECT_EQ(Screen().Kinds[Cond::KihAdr], 1);
    }
    // The analysis period stays what the parameter screen set, and its buttons do nothing.
    Run("YS", "P1", WithPeriod());
    EXPECT_TRUE(mModule.DatePreset(QStringLiteral("cmdSetA")));
    mModule.DateSetting(Cond::PinRai);
    const ConditionRecord got = Run("GT", "P1");
    EXPECT_EQ(got[R::PinRaiKind], QStringLiteral("3"));
    EXPECT_EQ(got[R::PinRaiFrom], QStringLiteral("20250401"));
    EXPECT_EQ(got[R::PinRaiTo], QStringLiteral("20260331"));
    EXPECT_TRUE(mModule.Validate());
}

TEST_F(ConditionModuleTest, TemplateLoadKeepsTheCallersOwnConditions) {
    ConditionRecord fromTemplate = Edited();
    fromTemplate[R::PinRaiKind] = QStringLiteral("2");
    fromTemplate[R::PinRaiFrom] = QStringLiteral("20200101");
    fromTemplate[R::PinRaiTo] = QStringLiteral("20201231");
    fromTemplate[R::PinRaiMonths] = QStringLiteral("11");
    fromTemplate[R::DmkOsrValue] = QStringLiteral("2");
    fromTemplate[R::EmlOsrValue] = QStringLiteral("2");
    ConditionRecord broken = fromTemplate;
    broken[R::KihKaiKind].clear();

    const struct {
        const char* name;
        const char* caller;
        const ConditionRecord& read;
        const char* pinRaiKind;
        const char* pinRaiFrom;
        const char* dmkOsr; // kind + value
        const char* emlOsr;
        const char* kihSei;
    } cases[] = {
        // The analysis keeps the template's own mail consent: forcing "指定（かつ）" would narrow
        // it to the customers who accepted mail.
        {"analysis", "P1", fromTemplate, "3", "20250401", "12", "12", "3"},
        {"direct mail", "DM", fromTemplate, "2", "20200101", "31", "12", "3"},
        {"mail", "EL", fromTemplate, "2", "20200101", "12", "31", "3"},
        {"unusable template, analysis", "P1", broken, "3", "20250401", "11", "11", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Run("SR", c.caller, WithPeriod());
        Run("YS", c.caller, WithPeriod());
        const int shown = mShown;
        const int hidden = mHidden;
        Screen().CountLabel = QStringLiteral("該当 ３ 人");
        mModule.LoadTemplate(c.read);
        const ConditionRecord& w = mModule.Working();
        EXPECT_EQ(w[R::PinRaiKind], QLatin1String(c.pinRaiKind));
        EXPECT_EQ(w[R::PinRaiFrom], QLatin1String(c.pinRaiFrom));
        EXPECT_EQ(w[R::DmkOsrKind] + w[R::DmkOsrValue], QLatin1String(c.dmkOsr));
        EXPECT_EQ(w[R::EmlOsrKind] + w[R::EmlOsrValue], QLatin1String(c.emlOsr));
        EXPECT_EQ(w[R::KihSeiKind], QLatin1String(c.kihSei));
        EXPECT_EQ(Screen().Kinds[Cond::KihSei], QByteArray(c.kihSei).toInt());
        EXPECT_EQ(Screen().CountLabel, QString());
        EXPECT_EQ(mHidden, hidden + 1);
        EXPECT_EQ(mShown, shown + 1);
        EXPECT_TRUE(mModule.Visible());
    }

    // Saving takes the screen as it stands.
    Screen().Kinds[Cond::KhMemo] = 3;
    Screen().KhMemo = QStringLiteral("　メモ ");
    EXPECT_EQ(mModule.TemplateRecord()[R::KhMemoText], QStringLiteral("メモ"));
}

TEST_F(ConditionModuleTest, DatePresetsAndDateSetting) {
    Run("YS", "P1", WithPeriod());
    Screen().Kinds[Cond::KihHjm] = 3;
    mModule.Changed();
    const struct {
        const char* button;
        const char* from;
    } presets[] = {{"cmdA0", "20260301"},
                   {"cmdAA", "20260201"},
                   {"cmdB0", "20260101"},
                   {"cmdC0", "20250901"},
                   {"cmdD0", "20250301"}};
    for (const auto& p : presets) {
        Screen().CountLabel = QStringLiteral("x");
        EXPECT_TRUE(mModule.DatePreset(QLatin1String(p.button)));
        EXPECT_EQ(Screen().KihHjmFrom, QLatin1String(p.from)) << p.button;
        EXPECT_EQ(Screen().KihHjmTo, QStringLiteral("20260331"));
        EXPECT_EQ(Screen().CountLabel, QString());
    }
    EXPECT_FALSE(mModule.DatePreset(QStringLiteral("cmdZZ")));

    const struct {
        const char* from;
        const char* months;
        const char* to; // "" when refused
        const char* focus;
    } settings[] = {
        {"20260131", "1", "20260228", ""},
        {"20251130", "3", "20260228", ""},  // February from the 29th on: the 28th
        {"20260331", "1", "20260430", ""},  // a day April does not have: its last day
        {"20261215", "13", "20280115", ""}, // past December into the next years
        {"", "1", "", "imdSeiFR"},
        {"20260101", "0", "", "txtKihHjm_X"},
        {"20260101", "", "", "txtKihHjm_X"},
    };
    for (const auto& s : settings) {
        SCOPED_TRACE(std::string(s.from) + " + " + s.months);
        Screen().KihHjmFrom = QLatin1String(s.from);
        Screen().KihHjmMonths = QLatin1String(s.months);
        Screen().KihHjmTo = QStringLiteral("20000101");
        Screen().Focus.clear();
        const qsizetype messages = mPrompter.messages().size();
        mModule.DateSetting(Cond::KihHjm);
        if (*s.to) {
            EXPECT_EQ(Screen().KihHjmTo, QLatin1String(s.to));
            EXPECT_EQ(mPrompter.messages().size(), messages);
        } else {
            EXPECT_EQ(Screen().KihHjmTo, QStringLiteral("20000101"));
            EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("指定してください"));
            EXPECT_EQ(Screen().Focus, QLatin1String(s.focus));
        }
    }

    Screen().Kinds[Cond::TosBar] = 3;
    mModule.Changed();
    mModule.Today();
    EXPECT_EQ(mModule.Working()[R::TosBarMmdd], QStringLiteral("0331"));
    mModule.Tomorrow();
    EXPECT_EQ(Screen().TosBar, QStringLiteral("20260401"));
    EXPECT_EQ(mModule.Working()[R::TosBarMmdd], QStringLiteral("0401"));
}

TEST_F(ConditionModuleTest, ValueButtonsAndLeadingZeros) {
    Run("YS", "P1", WithPeriod());
    for (const ConditionRangeControl& range : ConditionRangeControls()) {
        Screen().Kinds[range.Owner] = 2;
        mModule.Changed();
        mModule.SetMinimum(range.Owner);
        mModule.SetMaximum(range.Owner);
        EXPECT_EQ(Screen().*range.From, QString::number(range.Minimum));
        EXPECT_EQ(Screen().*range.To, QString::number(range.Maximum));
    }
    EXPECT_EQ(Screen().TosNenFrom + Screen().TosNenTo, QStringLiteral("199"));
    EXPECT_EQ(Screen().PinLifTo, QStringLiteral("999999"));
    EXPECT_EQ(Screen().EmlHKsTo, QStringLiteral("999"));

    Screen().Kinds[Cond::TosTuk] = 3;
    Screen().TosTuk.fill(true);
    Screen().Kinds[Cond::Bun1] = 3;
    mModule.Changed();
    mModule.ClearMonths();
    EXPECT_EQ(Screen().TosTuk, (std::array<bool, 12>{}));
    mModule.SelectAllEntries(1);
    EXPECT_EQ(mModule.Working()[R::BunItem(1, 3)], QStringLiteral("1"));
    EXPECT_EQ(mModule.Working()[R::BunItem(1, 4)], QStringLiteral("0"));
    mModule.SelectAllEntries(2); // level 2 is "指定しない": its buttons are disabled
    EXPECT_EQ(mModule.Working()[R::BunItem(2, 1)], QStringLiteral("0"));
    mModule.DeselectAllEntries(1);
    EXPECT_EQ(mModule.Working()[R::BunItem(1, 3)], QStringLiteral("0"));

    const struct {
        const char* control;
        const char16_t* typed;
        const char16_t* left;
    } fields[] = {
        {"txtKihKai_F", u"123", u"0000123"}, {"txtKihKai_T", u" 45", u"0000045"},
        {"txtKihKai_F", u"0", u"0"},         {"txtKihKai_F", u"", u""},
        {"txtKihKai_F", u"12a", u"12a"},     {"txtKihKai_T", u"12345678", u"12345678"},
        {"txtMisBan_A", u"7", u"0007"},      {"txtMisBan_A", u"0", u"0000"},
        {"txtMisBan_A", u"０１", u"０１"},
    };
    for (const auto& f : fields) {
        const std::string control = f.control;
        QString& text = control == "txtMisBan_A"   ? Screen().MisBan
                        : control == "txtKihKai_F" ? Screen().KihKaiFrom
                                                   : Screen().KihKaiTo;
        text = QString::fromUtf16(f.typed);
        mModule.LeaveField(QLatin1String(f.control));
        EXPECT_EQ(text, QString::fromUtf16(f.left)) << f.control << " " << text.toStdString();
    }
}

TEST_F(ConditionModuleTest, DebugSqlTextComesFromTheScreen) {
    Run("YS", "P1", ClearedConditionRecord());
    Screen().Kinds[Cond::KihSei] = 3;
    Screen().KihSei = 2;
    Screen().Kinds[Cond::MisBan] = 4;
    Screen().MisBan = QStringLiteral("0012");
    EXPECT_EQ(mModule.DebugSqlText(),
              QStringLiteral("抽出１\nM1KhSeib = '2'\n抽出2(FOR DELETE)\nM1MisBan =  '0012'"));
    mModule.ReportClipped();
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("クリップしました")});
}
