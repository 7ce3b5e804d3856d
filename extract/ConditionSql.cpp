#include "extract/ConditionSql.h"

#include "app/Clock.h"
#include "app/CommonRoutines.h"

#include <QRegularExpression>

namespace plw {

namespace {

using R = ConditionRecord;

// A typed value inside a '...' literal: every single quote doubled.
QString Literal(const QString& value) {
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

// A number bound goes into the statement unquoted: as typed when it is a plain number, else as
// the number it converts to, so that text from a condition file can never become SQL.
QString NumberBound(const QString& value) {
    static const QRegularExpression plain(QStringLiteral("^ *-?[0-9]+(\\.[0-9]+)? *$"));
    return plain.match(value).hasMatch() ? value : ToCurrency(value).toString();
}

// A typed value inside a Jet LIKE pattern, matched as plain text: the pattern characters are
// written as one-character bracket sets, and quotes doubled.
QString LikeLiteral(const QString& value) {
    QString out;
    out.reserve(value.size() + 8);
    for (QChar c : value) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') ||
            c == QLatin1Char('[')) {
            out += QLatin1Char('[');
            out += c;
            out += QLatin1Char(']');
        } else if (c == QLatin1Char('\'')) {
            out += QLatin1String("''");
        } else {
            out += c;
        }
    }
    return out;
}

// A date bound: 0 counts as not given.
QString DateBound(const QString& value) {
    return ToLong(value) == 0 ? QString() : value;
}

// Thousands of yen typed, yen compared.
QString AmountBound(const QString& value) {
    return value.isEmpty() ? value : value + QStringLiteral("000");
}

QString TwoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// " ( " + pieces joined with " OR " + " ) ".
QString Bracketed(const QStringList& pieces) {
    return QStringLiteral(" ( ") + pieces.join(QStringLiteral(" OR ")) + QStringLiteral(" ) ");
}

bool IsSet(const QString& flag) {
    return flag == QLatin1String("1");
}

// Builds the pieces of one pass (conditions of one kind) in their fixed order.
class PassBuilder {
public:
    PassBuilder(const ConditionRecord& record, const QString& today, const QString& kind,
                const QString& joiner, QString& clause)
        : mRecord(record), mToday(today), mKind(kind), mJoiner(joiner), mClause(clause) {}

    void run() {
        addBasicInformation();
        addAgeInformation();
        addPointInformation();
        addMailingInformation();
        if (on(R::KhMemoKind))
            add(QStringLiteral("M1KhMemo LIKE '*") + LikeLiteral(mRecord[R::KhMemoText]) +
                QStringLiteral("*'"));
        addClassifications();
    }

private:
    // Member number, sex, first visit, postcode, address and registering shop.
    void addBasicInformation() {
        if (on(R::KihKaiKind))
            add(RangeClause(QStringLiteral("M1KaiBan"), true, mRecord[R::KihKaiFrom],
                            mRecord[R::KihKaiTo]));
        if (on(R::KihSeiKind))
            add(QStringLiteral("M1KhSeib = '") + Literal(mRecord[R::KihSeiValue]) +
                QLatin1Char('\''));
        if (on(R::KihHjmKind))
            add(RangeClause(QStringLiteral("M1KhSraB"), true, DateBound(mRecord[R::KihHjmFrom]),
                            DateBound(mRecord[R::KihHjmTo])));
        if (on(R::KihZipKind))
            add(QStringLiteral("M1KhZIPC LIKE  '*") + LikeLiteral(mRecord[R::KihZip3]) +
                LikeLiteral(TrimAll(mRecord[R::KihZip4])) + QStringLiteral("*'"));
        if (on(R::KihAdrKind))
            add(QStringLiteral("M1KhADD1 LIKE '*") + LikeLiteral(mRecord[R::KihAdrText]) +
                QStringLiteral("*'"));
        if (on(R::MisBanKind))
            add(QStringLiteral("M1MisBan =  '") + Literal(mRecord[R::MisBanValue]) +
                QLatin1Char('\''));
    }

    // Birth date, birth months and birthday.
    void addAgeInformation() {
        if (on(R::TosTanKind))
            add(RangeClause(QStringLiteral("M1KhBart"), true, DateBound(mRecord[R::TosTanFrom]),
                            DateBound(mRecord[R::TosTanTo])));
        if (on(R::TosTukKind)) {
            QStringList months;
            for (int m = 1; m <= 12; ++m) {
                if (IsSet(mRecord[R::TosTukMonth(m)]))
                    months << QStringLiteral("MID$(M1KhBart,5,2) = '") + TwoDigits(m) +
                                  QStringLiteral("' ");
            }
            add(Bracketed(months));
        }
        if (on(R::TosBarKind))
            add(QStringLiteral(" ( MID$(M1KhBart,5,4) = '") + Literal(mRecord[R::TosBarMmdd]) +
                QStringLiteral("'  ) "));
    }

