// The batch program run on a freshly written small installation with one file or resource
// damaged per case: the exit status and the message must tell what happened, a refused or failed
// run must leave every settings file and database as it was, and a run that proceeds may change
// only what a run writes.

#include "app/WorkFolderLock.h"
#include "db/Database.h"
#include "extract/ConditionRecord.h"
#include "report/SpreadsheetHost.h"
#include "settings/AnalysisParameters.h"
#include "tests/support/Files.h"
#include "tools/sample/SampleInstallation.h"
#include "workbook/OoxmlPackage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plw;

namespace {

using Files = QMap<QString, QByteArray>; // relative path -> bytes

// Every file of the installation, by its path relative to the root.
Files Snapshot(const QString& root) {
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), test::ReadBytes(path));
    }
    return files;
}

// The files added, removed or changed between two snapshots.
QStringList Changed(const Files& before, const Files& after) {
    QStringList changed;
    for (auto it = before.begin(); it != before.end(); ++it)
        if (after.value(it.key()) != it.value() || !after.contains(it.key()))
            changed << it.key();
    for (auto it = after.begin(); it != after.end(); ++it)
        if (!before.contains(it.key()))
            changed << it.key();
    changed.sort();
    return changed;
}

// The customer master's rows as text: the base table a run must never change (it shares its
// database file with the run's work tables).
QString CustomerMaster(const QString& database) {
    const std::unique_ptr<db::Database> db = db::Database::open(database);
    const auto rows = db->openRecordset(QStringLiteral("SELECT * FROM M1_お客様マスタ"));
    QString text;
    for (; !rows->eof(); rows->moveNext()) {
        for (int i = 0; i < rows->fieldCount(); ++i)
            text += rows->value(i).toString() + u'\t';
        text += u'\n';
    }
    return text;
}

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

// A fresh 40-customer installation whose saved output is the condition and parameter sheets
// only: no chart, so no conversion, and a run of a second or two.
struct Installation {
    void make() {
        ASSERT_TRUE(mDir.isValid());
        sample::SampleOptions options;
        options.folder = mDir.path() + QStringLiteral("/inst");
        options.customers = 40;
        QString error;
        ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &mSample))
            << error.toStdString();
        AnalysisParameters p;
        ASSERT_TRUE(ReadParameterFile(prm(), p).ok());
        for (QString* sheet : {&p.OutGroupValues, &p.OutCustomerList, &p.OutRCount, &p.OutRAmount,
                               &p.OutFCount, &p.OutFAmount, &p.OutMCount, &p.OutMAmount})
            *sheet = QStringLiteral("0");
        p.OutParameters = QStringLiteral("1");
        mWorkbook = p.WorkbookName;
        ASSERT_TRUE(WriteParameterFile(prm(), p, &error)) << error.toStdString();
    }

    QString root() const { return mDir.path() + QStringLiteral("/inst"); }
    QString work(const char* name) const { return mSample.workFolder + QString::fromUtf8(name); }
    QString prm() const { return work("PLWAN40.PRM"); }
    QString jkn() const { return work("PLWAN40.JKN"); }

    // Starts the batch program (program, when given, instead of the built one) on it.
    void start(QProcess& program, const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               const QString& programPath = QStringLiteral(PLWAN40_PROGRAM_FOLDER
                                                           "/plwan40")) const {
        QProcessEnvironment withoutDisplay = environment;
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            withoutDisplay.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(withoutDisplay);
        program.start(programPath, QStringList{QStringLiteral("--batch"),
                                               QStringLiteral("--location"), mSample.locationFile} +
                                       arguments);
    }

    Ran run(const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
            const QString& programPath = QStringLiteral(PLWAN40_PROGRAM_FOLDER "/plwan40")) const {
        QProcess program;
        start(program, arguments, environment, programPath);
        EXPECT_TRUE(program.waitForFinished(120000));
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                QString::fromUtf8(program.readAllStandardOutput()),
                QString::fromUtf8(program.readAllStandardError())};
    }

    // Changes the saved conditions.
    void editConditions(const std::function<void(ConditionRecord&)>& edit) const {
        ConditionRecord record;
        ASSERT_TRUE(ReadConditionFile(jkn(), record).ok());
        edit(record);
        QString error;
        ASSERT_TRUE(WriteConditionFile(jkn(), record, &error)) << error.toStdString();
    }

    QTemporaryDir mDir;
    sample::SampleSummary mSample;
    QString mWorkbook;
};

