#include "ExtractionShop.h"

#include "extract/KeyTable.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

namespace plw::test {
namespace {

QByteArray KeyRecords(std::initializer_list<int> numbers) {
    QByteArray bytes;
    for (const QString& number : Numbers(numbers))
        bytes += number.toLatin1() + QByteArrayLiteral(" 20260331100000") + QByteArray(26, ' ');
    return bytes;
}

TEST_F(ExtractionShop, LoadKeyTableAndJoinMasterByKeys) {
    // Customer 12 is not in the master; the fragment at the end is no record.
    WriteBytes(keyFile(), KeyRecords({3, 12, 1}) + QByteArray(30, '9'));
    mTrn->execute(QStringLiteral("CREATE TABLE WorkPLWAN40X_1 (old CHAR(1))"));
    qint64 count = -1;
    QString error;
    ASSERT_TRUE(LoadKeyTable(*mTrn, keyFile(), QStringLiteral("WorkPLWAN40X_1"), &count, &error))
        << error.toStdString();
    EXPECT_EQ(count, 3);
    EXPECT_EQ(
        column(QStringLiteral("SELECT TmpKaiBan FROM WorkPLWAN40X_1"), QStringLiteral("TmpKaiBan")),
        Numbers({3, 12, 1}));
    auto keys = mTrn->openTable(QStringLiteral("WorkPLWAN40X_1"));
    keys->setIndex(QStringLiteral("FRMKEY"));
    keys->seek(QStringLiteral("0000012"));
    EXPECT_FALSE(keys->noMatch());
    keys.reset();

    mTrn->execute(QStringLiteral("CREATE TABLE WorkRFM_1 (old CHAR(1))"));
    JoinMasterByKeys(*mTrn, QStringLiteral("WorkPLWAN40X_1"), QStringLiteral("WorkRFM_1"));
    EXPECT_EQ(customers(QStringLiteral("WorkRFM_1")), Numbers({1, 3}));
    EXPECT_EQ(mTrn->openTable(QStringLiteral("WorkRFM_1"))->fieldCount(), 46);
    EXPECT_EQ(column(QStringLiteral("SELECT M1SakRgk FROM WorkRFM_1 ORDER BY M1KaiBan"),
                     QStringLiteral("M1SakRgk")),
              (QStringList{QStringLiteral("90000"), QStringLiteral("70000")}));
}

TEST_F(ExtractionShop, LoadKeyTableFromAnExtraction) {
    extract(Conditions({{ConditionRecord::TosNenKind, u"3"}, {ConditionRecord::TosNenTo, u"30"}}));
    qint64 count = 0;
    QString error;
    ASSERT_TRUE(LoadKeyTable(*mTrn, keyFile(), QStringLiteral("WorkPLWAN40X_1"), &count, &error));
    EXPECT_EQ(count, 4);
    JoinMasterByKeys(*mTrn, QStringLiteral("WorkPLWAN40X_1"), QStringLiteral("WorkPLWAN40X_2"));
    EXPECT_EQ(customers(QStringLiteral("WorkPLWAN40X_2")), Numbers({3, 6, 8, 9}));
}

TEST_F(ExtractionShop, LoadKeyTableReportsAMissingFileAndRefusesDuplicates) {
    qint64 count = -1;
    QString error;
    EXPECT_FALSE(LoadKeyTable(*mTrn, keyFile(), QStringLiteral("WorkPLWAN40X_1"), &count, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(count, 0);

    WriteBytes(keyFile(), KeyRecords({2, 5, 2}));
    EXPECT_THROW(LoadKeyTable(*mTrn, keyFile(), QStringLiteral("WorkPLWAN40X_1"), &count, &error),
                 db::DatabaseError);
}

} // namespace
} // namespace plw::test