    // Points, uses, last visit and purchase amount.
    void addPointInformation() {
        if (on(R::PinGenKind))
            add(RangeClause(QStringLiteral("M1SakPoG"), false, mRecord[R::PinGenFrom],
                            mRecord[R::PinGenTo]));
        if (on(R::PinLifKind))
            add(RangeClause(QStringLiteral("M1SakPoL"), false, mRecord[R::PinLifFrom],
                            mRecord[R::PinLifTo]));
        if (on(R::PinUseKind))
            add(RangeClause(QStringLiteral("M1SakRik"), false, mRecord[R::PinUseFrom],
                            mRecord[R::PinUseTo]));
        if (on(R::PinRaiKind))
            add(RangeClause(QStringLiteral("M1SakHby"), true, DateBound(mRecord[R::PinRaiFrom]),
                            DateBound(mRecord[R::PinRaiTo])));
        if (on(R::PinGakKind))
            add(RangeClause(QStringLiteral("M1SakRgk"), false, AmountBound(mRecord[R::PinGakFrom]),
                            AmountBound(mRecord[R::PinGakTo])));
    }

    // Direct mail and e-mail: counts, consents, months since the last one and mail types.
    void addMailingInformation() {
        if (on(R::DmkHKsKind))
            add(RangeClause(QStringLiteral("M1SakDmk"), false, mRecord[R::DmkHKsFrom],
                            mRecord[R::DmkHKsTo]));
        if (on(R::DmkOsrKind))
            add(consent(QStringLiteral("M1DmmOsr"), mRecord[R::DmkOsrValue],
                        QStringLiteral("M1KhADD1")));
        if (on(R::EmlHKsKind))
            add(RangeClause(QStringLiteral("M1SakEka"), false, mRecord[R::EmlHKsFrom],
                            mRecord[R::EmlHKsTo]));
        if (on(R::EmlOsrKind))
            add(consent(QStringLiteral("M1EmaOsr"), mRecord[R::EmlOsrValue],
                        QStringLiteral("M1EmaAdr")));
        if (on(R::DmkHasKind))
            add(QStringLiteral("M1SakDmH <=  '") + monthsBefore(mRecord[R::DmkHasMonths]) +
                QLatin1Char('\''));
        if (on(R::EmlHasKind))
            add(QStringLiteral("M1SakSfb <=  '") + monthsBefore(mRecord[R::EmlHasMonths]) +
                QLatin1Char('\''));
        if (on(R::EmlSbtKind)) {
            QStringList types;
            if (IsSet(mRecord[R::EmlSbtPc]))
                types << QStringLiteral("M1EmaSbt = '1' ");
            if (IsSet(mRecord[R::EmlSbtMobile]))
                types << QStringLiteral("M1EmaSbt = '2' ");
            if (IsSet(mRecord[R::EmlSbtUnknown]))
                types << QStringLiteral("M1EmaSbt = '' ");
            add(Bracketed(types));
        }
    }

    // The chosen entries of each classification level.
    void addClassifications() {
        for (int level = 1; level <= 4; ++level) {
            if (!on(R::BunKind(level)))
                continue;
            QStringList entries;
            for (int entry = 1; entry <= R::BunItems; ++entry) {
                if (IsSet(mRecord[R::BunItem(level, entry)]))
                    entries << QStringLiteral("M1BunJC%1 = '").arg(level) + TwoDigits(entry) +
                                   QStringLiteral("' ");
            }
            add(Bracketed(entries));
        }
    }

    bool on(int kindField) const { return mRecord[kindField] == mKind; }

    void add(const QString& piece) {
        if (!mClause.isEmpty())
            mClause += mJoiner;
        mClause += piece;
    }

    QString consent(const QString& field, const QString& value, const QString& address) const {
        QString piece = field + QStringLiteral(" = '") + Literal(value) + QLatin1Char('\'');
        if (value == QLatin1String("1"))
            piece += QStringLiteral(" AND TRIM$(") + address + QStringLiteral(") <> ''");
        return piece;
    }

    QString monthsBefore(const QString& months) const {
        return MonthsBefore(mToday, ToInteger(months));
    }

    const ConditionRecord& mRecord;
    QString mToday;
    QString mKind;
    QString mJoiner;
    QString& mClause;
};

} // namespace

QString RangeClause(const QString& field, bool quote, const QString& from, const QString& to) {
    auto bound = [quote](const QString& value) {
        return quote ? QLatin1Char('\'') + Literal(value) + QLatin1Char('\'') : NumberBound(value);
    };
    if (to.isEmpty())
        return field + QStringLiteral(" >= ") + bound(from);
    if (!from.isEmpty())
        return QStringLiteral("( ") + field + QStringLiteral(" >= ") + bound(from) +
               QStringLiteral(" AND ") + field + QStringLiteral(" <= ") + bound(to) +
               QStringLiteral(" )");
    return field + QStringLiteral(" <= ") + bound(to);
}

ConditionSql BuildConditionSql(const ConditionRecord& record, const Clock& clock) {
    const QString today = clock.today().toString(QStringLiteral("yyyyMMdd"));
    const QString andJoin = QStringLiteral(" AND ");
    const QString orJoin = QStringLiteral(" OR ");
    ConditionSql sql;
    PassBuilder(record, today, ConditionKind::KindAnd, andJoin, sql.Selection).run();
    if (!sql.Selection.isEmpty())
        PassBuilder(record, today, ConditionKind::KindInclude, orJoin, sql.Selection).run();
    PassBuilder(record, today, ConditionKind::KindExclude, orJoin, sql.Exclusion).run();
    return sql;
}

} // namespace plw