void FlipByte(const QString& path, qsizetype at) {
    QByteArray bytes = test::ReadBytes(path);
    bytes[at] = char(bytes[at] ^ 0x01);
    test::WriteBytes(path, bytes);
}

void CutTail(const QString& path, qsizetype bytes) {
    test::WriteBytes(path, test::ReadBytes(path).chopped(bytes));
}

// Refused and failed runs: the status, a word of the message, and nothing written.
TEST(BatchFaults, ARefusedRunSaysWhyWithItsStatusAndLeavesEveryFileAsItWas) {
    struct Case {
        const char* what;
        std::function<void(const Installation&)> damage;
        QStringList arguments;
        int status;
        QString message;
    };
    const Case cases[] = {
        {"conditions' marker damaged",
         [](const Installation& f) {
             FlipByte(f.jkn(), test::ReadBytes(f.jkn()).indexOf("V10YUK"));
         },
         {},
         2,
         QStringLiteral("PLWAN40.JKN")},
        {"conditions cut short",
         [](const Installation& f) { CutTail(f.jkn(), 8000); },
         {},
         2,
         QStringLiteral("PLWAN40.JKN")},
        {"parameters cut short",
         [](const Installation& f) { CutTail(f.prm(), 30); },
         {},
         2,
         QStringLiteral("PLWAN40.PRM")},
        {"parameters empty",
         [](const Installation& f) { test::WriteBytes(f.prm(), ""); },
         {},
         2,
         QStringLiteral("PLWAN40.PRM")},
        {"parameters missing",
         [](const Installation& f) { QFile::remove(f.prm()); },
         {},
         2,
         QStringLiteral("PLWAN40.PRM")},
        {"a folder for the parameters",
         [](const Installation& f) {
             QFile::remove(f.prm());
             QDir().mkpath(f.prm() + QStringLiteral("/x"));
         },
         {},
         2,
         QStringLiteral("PLWAN40.PRM")},
        {"a mistyped option",
         {},
         {QStringLiteral("--period-month"), QStringLiteral("3")},
         2,
         QStringLiteral("--period-month")},
        {"a month count the field cannot hold",
         {},
         {QStringLiteral("--period-months"), QStringLiteral("1000")},
         2,
         QStringLiteral("0 から 999")},
        {"purchase months asked for without a month",
         [](const Installation& f) {
             f.editConditions([](ConditionRecord& r) {
                 r[ConditionRecord::TosTukKind] = ConditionKind::KindAnd;
             });
         },
         {},
         2,
         QStringLiteral("抽出条件に誤りがあります")},
        {"a classification without its classification file",
         [](const Installation& f) {
             f.editConditions([](ConditionRecord& r) {
                 r[ConditionRecord::Bun1Kind] = ConditionKind::KindAnd;
                 r[ConditionRecord::BunItem(1, 1)] = QStringLiteral("1");
             });
             QFile::remove(f.mSample.systemFolder + QStringLiteral("DATA/S3BUNRU.DAT"));
         },
         {},
         2,
         QStringLiteral("抽出条件に誤りがあります")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Installation f;
        ASSERT_NO_FATAL_FAILURE(f.make());
        if (c.damage) {
            ASSERT_NO_FATAL_FAILURE(c.damage(f));
        }
        const Files before = Snapshot(f.root());
        const Ran ran = f.run(c.arguments);
        EXPECT_EQ(ran.status, c.status) << ran.err.toStdString();
        EXPECT_TRUE(ran.err.contains(c.message)) << ran.err.toStdString();
        EXPECT_EQ(Changed(before, Snapshot(f.root())), QStringList()) << ran.err.toStdString();
    }
}

// Another analysis holding the work folder: the refused run writes nothing, not even the period
// it was asked for.
TEST(BatchFaults, ARunRefusedForAHeldWorkFolderWritesNothing) {
    Installation f;
    ASSERT_NO_FATAL_FAILURE(f.make());
    const WorkFolderLock held(f.mSample.workFolder);
    ASSERT_TRUE(held.held());
    const Files before = Snapshot(f.root());
    const Ran ran = f.run({QStringLiteral("--period-months"), QStringLiteral("5")});
    EXPECT_EQ(ran.status, 2) << ran.err.toStdString();
    EXPECT_EQ(Changed(before, Snapshot(f.root())), QStringList()) << ran.err.toStdString();
}

// Runs that proceed: only the run's own files change, and the customer master never does.
TEST(BatchFaults, ARunThatProceedsChangesOnlyWhatARunWrites) {
    Installation f;
    ASSERT_NO_FATAL_FAILURE(f.make());
    const QString trn = f.work("PLW_TRN.MDB");
    const QStringList runFiles = {
        QStringLiteral("PLW/WORK/PLW_TRN.MDB"), // its work tables
        QStringLiteral("PLW/WORK/PLWAN40.JKN"), QStringLiteral("PLW/WORK/PLWAN40.KEY"),
        QStringLiteral("PLW/WORK/PLWAN40.LCK"), QDir(f.root()).relativeFilePath(f.mWorkbook)};
    const auto allowed = [&](const QStringList& changed) {
        for (const QString& file : changed)
            if (!runFiles.contains(file))
                return false;
        return true;
    };

    // A lock file of this machine left from before its boot does not count.
    const QString lock = LockFilePath(f.mWorkbook);
    test::WriteBytes(lock, (QStringLiteral(",") + QSysInfo::machineHostName() + u',' +
                            QSysInfo::machineHostName() + QStringLiteral(",01.01.2000 00:00,"))
                               .toUtf8());
    QFile file(lock);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                                 QFileDevice::FileModificationTime));
    file.close();

    QString master = CustomerMaster(trn);
    Files before = Snapshot(f.root());
    Ran ran = f.run({QStringLiteral("--period-months"), QStringLiteral("5")});
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.out.contains(f.mWorkbook)) << ran.out.toStdString();
    QStringList changed = Changed(before, Snapshot(f.root()));
    EXPECT_TRUE(allowed(changed)) << changed.join(u' ').toStdString();
    EXPECT_EQ(CustomerMaster(trn), master);
    // The month count is stored with the period it made.
    ConditionRecord saved;
    ASSERT_TRUE(ReadConditionFile(f.jkn(), saved).ok());
    EXPECT_EQ(saved[ConditionRecord::PinRaiMonths], QStringLiteral("5"));
    EXPECT_EQ(saved[ConditionRecord::PinRaiTo].size(), 8);

    // A master without a column the customer list needs: the list is cut short, the workbook
    // saved with what was written, and the run ends in failure naming the sheet and the cause.
    AnalysisParameters p;
    ASSERT_TRUE(ReadParameterFile(f.prm(), p).ok());
    p.OutCustomerList = QStringLiteral("1");
    QString error;
    ASSERT_TRUE(WriteParameterFile(f.prm(), p, &error));
    db::Database::open(trn)->execute(
        QStringLiteral("ALTER TABLE M1_お客様マスタ DROP COLUMN M1KhADD1"));
    master = CustomerMaster(trn);
    before = Snapshot(f.root());
    ran = f.run({});
    EXPECT_EQ(ran.status, 3) << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains(QStringLiteral("RFM付き顧客一覧: ")) &&
                ran.err.contains(QStringLiteral("M1KhADD1")))
        << ran.err.toStdString();
    EXPECT_TRUE(ran.out.contains(f.mWorkbook)) << ran.out.toStdString();
    EXPECT_TRUE(QFile::exists(f.mWorkbook));
    changed = Changed(before, Snapshot(f.root()));
    EXPECT_TRUE(allowed(changed)) << changed.join(u' ').toStdString();
    EXPECT_EQ(CustomerMaster(trn), master);
}

