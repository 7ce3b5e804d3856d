#include "program/CommandLine.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace plw;

namespace {

QStringList Args(std::initializer_list<const char*> list) {
    QStringList arguments;
    for (const char* a : list)
        arguments << QString::fromUtf8(a);
    return arguments;
}

} // namespace

TEST(CommandLine, ReadsEveryOptionInBothForms) {
    const ParsedCommandLine batch = ParseCommandLine(Args(
        {"--batch", "--location", "/s/場所PLW.TWS", "--base-date=today", "--period-months", "3"}));
    ASSERT_TRUE(batch.Line) << batch.Error.toStdString();
    EXPECT_EQ(batch.Line->RunMode, CommandLine::Mode::Batch);
    EXPECT_EQ(batch.Line->LocationFile, QStringLiteral("/s/場所PLW.TWS"));
    EXPECT_EQ(batch.Line->BaseDate, QStringLiteral("today"));
    EXPECT_EQ(batch.Line->PeriodMonths, 3);
    EXPECT_FALSE(batch.Line->SuggestThresholds);
    const ParsedCommandLine suggest = ParseCommandLine(Args({"--suggest-thresholds", "--batch"}));
    ASSERT_TRUE(suggest.Line) << suggest.Error.toStdString();
    EXPECT_EQ(suggest.Line->RunMode, CommandLine::Mode::Batch);
    EXPECT_TRUE(suggest.Line->SuggestThresholds);

    const ParsedCommandLine extras =
        ParseCommandLine(Args({"--batch", "--compare-with", "20260831", "--mailing-list=/s/dm.csv",
                               "--groups", "xa", "--consent", "MAIL"}));
    ASSERT_TRUE(extras.Line) << extras.Error.toStdString();
    EXPECT_EQ(extras.Line->CompareWith,
              (ComparisonChoice{ComparisonChoice::Kind::BaseDate, QDate(2026, 8, 31)}));
    ASSERT_TRUE(extras.Line->MailingList);
    EXPECT_EQ(extras.Line->MailingList->Path, QStringLiteral("/s/dm.csv"));
    EXPECT_EQ(extras.Line->MailingList->Groups,
              (std::array<bool, 6>{true, false, false, false, false, true}));
    EXPECT_EQ(extras.Line->MailingList->Consent, MailingConsent::Mail);
    const ParsedCommandLine previous =
        ParseCommandLine(Args({"--batch", "--compare-with=previous"}));
    ASSERT_TRUE(previous.Line);
    EXPECT_EQ(previous.Line->CompareWith, ComparisonChoice());
    EXPECT_FALSE(previous.Line->MailingList);
    EXPECT_FALSE(batch.Line->CompareWith); // without the option batch mode compares nothing

    const ParsedCommandLine desktop = ParseCommandLine(Args({"--location=/x/a.TWS"}));
    ASSERT_TRUE(desktop.Line);
    EXPECT_EQ(desktop.Line->RunMode, CommandLine::Mode::Desktop);
    EXPECT_EQ(desktop.Line->LocationFile, QStringLiteral("/x/a.TWS"));
    EXPECT_FALSE(desktop.Line->PeriodMonths);

    // Help wins over everything else that can be read.
    for (const char* help : {"--help", "-h"}) {
        const ParsedCommandLine h = ParseCommandLine(Args({"--batch", help}));
        ASSERT_TRUE(h.Line);
        EXPECT_EQ(h.Line->RunMode, CommandLine::Mode::Help);
    }
}

TEST(CommandLine, RefusesWhatItCannotReadWithoutGuessing) {
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"--batch", "--period-month", "3"}, "不明なオプションです: --period-month"},
        {{"-x"}, "不明なオプションです: -x"},
        {{"--batch", "extra"}, "余分な引数があります: extra"},
        {{"--location"}, "--location には値を指定してください"},
        {{"--location="}, "--location には値を指定してください"},
        {{"--batch=1"}, "--batch には値を指定できません"},
        {{"--batch", "--period-months", "three"},
         "--period-months には月数を整数で指定してください: three"},
        {{"--base-date", "20261130"}, "--base-date は --batch と一緒に指定してください"},
        {{"--period-months", "2"}, "--period-months は --batch と一緒に指定してください"},
        {{"--suggest-thresholds"}, "--suggest-thresholds は --batch と一緒に指定してください"},
        {{"--batch", "--suggest-thresholds=1"}, "--suggest-thresholds には値を指定できません"},
        {{"--batch", "--compare-with", "last"},
         "--compare-with には previous か YYYYMMDD の基準日を指定してください: last"},
        {{"--batch", "--compare-with", "20260231"},
         "--compare-with には previous か YYYYMMDD の基準日を指定してください: 20260231"},
        {{"--compare-with", "previous"}, "--compare-with は --batch と一緒に指定してください"},
        {{"--batch", "--mailing-list", "a.csv", "--groups", "AB"},
         "--mailing-list には --groups と --consent も指定してください"},
        {{"--batch", "--groups", "AB", "--consent", "dm"},
         "--groups は --mailing-list と一緒に指定してください"},
        {{"--batch", "--mailing-list", "a.csv", "--groups", "ABZ", "--consent", "dm"},
         "--groups には A から E と X の中からグループを指定してください: ABZ"},
        {{"--batch", "--mailing-list", "a.csv", "--groups", "A", "--consent", "fax"},
         "--consent には dm か mail を指定してください: fax"},
        {{"--batch", "--suggest-thresholds", "--compare-with", "previous"},
         "--suggest-thresholds は --compare-with と一緒に指定できません"},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(Args(c.arguments));
        EXPECT_FALSE(parsed.Line) << c.error;
        EXPECT_EQ(parsed.Error, QString::fromUtf8(c.error));
    }
}

// The real program, started without any display.
struct Started {
    int status;
    QString out;
    QString err;
};

Started RunWithoutDisplay(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/plwan40"), arguments);
    EXPECT_TRUE(program.waitForFinished(60000));
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

TEST(CommandLine, TheProgramNeedsNoDisplayForHelpOrABadOptionAndSaysWhenTheDesktopHasNone) {
    const Started help = RunWithoutDisplay({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    for (const char* option :
         {"--batch", "--location", "--base-date", "--period-months", "--suggest-thresholds",
          "--compare-with", "--mailing-list", "--groups", "--consent", "--help"})
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(option))) << option;

    const Started mistyped = RunWithoutDisplay(
        {QStringLiteral("--batch"), QStringLiteral("--period-month"), QStringLiteral("3")});
    EXPECT_EQ(mistyped.status, 2);
    EXPECT_TRUE(mistyped.err.contains(QStringLiteral("不明なオプションです: --period-month")))
        << mistyped.err.toStdString();

    const Started desktop = RunWithoutDisplay({});
    EXPECT_EQ(desktop.status, 2);
    EXPECT_TRUE(desktop.err.contains(QStringLiteral("画面を表示できません")))
        << desktop.err.toStdString();

    // A display named but not there: the same message instead of Qt's abort.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PLWAN40_PROGRAM_FOLDER "/plwan40"), {});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError())
                    .contains(QStringLiteral("画面を表示できません")));
}
