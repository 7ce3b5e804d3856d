#include "ExtractionShop.h"

#include "extract/KeyFile.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

namespace plw::test {
namespace {

using R = ConditionRecord;

TEST_F(ExtractionShop, KeyFileHoldsFortyEightByteRecords) {
    extract(Conditions({{R::PinJunKind, u"3"}, {R::PinJunFrom, u"9"}}));
    const QByteArray filler(26, ' ');
    EXPECT_EQ(ReadBytes(keyFile()), QByteArrayLiteral("0000009 20260331100000") + filler +
                                        QByteArrayLiteral("0000010 20260331100000") + filler);
}

TEST(KeyFileRecord, EncodesTextsInTheirPlacesOrRefuses) {
    QByteArray bytes;
    QString error;
    const KeyFileRecord record{QStringLiteral("ｱ12"), QStringLiteral(" "),
                               QStringLiteral("20260102030405")};
    ASSERT_TRUE(EncodeKeyFileRecord(record, &bytes, &error));
    EXPECT_EQ(bytes, QByteArray("\xB1"
                                "12     20260102030405") +
                         QByteArray(26, ' '));
    KeyFileRecord back = DecodeKeyFileRecord(bytes.constData());
    EXPECT_EQ(back.CustomerNumber, QStringLiteral("ｱ12    "));
    EXPECT_EQ(back.WrittenAt, record.WrittenAt);

    // A number that would have to be cut, or that CP932 cannot hold, is refused.
    for (const QString& number :
         {QStringLiteral("12345678"), QStringLiteral("山田太郎"), QStringLiteral("1\U0001F600")}) {
        error.clear();
        EXPECT_FALSE(
            EncodeKeyFileRecord({number, QStringLiteral(" "), record.WrittenAt}, &bytes, &error))
            << number.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

// Whole records are read; a fragment at the end is ignored.
TEST(KeyFileReader, ReadsWholeRecordsOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.KEY"));
    const struct {
        qsizetype length;
        QStringList expected;
    } cases[] = {{0, {}},
                 {47, {}},
                 {48, {QStringLiteral("0000001")}},
                 {48 * 2 + 20, {QStringLiteral("0000001"), QStringLiteral("0000002")}}};
    const QByteArray filler(26, ' ');
    const QByteArray all = QByteArrayLiteral("0000001 20260331100000") + filler +
                           QByteArrayLiteral("0000002 20260331100000") + filler +
                           QByteArrayLiteral("0000003 20260331100000") + filler;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        WriteBytes(path, all.left(c.length));
        KeyFileReader reader;
        QString error;
        ASSERT_TRUE(reader.open(path, &error));
        EXPECT_EQ(reader.count(), c.expected.size());
        QStringList read;
        KeyFileRecord record;
        while (reader.next(&record, &error))
            read << record.CustomerNumber;
        EXPECT_EQ(read, c.expected);
        EXPECT_TRUE(error.isEmpty());
    }
    KeyFileReader missing;
    QString error;
    EXPECT_FALSE(missing.open(dir.filePath(QStringLiteral("none.KEY")), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace plw::test
