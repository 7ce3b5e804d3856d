#include "app/AnsiCodec.h"
#include "app/Environment.h"
#include "app/MF0SysCmPLW.h"
#include "app/ReturnProgram.h"
#include "app/ScreenFrame.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;
using plw::test::ReadBytes;
using plw::test::ScriptedPrompter;
using plw::test::WriteBytes;

namespace {

QByteArray cp932(const QString& text) {
    return *AnsiCodec::encode(text);
}

const QString NotFoundTail = QStringLiteral(" が見つかりません\r処理続行不可能");

// A folder with a location file pointing at a system-description folder.
class Installation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        mSystem = mDir.path() + QStringLiteral("/PLW/");
        mWork = mSystem + QStringLiteral("WORK/");
        QDir().mkpath(mWork);
        mLocation = mDir.path() + QStringLiteral("/場所PLW.TWS");
        mEnv.LocationFileOverride = mLocation;
        writeLocation(QStringLiteral("ｼｽﾃﾑ\r\n2\r\n  ") + mSystem + QStringLiteral("  \r\n"));
        SystemDescription d;
        d.StartMode = 2;
        d.PrinterDestination = QStringLiteral("LPT");
        d.WorkFolder = mWork;
        d.SystemFolder = mSystem;
        writeDescription(d);
    }

    void writeLocation(const QString& text) { WriteBytes(mLocation, cp932(text)); }
    void writeDescription(const SystemDescription& d) {
        const RecordWriter w = EncodeSystemDescription(d);
        ASSERT_TRUE(w.ok()) << w.error().toStdString();
        WriteBytes(mSystem + SystemDescriptionFile, w.bytes());
    }

    QTemporaryDir mDir;
    QString mSystem, mWork, mLocation;
    Environment mEnv;
    ScriptedPrompter mPrompter;
};

} // namespace

TEST_F(Installation, LocatesAndLoadsTheSystemDescription) {
    EXPECT_EQ(LocateSystemDescription(mEnv, mPrompter), mSystem);

    // Fields padded with NULs or blanks come back trimmed; paths follow from the folders.
    SystemDescription d;
    d.DebugMode = 1;
    d.StartMode = 2;
    d.PrinterDestination = QStringLiteral("PR");
    d.WorkFolder = mWork;
    d.SystemFolder = mSystem;
    d.ScreenSide = QStringLiteral("HIDA");
    writeDescription(d);
    EXPECT_FALSE(LoadSystemDescription(mEnv, mPrompter));
    EXPECT_TRUE(mPrompter.messages().isEmpty());
    EXPECT_EQ(mEnv.DebugMode, 1);
    EXPECT_EQ(mEnv.PrinterDestination, QStringLiteral("PR"));
    EXPECT_EQ(mEnv.WorkFolder, mWork);
    EXPECT_EQ(mEnv.ScreenSide, QStringLiteral("HIDA"));
    EXPECT_EQ(mEnv.MasterDatabasePath, mSystem + QStringLiteral("DATA/PLW_MST.MDB"));
    EXPECT_EQ(mEnv.TransactionDatabasePath, mWork + QStringLiteral("PLW_TRN.MDB"));
    EXPECT_EQ(mEnv.ReturnTablePath, mWork + QStringLiteral("MODORI.DAT"));
}

TEST_F(Installation, DecodesFieldsAtTheirOffsets) {
    QByteArray record(SystemDescriptionRecordLength, '\0');
    record[0] = 1;
    record[2] = 2;
    record.replace(4, 3, "LPT");
    record.replace(341, 6, "/w/x/ ");
    record.replace(469, 4, "\x81\x40/s/"); // an ideographic blank before the folder
    record.replace(917, 5, "MIGI ");
    const SystemDescription d = DecodeSystemDescription(record);
    EXPECT_EQ(d.DebugMode, 1);
    EXPECT_EQ(d.StartMode, 2);
    EXPECT_EQ(d.PrinterDestination, QStringLiteral("LPT"));
    EXPECT_EQ(d.WorkFolder, QStringLiteral("/w/x/"));
    EXPECT_EQ(d.SystemFolder, QStringLiteral("/s/"));
    EXPECT_EQ(d.ScreenSide, QStringLiteral("MIGI"));
}

