#include "tools/sample/SampleInstallation.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/Environment.h"
#include "app/MF0SysCmPLW.h"
#include "app/RecordFile.h"
#include "app/ReturnProgram.h"
#include "db/BaseTables.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/TemplateFiles.h"
#include "settings/TemplateList.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/tools/HistoryTotals.h"
#include "tools/sample/SampleSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace plw::sample {
namespace {

constexpr int Customers = 12;
constexpr quint32 Seed = 7;

// Every row of a query, each as its values in column order.
QList<QVariantList> allRows(db::Database& database, const QString& sql) {
    QList<QVariantList> rows;
    for (auto rs = database.openRecordset(sql); !rs->eof(); rs->moveNext()) {
        QVariantList row;
        for (int i = 0; i < rs->fieldCount(); ++i)
            row << rs->value(i);
        rows << row;
    }
    return rows;
}

QByteArray blanks(qsizetype n) {
    return QByteArray(n, ' ');
}

// Fixed text of a record field as the suite stores it: CP932, blank padded to its length.
QByteArray field(const QString& text, qsizetype length) {
    QByteArray bytes = AnsiCodec::encode(text).value_or(QByteArray());
    return bytes + blanks(length - bytes.size());
}

// One sample of a dozen customers, written once for all tests of the suite.
class SampleInstallationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sDir = new QTemporaryDir;
        ASSERT_TRUE(sDir->isValid());
        SampleOptions options;
        options.folder = sDir->path() + QStringLiteral("/店舗");
        options.customers = Customers;
        options.seed = Seed;
        sSummary = new SampleSummary;
        QString error;
        ASSERT_TRUE(WriteSampleInstallation(options, &error, sSummary)) << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete sSummary;
        delete sDir;
        sSummary = nullptr;
        sDir = nullptr;
    }

    static QString root() { return sDir->path() + QStringLiteral("/店舗/"); }
    static QString systemFolder() { return root() + QStringLiteral("PLW/"); }
    static QString workFolder() { return systemFolder() + QStringLiteral("WORK/"); }
    static QByteArray read(const QString& path) { return test::ReadBytes(path); }

    static QTemporaryDir* sDir;
    static SampleSummary* sSummary;
};

QTemporaryDir* SampleInstallationTest::sDir = nullptr;
SampleSummary* SampleInstallationTest::sSummary = nullptr;

TEST_F(SampleInstallationTest, WritesEveryFileAtItsPath) {
    const QStringList files = {
        QStringLiteral("場所PLW.TWS"),          QStringLiteral("PLW/F0SysCmPLW.TWS"),
        QStringLiteral("PLW/DATA/PLW_MST.MDB"), QStringLiteral("PLW/DATA/S3BUNRU.DAT"),
        QStringLiteral("PLW/INI/KIKISYU.SYS"),  QStringLiteral("PLW/DMFR/DM00001.SYS"),
        QStringLiteral("PLW/DMFR/DM00040.SYS"), QStringLiteral("PLW/ELFR/EM00001.SYS"),
        QStringLiteral("PLW/ELFR/EM00036.SYS"), QStringLiteral("PLW/WORK/PLW_TRN.MDB"),
        QStringLiteral("PLW/WORK/MODORI.DAT"),  QStringLiteral("PLW/WORK/PLWAN40.PRM"),
        QStringLiteral("PLW/WORK/PLWAN40.JKN"),
    };
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(root() + file).isFile()) << file.toStdString();
    EXPECT_EQ(sSummary->locationFile, root() + QStringLiteral("場所PLW.TWS"));
    EXPECT_EQ(SampleLocationFile(sDir->path() + QStringLiteral("/店舗")), sSummary->locationFile);
    EXPECT_EQ(sSummary->counts.customers, Customers);
}

