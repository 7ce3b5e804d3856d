#include "tools/sample/CustomerGenerator.h"

#include "app/AnsiCodec.h"
#include "db/BaseTables.h"
#include "tests/support/Printers.h"
#include "tests/tools/HistoryTotals.h"
#include "tools/sample/SampleClassifications.h"

#include <QDate>
#include <QSet>

#include <gtest/gtest.h>

#include <functional>

namespace plw::sample {
namespace {

constexpr int SampleSize = 3000;

// Generated rows read by column name.
struct Row {
    std::span<const db::ColumnDef> columns;
    const QVariant* values;

    int index(QStringView name) const {
        for (size_t i = 0; i < columns.size(); ++i)
            if (name == QStringView(columns[i].name))
                return static_cast<int>(i);
        ADD_FAILURE() << "no column " << name.toString().toStdString();
        return 0;
    }
    const QVariant& value(QStringView name) const { return values[index(name)]; }
    QString text(QStringView name) const { return value(name).toString(); }
    qint64 integer(QStringView name) const { return value(name).toLongLong(); }
    bool isNull(QStringView name) const { return !value(name).isValid(); }
};

Row master(const GeneratedCustomer& c) {
    return {db::CustomerMasterColumns(), c.master.data()};
}

Row history(const GeneratedCustomer& c, int row) {
    const auto columns = db::PointHistoryColumns();
    return {columns, c.history.data() + static_cast<size_t>(row) * columns.size()};
}

CustomerGenerator makeGenerator(std::uint64_t seed, int historyRows = 10) {
    return CustomerGenerator(seed, historyRows, SampleCampaigns(CampaignKind::DirectMail),
                             SampleCampaigns(CampaignKind::Mail));
}

// Runs f over the first SampleSize customers of seed 1.
void forEachCustomer(const std::function<void(const GeneratedCustomer&)>& f) {
    CustomerGenerator generator = makeGenerator(1);
    GeneratedCustomer customer;
    for (qint64 i = 0; i < SampleSize; ++i) {
        generator.generate(i, &customer);
        f(customer);
    }
}

TEST(CustomerGenerator, HistoryAgreesWithTheMaster) {
    int checkedVisits = 0, checkedAmounts = 0;
    forEachCustomer([&](const GeneratedCustomer& c) {
        const Row m = master(c);
        const QString number = m.text(u"M1KaiBan");
        test::HistoryTotals totals;
        QString previous;
        for (int r = 0; r < c.historyRows; ++r) {
            const Row h = history(c, r);
            EXPECT_EQ(h.text(u"M2CusCod"), number);
            const QString moment = h.text(u"M2BuyYmd") + h.text(u"M2BuyHks");
            EXPECT_LT(previous, moment) << number.toStdString() << " rows out of order";
            previous = moment;
            totals.add(h.text(u"M2FlgSyu"), h.text(u"M2FlgHpn"), h.integer(u"M2BuyGak"));
        }
        if (!m.isNull(u"M1SakRik")) {
            EXPECT_EQ(m.integer(u"M1SakRik"), totals.visits) << number.toStdString();
            ++checkedVisits;
        }
        if (!m.isNull(u"M1SakRgk")) {
            EXPECT_EQ(m.integer(u"M1SakRgk"), totals.amount) << number.toStdString();
            ++checkedAmounts;
        }
        if (c.historyRows == 0) {
            EXPECT_EQ(m.text(u"M1SakHby"), QString());
            return;
        }
        const Row first = history(c, 0), last = history(c, c.historyRows - 1);
        EXPECT_EQ(m.text(u"M1KhSraB"), first.text(u"M2BuyYmd"));
        EXPECT_EQ(m.text(u"M1SakHby"), last.text(u"M2BuyYmd"));
        EXPECT_EQ(m.text(u"M1SakHbh"), last.text(u"M2BuyHks"));
        EXPECT_EQ(last.text(u"M2FlgSyu"), QStringLiteral("1")) << "the last visit is a purchase";
        EXPECT_EQ(m.integer(u"M1SakGak"), last.integer(u"M2BuyGak"));
        EXPECT_EQ(m.integer(u"M1SakPoG"), last.integer(u"M2PitCur"));
        EXPECT_EQ(m.integer(u"M1SakPoL"), last.integer(u"M2PitLif"));
    });
    EXPECT_GT(checkedVisits, SampleSize * 9 / 10);
    EXPECT_GT(checkedAmounts, SampleSize * 9 / 10);
}

// Every kind of value the extraction, scoring and customer list must cope with occurs.
TEST(CustomerGenerator, CoversTheValuesTheAnalysisMeetsInPractice) {
    struct Case {
        const char* what;
        std::function<bool(const Row&)> onMaster;
        std::function<bool(const Row&)> onHistory;
        int seen = 0;
    };
    auto is = [](const char16_t* column, const char16_t* value) {
        return [=](const Row& r) {
            return !r.isNull(column) && r.text(column) == QStringView(value);
        };
    };
    auto contains = [](const char16_t* column, QChar c) {
        return [=](const Row& r) {
            return r.text(column).contains(c);
        };
    };
    auto null = [](const char16_t* column) {
        return [=](const Row& r) {
            return r.isNull(column);
        };
    };
    auto kind = [](const char16_t* syu, const char16_t* hpn) {
        return [=](const Row& r) {
            return r.text(u"M2FlgSyu") == QStringView(syu) &&
                   (!hpn || r.text(u"M2FlgHpn") == QStringView(hpn));
        };
    };
    std::vector<Case> cases = {
        {"amount Null", null(u"M1SakRgk"), {}},
        {"visits Null", null(u"M1SakRik"), {}},
        {"sex 1", is(u"M1KhSeib", u"1"), {}},
        {"sex 2", is(u"M1KhSeib", u"2"), {}},
        {"sex empty", is(u"M1KhSeib", u""), {}},
        {"sex 9", is(u"M1KhSeib", u"9"), {}},
        {"birth empty", is(u"M1KhBart", u""), {}},
        {"birth month 00",
         [](const Row& r) { return r.text(u"M1KhBart").mid(4, 2) == QLatin1String("00"); },
         {}},
        {"birth day 00 only",
         [](const Row& r) {
             const QString b = r.text(u"M1KhBart");
             return b.size() == 8 && b.mid(4, 2) != QLatin1String("00") &&
                    b.mid(6, 2) == QLatin1String("00");
         },
         {}},
        {"age group empty", is(u"M1KhNenS", u""), {}},
        {"mail type 1", is(u"M1EmaSbt", u"1"), {}},
        {"mail type 2", is(u"M1EmaSbt", u"2"), {}},
        {"mail type empty", is(u"M1EmaSbt", u""), {}},
        {"mail type 3", is(u"M1EmaSbt", u"3"), {}},
        {"mail consent 3", is(u"M1EmaOsr", u"3"), {}},
        {"mail consent 1 without address",
         [](const Row& r) {
             return r.text(u"M1EmaOsr") == QLatin1String("1") &&
                    r.text(u"M1EmaAdr").trimmed().isEmpty();
         },
         {}},
        {"DM consent neither 1 nor 2",
         [](const Row& r) {
             const QString v = r.text(u"M1DmmOsr");
             return v != QLatin1String("1") && v != QLatin1String("2");
         },
         {}},
        {"address empty", is(u"M1KhADD1", u""), {}},
        {"quote in ADD3", contains(u"M1KhADD3", QLatin1Char('\'')), {}},
        {"percent in memo", contains(u"M1KhMemo", QLatin1Char('%')), {}},
        {"asterisk in memo", contains(u"M1KhMemo", QLatin1Char('*')), {}},
        {"memo Null", null(u"M1KhMemo"), {}},
        {"blank padded name",
         [](const Row& r) { return r.text(u"M1KhNamZ").endsWith(QLatin1Char(' ')); },
         {}},
        {"classification 1 empty", is(u"M1BunJC1", u""), {}},
        {"classification 3 entry 20", is(u"M1BunJC3", u"20"), {}},
        {"never visited", is(u"M1SakHby", u""), {}},
        {"received direct mail", [](const Row& r) { return r.integer(u"M1SakDmk") > 0; }, {}},
        {"received mail", [](const Row& r) { return r.integer(u"M1SakEka") > 0; }, {}},
        {"kind 1", {}, kind(u"1", nullptr)},
        {"kind 3", {}, kind(u"3", nullptr)},
        {"kind 0 return 1", {}, kind(u"0", u"1")},
        {"kind 0 return 2", {}, kind(u"0", u"2")},
        {"kind 0 not a return, with an amount",
         {},
         [](const Row& r) {
             return r.text(u"M2FlgSyu") == QLatin1String("0") &&
                    r.text(u"M2FlgHpn") == QLatin1String("0") && r.integer(u"M2BuyGak") != 0;
         }},
        {"kind 2 with an amount",
         {},
         [](const Row& r) {
             return r.text(u"M2FlgSyu") == QLatin1String("2") && r.integer(u"M2BuyGak") != 0;
         }},
        {"kind 4", {}, kind(u"4", nullptr)},
    };
    QSet<QString> lastVisitYears;
    forEachCustomer([&](const GeneratedCustomer& c) {
        const Row m = master(c);
        lastVisitYears.insert(m.text(u"M1SakHby").left(4));
        for (Case& k : cases) {
            if (k.onMaster && k.onMaster(m))
                ++k.seen;
            for (int r = 0; k.onHistory && r < c.historyRows; ++r)
                if (k.onHistory(history(c, r)))
                    ++k.seen;
        }
    });
    for (const Case& k : cases)
        EXPECT_GT(k.seen, 0) << k.what;
    EXPECT_GE(lastVisitYears.size(), 6) << "last visits spread over several years";
}

TEST(CustomerGenerator, ValuesFitTheirColumns) {
    const QString reference = SampleReferenceDate.toString(QStringLiteral("yyyyMMdd"));
    const auto& levels = SampleClassificationLevels();
    QString previousNumber;
    QSet<QString> filled; // columns holding a value for some customer
    forEachCustomer([&](const GeneratedCustomer& c) {
        auto checkRow = [&](const Row& row) {
            for (size_t i = 0; i < row.columns.size(); ++i) {
                const db::ColumnDef& column = row.columns[i];
                const QVariant& v = row.values[i];
                if (v.isValid() && !v.toString().trimmed().isEmpty())
                    filled.insert(QString::fromUtf16(column.name));
                if (!v.isValid() || column.type != db::ColumnType::Text)
                    continue;
                const QString s = v.toString();
                EXPECT_LE(s.size(), column.width) << QString::fromUtf16(column.name).toStdString();
                EXPECT_TRUE(AnsiCodec::firstUnencodable(s).isEmpty()) << s.toStdString();
            }
        };
        const Row m = master(c);
        checkRow(m);
        for (int r = 0; r < c.historyRows; ++r) {
            checkRow(history(c, r));
            EXPECT_LE(history(c, r).text(u"M2BuyYmd"), reference);
        }
        const QString number = m.text(u"M1KaiBan");
        EXPECT_EQ(number.size(), 7);
        EXPECT_LT(previousNumber, number);
        previousNumber = number;
        for (const char16_t* date : {u"M1KhSraB", u"M1SakHby", u"M1SakDmH", u"M1SakSfb"}) {
            const QString d = m.text(date);
            if (d.isEmpty())
                continue;
            EXPECT_TRUE(QDate::fromString(d, QStringLiteral("yyyyMMdd")).isValid())
                << d.toStdString();
            EXPECT_LE(d, reference);
        }
        const char16_t* codes[] = {u"M1BunJC1", u"M1BunJC2", u"M1BunJC3", u"M1BunJC4"};
        for (int level = 0; level < 4; ++level) {
            const QString code = m.text(codes[level]);
            if (code.isEmpty())
                continue;
            EXPECT_EQ(code.size(), 2);
            EXPECT_GE(code.toInt(), 1);
            EXPECT_LE(code.toInt(), levels[level].entries.size()) << code.toStdString();
        }
    });
    for (const auto& columns : {db::CustomerMasterColumns(), db::PointHistoryColumns()})
        for (const db::ColumnDef& column : columns)
            EXPECT_TRUE(filled.contains(QString::fromUtf16(column.name)))
                << QString::fromUtf16(column.name).toStdString() << " never filled";
}

TEST(CustomerGenerator, CustomerDependsOnlyOnSeedAndIndex) {
    GeneratedCustomer alone, afterOthers, otherSeed;
    makeGenerator(5).generate(40, &alone);
    CustomerGenerator walked = makeGenerator(5);
    for (qint64 i = 0; i <= 40; ++i)
        walked.generate(i, &afterOthers);
    makeGenerator(6).generate(40, &otherSeed);

    EXPECT_EQ(alone.master, afterOthers.master);
    EXPECT_EQ(alone.history, afterOthers.history);
    EXPECT_NE(alone.master, otherSeed.master);
    EXPECT_EQ(master(alone).text(u"M1KaiBan"), master(otherSeed).text(u"M1KaiBan"));
}

TEST(CustomerGenerator, NumbersAscendWithGaps) {
    EXPECT_EQ(SampleCustomerNumber(0), QStringLiteral("0000001"));
    EXPECT_EQ(SampleCustomerNumber(18), QStringLiteral("0000019"));
    EXPECT_EQ(SampleCustomerNumber(19), QStringLiteral("0000021"));
    EXPECT_EQ(SampleCustomerNumber(MaxSampleCustomers - 1).size(), 7);
}

TEST(CustomerGenerator, HistoryRowsAverageTheRequestedMean) {
    for (int mean : {3, 10}) {
        CustomerGenerator generator = makeGenerator(1, mean);
        GeneratedCustomer c;
        qint64 rows = 0;
        for (qint64 i = 0; i < SampleSize; ++i) {
            generator.generate(i, &c);
            rows += c.historyRows;
        }
        const double average = double(rows) / SampleSize;
        EXPECT_GT(average, mean * 0.9) << mean;
        EXPECT_LT(average, mean * 1.1) << mean;
    }
}

} // namespace
} // namespace plw::sample