TEST_F(Installation, TheFirstLocationCandidateThatExistsWins) {
    Environment env;
    env.ProgramFolder = mDir.path();
    const QStringList candidates = LocationFileCandidates(env);
    ASSERT_EQ(candidates.size(), 3);
    EXPECT_EQ(candidates[2], QStringLiteral("/opt/PLW/INI/場所PLW.TWS"));
    // Only the .TWS exists beside the program: it is chosen over the fixed path.
    EXPECT_EQ(LocateSystemDescription(env, mPrompter), mSystem);
    // An .INI beside it takes precedence.
    WriteBytes(mDir.path() + QStringLiteral("/場所PLW.INI"),
               cp932(QStringLiteral("a\nb\n/nowhere/\n")));
    EXPECT_EQ(LocateSystemDescription(env, mPrompter), QString());
    EXPECT_EQ(mPrompter.texts().value(0),
              QStringLiteral("下記システム緒言ファイルがありません\r/nowhere/F0SysCmPLW.TWS"));
}

TEST_F(Installation, BadLocationFilesEndTheProgramWithTheirMessage) {
    const QString cannotRead = QStringLiteral("実行に必要な ") + mLocation + NotFoundTail;
    const QString noDescription = QStringLiteral("下記システム緒言ファイルがありません\r");
    struct Case {
        const char* name;
        QByteArray content; // empty name: no file at all
        bool exists;
        QString message;
    };
    const Case cases[] = {
        {"missing", {}, false, cannotRead},
        {"two lines", "a\r\nb\r\n", true, cannotRead},
        {"empty", "", true, cannotRead},
        // A blank third line looks for the bare file name in the current folder.
        {"blank third line", "a\nb\n   \n", true, noDescription + SystemDescriptionFile},
        {"invalid CP932", "a\nb\n/x\x80\xfd/\n", true,
         noDescription + QStringLiteral("/x\uFFFD\uFFFD/") + SystemDescriptionFile},
        {"random bytes", test::PseudoRandomBytes(3000, 7), true, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(mLocation);
        if (c.exists)
            WriteBytes(mLocation, c.content);
        ScriptedPrompter prompter;
        Environment env = mEnv;
        EXPECT_EQ(LocateSystemDescription(env, prompter), QString());
        const MaybeEnd end = LoadSystemDescription(env, prompter);
        ASSERT_TRUE(end);
        EXPECT_EQ(end->status, 1);
        ASSERT_EQ(prompter.messages().size(), 2);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(prompter.texts()[0], c.message);
        }
    }
}

TEST_F(Installation, MenuMarkerIsRequiredUnlessStartModeTwoOrBatch) {
    SystemDescription d;
    d.WorkFolder = mWork;
    d.SystemFolder = mSystem;
    writeDescription(d); // StartMode 0
    MaybeEnd end = LoadSystemDescription(mEnv, mPrompter);
    ASSERT_TRUE(end);
    EXPECT_EQ(mPrompter.texts(), QStringList{QStringLiteral("メニューからしか起動できません")});

    EXPECT_FALSE(LoadSystemDescription(mEnv, mPrompter, MenuCheck::Skipped));

    WriteBytes(mWork + QStringLiteral("menu.dat"), ""); // names match without regard to case
    EXPECT_FALSE(LoadSystemDescription(mEnv, mPrompter));
    EXPECT_EQ(mPrompter.messages().size(), 1);
}