TEST_F(SampleInstallationTest, LocationFileNamesTheSystemFolder) {
    const QByteArray bytes = read(sSummary->locationFile);
    ASSERT_TRUE(AnsiCodec::encode(AnsiCodec::decode(bytes)) == bytes) << "CP932 text";
    const QStringList lines = AnsiCodec::decode(bytes).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4); // three lines, each ended by CR LF
    EXPECT_EQ(lines[2], systemFolder());
    EXPECT_TRUE(QDir::isAbsolutePath(lines[2]));
    EXPECT_TRUE(lines[3].isEmpty());

    // The program's own start-up finds the installation through it, without the menu marker.
    Environment environment;
    environment.LocationFileOverride = sSummary->locationFile;
    test::ScriptedPrompter prompter;
    EXPECT_FALSE(LoadSystemDescription(environment, prompter, MenuCheck::Required).has_value());
    EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.texts().join(u'|').toStdString();
    EXPECT_EQ(environment.SystemFolder, systemFolder());
    EXPECT_EQ(environment.WorkFolder, workFolder());
    EXPECT_TRUE(QFileInfo(environment.TransactionDatabasePath).isFile());
    EXPECT_TRUE(QFileInfo(environment.MasterDatabasePath).isFile());
    EXPECT_TRUE(QFileInfo(environment.ClassificationPath).isFile());
    EXPECT_TRUE(QFileInfo(environment.DeviceDescriptionPath).isFile());
    EXPECT_TRUE(QFileInfo(environment.ReturnTablePath).isFile());
}

TEST_F(SampleInstallationTest, SystemDescriptionHoldsEachFieldAtItsOffset) {
    const QByteArray r = read(systemFolder() + QStringLiteral("F0SysCmPLW.TWS"));
    ASSERT_EQ(r.size(), 4096);
    EXPECT_EQ(qFromLittleEndian<qint16>(r.constData() + 0), 0); // DebugMode
    EXPECT_EQ(qFromLittleEndian<qint16>(r.constData() + 2), 2); // StartMode
    EXPECT_EQ(r.mid(4, 3), QByteArray("LPT"));
    EXPECT_EQ(r.mid(341, 128), field(workFolder(), 128));
    EXPECT_EQ(r.mid(469, 128), field(systemFolder(), 128));
    EXPECT_EQ(r.mid(917, 5), blanks(5)); // ScreenSide
    // The unnamed fields are blank; nothing is stored after the record's 4033 bytes.
    for (auto [from, to] : {std::pair{7, 341}, std::pair{597, 917}, std::pair{922, 4033}})
        EXPECT_EQ(r.mid(from, to - from), blanks(to - from)) << from;
    EXPECT_EQ(r.mid(4033), QByteArray(4096 - 4033, '\0'));
}

TEST_F(SampleInstallationTest, ReturnTableAndDeviceDescription) {
    const QByteArray modori = read(workFolder() + QStringLiteral("MODORI.DAT"));
    ASSERT_EQ(modori.size(), 4864);
    int found = -1;
    for (int slot = 0; slot < 256; ++slot)
        if (modori.mid(2816 + slot * 8, 8) == QByteArray("PLWAN40 "))
            found = slot;
    ASSERT_GE(found, 0);
    EXPECT_EQ(modori.mid(768 + found * 8, 8), QByteArray("PLWMENU "));
    EXPECT_EQ(modori.mid(found * 3, 3), QByteArray("040"));
    // Slots beyond the registered programs are blank in all three columns.
    for (int slot = 5; slot < 256; ++slot) {
        EXPECT_EQ(modori.mid(slot * 3, 3), blanks(3)) << slot;
        EXPECT_EQ(modori.mid(768 + slot * 8, 8), blanks(8)) << slot;
        EXPECT_EQ(modori.mid(2816 + slot * 8, 8), blanks(8)) << slot;
    }
    EXPECT_EQ(FindReturnProgramInRecord(modori, QStringLiteral("PLWAN40")),
              QStringLiteral("PLWMENU"));
    // The return program is there, so leaving the sample takes the normal exit path.
    EXPECT_TRUE(QFileInfo(systemFolder() + QStringLiteral("PLWMENU")).isExecutable());

    const QByteArray device = read(systemFolder() + QStringLiteral("INI/KIKISYU.SYS"));
    ASSERT_EQ(device.size(), 4096);
    EXPECT_EQ(device.left(2), QByteArray("21"));
    EXPECT_EQ(device.mid(2), blanks(4094));
}