// A program folder of its own: the program beside a template a shop restyled with a conditional
// format, which the engine's .xls writer leaves to the office conversion.
QString ProgramWithRestyledTemplate(const QString& folder) {
    QDir().mkpath(folder);
    const QString program = folder + QStringLiteral("/plwan40");
    EXPECT_TRUE(QFile::copy(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/plwan40"), program));
    OoxmlPackage package;
    QString error;
    EXPECT_TRUE(package.open(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/PLWAN40X.EXL"), &error))
        << error.toStdString();
    for (const QString& part : package.partNames()) {
        if (!part.startsWith(u"xl/worksheets/sheet"))
            continue;
        QByteArray xml = package.part(part);
        xml.replace("<pageMargins",
                    "<conditionalFormatting sqref=\"A1\"><cfRule type=\"expression\" "
                    "priority=\"1\"><formula>TRUE</formula></cfRule>"
                    "</conditionalFormatting><pageMargins");
        package.setPart(part, xml);
    }
    EXPECT_TRUE(package.save(folder + QStringLiteral("/PLWAN40X.EXL"), &error))
        << error.toStdString();
    return program;
}

// The temporaries of the run of process pid in folder.
QStringList TemporariesOf(const QString& folder, qint64 pid) {
    return QDir(folder).entryList({QStringLiteral("*plwan40-*%1-*").arg(pid)},
                                  QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A program killed while the office suite converts its workbook: the converter and everything it
// started die with it, and the next run removes what the dead run left.
TEST(BatchFaults, TheConverterDiesWithTheProgramAndTheNextRunRemovesItsLeftovers) {
    Installation f;
    ASSERT_NO_FATAL_FAILURE(f.make());
    const QString scratch = f.mDir.path();
    const QString program = ProgramWithRestyledTemplate(scratch + QStringLiteral("/program"));
    const QString temporary = scratch + QStringLiteral("/tmp");
    const QString bin = scratch + QStringLiteral("/bin");
    QDir().mkpath(temporary);
    QDir().mkpath(bin);
    // A converter that announces itself once the program's guard of its process group runs
    // (a process whose arguments name the group: "plwan40-guard <its id>"), then takes its time in
    // a process of its own. Without a guard it announces itself after 20 s all the same.
    const QString started = scratch + QStringLiteral("/started");
    const QString finished = scratch + QStringLiteral("/finished");
    const QString soffice = bin + QStringLiteral("/soffice");
    test::WriteBytes(
        soffice,
        QStringLiteral("#!/bin/sh\n"
                       "[ -n \"$CONVERTER_FAILS\" ] && exit 1\n"
                       "guarded() {\n"
                       "  for c in /proc/[0-9]*/cmdline; do\n"
                       "    tr '\\0' ' ' < \"$c\" 2>/dev/null |\n"
                       "      grep -q \" plwan40-guard $$ $\" && return 0\n"
                       "  done\n"
                       "  return 1\n"
                       "}\n"
                       "give_up=$(($(date +%s) + 20))\n"
                       "until guarded || [ $(date +%s) -ge $give_up ]; do sleep 0.1; done\n"
                       ": > '%1'\n"
                       "( sleep 3; : > '%2' ) &\n"
                       "wait\n")
            .arg(started, finished)
            .toUtf8());
    QFile::setPermissions(soffice, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"),
                       bin + u':' + environment.value(QStringLiteral("PATH")));
    environment.insert(QStringLiteral("TMPDIR"), temporary);

    QProcess killed;
    f.start(killed, {}, environment, program);
    for (int waited = 0; !QFile::exists(started) && waited < 600; ++waited)
        QThread::msleep(100);
    ASSERT_TRUE(QFile::exists(started)) << killed.readAllStandardError().toStdString();
    const qint64 pid = killed.processId();
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(10000));
    QThread::msleep(4000); // longer than the converter would take
    EXPECT_FALSE(QFile::exists(finished)) << "the converter outlived the program";
    EXPECT_FALSE(TemporariesOf(f.root(), pid).isEmpty());
    EXPECT_FALSE(TemporariesOf(temporary, pid).isEmpty());

    environment.insert(QStringLiteral("CONVERTER_FAILS"), QStringLiteral("1"));
    const Ran again = f.run({}, environment, program);
    EXPECT_EQ(again.status, 3) << again.err.toStdString();
    EXPECT_EQ(TemporariesOf(f.root(), pid), QStringList());
    EXPECT_EQ(TemporariesOf(temporary, pid), QStringList());
    EXPECT_EQ(QDir(temporary).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

} // namespace