TEST_F(Installation, ShortOrGarbledSystemDescriptionsNeverCrash) {
    const QString path = mSystem + SystemDescriptionFile;
    // An empty record: StartMode 0 and no marker.
    WriteBytes(path, "");
    ASSERT_TRUE(LoadSystemDescription(mEnv, mPrompter));
    EXPECT_EQ(mPrompter.texts().last(), QStringLiteral("メニューからしか起動できません"));
    // A record cut after the start mode: the rest reads as empty.
    WriteBytes(path, QByteArray("\0\0\2\0LP", 6));
    EXPECT_FALSE(LoadSystemDescription(mEnv, mPrompter));
    EXPECT_EQ(mEnv.PrinterDestination, QStringLiteral("LP"));
    EXPECT_EQ(mEnv.WorkFolder, QString());
    // Random bytes and invalid CP932 give garbled but harmless values.
    WriteBytes(path, test::PseudoRandomBytes(4096, 3));
    LoadSystemDescription(mEnv, mPrompter, MenuCheck::Skipped);
    QByteArray invalid(4096, ' ');
    invalid.replace(341, 4, "\x80\xfd\x81\x20");
    WriteBytes(path, invalid);
    LoadSystemDescription(mEnv, mPrompter, MenuCheck::Skipped);
    EXPECT_TRUE(mEnv.WorkFolder.startsWith(QStringLiteral("\uFFFD\uFFFD")));
}

TEST(DeviceType, TitleAndDeviceFromTheDescription) {
    QTemporaryDir dir;
    Environment env;
    env.SystemFolder = dir.path() + QStringLiteral("/");
    env.BuildPaths();
    struct Case {
        const char* name;
        QByteArray content;
        bool exists;
        QString title;
    };
    const QString base = QStringLiteral("Twsystem Lumen v1 (PLWAN401)    ");
    const Case cases[] = {
        {"missing file", {}, false, base + QStringLiteral("DVR-BAS")},
        {"type 1", EncodeDeviceType('1', '1'), true, base + QStringLiteral("DVR-BAS")},
        {"type 2 sub 1", EncodeDeviceType('2', '1'), true, base + QStringLiteral("DVR500LX **")},
        {"type 2 sub 2", EncodeDeviceType('2', '2'), true, base + QStringLiteral("DVR500LX ..")},
        {"type 2 sub 0", EncodeDeviceType('2', '0'), true, base + QStringLiteral("DVR500LX")},
        {"type 2 sub 3", EncodeDeviceType('2', '3'), true, base + QStringLiteral("DVR500LX")},
        {"one byte", "2", true, base + QStringLiteral("DVR500LX")},
        {"empty", "", true, base + QStringLiteral("DVR-BAS")},
        {"invalid CP932", "\x81\xff", true, base + QStringLiteral("DVR-BAS")},
        {"random", test::PseudoRandomBytes(4096, 11), true, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(dir.path() + QStringLiteral("/INI/KIKISYU.SYS"));
        if (c.exists)
            WriteBytes(dir.path() + QStringLiteral("/INI/KIKISYU.SYS"), c.content);
        const QString title = ScreenTitleText(QStringLiteral("(PLWAN401) "), ReadDeviceType(env));
        if (!c.title.isEmpty()) {
            EXPECT_EQ(title, c.title);
        }
    }
}

TEST(ScreenPlacement, CentresInTheChosenHalfOfAWideScreen) {
    EXPECT_EQ(PlacedLeftTwips(28800, 9000, QStringLiteral("MIGI")), 17100);
    EXPECT_EQ(PlacedLeftTwips(28800, 9000, QStringLiteral("HIDA")), 2700);
    EXPECT_EQ(PlacedLeftTwips(28800, 9000, QStringLiteral("migi")), std::nullopt);
    EXPECT_EQ(PlacedLeftTwips(28800, 9000, QString()), std::nullopt);
    EXPECT_EQ(PlacedLeftTwips(19200, 9000, QStringLiteral("MIGI")), std::nullopt);
    EXPECT_EQ(PlacedLeftTwips(19215, 9000, QStringLiteral("HIDA")), (19215.0 / 2 - 9000) / 2);
}

TEST(ScreenPlacement, KeepsTheWholeFrameOnTheAvailablePartOfTheDisplay) {
    // A narrow window (600 px with its frame) and one wider than half of every display here
    // (1330 px, the parameter screen's size); displays with a task bar below.
    struct Case {
        int display;
        const char* side;
        int width;
        std::optional<int> left;
    };
    const Case cases[] = {
        {1280, "MIGI", 600, std::nullopt},
        {1280, "HIDA", 1330, std::nullopt},
        {1366, "MIGI", 600, 725},
        {1366, "HIDA", 600, 42},
        {1366, "", 600, std::nullopt},
        {1366, "MIGI", 1330, 36},
        {1366, "HIDA", 1330, 0},
        {1366, "", 1330, std::nullopt},
        {1920, "MIGI", 600, 1140},
        {1920, "HIDA", 600, 180},
        {1920, "MIGI", 1330, 590},
        {1920, "HIDA", 1330, 0},
        {1920, "Migi", 1330, std::nullopt},
        {2560, "MIGI", 600, 1620},
        {2560, "HIDA", 600, 340},
        {2560, "MIGI", 1330, 1230},
        {2560, "HIDA", 1330, 0},
        {2560, "", 600, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.display) + " " + c.side + " " + std::to_string(c.width));
        const QRect display(0, 0, c.display, 1080);
        const QRect available(0, 0, c.display, 1032);
        EXPECT_EQ(PlacedFrameLeft(display, available, c.width, QLatin1String(c.side)), c.left);
    }
    // A second display to the right, with a panel on its left; a window wider than the display.
    EXPECT_EQ(PlacedFrameLeft(QRect(1920, 0, 1366, 768), QRect(1968, 0, 1318, 768), 1330,
                              QStringLiteral("HIDA")),
              1968);
    EXPECT_EQ(PlacedFrameLeft(QRect(1920, 0, 1366, 768), QRect(1920, 0, 1366, 720), 1400,
                              QStringLiteral("MIGI")),
              1920);
}

