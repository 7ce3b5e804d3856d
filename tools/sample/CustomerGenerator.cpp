#include "tools/sample/CustomerGenerator.h"

#include "db/BaseTables.h"
#include "tools/sample/SampleClassifications.h"
#include "tools/sample/SampleRandom.h"
#include "tools/sample/SampleText.h"
#include "tools/sample/SampleVocabulary.h"

#include <algorithm>
#include <array>

namespace plw::sample {
namespace {

// Customer master columns written by the generator, resolved to their positions by name.
// clang-format off
enum M : int {
    KaiBan, CtlYMD, CtlHMS, Ct2YMD, Ct2HMS, KhSraB, MisBan, KikBan, KhNamH, KhNamZ, KhSeib,
    KhBart, KhNenS, KhZIPC, KhADD1, KhADD2, KhADD3, KhTEL1, KhTEL2, KhMemo, EmaOsr, EmaAdr,
    DmmOsr, SakEka, SakSfb, SakDmk, SakDmH, SakRgk, SakRik, SakHby, SakHbh, SakGak, SakRak,
    SakPoG, SakPoL, SakPoZ, SakPoK, EmaSbt, BunJh1, BunJC1, BunJh2, BunJC2, BunJh3, BunJC3,
    BunJh4, BunJC4, MasterCount,
};
// clang-format on
constexpr const char16_t* MasterNames[MasterCount] = {
    u"M1KaiBan", u"M1CtlYMD", u"M1CtlHMS", u"M1Ct2YMD", u"M1Ct2HMS", u"M1KhSraB", u"M1MisBan",
    u"M1KikBan", u"M1KhNamH", u"M1KhNamZ", u"M1KhSeib", u"M1KhBart", u"M1KhNenS", u"M1KhZIPC",
    u"M1KhADD1", u"M1KhADD2", u"M1KhADD3", u"M1KhTEL1", u"M1KhTEL2", u"M1KhMemo", u"M1EmaOsr",
    u"M1EmaAdr", u"M1DmmOsr", u"M1SakEka", u"M1SakSfb", u"M1SakDmk", u"M1SakDmH", u"M1SakRgk",
    u"M1SakRik", u"M1SakHby", u"M1SakHbh", u"M1SakGak", u"M1SakRak", u"M1SakPoG", u"M1SakPoL",
    u"M1SakPoZ", u"M1SakPoK", u"M1EmaSbt", u"M1BunJh1", u"M1BunJC1", u"M1BunJh2", u"M1BunJC2",
    u"M1BunJh3", u"M1BunJC3", u"M1BunJh4", u"M1BunJC4",
};

// clang-format off
enum H : int {
    CusCod, CusNam, HMisBan, HKikBan, BuyYmd, BuyYob, BuyHks, BuyHjt, BuyGak, FlgHpn, FlgSyu,
    FlgRnk, PitCur, PitKon, PitLif, PitUse, KetCod, HistoryCount,
};
// clang-format on
constexpr const char16_t* HistoryNames[HistoryCount] = {
    u"M2CusCod", u"M2CusNam", u"M2MisBan", u"M2KikBan", u"M2BuyYmd", u"M2BuyYob",
    u"M2BuyHks", u"M2BuyHjt", u"M2BuyGak", u"M2FlgHpn", u"M2FlgSyu", u"M2FlgRnk",
    u"M2PitCur", u"M2PitKon", u"M2PitLif", u"M2PitUse", u"M2KetCod",
};

// Positions of the columns in the tables' definitions; -1 for a column a table lacks, which the
// generator then leaves out (the tests notice the missing value).
struct ColumnMap {
    std::array<int, MasterCount> master{};
    std::array<int, MasterCount> masterWidth{};
    std::array<int, HistoryCount> history{};
};

int positionOf(std::span<const db::ColumnDef> columns, const char16_t* name, int* width) {
    const QStringView wanted(name);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (wanted == QStringView(columns[i].name)) {
            if (width)
                *width = columns[i].width;
            return static_cast<int>(i);
        }
    }
    return -1;
}

const ColumnMap& columnMap() {
    static const ColumnMap map = [] {
        ColumnMap m;
        for (int c = 0; c < MasterCount; ++c)
            m.master[c] =
                positionOf(db::CustomerMasterColumns(), MasterNames[c], &m.masterWidth[c]);
        for (int c = 0; c < HistoryCount; ++c)
            m.history[c] = positionOf(db::PointHistoryColumns(), HistoryNames[c], nullptr);
        return m;
    }();
    return map;
}

// Shop hours: transactions fall between 10:00:00 and 20:59:59.
constexpr int OpeningSecond = 10 * 3600;
constexpr int SecondsPerShopDay = 11 * 3600;

int shopSecond(SampleRandom& random) {
    return random.between(OpeningSecond, OpeningSecond + SecondsPerShopDay - 1);
}

// The membership rank by lifetime points.
const QString& rankOf(qint64 lifetimePoints) {
    return DigitText(lifetimePoints >= 5000 ? 3 : lifetimePoints >= 1000 ? 2 : 1);
}

template <typename T> const T& pickFrom(SampleRandom& random, const QList<T>& items) {
    return items[random.below(static_cast<std::uint32_t>(items.size()))];
}

template <typename T, size_t N> const T& pickFrom(SampleRandom& random, const T (&items)[N]) {
    return items[random.below(static_cast<std::uint32_t>(N))];
}

const QString Shops[] = {QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("0003")};

// What a history row is, as this shop's terminals record it (kind code, return flag):
// a purchase ("1", "0") is a visit; a price correction ("3", "0") and a return or cancellation
// ("0", "1" / "2") change only the amount; campaign points ("0", "0"), a point exchange ("2")
// and expired points ("4") carry amounts that do not count.
enum class Kind { Purchase, Correction, Return, Cancel, Bonus, Exchange, Expiry };

// How a customer uses the shop: how long ago the last visit was, how many history rows follow
// the first (in tenths of the requested mean less one, so that the habits together keep the mean;
// at least minRows rows in all), the days between visits and the usual spend. Loyal customers
// come often, came lately and spend more. The first six habits each fill one group of the sample
// matrix (A, B, C, D, E, X) under the thresholds of the "サンプル設定" buttons; the last two lie
// between them or before the sample's analysis period.
struct Habit {
    int perMille;
    int lastLow, lastHigh; // days from the last visit to the reference date
    int rowsLow, rowsHigh; // rows after the first, in tenths of (mean - 1)
    int minRows;
    int gapLow, gapHigh; // days between visits
    int spendWeights[4]; // of SpendBases
};
constexpr int SpendBases[] = {800, 2500, 6000, 15000};
constexpr Habit Habits[] = {
    {30, 0, 20, 45, 90, 1, 3, 10, {0, 0, 0, 100}},        // best: weekly or more, spending much
    {70, 0, 30, 40, 60, 1, 5, 20, {0, 0, 100, 0}},        // regulars
    {190, 0, 30, 1, 11, 2, 7, 60, {25, 45, 30, 0}},       // came lately, now and then
    {110, 31, 60, 1, 8, 2, 14, 90, {30, 40, 30, 0}},      // occasional
    {120, 91, 180, 0, 8, 1, 14, 120, {30, 40, 30, 0}},    // fading
    {140, 181, 700, 0, 6, 1, 20, 150, {30, 40, 30, 0}},   // lapsed
    {90, 31, 150, 8, 30, 1, 7, 30, {10, 40, 40, 10}},     // regulars coming less often
    {250, 701, 3000, 0, 6, 1, 20, 200, {20, 40, 30, 10}}, // gone before the analysis period
};
// The first customers of every sample take the first six habits in turn, so that even a dozen
// customers fill every group; the others draw theirs by weight.
constexpr int ShownInTurn = 6;

} // namespace