TEST_F(SampleInstallationTest, ClassificationFileSplitsIntoFourLevels) {
    const QByteArray bytes = read(systemFolder() + QStringLiteral("DATA/S3BUNRU.DAT"));
    const QString text = AnsiCodec::decode(bytes);
    ASSERT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);

    struct Expected {
        const char16_t* name;
        int entries;
    };
    const Expected expected[] = {{u"来店動機", 8}, {u"職業", 10}, {u"趣味", 20}, {u"居住地区", 6}};
    for (int level = 0; level < 4; ++level) {
        QStringList fields(42);
        EXPECT_EQ(SplitCsvLine(lines[level], fields), 42);
        EXPECT_EQ(fields[1].trimmed(), QString::fromUtf16(expected[level].name));
        int count = 0;
        for (int entry = 1; entry <= 20; ++entry)
            if (!fields[1 + 2 * entry].trimmed().isEmpty())
                count = entry;
        EXPECT_EQ(count, expected[level].entries) << level + 1;
    }
    QStringList occupations(42);
    SplitCsvLine(lines[1], occupations);
    EXPECT_EQ(occupations[2 + 2 * 7 - 1], QStringLiteral("パート,アルバイト"));
}

TEST_F(SampleInstallationTest, CampaignConditionFilesCarryTheMarkerAndTheConsent) {
    auto fields = [&](const QString& path) {
        QByteArray record;
        QString error;
        EXPECT_TRUE(ReadRecord(path, 8192, 1, &record, &error)) << error.toStdString();
        RecordReader reader(record);
        QStringList out;
        for (int i = 0; i < 161; ++i)
            out << reader.text();
        EXPECT_LE(reader.position(), 8192);
        return out;
    };
    const QStringList dm = fields(systemFolder() + QStringLiteral("DMFR/DM00003.SYS"));
    EXPECT_EQ(dm[0], QStringLiteral("V10YUK"));
    EXPECT_EQ(dm[62], QStringLiteral("3")); // direct-mail consent, "and"
    EXPECT_EQ(dm[63], QStringLiteral("1"));
    EXPECT_EQ(dm[4], QStringLiteral("3")); // a campaign for women only
    EXPECT_EQ(dm[5], QStringLiteral("2"));
    EXPECT_EQ(dm[47], QStringLiteral("3"));
    EXPECT_EQ(dm[49], QStringLiteral("20170820"));
    EXPECT_EQ(dm[1], QStringLiteral("1"));
    EXPECT_EQ(dm[160], QStringLiteral("0"));

    const QStringList mail = fields(systemFolder() + QStringLiteral("ELFR/EM00001.SYS"));
    EXPECT_EQ(mail[0], QStringLiteral("V10YUK"));
    EXPECT_EQ(mail[69], QStringLiteral("3"));
    EXPECT_EQ(mail[70], QStringLiteral("1"));
    EXPECT_EQ(mail[62], QStringLiteral("1"));
}

