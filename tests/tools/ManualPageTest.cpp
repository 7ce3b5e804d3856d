#include "tools/manpage/PageSources.h"
#include "tools/manpage/PageText.h"
#include "tools/manpage/RoffPage.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

namespace plw::manpage {
namespace {

const QString Help = QStringLiteral("分析します\n"
                                    "\n"
                                    "使い方:\n"
                                    "  prog [--in FILE]\n"
                                    "      画面で分析を\n"
                                    "      行います。\n"
                                    "\n"
                                    "オプション:\n"
                                    "  --in FILE     ファイルを\n"
                                    "                指定します（--batch のみ）。\n"
                                    "  --long-option-name VALUE\n"
                                    "                長い名前。\n"
                                    "  -h, --help    説明。\n"
                                    "\n"
                                    "終了コード: 0 正常、\n"
                                    "1 失敗\n");

TEST(ManualPage, HelpGivesItsSummaryFormsAndOptionsWithTheirTexts) {
    const HelpText help = ParseHelp(Help, QStringLiteral("prog"));
    EXPECT_EQ(help.Summary, u"分析します");
    ASSERT_EQ(help.Forms.size(), 1);
    EXPECT_EQ(help.Forms[0].Term, u"prog [--in FILE]");
    EXPECT_EQ(help.Forms[0].Text, u"画面で分析を行います。");
    ASSERT_EQ(help.Options.size(), 3);
    EXPECT_EQ(help.Options[0].Term, u"--in FILE");
    EXPECT_EQ(help.Options[0].Text, u"ファイルを指定します（--batch のみ）。");
    EXPECT_EQ(help.Options[1].Term, u"--long-option-name VALUE");
    EXPECT_EQ(help.Options[1].Text, u"長い名前。");
    EXPECT_EQ(help.Options[2].Term, u"-h, --help");
    EXPECT_EQ(help.Options[2].Text, u"説明。"); // the exit statuses are for the terminal only
    EXPECT_EQ(OptionNames(help.Options[2].Term), (QStringList{u"-h"_qs, u"--help"_qs}));
}

TEST(ManualPage, ReadmeRowsOfTheProgramWithEscapedBars) {
    const QString readme = QStringLiteral("## Command line\n\n"
                                          "| command | what it does |\n"
                                          "|---|---|\n"
                                          "| `prog [--d YYYYMMDD\\|today]` | one run |\n"
                                          "| `prog-other DIR` | another program |\n"
                                          "| `prog` | the screens |\n"
                                          "\n## Next\n| `prog --later` | not this table |\n");
    const QList<Entry> rows = ReadmeCommands(readme, QStringLiteral("prog"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].Term, u"prog [--d YYYYMMDD|today]");
    EXPECT_EQ(rows[0].Text, u"one run");
    EXPECT_EQ(rows[1].Term, u"prog");
}

TEST(ManualPage, RunningTextInRoff) {
    struct Case {
        const char* what;
        QString text;
        Language language;
        QString roff;
    };
    const Case cases[] = {
        {"options get minus signs, hyphenated words keep hyphens",
         u"use --base-date or -h for a last-visit period"_qs, Language::English,
         u"use \\-\\-base\\-date or \\-h for a last-visit period"_qs},
        {"code in bold, backslashes literal, a leading dot kept", u".profile `C:\\PLW` -- done"_qs,
         Language::English, u"\\&.profile \\fBC:\\ePLW\\fR \\(em done"_qs},
        {"a lone -- is a dash", u"saved -- with the cause --, the end --"_qs, Language::English,
         u"saved \\(em with the cause \\(em, the end \\(em"_qs},
        {"Japanese breaks between characters, not before closing or after opening marks",
         u"画面（表示）です。"_qs, Language::Japanese, u"画\\:面\\:（表\\:示）\\:で\\:す。"_qs},
        {"no break points in English pages", u"画面です"_qs, Language::English, u"画面です"_qs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Inline(c.text, c.language), c.roff) << c.what;
    EXPECT_EQ(Term(u"-h, --help"_qs), u"\\fB\\-h\\fR, \\fB\\-\\-help\\fR");
    EXPECT_EQ(Term(u"prog-x DIR"_qs), u"\\fBprog\\-x\\fR \\fIDIR\\fR");
    EXPECT_EQ(JoinLines(u"フォルダ"_qs, u"です"_qs), u"フォルダです");
    EXPECT_EQ(JoinLines(u"the"_qs, u"folder"_qs), u"the folder");
    EXPECT_EQ(JoinLines(u"システム緒言"_qs, u"`F0SysCmPLW.TWS`"_qs),
              u"システム緒言 `F0SysCmPLW.TWS`");
    EXPECT_EQ(JoinLines(u"作成します。"_qs, u"DIR"_qs), u"作成します。DIR");
}

TEST(ManualPage, PagesAndTheDisagreementsBetweenTheirSources) {
    PageInputs in;
    in.Program = QStringLiteral("prog");
    in.Version = QStringLiteral("1.2");
    in.Help = ParseHelp(Help, in.Program);
    in.ReadmeForms = {{u"prog  [--in FILE]"_qs, u"the screens"_qs}};
    QString error;
    in.Source = ParsePageSource(u"# comment\n"
                                "== en NAME\nanalyses\n"
                                "== en OPTIONS\n--in FILE :: the file\n-h, --help :: help\n"
                                "--gone :: no longer there\n"
                                "== ja ファイル\n`a.txt` :: 入力\n\n    example --x\n"
                                "== en FILES\n- one\n- two\n"
                                "== ja 書式\nmade by hand\n"_qs,
                                &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(CheckSources(in),
              (QStringList{
                  u"docs/man/prog.1.txt: no \"--long-option-name VALUE :: text\" under \"== en "
                  "OPTIONS\" for the option `prog --help` lists"_qs,
                  u"docs/man/prog.1.txt: `prog --help` has no option \"--gone\""_qs,
                  u"docs/man/prog.1.txt: the section \"書式\" is made from `prog --help` and the "
                  "README"_qs}));

    const QString en = WritePage(in, Language::English);
    EXPECT_TRUE(en.startsWith(u"'\\\" -*- coding: UTF-8 -*-\n"_qs));
    for (const QString& part :
         {u".TH PROG 1 \"\" \"PLWAN40 1.2\" \"PLWAN40\"\n.SH NAME\nprog \\- analyses\n"_qs,
          u".SH SYNOPSIS\n.SY prog\n.OP \\-\\-in \"FILE\"\n.YS\n"_qs,
          u".SH DESCRIPTION\n.TP\n\\fBprog\\fR\nthe screens\n"_qs,
          u".SH OPTIONS\n.TP\n\\fB\\-\\-in\\fR \\fIFILE\\fR\nthe file\n.TP\n"_qs,
          u".SH FILES\n.IP \\(bu 2\none\n.IP \\(bu 2\ntwo\n"_qs})
        EXPECT_TRUE(en.contains(part)) << part.toStdString() << "\n---\n" << en.toStdString();
    EXPECT_FALSE(en.contains(u"no longer there"_qs));

    const QString ja = WritePage(in, Language::Japanese);
    for (
        const QString& part :
        {u".nh\n.ad l\n.SH 名前\nprog \\- 分析します\n.SH 書式\n"_qs,
         u".TP\n\\fBprog\\fR\n画\\:面\\:で\\:分\\:析\\:を\\:行\\:い\\:ま\\:す。\n"_qs,
         u".SH オプション\n.TP\n\\fB\\-\\-in\\fR "
         u"\\fIFILE\\fR\nファ\\:イ\\:ル\\:を\\:指\\:定\\:し\\:ま\\:"
         "す\\:（\\-\\-batch の\\:み）。\n"_qs,
         u".SH ファイル\n.TP\n\\fBa.txt\\fR\n入\\:力\n.PP\n.RS 4\n.nf\n\\&example \\-\\-x\n.fi\n.RE\n"_qs})
        EXPECT_TRUE(ja.contains(part)) << part.toStdString() << "\n---\n" << ja.toStdString();
    EXPECT_FALSE(ja.contains(u"FILES"_qs));
    EXPECT_FALSE(ja.contains(u"made by hand"_qs));
}

} // namespace
} // namespace plw::manpage