// One point-history row while it is being made.
struct HistoryEvent {
    qint64 moment; // seconds of shop time since the first day's opening
    qint64 day;    // Julian day
    int second;    // second of the day
    Kind kind;
    qint64 amount = 0;
    qint64 points = 0;   // points of this transaction (negative when taken back)
    qint64 used = 0;     // points exchanged
    qint64 current = 0;  // current points after it
    qint64 lifetime = 0; // lifetime points after it
};

// What the customer is, before the rows are written.
struct CustomerGenerator::Person {
    QString number;
    QString sex;
    const PersonName* surname = nullptr;
    const PersonName* given = nullptr;
    QString shop;
    const Habit* habit = nullptr;
    bool visitsMissing = false; // the visit count or the amount is Null, as rows the suite's
    bool amountMissing = false; // older programs left behind carry them
    int spendBase = 0;
    int region = 0;
    bool neverVisited = false;
    qint64 registeredDay = 0; // the first visit, or the card's issue without a visit
    int registeredSecond = 0;
    qint64 lastDay = 0;
    QString directMailConsent;
    QString mailConsent;
    QString mailType;
    bool hasAddress = false;
    bool hasMailAddress = false;
};

// The customer master row being written; a few rows are blank padded to the column widths, as
// the suite's older programs wrote texts.
class CustomerGenerator::MasterRow {
public:
    MasterRow(std::vector<QVariant>& values, bool blankPadded)
        : mValues(values), mPadded(blankPadded), mMap(columnMap()) {}