TEST(ReturnTable, FindsTheReturnProgramOfACaller) {
    const RecordWriter table = EncodeReturnTable(
        {{QStringLiteral("001"), QStringLiteral("PLWMENU"), QStringLiteral("PLWAN30")},
         {QStringLiteral("002"), QStringLiteral("PLWMENU2"), QStringLiteral("PLWAN40")}});
    ASSERT_TRUE(table.ok());
    EXPECT_EQ(table.bytes().size(), ReturnTableRecordLength);
    EXPECT_EQ(table.bytes().mid(768 + 8, 8), QByteArray("PLWMENU2"));
    EXPECT_EQ(table.bytes().mid(2816 + 8, 8), QByteArray("PLWAN40 "));

    EXPECT_EQ(FindReturnProgramInRecord(table.bytes(), QStringLiteral("PLWAN40")),
              QStringLiteral("PLWMENU2"));
    // Only the first eight characters of the identifier count.
    EXPECT_EQ(FindReturnProgramInRecord(table.bytes(), QStringLiteral("PLWAN30XYZ")), QString());
    EXPECT_EQ(FindReturnProgramInRecord(table.bytes(), QStringLiteral("PLWAN3")), QString());

    QTemporaryDir dir;
    Environment env;
    env.WorkFolder = dir.path() + QStringLiteral("/");
    env.BuildPaths();
    EXPECT_EQ(FindReturnProgram(env, QStringLiteral("PLWAN40")), QString()); // no file
    for (const QByteArray& bad : {QByteArray(), table.bytes().left(2820),
                                  test::PseudoRandomBytes(4864, 5), QByteArray(4864, '\x81')}) {
        WriteBytes(env.ReturnTablePath, bad);
        EXPECT_EQ(FindReturnProgram(env, QStringLiteral("PLWAN40")), QString());
    }
    WriteBytes(env.ReturnTablePath, table.bytes());
    EXPECT_EQ(FindReturnProgram(env, QStringLiteral("PLWAN40")), QStringLiteral("PLWMENU2"));
}
