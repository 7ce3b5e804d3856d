#include "app/CommonRoutines.h"
#include "app/Clock.h"
#include "app/Environment.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

using namespace plw;
using namespace Qt::StringLiterals;

namespace {

QString blanks(qsizetype n) {
    return QString(n, QLatin1Char(' '));
}

FixedClock clockAt(int year, int month, int day) {
    return FixedClock(QDateTime(QDate(year, month, day), QTime(10, 0)));
}

bool writeFile(const QString& path, const QByteArray& bytes = "x") {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// --- Text -------------------------------------------------------------------------------------

TEST(CommonRoutines, ToFullWidthWidensPrintableAsciiOnly) {
    EXPECT_EQ(ToFullWidth(QStringLiteral("SCR 1,234")), QStringLiteral("ＳＣＲ　１，２３４"));
    EXPECT_EQ(ToFullWidth(QStringLiteral("～ｱ済\\")), QStringLiteral("～ｱ済＼"));
    EXPECT_EQ(ToFullWidth(QString(u'\t')), QString(u'\t'));
}

TEST(CommonRoutines, TrimAllRemovesBlanksIdeographicBlanksAndNuls) {
    const QString nul(QChar(0));
    const struct {
        QString text;
        QString expected;
    } cases[] = {
        {u"\u3000 山田 太郎 \u3000"_s, u"山田 太郎"_s},
        {nul + nul + nul, QString()},
        {nul + u"A"_s + nul + u" "_s, u"A"_s},
        {u"\u3000\u3000"_s, QString()},
        {u"\tA\t"_s, u"\tA\t"_s}, // only the three characters are trimmed
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimAll(c.text), c.expected) << c.text.toStdString();
}

TEST(CommonRoutines, PadRightBytesCountsCp932Bytes) {
    const struct {
        QString text;
        qsizetype width;
        QString expected;
    } cases[] = {
        {u"ｱ"_s, 3, u"ｱ  "_s},     // half-width katakana: one byte
        {u"山田"_s, 3, u"山田"_s}, // four bytes: never cut
        {u"山"_s, 3, u"山 "_s},    {u"AB"_s, 2, u"AB"_s}, {QString(), 2, u"  "_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PadRightBytes(c.text, c.width), c.expected) << c.text.toStdString();
    EXPECT_EQ(AnsiByteLength(u"ｱ山A"_s), 4);
}

TEST(CommonRoutines, FormatRightCoversTheSystemsPatterns) {
    const struct {
        qint64 scaled; // value times 10,000
        const char16_t* pattern;
        const char16_t* expected;
    } cases[] = {
        {12345670000, u"##,##0", u"1,234,567"}, // longer than the pattern: unchanged
        {12340000, u"##,##0", u" 1,234"},
        {0, u"##,##0", u"     0"},
        {-12340000, u"#,##0", u"-1,234"},
        {-1230000, u"#,##0", u" -123"},
        {50000, u"#0", u" 5"},
        {0, u"#0", u" 0"},
        {70000, u"##0", u"  7"},
        {120000, u"0000", u"0012"},
        {-120000, u"0000", u"-0012"},
        {420000, u"0000000", u"0000042"},
        {50000, u"00", u"05"},
        {1230000, u"00", u"123"},
        {0, u"###", u"   "},
        {50000, u"###", u"  5"},
        {0, u"######0", u"      0"},
        {0, u"##,###", u"      "},
        {123450000, u"##,###", u"12,345"},
        {12345670000, u"##,###", u"1,234,567"},
        {12345678901230000, u"##,###,###,##0", u"1,234,567,890,123"},
        {100000, u"##,###,###,##0", u"            10"},
        // A fraction becoming an integer goes to the even number; a value rounding to 0 has no
        // sign.
        {25000, u"#0", u" 2"},
        {35000, u"#0", u" 4"},
        {-25000, u"#0", u"-2"},
        {25001, u"#0", u" 3"},
        {-4000, u"#0", u" 0"},
        {-4000, u"###", u"   "},
        {9999995000, u"##,##0", u"1,000,000"},
    };
    for (const auto& c : cases) {
        const QString pattern = QString::fromUtf16(c.pattern);
        EXPECT_EQ(FormatRight(Currency::fromScaled(c.scaled), pattern),
                  QString::fromUtf16(c.expected))
            << c.scaled << ' ' << pattern.toStdString();
    }
}

TEST(CommonRoutines, FormatNumberFollowsTheGeneralPatternRules) {
    const struct {
        qint64 scaled;
        const char16_t* pattern;
        const char16_t* expected;
    } cases[] = {
        {12345000, u"#,##0.00", u"1,234.50"},
        {1250, u"0.00", u"0.12"}, // 0.125: half to even
        {1350, u"0.00", u"0.14"}, // 0.135
        {-1250, u"0.00", u"-0.12"},
        {50000, u"#.##", u"5."}, // the point stays even without digits
        {5000, u"#.##", u".5"},
        {15000, u"0.0#", u"1.5"},
        {12500, u"0.0#", u"1.25"},
        {12345670000, u"#,##0,", u"1,235"}, // a trailing comma divides by 1,000
        {12345670000, u"000-0000", u"123-4567"},
        {12345000, u"", u"1234.5"},
        {-10000, u"", u"-1"},
    };
    for (const auto& c : cases) {
        const QString pattern = QString::fromUtf16(c.pattern);
        EXPECT_EQ(FormatNumber(Currency::fromScaled(c.scaled), pattern),
                  QString::fromUtf16(c.expected))
            << c.scaled << ' ' << pattern.toStdString();
    }
    // Whole numbers beyond the amount's range.
    EXPECT_EQ(FormatNumber(std::numeric_limits<qint64>::min(), u"#,##0"_s),
              u"-9,223,372,036,854,775,808"_s);
    EXPECT_EQ(FormatRight(qint64(7), u"0000"_s), u"0007"_s);
    EXPECT_EQ(FormatRight(qint64(-7), u"##0"_s), u" -7"_s);
}

TEST(CommonRoutines, SortPairsDescendingExchangesLikeTheOriginalLoop) {
    // The exchange sort is not stable: equal keys end up in the order the exchanges leave.
    QStringList keys = {u"1"_s, u"2"_s, u"2"_s, u"3"_s};
    QStringList values = {u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    SortPairsDescending(keys, values, 4);
    EXPECT_EQ(keys, QStringList({u"3"_s, u"2"_s, u"2"_s, u"1"_s}));
    EXPECT_EQ(values, QStringList({u"d"_s, u"c"_s, u"b"_s, u"a"_s}));

    // Character codes, not numbers or locale: "a" > "C" > "9" > "10"; only the first n move.
    keys = {u"10"_s, u"9"_s, u"C"_s, u"a"_s, u"z"_s};
    values = {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
    SortPairsDescending(keys, values, 4);
    EXPECT_EQ(keys, QStringList({u"a"_s, u"C"_s, u"9"_s, u"10"_s, u"z"_s}));
    EXPECT_EQ(values, QStringList({u"4"_s, u"3"_s, u"2"_s, u"1"_s, u"5"_s}));
}

TEST(CommonRoutines, SplitCsvLine) {
    const struct {
        QString line;
        qsizetype count;
        QStringList fields; // the first four
    } cases[] = {
        {u"a,\"b,c\",d"_s, 3, {u"a"_s, u"b,c"_s, u"d"_s, u""_s}},
        {u"a,,c"_s, 3, {u"a"_s, u""_s, u"c"_s, u""_s}},
        {u"a,b,"_s, 2, {u"a"_s, u"b"_s, u""_s, u""_s}},
        {u"\"x \"\"y\"\" z\",2"_s, 2, {u"x \"y\" z"_s, u"2"_s, u""_s, u""_s}},
        {u"a,\"\",b"_s, 3, {u"a"_s, u""_s, u"b"_s, u""_s}},
        {u"\"\"\"a\"\"\""_s, 1, {u"\"a\""_s, u""_s, u""_s, u""_s}},
        {u"山田,ﾔﾏﾀﾞ"_s, 2, {u"山田"_s, u"ﾔﾏﾀﾞ"_s, u""_s, u""_s}},
        {QString(), 1, {u""_s, u""_s, u""_s, u""_s}},
    };
    for (const auto& c : cases) {
        QStringList fields(4, u"old"_s);
        EXPECT_EQ(SplitCsvLine(c.line, fields), c.count) << c.line.toStdString();
        EXPECT_EQ(fields, c.fields) << c.line.toStdString();
    }

    // Fields beyond the room given are counted, not stored.
    QStringList two(2);
    EXPECT_EQ(SplitCsvLine(u"a,b,c,d"_s, two), 4);
    EXPECT_EQ(two, QStringList({u"a"_s, u"b"_s}));
}

// --- Conversions ------------------------------------------------------------------------------

TEST(CommonRoutines, ToIntegerAndToLongRoundAndRefuseOutOfRange) {
    const struct {
        const char16_t* text;
        qint16 integer;
        qint32 longValue;
    } cases[] = {
        {u"", 0, 0},
        {u"abc", 0, 0},
        {u" 12 ", 12, 12},
        {u"+7", 7, 7},
        {u"-0", 0, 0},
        {u"2.5", 2, 2},
        {u"3.5", 4, 4},
        {u"-2.5", -2, -2},
        {u"2.50001", 3, 3},
        {u".5", 0, 0},
        {u"1.", 1, 1},
        {u"32767", 32767, 32767},
        {u"32768", 0, 32768},
        {u"32767.5", 0, 32768},
        {u"-32768", -32768, -32768},
        {u"-32768.5", -32768, -32768},
        {u"-32769", 0, -32769},
        {u"2147483647", 0, 2147483647},
        {u"2147483648", 0, 0},
        {u"-2147483648", 0, std::numeric_limits<qint32>::min()},
        {u"99999999999999999999999999", 0, 0},
        {u"0000000000000000000000000012", 12, 12},
        {u"1e3", 0, 0},
        {u"1,000", 0, 0},
        {u"1 2", 0, 0},
        {u"- 1", 0, 0},
        {u".", 0, 0},
        {u"-", 0, 0},
        {u"１２", 0, 0}, // full-width digits are not plain notation
        {u"\u3000"
         u"12",
         0, 0},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(ToInteger(text), c.integer) << text.toStdString();
        EXPECT_EQ(ToLong(text), c.longValue) << text.toStdString();
    }
}

TEST(CommonRoutines, ToCurrencyKeepsFourDecimals) {
    const struct {
        const char16_t* text;
        qint64 scaled;
    } cases[] = {
        {u"12", 120000},
        {u" -1.5 ", -15000},
        {u"1.23456", 12346},
        {u"1.23455", 12346}, // half to the even last digit
        {u"1.23465", 12346},
        {u"1.234650001", 12347},
        {u"-0.00005", 0},
        {u"922337203685477.5807", std::numeric_limits<qint64>::max()},
        {u"922337203685477.5808", 0},
        {u"-922337203685477.5808", std::numeric_limits<qint64>::min()},
        {u"922337203685477.58074", std::numeric_limits<qint64>::max()},
        {u"922337203685477.58075", 0}, // rounds beyond the range
        {u"x1", 0},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(ToCurrency(text).scaled(), c.scaled) << text.toStdString();
    }
}

TEST(CommonRoutines, CheckRange) {
    const QString missing = u"範囲を指定してください"_s;
    const QString wrong = u"範囲の指定が間違っています。"_s;
    const struct {
        QString from;
        QString to;
        QString expected;
    } cases[] = {
        {u""_s, u"5"_s, QString()}, // an open range
        {u"5"_s, u""_s, QString()}, {u"5"_s, u"3"_s, wrong},     {u"1.5"_s, u"1.25"_s, wrong},
        {u"-3"_s, u"-5"_s, wrong},  {u"3"_s, u"5"_s, QString()}, {u"5"_s, u"5"_s, QString()},
        {u"0"_s, u""_s, missing},   {u"  "_s, u" "_s, missing},  {u"abc"_s, u"0"_s, missing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckRange(c.from, c.to), c.expected)
            << c.from.toStdString() << " - " << c.to.toStdString();
}

// --- Paths and files --------------------------------------------------------------------------

TEST(CommonRoutines, SplitPathAcceptsBothSeparators) {
    const struct {
        QString path;
        QString folder;
        QString base;
        QString extension;
    } cases[] = {
        {u"C:\\DATA\\A.XLS"_s, u"C:\\DATA\\"_s, u"A"_s, u"XLS"_s},
        {u"/home/u/book.v1.xls"_s, u"/home/u/"_s, u"book.v1"_s, u"xls"_s},
        {u"dir/sub\\f"_s, u"dir/sub\\"_s, u"f"_s, u""_s},
        {u"name.txt"_s, u""_s, u"name"_s, u"txt"_s},
        {u"folder/"_s, u"folder/"_s, u""_s, u""_s},
        {u"a.b/c"_s, u"a.b/"_s, u"c"_s, u""_s},
    };
    for (const auto& c : cases) {
        QString folder, file, base, extension;
        SplitPath(c.path, folder, file);
        EXPECT_EQ(folder, c.folder) << c.path.toStdString();
        EXPECT_EQ(file, c.path.mid(c.folder.size()));
        SplitPathExtension(c.path, folder, base, extension);
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(base, c.base) << c.path.toStdString();
        EXPECT_EQ(extension, c.extension) << c.path.toStdString();
    }
}

class CommonRoutinesFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mTemp.isValid()); }
    QString at(const QString& name) const { return mTemp.path() + QLatin1Char('/') + name; }

    QTemporaryDir mTemp;
};

TEST_F(CommonRoutinesFiles, CanOpenFileAndFileExists) {
    ASSERT_TRUE(writeFile(at(u"Book.XLS"_s)));
    ASSERT_TRUE(QDir(mTemp.path()).mkdir(u"Folder"_s));
    const struct {
        QString path;
        bool opens;
    } cases[] = {
        {at(u"Book.XLS"_s), true},
        {at(u"book.xls"_s), true}, // names match without regard to case
        {mTemp.path() + u"\\BOOK.xls"_s, true},
        {at(u"missing.xls"_s), false},
        {at(u"Folder"_s), false}, // a folder is no file
        {QString(), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CanOpenFile(c.path), c.opens) << c.path.toStdString();
        EXPECT_EQ(FileExists(c.path), c.opens) << c.path.toStdString();
    }
}

TEST_F(CommonRoutinesFiles, CheckFileName) {
    ASSERT_TRUE(writeFile(at(u"old.xls"_s)));
    ASSERT_TRUE(QDir(mTemp.path()).mkdir(u"sub"_s));
    const struct {
        QString path;
        bool accepted;
    } cases[] = {
        {at(u"new.xls"_s), true},
        {at(u"old.xls"_s), true},
        {at(u"sub/new.xls"_s), true},
        {mTemp.path() + u"\\sub\\new.xls"_s, true},
        {at(u"SUB/new.xls"_s), true}, // folders match without regard to case
        {at(u"console.txt"_s), true},
        {at(u"com10"_s), true},
        {at(u"con.d/new.xls"_s), false}, // missing folder
        {at(u"missing/new.xls"_s), false},
        {at(u"old.xls/new.xls"_s), false}, // the folder part is a file
        {at(u"sub"_s), false},             // a folder
        {at(u"sub/"_s), false},            // no file name
        {at(u"con.txt"_s), false},
        {at(u"CON"_s), false},
        {at(u"Con.Tar.Gz"_s), false},
        {at(u"clock$.dat"_s), false},
        {at(u"com1.log"_s), false},
        {at(u"LPT9"_s), false},
        {at(u"nul"_s), false},
        {mTemp.path() + u"\\aux.xls"_s, false},
        {u"C:\\a:b.xls"_s, false}, // a second colon
        {u"C:\\\\server\\b.xls"_s, false},
        {at(u"a,b.xls"_s), false},
        {at(u"a*b.xls"_s), false},
        {at(u"a?b.xls"_s), false},
        {at(u"a<b.xls"_s), false},
        {at(u"a>b.xls"_s), false},
        {at(u"a|b.xls"_s), false},
        {at(u"a"_s) + QChar(0) + u"b"_s, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckFileName(c.path), c.accepted) << c.path.toStdString();

    // A bare name means the current folder.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(mTemp.path()));
    EXPECT_TRUE(CheckFileName(u"new.xls"_s));
    EXPECT_TRUE(CheckFileName(u"Old.XLS"_s));
    EXPECT_FALSE(CheckFileName(u"prn.xls"_s));
    ASSERT_TRUE(QDir::setCurrent(previous));
}

TEST_F(CommonRoutinesFiles, CheckFileNameRefusesAnUnwritableFolderAndAnUnreadableFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write and read regardless of the permission bits";
    const QString locked = at(u"locked"_s);
    ASSERT_TRUE(QDir(mTemp.path()).mkdir(u"locked"_s));
    ASSERT_TRUE(writeFile(locked + u"/old.xls"_s));
    ASSERT_TRUE(writeFile(at(u"secret.xls"_s)));
    ASSERT_TRUE(QFile::setPermissions(at(u"secret.xls"_s), QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther));
    EXPECT_FALSE(CheckFileName(locked + u"/new.xls"_s));
    EXPECT_FALSE(CheckFileName(locked + u"/old.xls"_s));
    EXPECT_FALSE(CheckFileName(at(u"secret.xls"_s)));
    EXPECT_FALSE(CanOpenFile(at(u"secret.xls"_s)));
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(CommonRoutinesFiles, CampaignConditionPathsOpenWhateverTheCase) {
    Environment environment;
    environment.SystemFolder = mTemp.path() + QLatin1Char('/');
    EXPECT_EQ(DirectMailConditionPath(environment, u"0012"_s),
              environment.SystemFolder + u"DMFR\\DM0012.SYS"_s);
    EXPECT_EQ(MailConditionPath(environment, u"0034"_s),
              environment.SystemFolder + u"ELFR\\EM0034.SYS"_s);

    ASSERT_TRUE(QDir(mTemp.path()).mkpath(u"dmfr"_s));
    ASSERT_TRUE(writeFile(at(u"dmfr/dm0012.sys"_s)));
    EXPECT_TRUE(FileExists(DirectMailConditionPath(environment, u"0012"_s)));
    EXPECT_FALSE(FileExists(MailConditionPath(environment, u"0012"_s)));
}

TEST(CommonRoutines, DocumentsFolderHasNoTrailingSeparator) {
    QString expected = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    while (expected.size() > 1 && expected.endsWith(QLatin1Char('/')))
        expected.chop(1);
    const QString folder = DocumentsFolder(5);
    EXPECT_EQ(folder, expected);
    EXPECT_FALSE(folder.size() > 1 && folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(DocumentsFolder(0), QString());
}

// --- Dates ------------------------------------------------------------------------------------

TEST(CommonRoutines, DateAndTimeTexts) {
    const struct {
        QString value;
        QString slash;
        QString kanji;
    } dates[] = {
        {u"20240305"_s, u"2024/03/05"_s, u"2024年03月05日"_s},
        {QString(), blanks(10), blanks(14)},
        {u"0"_s, blanks(10), blanks(14)},
        {u"00000000"_s, blanks(10), blanks(14)},
        {u"abc"_s, blanks(10), blanks(14)},
        {u"00000305"_s, u"    /03/05"_s, u"    年03月05日"_s},
    };
    for (const auto& d : dates) {
        EXPECT_EQ(DateToSlashText(d.value), d.slash) << d.value.toStdString();
        EXPECT_EQ(DateToKanjiText(d.value), d.kanji) << d.value.toStdString();
    }
    EXPECT_EQ(TimeToColonText(u"1234"_s), u"12:34"_s);
    EXPECT_EQ(TimeToColonText(u"093015"_s), u"09:30"_s);
    EXPECT_EQ(TimeToColonText(QString()), blanks(5));
    EXPECT_EQ(TimeToColonText(u"000000"_s), blanks(5)); // midnight reads as no time
}

TEST(CommonRoutines, MonthsBefore) {
    const struct {
        QString date;
        int n;
        QString expected;
    } cases[] = {
        {u"20230331"_s, 1, u"20230228"_s},
        {u"20240331"_s, 1, u"20240228"_s}, // also in a leap year
        {u"20230531"_s, 1, u"20230431"_s}, // only February is clamped
        {u"20230115"_s, 1, u"20221215"_s},
        {u"20230115"_s, 13, u"20211215"_s},
        {u"20231231"_s, 12, u"20221231"_s},
        {u"20230415"_s, 0, u"20230415"_s},
        {u"20240229"_s, 0, u"20240228"_s}, // the clamp applies even without a step
        {u"20230415"_s, -2, u"20230415"_s},
        {u"00010115"_s, 1, u"00001215"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MonthsBefore(c.date, c.n), c.expected) << c.date.toStdString() << ' ' << c.n;
}

TEST(CommonRoutines, MonthsBeforeStepsLikeTheMonthByMonthLoop) {
    // The loop as the system runs it, also for months out of the calendar's range.
    auto stepwise = [](int year, int month, int n) {
        for (int i = 0; i < n; ++i)
            if (--month < 1) {
                --year;
                month = 12;
            }
        return QStringLiteral("%1%2")
            .arg(year, 4, 10, QLatin1Char('0'))
            .arg(month, 2, 10, QLatin1Char('0'));
    };
    for (int month = 0; month <= 15; ++month) {
        for (int n = 0; n <= 40; ++n) {
            const QString date =
                QStringLiteral("2023%1").arg(month, 2, 10, QLatin1Char('0')) + u"10"_s;
            EXPECT_EQ(MonthsBefore(date, n), stepwise(2023, month, n) + u"10"_s)
                << date.toStdString() << ' ' << n;
        }
    }
    // A huge count is computed, not stepped.
    EXPECT_EQ(MonthsBefore(u"20230610"_s, std::numeric_limits<int>::max()), u"-1789549481110"_s);
}

TEST(CommonRoutines, PeriodFromMonths) {
    const FixedClock clock = clockAt(2024, 3, 15);
    const struct {
        int n;
        QString from;
    } cases[] = {{-1, u"20240201"_s}, {-3, u"20231201"_s}, {0, u"20240301"_s}};
    for (const auto& c : cases) {
        QString from, to;
        PeriodFromMonths(c.n, clock, from, to);
        EXPECT_EQ(from, c.from) << c.n;
        EXPECT_EQ(to, u"20240315"_s);
    }
}

TEST(CommonRoutines, AgeInYears) {
    const FixedClock clock = clockAt(2024, 3, 15);
    EXPECT_EQ(AgeInYears(u"1980/03/15"_s, clock), 44);
    EXPECT_EQ(AgeInYears(u"1980/03/16"_s, clock), 43);
    EXPECT_EQ(AgeInYears(u"19800315"_s, clock), 44);
    EXPECT_EQ(AgeInYears(u"19801231"_s, clock), 43);
    EXPECT_EQ(AgeInYears(QString(), clock), 0);
    EXPECT_EQ(AgeInYears(u"1980/02/30"_s, clock), 0);
    EXPECT_EQ(AgeInYears(u"1980-03-15"_s, clock), 0);
    EXPECT_EQ(AgeInYears(u"abcdefgh"_s, clock), 0);

    // A 29 February birthday comes on 1 March in other years.
    EXPECT_EQ(AgeInYears(u"20000229"_s, clockAt(2023, 2, 28)), 22);
    EXPECT_EQ(AgeInYears(u"20000229"_s, clockAt(2023, 3, 1)), 23);
}

TEST(CommonRoutines, EstimatedAge) {
    const struct {
        QString birth;
        QString firstVisit;
        QString ageGroup;
        QDate today;
        int expected;
    } cases[] = {
        {u"19800315"_s, u""_s, u""_s, QDate(2024, 3, 15), 44},
        // Unknown month and day: 1 February.
        {u"19800000"_s, u""_s, u""_s, QDate(2024, 1, 31), 43},
        {u"19800000"_s, u""_s, u""_s, QDate(2024, 2, 1), 44},
        {u"19800500"_s, u""_s, u""_s, QDate(2024, 4, 30), 43},
        {u"19000101"_s, u""_s, u""_s, QDate(2024, 3, 15), 99},
        // Without a birth date: the age group at the first visit plus the years since.
        {u""_s, u"20100501"_s, u"30"_s, QDate(2024, 3, 15), 44},
        {u"00000101"_s, u"20100501"_s, u"30"_s, QDate(2024, 3, 15), 44},
        {u""_s, u"19200101"_s, u"90"_s, QDate(2024, 3, 15), 99},
        {u""_s, u"20230101"_s, u"2.5"_s, QDate(2024, 3, 15), 4}, // the sum is rounded
        {u""_s, u"20100501"_s, u""_s, QDate(2024, 3, 15), 0},
        {u""_s, u""_s, u"30"_s, QDate(2024, 3, 15), 0},
        {u""_s, u""_s, u""_s, QDate(2024, 3, 15), 0},
        // An unknown month with a day of 29 to 31 is the last day of that February.
        {u"19800031"_s, u""_s, u""_s, QDate(2024, 2, 28), 43},
        {u"19800031"_s, u""_s, u""_s, QDate(2024, 2, 29), 44},
        {u"19810029"_s, u""_s, u""_s, QDate(2024, 2, 27), 42},
        {u"19810030"_s, u""_s, u""_s, QDate(2024, 2, 28), 43},
        // Any other impossible birth date counts as not given.
        {u"19800431"_s, u"20200501"_s, u"20"_s, QDate(2024, 3, 15), 24},
        {u"19801301"_s, u"20200501"_s, u"20"_s, QDate(2024, 3, 15), 24},
        {u"19800230"_s, u"20200501"_s, u"20"_s, QDate(2024, 3, 15), 24},
        {u"1980041"_s, u"20200501"_s, u"20"_s, QDate(2024, 3, 15), 24},
        {u"19800431"_s, u""_s, u""_s, QDate(2024, 3, 15), 0},
        {u"1980ab01"_s, u"20200501"_s, u"20"_s, QDate(2024, 3, 15), 24},
    };
    for (const auto& c : cases) {
        const FixedClock clock(QDateTime(c.today, QTime(9, 0)));
        EXPECT_EQ(EstimatedAge(c.birth, c.firstVisit, c.ageGroup, clock), c.expected)
            << c.birth.toStdString() << ' ' << c.firstVisit.toStdString() << ' '
            << c.ageGroup.toStdString() << " on " << c.today.toString().toStdString();
    }
}
