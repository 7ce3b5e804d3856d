#include "tools/sample/CustomerGenerator.h"

#include "db/BaseTables.h"
#include "tools/sample/SampleClassifications.h"
#include "tools/sample/SampleRandom.h"
#include "tools/sample/SampleVocabulary.h"

#include <algorithm>
#include <array>

namespace plw::sample {
namespace {

// Customer master columns written by the generator, resolved to their positions by name.
enum M : int {
    KaiBan,
    CtlYMD,
    CtlHMS,
    Ct2YMD,
    Ct2HMS,
    KhSraB,
    MisBan,
    KikBan,
    KhNamH,
    KhNamZ,
    KhSeib,
    KhBart,
    KhNenS,
    KhZIPC,
    KhADD1,
    KhADD2,
    KhADD3,
    KhTEL1,
    KhTEL2,
    KhMemo,
    EmaOsr,
    EmaAdr,
    DmmOsr,
    SakEka,
    SakSfb,
    SakDmk,
    SakDmH,
    SakRgk,
    SakRik,
    SakHby,
    SakHbh,
    SakGak,
    SakRak,
    SakPoG,
    SakPoL,
    SakPoZ,
    SakPoK,
    EmaSbt,
    BunJh1,
    BunJC1,
    BunJh2,
    BunJC2,
    BunJh3,
    BunJC3,
    BunJh4,
    BunJC4,
    MasterCount
};
constexpr const char16_t* MasterNames[MasterCount] = {
    u"M1KaiBan", u"M1CtlYMD", u"M1CtlHMS", u"M1Ct2YMD", u"M1Ct2HMS", u"M1KhSraB", u"M1MisBan",
    u"M1KikBan", u"M1KhNamH", u"M1KhNamZ", u"M1KhSeib", u"M1KhBart", u"M1KhNenS", u"M1KhZIPC",
    u"M1KhADD1", u"M1KhADD2", u"M1KhADD3", u"M1KhTEL1", u"M1KhTEL2", u"M1KhMemo", u"M1EmaOsr",
    u"M1EmaAdr", u"M1DmmOsr", u"M1SakEka", u"M1SakSfb", u"M1SakDmk", u"M1SakDmH", u"M1SakRgk",
    u"M1SakRik", u"M1SakHby", u"M1SakHbh", u"M1SakGak", u"M1SakRak", u"M1SakPoG", u"M1SakPoL",
    u"M1SakPoZ", u"M1SakPoK", u"M1EmaSbt", u"M1BunJh1", u"M1BunJC1", u"M1BunJh2", u"M1BunJC2",
    u"M1BunJh3", u"M1BunJC3", u"M1BunJh4", u"M1BunJC4",
};

enum H : int {
    CusCod,
    CusNam,
    HMisBan,
    HKikBan,
    BuyYmd,
    BuyYob,
    BuyHks,
    BuyHjt,
    BuyGak,
    FlgHpn,
    FlgSyu,
    FlgRnk,
    PitCur,
    PitKon,
    PitLif,
    PitUse,
    KetCod,
    HistoryCount
};
constexpr const char16_t* HistoryNames[HistoryCount] = {
    u"M2CusCod", u"M2CusNam", u"M2MisBan", u"M2KikBan", u"M2BuyYmd", u"M2BuyYob",
    u"M2BuyHks", u"M2BuyHjt", u"M2BuyGak", u"M2FlgHpn", u"M2FlgSyu", u"M2FlgRnk",
    u"M2PitCur", u"M2PitKon", u"M2PitLif", u"M2PitUse", u"M2KetCod",
};

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

// The generator fills every column it knows; a column the tables lack is a build defect, caught
// by the tests through a Null where a value belongs.
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

// Texts of small numbers, made once and shared by every row.
const QString& digitText(int digit) {
    static const std::array<QString, 10> texts = [] {
        std::array<QString, 10> t;
        for (int i = 0; i < 10; ++i)
            t[i] = QString(QChar(u'0' + i));
        return t;
    }();
    return texts[digit];
}

const QString& twoDigitText(int value) {
    static const std::array<QString, 100> texts = [] {
        std::array<QString, 100> t;
        for (int i = 0; i < 100; ++i)
            t[i] = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        return t;
    }();
    return texts[value];
}

// Zero-padded decimal text of a non-negative value.
QString digits(qint64 value, int width) {
    char16_t buffer[20];
    for (int i = width - 1; i >= 0; --i) {
        buffer[i] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
    return QString(reinterpret_cast<const QChar*>(buffer), width);
}

QString fullWidthNumber(int value) {
    QString text = QString::number(value);
    for (QChar& c : text)
        c = QChar(c.unicode() - u'0' + u'０');
    return text;
}

QString dateText(const QDate& date) {
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    return digits(y * 10000 + m * 100 + d, 8);
}

QString timeText(int secondOfDay) {
    const int h = secondOfDay / 3600, m = secondOfDay / 60 % 60, s = secondOfDay % 60;
    return digits(h * 10000 + m * 100 + s, 6);
}

QString padded(const QString& text, int width) {
    return text.size() >= width ? text : text + QString(width - text.size(), QLatin1Char(' '));
}

// Shop hours: transactions fall between 10:00:00 and 20:59:59.
constexpr int OpeningSecond = 10 * 3600;
constexpr int SecondsPerShopDay = 11 * 3600;

// The membership rank by lifetime points.
const QString& rankOf(qint64 lifetimePoints) {
    return digitText(lifetimePoints >= 5000 ? 3 : lifetimePoints >= 1000 ? 2 : 1);
}

template <typename T> const T& pickFrom(SampleRandom& random, const QList<T>& items) {
    return items[random.below(static_cast<std::uint32_t>(items.size()))];
}

template <typename T, size_t N> const T& pickFrom(SampleRandom& random, const T (&items)[N]) {
    return items[random.below(static_cast<std::uint32_t>(N))];
}

enum class Kind { Purchase, Correction, Return, Cancel, Bonus, Exchange, Expiry };

} // namespace

// One point-history row while it is being made.
struct CustomerGenerator::Transaction {
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

// What the customer is, before the history is made.
struct CustomerGenerator::Person {
    QString number;
    QString sex;
    QString kanaName;
    QString shop;
    int shopIndex = 0;
    int spendBase = 0;
    bool neverVisited = false;
    qint64 firstDay = 0;
    qint64 lastDay = 0;
    QString directMailConsent;
    QString mailConsent;
    QString mailType;
    bool hasAddress = false;
    bool hasMailAddress = false;
};

namespace {

const QString Shops[] = {QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("0003")};
constexpr int ShopWeights[] = {60, 30, 10};

} // namespace

QString SampleCustomerNumber(qint64 index) {
    return digits(index + 1 + index / 19, 7);
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
    const ColumnMap& map = columnMap();
    const SampleVocabulary& words = SampleVocabulary::instance();
    SampleRandom random(mSeed, static_cast<std::uint64_t>(index) + 1);

    out->master.assign(static_cast<size_t>(mMasterColumns), QVariant());
    out->history.clear();
    out->historyRows = 0;
    out->directMails.clear();
    out->mails.clear();
    auto set = [&](M column, QVariant value) {
        if (map.master[column] >= 0)
            out->master[static_cast<size_t>(map.master[column])] = std::move(value);
    };

    // Who the customer is.
    Person person;
    person.number = SampleCustomerNumber(index);
    constexpr int SexWeights[] = {40, 55, 3, 2};
    static const QString SexCodes[] = {QStringLiteral("1"), QStringLiteral("2"), QString(),
                                       QStringLiteral("9")};
    const int sexIndex = random.weighted(SexWeights);
    person.sex = SexCodes[sexIndex];
    const bool female = sexIndex == 1 || (sexIndex >= 2 && random.chance(500));
    const PersonName& surname = pickFrom(random, words.surnames);
    const PersonName& given = pickFrom(random, female ? words.femaleNames : words.maleNames);
    person.kanaName = surname.kana + QLatin1Char(' ') + given.kana;
    const QString kanjiName = surname.kanji + QChar(0x3000) + given.kanji;
    person.shopIndex = random.weighted(ShopWeights);
    person.shop = Shops[person.shopIndex];
    constexpr int SpendBases[] = {800, 2500, 6000, 15000};
    constexpr int SpendWeights[] = {20, 40, 30, 10};
    person.spendBase = SpendBases[random.weighted(SpendWeights)];

    // When the customer came: the last visit lies up to about eight years before the reference
    // date, most of them recent; the first visit lies further back the more often they came.
    person.neverVisited = random.chance(10);
    const qint64 referenceDay = SampleReferenceDate.toJulianDay();
    const qint64 openingDay = SampleOpeningDate.toJulianDay();
    {
        constexpr int RecencyWeights[] = {35, 25, 25, 15};
        constexpr int RecencyLow[] = {0, 91, 366, 1096};
        constexpr int RecencyHigh[] = {90, 365, 1095, 3000};
        const int bucket = random.weighted(RecencyWeights);
        person.lastDay = std::max(
            openingDay, referenceDay - random.between(RecencyLow[bucket], RecencyHigh[bucket]));
    }

    // Contact data and consents.
    constexpr int DmConsentWeights[] = {70, 25, 3, 2};
    static const QString DmConsents[] = {QStringLiteral("1"), QStringLiteral("2"), QString(),
                                         QStringLiteral("0")};
    person.directMailConsent = DmConsents[random.weighted(DmConsentWeights)];
    constexpr int MailConsentWeights[] = {55, 35, 5, 5};
    static const QString MailConsents[] = {QStringLiteral("1"), QStringLiteral("2"),
                                           QStringLiteral("3"), QString()};
    const int mailConsentIndex = random.weighted(MailConsentWeights);
    person.mailConsent = MailConsents[mailConsentIndex];
    constexpr int AddressPerMille[] = {950, 600, 1000, 300};
    person.hasMailAddress = random.chance(AddressPerMille[mailConsentIndex]);
    if (person.hasMailAddress) {
        constexpr int TypeWeights[] = {45, 50, 1, 4};
        static const QString Types[] = {QStringLiteral("1"), QStringLiteral("2"),
                                        QStringLiteral("3"), QString()};
        person.mailType = Types[random.weighted(TypeWeights)];
    }
    person.hasAddress = !random.chance(20);

    makeHistory(random, person);
    const Transaction* first = mRows.empty() ? nullptr : &mRows.front();
    const Transaction* last = mRows.empty() ? nullptr : &mRows.back();
    if (first)
        person.firstDay = first->day;
    else
        person.firstDay =
            random.between(static_cast<int>(openingDay), static_cast<int>(referenceDay));
    pickCampaigns(person, out);

    // A few rows look as the suite's older programs wrote them: texts blank padded to the
    // column width.
    const bool blankPadded = random.chance(20);
    auto text = [&](M column, const QString& value) {
        set(column, blankPadded ? padded(value, map.masterWidth[column]) : value);
    };

    set(KaiBan, person.number);
    const QDate registered = QDate::fromJulianDay(person.firstDay);
    const int registeredSecond =
        first ? first->second
              : random.between(OpeningSecond, OpeningSecond + SecondsPerShopDay - 1);
    set(Ct2YMD, dateText(registered));
    set(Ct2HMS, timeText(registeredSecond));
    const qint64 touchedDay =
        std::min(referenceDay, (last ? last->day : person.firstDay) + random.between(0, 30));
    set(CtlYMD, dateText(QDate::fromJulianDay(touchedDay)));
    set(CtlHMS, timeText(random.between(OpeningSecond, OpeningSecond + SecondsPerShopDay - 1)));
    set(KhSraB, dateText(registered));
    set(MisBan, person.shop);
    set(KikBan, twoDigitText(random.between(1, 2)));
    text(KhNamH, person.kanaName);
    text(KhNamZ, kanjiName);
    set(KhSeib, person.sex);

    // Birth date and age group at the first visit. Some birth dates lack month or day ("00"),
    // some are missing; the age group then is what the clerk estimated, or nothing.
    {
        constexpr int AgeWeights[] = {6, 18, 22, 22, 16, 11, 5};
        constexpr int AgeLow[] = {15, 20, 30, 40, 50, 60, 70};
        constexpr int AgeHigh[] = {19, 29, 39, 49, 59, 69, 85};
        const int band = random.weighted(AgeWeights);
        const int age = random.between(AgeLow[band], AgeHigh[band]);
        const QDate birth = registered.addYears(-age).addDays(-random.between(0, 364));
        const int ageAtFirstVisit = [&] {
            int years = registered.year() - birth.year();
            if (QDate(registered.year(), birth.month(), 1).addDays(birth.day() - 1) > registered)
                --years;
            return years;
        }();
        QString birthText = dateText(birth);
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
        set(KhBart, birthText);
        const int group = std::min(80, ageAtFirstVisit / 10 * 10);
        set(KhNenS, known || random.chance(700) ? twoDigitText(group) : QString());
    }

    // Address and telephones.
    const int regionIndex = [&] {
        std::array<int, 32> weights{};
        const int n = std::min<int>(32, static_cast<int>(words.regions.size()));
        for (int i = 0; i < n; ++i)
            weights[static_cast<size_t>(i)] = words.regions[i].weight;
        return random.weighted(std::span<const int>(weights.data(), static_cast<size_t>(n)));
    }();
    const Region& region = words.regions[regionIndex];
    if (person.hasAddress) {
        set(KhZIPC, region.zip3 + digits(random.between(0, 9999), 4));
        text(KhADD1, region.prefecture + region.city);
        text(KhADD2, pickFrom(random, region.towns) + fullWidthNumber(random.between(1, 5)) +
                         QChar(0xFF0D) + fullWidthNumber(random.between(1, 30)) + QChar(0xFF0D) +
                         fullWidthNumber(random.between(1, 20)));
        text(KhADD3, random.chance(500) ? pickFrom(random, words.buildings) : QString());
    } else {
        set(KhZIPC, QString());
        set(KhADD1, QString());
        set(KhADD2, QString());
        set(KhADD3, QString());
    }
    if (random.chance(950)) {
        const QString& area = region.areaCode;
        const int localDigits = 10 - static_cast<int>(area.size()); // ten digits in all
        const int exchangeDigits = localDigits - 4;
        set(KhTEL1,
            area + QLatin1Char('-') +
                digits(random.between(1, 9) * 1000 + random.between(0, 999), exchangeDigits) +
                QLatin1Char('-') + digits(random.between(0, 9999), 4));
    } else {
        set(KhTEL1, QString());
    }
    if (random.chance(550)) {
        static const QString Mobile[] = {QStringLiteral("090"), QStringLiteral("080"),
                                         QStringLiteral("070")};
        set(KhTEL2, pickFrom(random, Mobile) + QLatin1Char('-') +
                        digits(random.between(1000, 9999), 4) + QLatin1Char('-') +
                        digits(random.between(0, 9999), 4));
    } else if (random.chance(300)) {
        set(KhTEL2, QVariant()); // Null: never recorded
    } else {
        set(KhTEL2, QString());
    }
    if (random.chance(150))
        set(KhMemo, pickFrom(random, words.memos));
    else
        set(KhMemo, random.chance(100) ? QVariant() : QVariant(QString()));

    // Mail.
    set(EmaOsr, person.mailConsent);
    if (person.hasMailAddress) {
        static const QString Domains[] = {QStringLiteral("@example.com"),
                                          QStringLiteral("@example.net"),
                                          QStringLiteral("@example.org")};
        const int domain = person.mailType == QLatin1String("2")   ? 1
                           : person.mailType == QLatin1String("3") ? 2
                                                                   : 0;
        set(EmaAdr, given.romaji + QLatin1Char('.') + surname.romaji +
                        digits(random.between(0, 99), 2) + Domains[domain]);
    } else if (person.mailConsent == QLatin1String("1") && random.chance(200)) {
        set(EmaAdr, QString(map.masterWidth[EmaAdr], QLatin1Char(' '))); // blank, padded
    } else {
        set(EmaAdr, random.chance(300) ? QVariant() : QVariant(QString()));
    }
    set(EmaSbt, person.mailType);
    set(DmmOsr, person.directMailConsent);

    // Campaigns received.
    set(SakDmk, static_cast<int>(out->directMails.size()));
    set(SakDmH, out->directMails.empty()
                    ? QString()
                    : dateText(mDirectMails[out->directMails.back()].plannedDate));
    set(SakEka, static_cast<int>(out->mails.size()));
    set(SakSfb, out->mails.empty() ? QString() : dateText(mMails[out->mails.back()].plannedDate));

    // Visits, amounts and points from the history.
    qint64 visits = 0, amount = 0, lastIssued = 0, lastExchanged = 0;
    for (const Transaction& row : mRows) {
        switch (row.kind) {
        case Kind::Purchase:
            ++visits;
            amount += row.amount;
            lastIssued = row.points;
            break;
        case Kind::Correction:
        case Kind::Return:
        case Kind::Cancel:
            amount += row.amount;
            break;
        case Kind::Exchange:
            lastExchanged = row.used;
            break;
        case Kind::Bonus:
        case Kind::Expiry:
            break;
        }
    }
    set(SakRik, random.chance(10) ? QVariant() : QVariant(static_cast<int>(visits)));
    set(SakRgk, random.chance(20) ? QVariant() : QVariant(static_cast<int>(amount)));
    set(SakHby, last ? dateText(QDate::fromJulianDay(last->day)) : QString());
    set(SakHbh, last ? timeText(last->second) : QString());
    set(SakGak, last ? static_cast<int>(last->amount) : 0);
    set(SakRak, rankOf(last ? last->lifetime : 0));
    set(SakPoG, static_cast<int>(last ? last->current : 0));
    set(SakPoL, static_cast<int>(last ? last->lifetime : 0));
    set(SakPoZ, static_cast<int>(lastIssued));
    set(SakPoK, static_cast<int>(lastExchanged));

    // Classifications: the entry's position "01".."20" within its level, sometimes none.
    const QList<ClassificationLevel>& levels = SampleClassificationLevels();
    constexpr M CodeColumns[] = {BunJC1, BunJC2, BunJC3, BunJC4};
    constexpr M TextColumns[] = {BunJh1, BunJh2, BunJh3, BunJh4};
    for (int level = 0; level < 4 && level < levels.size(); ++level) {
        const auto& entries = levels[level].entries;
        int position = 0; // 1-based; 0 = none
        if (!random.chance(80)) {
            if (level == 3) {
                // Where the customer lives follows the address.
                position = regionIndex == 0                         ? random.between(1, 3)
                           : regionIndex == 1                       ? 4
                           : (regionIndex == 3 || regionIndex == 4) ? 5
                                                                    : 6;
                position = std::min<int>(position, static_cast<int>(entries.size()));
            } else {
                position = random.between(1, static_cast<int>(entries.size()));
            }
        }
        set(CodeColumns[level], position ? twoDigitText(position) : QString());
        set(TextColumns[level], position ? entries[position - 1].name : QString());
    }

    // The history rows.
    out->historyRows = static_cast<int>(mRows.size());
    out->history.reserve(mRows.size() * static_cast<size_t>(mHistoryColumns));
    const QString historyName = person.kanaName.left(16);
    static const QString HpnNormal = QStringLiteral("0");
    for (const Transaction& row : mRows) {
        const size_t base = out->history.size();
        out->history.resize(base + static_cast<size_t>(mHistoryColumns));
        auto put = [&](H column, QVariant value) {
            if (map.history[column] >= 0)
                out->history[base + static_cast<size_t>(map.history[column])] = std::move(value);
        };
        const QDate date = QDate::fromJulianDay(row.day);
        put(CusCod, person.number);
        put(CusNam, historyName);
        put(HMisBan, random.chance(850) ? person.shop : Shops[random.below(3)]);
        put(HKikBan, twoDigitText(random.between(1, 2)));
        put(BuyYmd, dateText(date));
        put(BuyYob, digitText(date.dayOfWeek() % 7 + 1)); // 1 = Sunday ... 7 = Saturday
        put(BuyHks, timeText(row.second));
        put(BuyHjt, twoDigitText(random.between(1, 5)));
        put(BuyGak, static_cast<int>(row.amount));
        QString kind, hpn = HpnNormal;
        switch (row.kind) {
        case Kind::Purchase:
            kind = digitText(1);
            break;
        case Kind::Correction:
            kind = digitText(3);
            break;
        case Kind::Return:
            kind = digitText(0);
            hpn = digitText(1);
            break;
        case Kind::Cancel:
            kind = digitText(0);
            hpn = digitText(2);
            break;
        case Kind::Bonus:
            kind = digitText(0);
            break;
        case Kind::Exchange:
            kind = digitText(2);
            break;
        case Kind::Expiry:
            kind = digitText(4);
            break;
        }
        put(FlgHpn, hpn);
        put(FlgSyu, kind);
        put(FlgRnk, rankOf(row.lifetime));
        put(PitCur, static_cast<int>(row.current));
        put(PitKon, static_cast<int>(row.points));
        put(PitLif, static_cast<int>(row.lifetime));
        put(PitUse, static_cast<int>(row.used));
        put(KetCod, digits(random.between(0, 9'999'999), 7));
    }
}

void CustomerGenerator::makeHistory(SampleRandom& random, const Person& person) {
    mRows.clear();
    if (person.neverVisited)
        return;

    // Rows: one plus a geometric number with the configured mean.
    const int continuePerMille = 1000 - 1000 / mHistoryRowsPerCustomer;
    int count = 1;
    while (count < 40 * mHistoryRowsPerCustomer && random.chance(continuePerMille))
        ++count;

    // The first row lies further back the more rows there are, at the customer's own pace.
    const qint64 openingDay = SampleOpeningDate.toJulianDay();
    const qint64 gap = random.between(5, 60);
    const qint64 span = (count - 1) * gap * random.between(50, 150) / 100;
    const qint64 firstDay = std::max(openingDay, person.lastDay - span);
    const qint64 days = person.lastDay - firstDay;

    // Moments in shop time: the first on the first day's morning, the last on the last day,
    // the others strictly between.
    const qint64 firstMoment = random.between(0, SecondsPerShopDay / 2 - 1);
    qint64 lastMoment = days * SecondsPerShopDay + random.between(0, SecondsPerShopDay - 1);
    if (lastMoment < firstMoment + count)
        lastMoment = firstMoment + count + random.between(0, 3600);
    mRows.resize(static_cast<size_t>(count));
    mRows.front().moment = firstMoment;
    mRows.back().moment = lastMoment;
    for (int i = 1; i + 1 < count; ++i) {
        const qint64 range = lastMoment - firstMoment - 1;
        mRows[static_cast<size_t>(i)].moment =
            firstMoment + 1 +
            static_cast<qint64>((static_cast<std::uint64_t>(random.next() >> 11) %
                                 static_cast<std::uint64_t>(range)));
    }
    if (count > 2)
        std::sort(mRows.begin() + 1, mRows.end() - 1,
                  [](const Transaction& a, const Transaction& b) { return a.moment < b.moment; });
    for (int i = 1; i + 1 < count; ++i) // strictly increasing ...
        mRows[i].moment = std::max(mRows[i].moment, mRows[i - 1].moment + 1);
    for (int i = count - 2; i >= 1; --i) // ... and below the last
        mRows[i].moment = std::min(mRows[i].moment, mRows[i + 1].moment - 1);

    // Kinds and amounts, in time order; the first and the last row are purchases.
    qint64 current = 0, lifetime = 0, total = 0, lastPurchase = 0;
    constexpr int KindWeights[] = {82, 4, 3, 1, 3, 5, 2};
    for (int i = 0; i < count; ++i) {
        Transaction& row = mRows[static_cast<size_t>(i)];
        row.day = firstDay + row.moment / SecondsPerShopDay;
        row.second = OpeningSecond + static_cast<int>(row.moment % SecondsPerShopDay);
        Kind kind = (i == 0 || i == count - 1) ? Kind::Purchase
                                               : static_cast<Kind>(random.weighted(KindWeights));
        if (kind == Kind::Exchange && current < 100)
            kind = Kind::Expiry;
        row.kind = kind;
        row.amount = row.points = row.used = 0;
        switch (kind) {
        case Kind::Purchase:
            row.amount = person.spendBase * random.between(40, 220) / 100 + random.between(0, 99);
            row.points = row.amount / 100;
            lastPurchase = row.amount;
            break;
        case Kind::Correction: // a later price correction of a purchase, either way
            row.amount = std::max(-total, static_cast<qint64>(random.between(-50, 200)) * 10);
            break;
        case Kind::Return:
        case Kind::Cancel: // part or all of the last purchase taken back
            row.amount = -std::min(
                total, static_cast<qint64>(random.between(static_cast<int>(lastPurchase / 4),
                                                          static_cast<int>(lastPurchase))));
            row.points = -std::min(current, -row.amount / 100);
            break;
        case Kind::Bonus: // campaign points, recorded with the receipt they were given for
            row.amount = random.between(1000, 5000);
            row.points = 50 * random.between(1, 4);
            break;
        case Kind::Exchange:
            row.used =
                std::min(current / 100 * 100, static_cast<qint64>(random.between(3, 10)) * 100);
            row.amount = row.used; // the value of the goods, in yen
            break;
        case Kind::Expiry:
            row.points = -std::min(current, static_cast<qint64>(random.between(0, 100)));
            break;
        }
        if (kind == Kind::Purchase || kind == Kind::Correction || kind == Kind::Return ||
            kind == Kind::Cancel)
            total += row.amount;
        current += row.points - row.used;
        if (row.points > 0)
            lifetime += row.points;
        row.current = current;
        row.lifetime = lifetime;
    }
}

void CustomerGenerator::pickCampaigns(const Person& person, GeneratedCustomer* out) {
    mVisitDays.clear();
    for (const Transaction& row : mRows)
        if (row.kind == Kind::Purchase)
            mVisitDays.push_back(row.day); // ascending, as the rows are
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

} // namespace plw::sample