TEST_F(SampleInstallationTest, SettingsHoldASavedAnalysisAndTemplatesOfEachKind) {
    AnalysisParameters parameters;
    QString error;
    ASSERT_TRUE(ReadParameterFile(workFolder() + QStringLiteral("PLWAN40.PRM"), parameters));
    SampleFolders folders;
    ASSERT_TRUE(MakeSampleFolders(root(), &folders, &error));
    EXPECT_EQ(parameters, SampleAnalysisParameters(folders));
    EXPECT_EQ(parameters.BaseDate, QStringLiteral("20261130"));
    EXPECT_EQ(parameters.RThreshold[4], QStringLiteral("30"));
    EXPECT_EQ(parameters.GroupMatrix[0], QStringLiteral("A"));
    EXPECT_EQ(parameters.GroupMatrix[124], QStringLiteral("X"));
    EXPECT_EQ(parameters.WorkbookName, root() + QStringLiteral("RFM分析結果.xls"));

    ConditionRecord saved;
    ASSERT_TRUE(ReadConditionFile(workFolder() + QStringLiteral("PLWAN40.JKN"), saved));
    EXPECT_EQ(saved[ConditionRecord::PinRaiKind], QStringLiteral("3"));
    EXPECT_EQ(saved[ConditionRecord::PinRaiFrom], parameters.LastVisitFrom);
    EXPECT_EQ(saved[ConditionRecord::PinRaiTo], parameters.LastVisitTo);

    for (const char* kind : {"T01", "F01", "F02"}) {
        TemplateList templates;
        templates.scan(workFolder(), QString::fromLatin1(kind));
        EXPECT_GE(templates.full().size(), 2) << kind;
    }
    ConditionRecord women;
    ASSERT_TRUE(
        ReadConditionTemplate(workFolder() + QStringLiteral("女性のみ.T01"), women, &error));
    EXPECT_EQ(women[ConditionRecord::KihSeiValue], QStringLiteral("2"));
}

TEST_F(SampleInstallationTest, DatabasesHoldTheCustomersWithAgreeingHistory) {
    auto transactionDb = db::Database::open(workFolder() + QStringLiteral("PLW_TRN.MDB"));
    auto masterDb = db::Database::open(systemFolder() + QStringLiteral("DATA/PLW_MST.MDB"));

    qint64 customers = 0, historyRows = 0, directMailsSent = 0, mailsSent = 0;
    for (auto m = transactionDb->openRecordset(
             QStringLiteral("SELECT * FROM M1_お客様マスタ ORDER BY M1KaiBan"));
         !m->eof(); m->moveNext()) {
        ++customers;
        directMailsSent += m->integer(u"M1SakDmk");
        mailsSent += m->integer(u"M1SakEka");
        const QString number = m->text(u"M1KaiBan");
        test::HistoryTotals totals;
        QString lastDate, lastTime;
        for (auto h = masterDb->openRecordset(
                 QStringLiteral("SELECT * FROM M2_ポイント履歴 WHERE M2CusCod = '%1' "
                                "ORDER BY M2BuyYmd & M2BuyHks")
                     .arg(number));
             !h->eof(); h->moveNext()) {
            ++historyRows;
            totals.add(h->text(u"M2FlgSyu"), h->text(u"M2FlgHpn"), h->integer(u"M2BuyGak"));
            lastDate = h->text(u"M2BuyYmd");
            lastTime = h->text(u"M2BuyHks");
        }
        if (!m->isNull(u"M1SakRik")) {
            EXPECT_EQ(m->integer(u"M1SakRik"), totals.visits) << number.toStdString();
        }
        if (!m->isNull(u"M1SakRgk")) {
            EXPECT_EQ(m->integer(u"M1SakRgk"), totals.amount) << number.toStdString();
        }
        EXPECT_EQ(m->text(u"M1SakHby"), lastDate) << number.toStdString();
        EXPECT_EQ(m->text(u"M1SakHbh"), lastTime) << number.toStdString();
    }
    EXPECT_EQ(customers, Customers);
    EXPECT_EQ(historyRows, sSummary->counts.historyRows);
    EXPECT_GT(historyRows, Customers);

    // Each campaign's customer count is the number of customers who received it.
    auto sum = [&](const QString& sql) {
        auto rs = masterDb->openRecordset(sql);
        return rs->eof() ? -1 : rs->integer(u"n");
    };
    EXPECT_EQ(sum(QStringLiteral("SELECT SUM(M4TyuYts) AS n FROM M4_ＤＭマスタ")), directMailsSent);
    EXPECT_EQ(sum(QStringLiteral("SELECT SUM(M6TyuYts) AS n FROM M6_メールマスタ")), mailsSent);
    EXPECT_EQ(sum(QStringLiteral("SELECT COUNT(*) AS n FROM M4_ＤＭマスタ")), 40);
    EXPECT_EQ(sum(QStringLiteral("SELECT COUNT(*) AS n FROM M6_メールマスタ")), 36);
}