    void set(M column, QVariant value) {
        if (mMap.master[column] >= 0)
            mValues[static_cast<size_t>(mMap.master[column])] = std::move(value);
    }
    void text(M column, const QString& value) {
        set(column, mPadded ? Padded(value, mMap.masterWidth[column]) : value);
    }
    int width(M column) const { return mMap.masterWidth[column]; }

private:
    std::vector<QVariant>& mValues;
    bool mPadded;
    const ColumnMap& mMap;
};

QString SampleCustomerNumber(qint64 index) {
    return Digits(index + 1 + index / 19, 7);
}

CustomerGenerator::CustomerGenerator(std::uint64_t seed, int historyRowsPerCustomer,
                                     QList<Campaign> directMailCampaigns,
                                     QList<Campaign> mailCampaigns)
    : mSeed(seed), mHistoryRowsPerCustomer(std::max(1, historyRowsPerCustomer)),
      mDirectMails(std::move(directMailCampaigns)), mMails(std::move(mailCampaigns)),
      mMasterColumns(static_cast<int>(db::CustomerMasterColumns().size())),
      mHistoryColumns(static_cast<int>(db::PointHistoryColumns().size())) {
    for (const Campaign& c : mDirectMails) {
        mDirectMailDays.push_back(c.plannedDate.toJulianDay());
        mDirectMailWindowDays.push_back(CampaignVisitWindowStart(c).toJulianDay());
    }
    for (const Campaign& c : mMails) {
        mMailDays.push_back(c.plannedDate.toJulianDay());
        mMailWindowDays.push_back(CampaignVisitWindowStart(c).toJulianDay());
    }
}

CustomerGenerator::~CustomerGenerator() = default;

void CustomerGenerator::generate(qint64 index, GeneratedCustomer* out) {
    SampleRandom random(mSeed, static_cast<std::uint64_t>(index) + 1);
    out->master.assign(static_cast<size_t>(mMasterColumns), QVariant());
    out->history.clear();
    out->historyRows = 0;
    out->directMails.clear();
    out->mails.clear();

    Person person = describe(random, index);
    makeHistory(random, person);
    if (mEvents.empty()) {
        person.registeredDay = random.between(static_cast<int>(SampleOpeningDate.toJulianDay()),
                                              static_cast<int>(SampleReferenceDate.toJulianDay()));
        person.registeredSecond = shopSecond(random);
    } else {
        person.registeredDay = mEvents.front().day;
        person.registeredSecond = mEvents.front().second;
    }
    pickCampaigns(person, out);

    MasterRow row(out->master, random.chance(20));
    writeIdentity(random, person, row);
    writeBirth(random, person, row);
    writeContact(random, person, row);
    writeTotals(person, *out, row);
    writeClassifications(random, person, row);
    writeHistory(random, person, out);
}

