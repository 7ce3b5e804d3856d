#include "extract/ConditionRecord.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace plw;
using R = ConditionRecord;

namespace {

ConditionRecord SampleRecord() {
    ConditionRecord record = ClearedConditionRecord();
    record[R::KihKaiKind] = ConditionKind::KindAnd;
    record[R::KihKaiFrom] = QStringLiteral("0000010");
    record[R::KihAdrText] = QStringLiteral("東京都港区");
    record[R::TosTukMonth(12)] = QStringLiteral("1");
    record[R::BunItem(4, 20)] = QStringLiteral("1");
    record[R::KhMemoText] = QStringLiteral("ﾒﾓ 'x'");
    return record;
}

} // namespace

TEST(ConditionRecord, ClearedRecordKindsFlagsAndCallers) {
    ConditionRecord record;
    record[R::Marker] = QStringLiteral("keep");
    ClearConditionRecord(record);
    EXPECT_EQ(record[R::Marker], QStringLiteral("keep"));
    EXPECT_EQ(record[R::KihKaiKind], QStringLiteral("1"));
    EXPECT_EQ(record[R::KihKaiFrom], QString());
    EXPECT_EQ(record[R::KihSeiValue], QStringLiteral("1"));
    EXPECT_EQ(record[R::TosTukMonth(1)], QStringLiteral("0"));
    EXPECT_EQ(record[R::TosTukMonth(12)], QStringLiteral("0"));
    EXPECT_EQ(record[R::TosNenKind], QStringLiteral("1"));
    EXPECT_EQ(record[R::DmkOsrKind], QStringLiteral("1"));
    EXPECT_EQ(record[R::DmkOsrValue], QStringLiteral("1"));
    EXPECT_EQ(record[R::EmlOsrValue], QStringLiteral("1"));
    EXPECT_EQ(record[R::EmlSbtUnknown], QStringLiteral("0"));
    EXPECT_EQ(record[R::KhMemoText], QString());
    for (int level = 1; level <= 4; ++level) {
        EXPECT_EQ(record[R::BunKind(level)], QStringLiteral("1")) << level;
        EXPECT_EQ(record[R::BunItem(level, 1)], QStringLiteral("0")) << level;
        EXPECT_EQ(record[R::BunItem(level, 20)], QStringLiteral("0")) << level;
    }
    EXPECT_EQ(R::BunItem(4, 20), 160);

    EXPECT_EQ(ClearedConditionRecord(ConditionCaller::DirectMail)[R::DmkOsrKind],
              QStringLiteral("3"));
    EXPECT_EQ(ClearedConditionRecord(ConditionCaller::DirectMail)[R::EmlOsrKind],
              QStringLiteral("1"));
    EXPECT_EQ(ClearedConditionRecord(ConditionCaller::Mail)[R::EmlOsrKind], QStringLiteral("3"));
    EXPECT_EQ(ClearedConditionRecord(ConditionCaller::Analysis), ClearedConditionRecord());
}

TEST(ConditionRecord, RepairClearsAllOnMainKindAndOneConditionOtherwise) {
    ConditionRecord broken = SampleRecord();
    broken[R::PinJunKind] = QStringLiteral("　 ");
    RepairConditionRecord(broken);
    EXPECT_EQ(broken, ClearedConditionRecord());

    ConditionRecord partial = SampleRecord();
    partial[R::KhMemoKind] = QString();
    partial[R::BunKind(4)] = QString();
    partial[R::EmlSbtKind] = QString();
    partial[R::EmlSbtPc] = QStringLiteral("1");
    RepairConditionRecord(partial);
    ConditionRecord expected = SampleRecord();
    expected[R::KhMemoText].clear();
    expected[R::BunItem(4, 20)] = QStringLiteral("0");
    EXPECT_EQ(partial, expected);
}

TEST(ConditionRecord, EncodesLengthPrefixedCp932Texts) {
    ConditionRecord record = ClearedConditionRecord();
    record[R::Marker] = QStringLiteral("V10YUK");
    record[R::KihAdrText] = QStringLiteral("港");
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(EncodeConditionRecord(record, &bytes, &error)) << qPrintable(error);
    EXPECT_TRUE(bytes.startsWith(QByteArray("\x06\x00V10YUK\x01\x00"
                                            "1",
                                            11)));
    EXPECT_TRUE(bytes.contains(QByteArray("\x02\x00\x8d\x60", 4)));
    EXPECT_EQ(DecodeConditionRecord(bytes), record);
}

TEST(ConditionRecord, FileRoundTripSetsMarker) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.JKN"));
    ConditionRecord record = SampleRecord();
    QString error;
    ASSERT_TRUE(WriteConditionFile(path, record, &error)) << qPrintable(error);
    EXPECT_EQ(record[R::Marker], QStringLiteral("V10YUK"));
    EXPECT_LE(test::ReadBytes(path).size(), ConditionRecordLength);

    ConditionRecord read;
    EXPECT_TRUE(ReadConditionFile(path, read));
    EXPECT_EQ(read, record);
}

TEST(ConditionRecord, UnusableFilesGiveTheClearedRecord) {
    QTemporaryDir dir;
    ConditionRecord good = SampleRecord();
    QString error;
    const QString goodPath = dir.filePath(QStringLiteral("good.JKN"));
    ASSERT_TRUE(WriteConditionFile(goodPath, good, &error)) << qPrintable(error);
    QByteArray fields;
    ASSERT_TRUE(EncodeConditionRecord(good, &fields, &error));

    QByteArray foreign = fields;
    foreign.replace(2, 6, "V10YUQ");
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"truncated", fields.left(fields.size() - 5)},
        {"marker only", fields.left(8)},
        {"foreign marker", foreign},
        {"random bytes", test::PseudoRandomBytes(ConditionRecordLength, 7)},
    };
    for (const auto& [name, bytes] : cases) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        test::WriteBytes(path, bytes);
        ConditionRecord read = SampleRecord();
        read[R::Marker] = QStringLiteral("old");
        EXPECT_FALSE(ReadConditionFile(path, read)) << name;
        ConditionRecord expected = ClearedConditionRecord();
        expected[R::Marker] = QStringLiteral("old");
        EXPECT_EQ(read, expected) << name;
    }
    ConditionRecord missing;
    EXPECT_FALSE(ReadConditionFile(dir.filePath(QStringLiteral("none")), missing));
    EXPECT_EQ(missing[R::KihKaiKind], QStringLiteral("1"));

    // A file that ends right after the last field is complete.
    test::WriteBytes(goodPath, fields);
    ConditionRecord exact;
    EXPECT_TRUE(ReadConditionFile(goodPath, exact));
    EXPECT_EQ(exact, good);
}

TEST(ConditionRecord, OversizedRecordIsRefusedAndFileKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.JKN"));
    ConditionRecord record = SampleRecord();
    QString error;
    ASSERT_TRUE(WriteConditionFile(path, record, &error)) << qPrintable(error);
    const QByteArray before = test::ReadBytes(path);

    ConditionRecord big = SampleRecord();
    big[R::KhMemoText] = QString(4000, QChar(0x3042)); // 8000 CP932 bytes
    QByteArray bytes;
    EXPECT_FALSE(EncodeConditionRecord(big, &bytes, &error));
    error.clear();
    EXPECT_FALSE(WriteConditionFile(path, big, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(test::ReadBytes(path), before);
}
