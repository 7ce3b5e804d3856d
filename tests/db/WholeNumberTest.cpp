// Amounts and counts as every reader takes them from a number column: exact 64-bit integers up to
// 2^53 either way; anything else is named, never read as another number.

#include "db/WholeNumber.h"

#include "tests/support/Printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace plw::db {
namespace {

using Fault = WholeNumber::Fault;

TEST(WholeNumber, ReadsEveryKindOfColumnValueOrNamesWhatIsWrong) {
    const qint64 limit = WholeNumber::Limit;
    struct Case {
        QVariant value;
        qint64 expected;
        Fault fault;
    };
    const Case cases[] = {
        {QVariant(), 0, Fault::None}, // Null: not recorded
        {QVariant(QString()), 0, Fault::None},
        {QVariant(QStringLiteral("  　")), 0, Fault::None},
        {QVariant(qint64(2147483648)), 2147483648, Fault::None},
        {QVariant(-7), -7, Fault::None},
        {QVariant(limit), limit, Fault::None},
        {QVariant(-limit), -limit, Fault::None},
        {QVariant(limit + 1), 0, Fault::BeyondLimit},
        {QVariant(std::numeric_limits<qint64>::max()), 0, Fault::BeyondLimit},
        {QVariant(std::numeric_limits<quint64>::max()), 0, Fault::BeyondLimit},
        {QVariant(1000.0), 1000, Fault::None},
        {QVariant(1e20), 0, Fault::BeyondLimit},
        {QVariant(-1e300), 0, Fault::BeyondLimit},
        {QVariant(std::numeric_limits<double>::infinity()), 0, Fault::BeyondLimit},
        {QVariant(std::nan("")), 0, Fault::NotANumber},
        {QVariant(12.5), 0, Fault::Fraction},
        {QVariant(-0.5), 0, Fault::Fraction},
        {QVariant(QStringLiteral(" 12 ")), 12, Fault::None},
        {QVariant(QStringLiteral("+12")), 12, Fault::None},
        {QVariant(QStringLiteral("-12.000")), -12, Fault::None},
        {QVariant(QStringLiteral("9007199254740992")), limit, Fault::None},
        {QVariant(QStringLiteral("9007199254740993")), 0, Fault::BeyondLimit},
        {QVariant(QStringLiteral("123456789012345678901234567890")), 0, Fault::BeyondLimit},
        {QVariant(QStringLiteral("1e20")), 0, Fault::BeyondLimit},
        {QVariant(QStringLiteral("1e3")), 1000, Fault::None},
        {QVariant(QStringLiteral("12.5")), 0, Fault::Fraction},
        {QVariant(QStringLiteral(".5")), 0, Fault::Fraction},
        {QVariant(QStringLiteral("abc")), 0, Fault::NotANumber},
        {QVariant(QStringLiteral("1,000")), 0, Fault::NotANumber},
        {QVariant(QStringLiteral("-")), 0, Fault::NotANumber},
        {QVariant(QStringLiteral("１２")), 0, Fault::NotANumber}, // full-width digits
        {QVariant(QByteArray("12")), 0, Fault::NotANumber},       // a blob
    };
    for (const Case& c : cases) {
        const WholeNumber number = WholeNumber::read(c.value);
        EXPECT_EQ(number.fault(), c.fault) << c.value.toString().toStdString();
        EXPECT_EQ(number.value(), c.expected) << c.value.toString().toStdString();
        EXPECT_EQ(number.ok(), c.fault == Fault::None);
    }
}

TEST(WholeNumber, ARequiredValueThatIsNoneNamesTheCustomerTheColumnAndTheValue) {
    EXPECT_EQ(WholeNumber::require(QVariant(QStringLiteral(" 5 ")), u"M1SakRik", {}), 5);
    try {
        WholeNumber::require(QVariant(qint64(1) << 60), u"M1SakRgk", QStringLiteral("0000002"));
        ADD_FAILURE() << "no error";
    } catch (const NumberValueError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("顧客 0000002 の M1SakRgk の値 1152921504606846976 は扱える範囲"
                                 "（±9,007,199,254,740,992）を超えています。"));
    }
    const QString longText(60, u'x');
    EXPECT_EQ(NumberFaultText(Fault::NotANumber, u"M4TyuYts", QVariant(longText)),
              QStringLiteral("M4TyuYts の値 「") + QString(40, u'x') +
                  QStringLiteral("…」 は数値ではありません。"));
}

TEST(WholeNumber, SumsRefuseToLeaveThe64BitRange) {
    qint64 sum = std::numeric_limits<qint64>::max() - 1;
    EXPECT_TRUE(AddToSum(sum, 1));
    EXPECT_FALSE(AddToSum(sum, 1));
    EXPECT_EQ(sum, std::numeric_limits<qint64>::max());
    sum = std::numeric_limits<qint64>::min();
    EXPECT_FALSE(AddToSum(sum, -1));
    EXPECT_TRUE(AddToSum(sum, -0));
    EXPECT_TRUE(AddToSum(sum, std::numeric_limits<qint64>::max()));
    EXPECT_EQ(sum, -1);
}

} // namespace
} // namespace plw::db