CustomerGenerator::Person CustomerGenerator::describe(SampleRandom& random, qint64 index) const {
    const SampleVocabulary& words = SampleVocabulary::instance();
    Person person;
    person.number = SampleCustomerNumber(index);
    constexpr int SexWeights[] = {40, 55, 3, 2};
    static const QString SexCodes[] = {QStringLiteral("1"), QStringLiteral("2"), QString(),
                                       QStringLiteral("9")};
    const int sex = random.weighted(SexWeights);
    person.sex = SexCodes[sex];
    const bool female = sex == 1 || (sex >= 2 && random.chance(500));
    person.surname = &pickFrom(random, words.surnames);
    person.given = &pickFrom(random, female ? words.femaleNames : words.maleNames);
    constexpr int ShopWeights[] = {60, 30, 10};
    person.shop = Shops[random.weighted(ShopWeights)];
    if (index < ShownInTurn) {
        person.habit = &Habits[index];
    } else {
        static const std::vector<int> HabitWeights = [] {
            std::vector<int> weights;
            for (const Habit& h : Habits)
                weights.push_back(h.perMille);
            return weights;
        }();
        person.habit = &Habits[random.weighted(HabitWeights)];
    }
    person.spendBase = SpendBases[random.weighted(person.habit->spendWeights)];
    static const std::vector<int> RegionWeights = [&] {
        std::vector<int> weights;
        for (const Region& r : words.regions)
            weights.push_back(r.weight);
        return weights;
    }();
    person.region = random.weighted(RegionWeights);

    // A few customers were issued a card and never bought anything, a few rows lack their
    // totals; the customers shown in turn show their habit plainly.
    const bool plain = index < ShownInTurn;
    person.neverVisited = !plain && random.chance(10);
    person.visitsMissing = !plain && random.chance(10);
    person.amountMissing = !plain && random.chance(20);
    person.lastDay = std::max(SampleOpeningDate.toJulianDay(),
                              SampleReferenceDate.toJulianDay() -
                                  random.between(person.habit->lastLow, person.habit->lastHigh));

    // Consents, and whether the addresses they need are there.
    constexpr int DmConsentWeights[] = {70, 25, 3, 2};
    static const QString DmConsents[] = {QStringLiteral("1"), QStringLiteral("2"), QString(),
                                         QStringLiteral("0")};
    person.directMailConsent = DmConsents[random.weighted(DmConsentWeights)];
    constexpr int MailConsentWeights[] = {55, 35, 5, 5};
    static const QString MailConsents[] = {QStringLiteral("1"), QStringLiteral("2"),
                                           QStringLiteral("3"), QString()};
    const int mailConsent = random.weighted(MailConsentWeights);
    person.mailConsent = MailConsents[mailConsent];
    constexpr int AddressPerMille[] = {950, 600, 1000, 300}; // "3": the address is wrong
    person.hasMailAddress = random.chance(AddressPerMille[mailConsent]);
    if (person.hasMailAddress) {
        constexpr int TypeWeights[] = {45, 50, 1, 4};
        static const QString Types[] = {QStringLiteral("1"), QStringLiteral("2"),
                                        QStringLiteral("3"), QString()};
        person.mailType = Types[random.weighted(TypeWeights)];
    }
    person.hasAddress = !random.chance(20);
    return person;
}

