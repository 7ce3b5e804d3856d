#include "settings/TemplateFiles.h"

#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;
using R = ConditionRecord;

namespace {

class TemplateFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return mDir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir mDir;
    QString mError;
};

} // namespace

TEST_F(TemplateFiles, ConditionTemplateIsTheConditionRecordWithItsMarkerUntouched) {
    ConditionRecord record = ClearedConditionRecord();
    record[R::Marker] = QString(); // templates neither set nor test the marker
    record[R::KihAdrText] = QStringLiteral("大阪");
    ASSERT_TRUE(WriteConditionTemplate(path("c.T01"), record, &mError)) << mError.toStdString();
    QByteArray expected;
    ASSERT_TRUE(EncodeConditionRecord(record, &expected, &mError));
    EXPECT_EQ(test::ReadBytes(path("c.T01")), expected);
    EXPECT_TRUE(expected.startsWith(QByteArray("\0\0\x01\0"
                                               "1",
                                               5)));

    ConditionRecord read;
    ASSERT_TRUE(ReadConditionTemplate(path("c.T01"), read, &mError)) << mError.toStdString();
    EXPECT_EQ(read, record);

    // Truncated, foreign and missing files are reported and change nothing.
    const ConditionRecord before = read;
    test::WriteBytes(path("short.T01"), expected.left(expected.size() - 1));
    test::WriteBytes(path("noise.T01"), test::PseudoRandomBytes(8192, 3));
    for (const char* name : {"short.T01", "noise.T01", "missing.T01"}) {
        EXPECT_FALSE(ReadConditionTemplate(path(name), read, &mError)) << name;
        EXPECT_TRUE(mError.contains(path(name))) << mError.toStdString();
        EXPECT_EQ(read, before) << name;
    }
}

TEST_F(TemplateFiles, GroupTemplateIs125Letters) {
    std::array<QString, 125> letters;
    for (size_t k = 0; k < letters.size(); ++k)
        letters[k] = QString(QChar(u"ABCDEX"[k % 6]));
    letters[124] = QString(); // a cell of no group colour
    ASSERT_TRUE(WriteGroupTemplate(path("g.F01"), letters, &mError)) << mError.toStdString();
    QByteArray expected;
    for (int k = 0; k < 124; ++k)
        expected += "ABCDEX"[k % 6];
    expected += ' ';
    EXPECT_EQ(test::ReadBytes(path("g.F01")), expected);

    // Anything but A to E reads as X, the group such a cell is painted with.
    QByteArray odd = expected;
    odd[0] = 'a';
    odd[1] = '\x82';
    test::WriteBytes(path("odd.F01"), odd + QByteArray(10, '#'));
    std::array<QString, 125> read;
    ASSERT_TRUE(ReadGroupTemplate(path("odd.F01"), read, &mError)) << mError.toStdString();
    EXPECT_EQ(read[0], QStringLiteral("X"));
    EXPECT_EQ(read[1], QStringLiteral("X"));
    EXPECT_EQ(read[2], QStringLiteral("C"));
    EXPECT_EQ(read[5], QStringLiteral("X"));
    EXPECT_EQ(read[124], QStringLiteral("X"));

    const std::array<QString, 125> before = read;
    test::WriteBytes(path("short.F01"), expected.left(124));
    EXPECT_FALSE(ReadGroupTemplate(path("short.F01"), read, &mError));
    EXPECT_FALSE(ReadGroupTemplate(path("missing.F01"), read, &mError));
    EXPECT_EQ(read, before);

    letters[3] = QStringLiteral("AB");
    EXPECT_FALSE(WriteGroupTemplate(path("bad.F01"), letters, &mError));
    EXPECT_FALSE(QFile::exists(path("bad.F01")));
}

TEST_F(TemplateFiles, ThresholdTemplateIsFifteenFourByteFields) {
    ThresholdTexts t;
    t.R = {u"180"_qs, u"180"_qs, u"90"_qs, u"60"_qs, u"30"_qs};
    t.F = {u"2"_qs, u"2"_qs, u"10"_qs, u"30"_qs, u" 50"_qs};
    t.M = {QString(), u"12345"_qs, u"１２３"_qs, u"ｱｲｳｴｵ"_qs, u"1"_qs};
    ASSERT_TRUE(WriteThresholdTemplate(path("t.F02"), t, &mError)) << mError.toStdString();
    EXPECT_EQ(test::ReadBytes(path("t.F02")), QByteArray("180 180 90  60  30  "
                                                         "2   2   10  30   50 "
                                                         "    1234\x82\x50\x82\x51\xb1\xb2\xb3\xb4"
                                                         "1   "));

    ThresholdTexts read;
    ASSERT_TRUE(ReadThresholdTemplate(path("t.F02"), read, &mError)) << mError.toStdString();
    ThresholdTexts expected = t;
    expected.F[4] = u"50"_qs;
    expected.M = {QString(), u"1234"_qs, u"１２"_qs, u"ｱｲｳｴ"_qs, u"1"_qs};
    EXPECT_EQ(read, expected);

    test::WriteBytes(path("short.F02"), QByteArray(59, ' '));
    EXPECT_FALSE(ReadThresholdTemplate(path("short.F02"), read, &mError));
    test::WriteBytes(path("noise.F02"), QByteArray("\x81 ").repeated(30));
    EXPECT_FALSE(ReadThresholdTemplate(path("noise.F02"), read, &mError));
    EXPECT_EQ(read, expected);

    t.R[0] = u"😀"_qs;
    EXPECT_FALSE(WriteThresholdTemplate(path("t.F02"), t, &mError));
    EXPECT_EQ(read, expected);
    ASSERT_TRUE(ReadThresholdTemplate(path("t.F02"), read, &mError)); // the file is as it was
    EXPECT_EQ(read, expected);
}