TEST_F(SampleInstallationTest, SameSeedGivesTheSameInstallation) {
    QTemporaryDir other;
    auto write = [&](const QString& name, quint32 seed) {
        SampleOptions options;
        options.folder = other.filePath(name);
        options.customers = Customers;
        options.seed = seed;
        QString error;
        EXPECT_TRUE(WriteSampleInstallation(options, &error)) << error.toStdString();
        return options.folder + QStringLiteral("/PLW/");
    };
    const QString again = write(QStringLiteral("again"), Seed);
    const QString otherSeed = write(QStringLiteral("other"), Seed + 1);

    auto customers = [](const QString& system) {
        auto d = db::Database::open(system + QStringLiteral("WORK/PLW_TRN.MDB"));
        return allRows(*d, QStringLiteral("SELECT * FROM M1_お客様マスタ ORDER BY M1KaiBan"));
    };
    auto history = [](const QString& system) {
        auto d = db::Database::open(system + QStringLiteral("DATA/PLW_MST.MDB"));
        return allRows(*d, QStringLiteral("SELECT * FROM M2_ポイント履歴 "
                                          "ORDER BY M2CusCod, M2BuyYmd, M2BuyHks"));
    };
    EXPECT_EQ(customers(again), customers(systemFolder()));
    EXPECT_EQ(history(again), history(systemFolder()));
    EXPECT_NE(customers(otherSeed), customers(systemFolder()));

    // Files that do not name the folder are the same bytes.
    for (const QString& file :
         {QStringLiteral("DATA/S3BUNRU.DAT"), QStringLiteral("INI/KIKISYU.SYS"),
          QStringLiteral("WORK/MODORI.DAT"), QStringLiteral("DMFR/DM00017.SYS"),
          QStringLiteral("ELFR/EM00004.SYS")})
        EXPECT_EQ(read(again + file), read(systemFolder() + file)) << file.toStdString();
}

TEST_F(SampleInstallationTest, RefusesAnExistingInstallation) {
    SampleOptions options;
    options.folder = sDir->path() + QStringLiteral("/店舗");
    options.customers = 3;
    QString error;
    EXPECT_FALSE(WriteSampleInstallation(options, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("PLW_TRN.MDB"))) << error.toStdString();
    auto d = db::Database::open(workFolder() + QStringLiteral("PLW_TRN.MDB"));
    auto rs = d->openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM M1_お客様マスタ"));
    EXPECT_EQ(rs->integer(u"n"), Customers);
}

TEST(SampleInstallation, RefusesWhatItCannotWrite) {
    QTemporaryDir dir;
    // "/PLW/WORK/" makes the work folder 10 bytes longer than the root.
    const QString longRoot = dir.filePath(QString(130 - dir.path().size(), QLatin1Char('x')));
    const QString fitsRoot = dir.filePath(QString(128 - 11 - dir.path().size(), QLatin1Char('y')));
    struct Case {
        QString folder;
        int customers;
        bool accepted;
        const char16_t* errorPart;
    };
    const Case cases[] = {
        {longRoot, 1, false, u"128"},
        {fitsRoot, 1, true, u""},
        {dir.filePath(QStringLiteral("neg")), -1, false, u"顧客数"},
        {dir.filePath(QStringLiteral("many")), int(MaxSampleCustomers + 1), false, u"顧客数"},
        {dir.filePath(QStringLiteral("none")), 0, true, u""},
        {QString(), 1, false, u"フォルダ"},
    };
    for (const Case& c : cases) {
        SampleOptions options;
        options.folder = c.folder;
        options.customers = c.customers;
        QString error;
        EXPECT_EQ(WriteSampleInstallation(options, &error), c.accepted) << c.folder.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf16(c.errorPart))) << error.toStdString();
        if (!c.accepted && !c.folder.isEmpty()) {
            EXPECT_FALSE(QFileInfo::exists(c.folder + QStringLiteral("/PLW"))) << "nothing written";
        }
    }
}

} // namespace
} // namespace plw::sample