void CustomerGenerator::makeHistory(SampleRandom& random, const Person& person) {
    mEvents.clear();
    if (person.neverVisited)
        return;

    // Rows: the first, and the habit's share of the rest of the requested mean.
    const Habit& habit = *person.habit;
    const int more = random.between(habit.rowsLow, habit.rowsHigh);
    const int count = std::max(habit.minRows, 1 + (more * (mHistoryRowsPerCustomer - 1) + 5) / 10);

    // The first row lies further back the more rows there are, at the customer's own pace.
    const qint64 gap = random.between(habit.gapLow, habit.gapHigh);
    const qint64 span = (count - 1) * gap * random.between(50, 150) / 100;
    const qint64 firstDay = std::max(SampleOpeningDate.toJulianDay(), person.lastDay - span);
    const qint64 days = person.lastDay - firstDay;

    // Moments in shop time: the first on the first day's morning, the last on the last day,
    // the others strictly between.
    const qint64 firstMoment = random.between(0, SecondsPerShopDay / 2 - 1);
    qint64 lastMoment = days * SecondsPerShopDay + random.between(0, SecondsPerShopDay - 1);
    if (lastMoment < firstMoment + count)
        lastMoment = firstMoment + count + random.between(0, 3600);
    mEvents.resize(static_cast<size_t>(count));
    mEvents.front().moment = firstMoment;
    mEvents.back().moment = lastMoment;
    const auto range = static_cast<std::uint64_t>(lastMoment - firstMoment - 1);
    for (size_t i = 1; i + 1 < mEvents.size(); ++i)
        mEvents[i].moment = firstMoment + 1 + static_cast<qint64>((random.next() >> 11) % range);
    if (count > 2)
        std::sort(mEvents.begin() + 1, mEvents.end() - 1,
                  [](const HistoryEvent& a, const HistoryEvent& b) { return a.moment < b.moment; });
    for (size_t i = 1; i + 1 < mEvents.size(); ++i) // strictly increasing ...
        mEvents[i].moment = std::max(mEvents[i].moment, mEvents[i - 1].moment + 1);
    for (size_t i = mEvents.size() - 1; i-- > 1;) // ... and below the last
        mEvents[i].moment = std::min(mEvents[i].moment, mEvents[i + 1].moment - 1);

    // Kinds and amounts, in time order; the first and the last row are purchases.
    qint64 current = 0, lifetime = 0, total = 0, lastPurchase = 0;
    constexpr int KindWeights[] = {82, 4, 3, 1, 3, 5, 2};
    for (size_t i = 0; i < mEvents.size(); ++i) {
        HistoryEvent& e = mEvents[i];
        e.day = firstDay + e.moment / SecondsPerShopDay;
        e.second = OpeningSecond + static_cast<int>(e.moment % SecondsPerShopDay);
        Kind kind = (i == 0 || i + 1 == mEvents.size())
                        ? Kind::Purchase
                        : static_cast<Kind>(random.weighted(KindWeights));
        if (kind == Kind::Exchange && current < 100)
            kind = Kind::Expiry;
        e.kind = kind;
        e.amount = e.points = e.used = 0;
        switch (kind) {
        case Kind::Purchase:
            e.amount = person.spendBase * random.between(40, 220) / 100 + random.between(0, 99);
            e.points = e.amount / 100;
            lastPurchase = e.amount;
            break;
        case Kind::Correction: // a later price correction, either way
            e.amount = std::max(-total, static_cast<qint64>(random.between(-50, 200)) * 10);
            break;
        case Kind::Return:
        case Kind::Cancel: // part or all of the last purchase taken back
            e.amount = -std::min(
                total, static_cast<qint64>(random.between(static_cast<int>(lastPurchase / 4),
                                                          static_cast<int>(lastPurchase))));
            e.points = -std::min(current, -e.amount / 100);
            break;
        case Kind::Bonus: // recorded with the amount of the receipt the points were given for
            e.amount = random.between(1000, 5000);
            e.points = 50 * random.between(1, 4);
            break;
        case Kind::Exchange: // recorded with the value of the goods, in yen
            e.used =
                std::min(current / 100 * 100, static_cast<qint64>(random.between(3, 10)) * 100);
            e.amount = e.used;
            break;
        case Kind::Expiry:
            e.points = -std::min(current, static_cast<qint64>(random.between(0, 100)));
            break;
        }
        if (kind == Kind::Purchase || kind == Kind::Correction || kind == Kind::Return ||
            kind == Kind::Cancel)
            total += e.amount;
        current += e.points - e.used;
        if (e.points > 0)
            lifetime += e.points;
        e.current = current;
        e.lifetime = lifetime;
    }
}

void CustomerGenerator::pickCampaigns(const Person& person, GeneratedCustomer* out) {
    mVisitDays.clear();
    for (const HistoryEvent& e : mEvents)
        if (e.kind == Kind::Purchase)
            mVisitDays.push_back(e.day); // ascending, as the rows are
    auto visitedWithin = [&](qint64 from, qint64 to) {
        const auto it = std::lower_bound(mVisitDays.begin(), mVisitDays.end(), from);
        return it != mVisitDays.end() && *it <= to;
    };

    if (person.directMailConsent == QLatin1String("1") && person.hasAddress) {
        for (int i = 0; i < mDirectMails.size(); ++i) {
            if (mDirectMails[i].womenOnly && person.sex != QLatin1String("2"))
                continue;
            if (visitedWithin(mDirectMailWindowDays[static_cast<size_t>(i)],
                              mDirectMailDays[static_cast<size_t>(i)]))
                out->directMails.push_back(i);
        }
    }
    if (person.mailConsent == QLatin1String("1") && person.hasMailAddress) {
        for (int i = 0; i < mMails.size(); ++i) {
            if (mMails[i].pcMailOnly && person.mailType != QLatin1String("1"))
                continue;
            if (visitedWithin(mMailWindowDays[static_cast<size_t>(i)],
                              mMailDays[static_cast<size_t>(i)]))
                out->mails.push_back(i);
        }
    }
}

void CustomerGenerator::writeIdentity(SampleRandom& random, const Person& person,
                                      MasterRow& row) const {
    row.set(KaiBan, person.number);
    const QDate registered = QDate::fromJulianDay(person.registeredDay);
    row.set(Ct2YMD, DateText(registered));
    row.set(Ct2HMS, TimeText(person.registeredSecond));
    const qint64 lastTouched = mEvents.empty() ? person.registeredDay : mEvents.back().day;
    const qint64 touchedDay =
        std::min(SampleReferenceDate.toJulianDay(), lastTouched + random.between(0, 30));
    row.set(CtlYMD, DateText(QDate::fromJulianDay(touchedDay)));
    row.set(CtlHMS, TimeText(shopSecond(random)));
    row.set(KhSraB, DateText(registered));
    row.set(MisBan, person.shop);
    row.set(KikBan, TwoDigitText(random.between(1, 2)));
    row.text(KhNamH, person.surname->kana + QLatin1Char(' ') + person.given->kana);
    row.text(KhNamZ, person.surname->kanji + QChar(0x3000) + person.given->kanji);
    row.set(KhSeib, person.sex);
}

// Birth date and age group at the first visit. Some birth dates lack month or day ("00"), some
// are missing; the age group then is what the clerk estimated, or nothing.
void CustomerGenerator::writeBirth(SampleRandom& random, const Person& person,
                                   MasterRow& row) const {
    const QDate registered = QDate::fromJulianDay(person.registeredDay);
    constexpr int AgeWeights[] = {6, 18, 22, 22, 16, 11, 5};
    constexpr int AgeLow[] = {15, 20, 30, 40, 50, 60, 70};
    constexpr int AgeHigh[] = {19, 29, 39, 49, 59, 69, 85};
    const int band = random.weighted(AgeWeights);
    const QDate birth = registered.addYears(-random.between(AgeLow[band], AgeHigh[band]))
                            .addDays(-random.between(0, 364));
    int ageAtFirstVisit = registered.year() - birth.year();
    if (QDate(registered.year(), birth.month(), 1).addDays(birth.day() - 1) > registered)
        --ageAtFirstVisit;

    QString birthText = DateText(birth);
    bool known = true;
    constexpr int BirthWeights[] = {870, 30, 30, 60, 10};
    switch (random.weighted(BirthWeights)) {
    case 1: // month and day not recorded
        birthText = birthText.left(4) + QStringLiteral("0000");
        break;
    case 2: // day not recorded
        birthText = birthText.left(6) + QStringLiteral("00");
        break;
    case 3:
        birthText.clear();
        known = false;
        break;
    case 4:
        birthText = QStringLiteral("00000000");
        known = false;
        break;
    default:
        break;
    }
    row.set(KhBart, birthText);
    const int group = std::min(80, ageAtFirstVisit / 10 * 10);
    row.set(KhNenS, known || random.chance(700) ? TwoDigitText(group) : QString());
}

void CustomerGenerator::writeContact(SampleRandom& random, const Person& person,
                                     MasterRow& row) const {
    const SampleVocabulary& words = SampleVocabulary::instance();
    const Region& region = words.regions[person.region];
    if (person.hasAddress) {
        row.set(KhZIPC, region.zip3 + Digits(random.between(0, 9999), 4));
        row.text(KhADD1, region.prefecture + region.city);
        row.text(KhADD2, pickFrom(random, region.towns) + FullWidthNumber(random.between(1, 5)) +
                             QChar(0xFF0D) + FullWidthNumber(random.between(1, 30)) +
                             QChar(0xFF0D) + FullWidthNumber(random.between(1, 20)));
        row.text(KhADD3, random.chance(500) ? pickFrom(random, words.buildings) : QString());
    } else {
        for (M column : {KhZIPC, KhADD1, KhADD2, KhADD3})
            row.set(column, QString());
    }

    // Ten digits in all: the area code, the exchange, four digits.
    if (random.chance(950)) {
        const QString& area = region.areaCode;
        const int exchangeDigits = 6 - static_cast<int>(area.size());
        row.set(KhTEL1,
                area + QLatin1Char('-') +
                    Digits(random.between(1, 9) * 1000 + random.between(0, 999), exchangeDigits) +
                    QLatin1Char('-') + Digits(random.between(0, 9999), 4));
    } else {
        row.set(KhTEL1, QString());
    }
    if (random.chance(550)) {
        static const QString Mobile[] = {QStringLiteral("090"), QStringLiteral("080"),
                                         QStringLiteral("070")};
        row.set(KhTEL2, pickFrom(random, Mobile) + QLatin1Char('-') +
                            Digits(random.between(1000, 9999), 4) + QLatin1Char('-') +
                            Digits(random.between(0, 9999), 4));
    } else {
        row.set(KhTEL2, random.chance(300) ? QVariant() : QVariant(QString())); // Null: never set
    }
    if (random.chance(150))
        row.set(KhMemo, pickFrom(random, words.memos));
    else
        row.set(KhMemo, random.chance(100) ? QVariant() : QVariant(QString()));

    row.set(EmaOsr, person.mailConsent);
    if (person.hasMailAddress) {
        static const QString Domains[] = {QStringLiteral("@example.com"),
                                          QStringLiteral("@example.net"),
                                          QStringLiteral("@example.org")};
        const int domain = person.mailType == QLatin1String("2")   ? 1
                           : person.mailType == QLatin1String("3") ? 2
                                                                   : 0;
        row.set(EmaAdr, person.given->romaji + QLatin1Char('.') + person.surname->romaji +
                            Digits(random.between(0, 99), 2) + Domains[domain]);
    } else if (person.mailConsent == QLatin1String("1") && random.chance(200)) {
        row.set(EmaAdr, QString(row.width(EmaAdr), QLatin1Char(' '))); // blank, padded
    } else {
        row.set(EmaAdr, random.chance(300) ? QVariant() : QVariant(QString()));
    }
    row.set(EmaSbt, person.mailType);
    row.set(DmmOsr, person.directMailConsent);
}

// Campaigns received, and visits, amount and points as the history adds them up.
void CustomerGenerator::writeTotals(const Person& person, const GeneratedCustomer& out,
                                    MasterRow& row) const {
    row.set(SakDmk, static_cast<int>(out.directMails.size()));
    row.set(SakDmH, out.directMails.empty()
                        ? QString()
                        : DateText(mDirectMails[out.directMails.back()].plannedDate));
    row.set(SakEka, static_cast<int>(out.mails.size()));
    row.set(SakSfb, out.mails.empty() ? QString() : DateText(mMails[out.mails.back()].plannedDate));

    qint64 visits = 0, amount = 0, lastIssued = 0, lastExchanged = 0;
    for (const HistoryEvent& e : mEvents) {
        switch (e.kind) {
        case Kind::Purchase:
            ++visits;
            amount += e.amount;
            lastIssued = e.points;
            break;
        case Kind::Correction:
        case Kind::Return:
        case Kind::Cancel:
            amount += e.amount;
            break;
        case Kind::Exchange:
            lastExchanged = e.used;
            break;
        case Kind::Bonus:
        case Kind::Expiry:
            break;
        }
    }
    const HistoryEvent* last = mEvents.empty() ? nullptr : &mEvents.back();
    row.set(SakRik, person.visitsMissing ? QVariant() : QVariant(static_cast<int>(visits)));
    row.set(SakRgk, person.amountMissing ? QVariant() : QVariant(static_cast<int>(amount)));
    row.set(SakHby, last ? DateText(QDate::fromJulianDay(last->day)) : QString());
    row.set(SakHbh, last ? TimeText(last->second) : QString());
    row.set(SakGak, last ? static_cast<int>(last->amount) : 0);
    row.set(SakRak, rankOf(last ? last->lifetime : 0));
    row.set(SakPoG, static_cast<int>(last ? last->current : 0));
    row.set(SakPoL, static_cast<int>(last ? last->lifetime : 0));
    row.set(SakPoZ, static_cast<int>(lastIssued));
    row.set(SakPoK, static_cast<int>(lastExchanged));
}

// The entry's position "01".."20" within its level, sometimes none; where the customer lives
// (level 4) follows the address.
void CustomerGenerator::writeClassifications(SampleRandom& random, const Person& person,
                                             MasterRow& row) const {
    const QList<ClassificationLevel>& levels = SampleClassificationLevels();
    constexpr M CodeColumns[] = {BunJC1, BunJC2, BunJC3, BunJC4};
    constexpr M TextColumns[] = {BunJh1, BunJh2, BunJh3, BunJh4};
    for (int level = 0; level < 4 && level < levels.size(); ++level) {
        const int entries = static_cast<int>(levels[level].entries.size());
        int position = 0; // 0: none
        if (!random.chance(80)) {
            if (level == 3) {
                const int r = person.region;
                position = r == 0 ? random.between(1, 3) : r == 1 ? 4 : (r == 3 || r == 4) ? 5 : 6;
                position = std::min(position, entries);
            } else {
                position = random.between(1, entries);
            }
        }
        row.set(CodeColumns[level], position ? TwoDigitText(position) : QString());
        row.set(TextColumns[level],
                position ? levels[level].entries[position - 1].name : QString());
    }
}

void CustomerGenerator::writeHistory(SampleRandom& random, const Person& person,
                                     GeneratedCustomer* out) const {
    const ColumnMap& map = columnMap();
    out->historyRows = static_cast<int>(mEvents.size());
    out->history.reserve(mEvents.size() * static_cast<size_t>(mHistoryColumns));
    const QString name = (person.surname->kana + QLatin1Char(' ') + person.given->kana).left(16);
    for (const HistoryEvent& e : mEvents) {
        const size_t base = out->history.size();
        out->history.resize(base + static_cast<size_t>(mHistoryColumns));
        auto put = [&](H column, QVariant value) {
            if (map.history[column] >= 0)
                out->history[base + static_cast<size_t>(map.history[column])] = std::move(value);
        };
        const QDate date = QDate::fromJulianDay(e.day);
        put(CusCod, person.number);
        put(CusNam, name);
        put(HMisBan, random.chance(850) ? person.shop : Shops[random.below(3)]);
        put(HKikBan, TwoDigitText(random.between(1, 2)));
        put(BuyYmd, DateText(date));
        put(BuyYob, DigitText(date.dayOfWeek() % 7 + 1)); // 1 = Sunday ... 7 = Saturday
        put(BuyHks, TimeText(e.second));
        put(BuyHjt, TwoDigitText(random.between(1, 5)));
        put(BuyGak, static_cast<int>(e.amount));
        int kind = 0, returnFlag = 0;
        switch (e.kind) {
        case Kind::Purchase:
            kind = 1;
            break;
        case Kind::Correction:
            kind = 3;
            break;
        case Kind::Return:
            returnFlag = 1;
            break;
        case Kind::Cancel:
            returnFlag = 2;
            break;
        case Kind::Bonus:
            break;
        case Kind::Exchange:
            kind = 2;
            break;
        case Kind::Expiry:
            kind = 4;
            break;
        }
        put(FlgHpn, DigitText(returnFlag));
        put(FlgSyu, DigitText(kind));
        put(FlgRnk, rankOf(e.lifetime));
        put(PitCur, static_cast<int>(e.current));
        put(PitKon, static_cast<int>(e.points));
        put(PitLif, static_cast<int>(e.lifetime));
        put(PitUse, static_cast<int>(e.used));
        put(KetCod, Digits(random.between(0, 9'999'999), 7));
    }
}

} // namespace plw::sample
