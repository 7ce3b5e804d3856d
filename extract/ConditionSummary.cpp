#include "extract/ConditionSummary.h"

#include "app/CommonRoutines.h"

namespace plw {
namespace {

using R = ConditionRecord;

const QString Tilde = QStringLiteral("～");
const QString BunSection = QStringLiteral("分類情報");

QString Range(const ConditionRecord& r, int from) {
    return r[from] + Tilde + r[from + 1];
}

QString DateRange(const ConditionRecord& r, int from) {
    return DateToSlashText(r[from]) + Tilde + DateToSlashText(r[from + 1]);
}

QString Joined(const QStringList& parts) {
    return parts.join(QLatin1Char(','));
}

QString MonthsText(const ConditionRecord& r) {
    QStringList months;
    for (int m = 1; m <= 12; ++m)
        if (r[R::TosTukMonth(m)] == QLatin1String("1"))
            months << QString::number(m) + QStringLiteral("月");
    return Joined(months);
}

QString MailTypesText(const ConditionRecord& r) {
    static const std::array<QString, 3> names = {
        QStringLiteral("ＰＣメール"), QStringLiteral("携帯メール"), QStringLiteral("不明メール")};
    QStringList types;
    for (int t = 0; t < 3; ++t)
        if (r[R::EmlSbtPc + t] == QLatin1String("1"))
            types << names[t];
    return Joined(types);
}

QString ConsentText(const QString& value, bool mail) {
    if (value == QLatin1String("1"))
        return QStringLiteral("1:許諾");
    if (value == QLatin1String("2"))
        return QStringLiteral("2:拒否");
    if (mail && value == QLatin1String("3"))
        return QStringLiteral("3:メールアドレス誤り");
    return QString();
}

QString SexText(const QString& value) {
    if (value == QLatin1String("1"))
        return QStringLiteral("男");
    if (value == QLatin1String("2"))
        return QStringLiteral("女");
    return QString();
}

// The level number followed by its 20 entry flags.
QString BunText(const ConditionRecord& r, int level) {
    QString text = QString::number(level);
    for (int i = 1; i <= R::BunItems; ++i)
        text += r[R::BunItem(level, i)] == QLatin1String("1") ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

// The values of the summary, each the text of one condition's fields.
template <int From> QString RangeOf(const R& r) {
    return Range(r, From);
}

template <int From> QString DateRangeOf(const R& r) {
    return DateRange(r, From);
}

template <int Field> QString FieldOf(const R& r) {
    return r[Field];
}

template <int Months> QString ElapsedOf(const R& r) {
    return r[Months] + QStringLiteral("ヵ月以上経過");
}

template <int Field, bool Mail> QString ConsentOf(const R& r) {
    return ConsentText(r[Field], Mail);
}

QString SexOf(const R& r) {
    return SexText(r[R::KihSeiValue]);
}

QString ZipOf(const R& r) {
    return r[R::KihZip3] + QLatin1Char('-') + r[R::KihZip4];
}

QString BirthdayOf(const R& r) {
    const QString& mmdd = r[R::TosBarMmdd];
    return mmdd.left(2) + QStringLiteral("月") + mmdd.mid(2, 2) + QStringLiteral("日");
}

QString AgeOf(const R& r) {
    return TrimAll(r[R::TosNenFrom]) + Tilde + TrimAll(r[R::TosNenTo]);
}

QString PurchaseAmountOf(const R& r) {
    return r[R::PinGakFrom] + QStringLiteral("千円～") + r[R::PinGakTo] + QStringLiteral("千円");
}

struct SummaryItem {
    int KindField;
    const char16_t* Section;
    const char16_t* Item;
    QString (*Value)(const ConditionRecord&);
};

// The summary table: one item per condition in row order.
const std::array<SummaryItem, 24>& SummaryItems() {
    static const std::array<SummaryItem, 24> items = {{
        {R::KihKaiKind, u"基本情報", u"会員番号", RangeOf<R::KihKaiFrom>},
        {R::KihSeiKind, u"基本情報", u"性別", SexOf},
        {R::KihHjmKind, u"基本情報", u"初回来店日", DateRangeOf<R::KihHjmFrom>},
        {R::KihZipKind, u"基本情報", u"郵便番号", ZipOf},
        {R::KihAdrKind, u"基本情報", u"住所", FieldOf<R::KihAdrText>},
        {R::MisBanKind, u"基本情報", u"登録店番", FieldOf<R::MisBanValue>},
        {R::TosTanKind, u"年齢情報", u"生年月日", DateRangeOf<R::TosTanFrom>},
        {R::TosTukKind, u"年齢情報", u"誕生月", MonthsText},
        {R::TosBarKind, u"年齢情報", u"誕生日", BirthdayOf},
        {R::TosNenKind, u"年齢情報", u"年齢・推定年齢", AgeOf},
        {R::PinGenKind, u"ポイント情報", u"現在ポイント", RangeOf<R::PinGenFrom>},
        {R::PinLifKind, u"ポイント情報", u"生涯ポイント", RangeOf<R::PinLifFrom>},
        {R::PinUseKind, u"ポイント情報", u"利用回数", RangeOf<R::PinUseFrom>},
        {R::PinJunKind, u"ポイント情報", u"累計購買額順位", RangeOf<R::PinJunFrom>},
        {R::PinRaiKind, u"ポイント情報", u"最終来店日", DateRangeOf<R::PinRaiFrom>},
        {R::PinGakKind, u"ポイント情報", u"累計購買額", PurchaseAmountOf},
        {R::DmkHasKind, u"ＤＭ情報", u"前回ＤＭ発送日から", ElapsedOf<R::DmkHasMonths>},
        {R::DmkHKsKind, u"ＤＭ情報", u"ＤＭ送付回数", RangeOf<R::DmkHKsFrom>},
        {R::DmkOsrKind, u"ＤＭ情報", u"ＤＭ送付許諾", ConsentOf<R::DmkOsrValue, false>},
        {R::EmlHasKind, u"メール情報", u"前回メール送信日から", ElapsedOf<R::EmlHasMonths>},
        {R::EmlHKsKind, u"メール情報", u"メール送信回数", RangeOf<R::EmlHKsFrom>},
        {R::EmlOsrKind, u"メール情報", u"メール送信許諾", ConsentOf<R::EmlOsrValue, true>},
        {R::EmlSbtKind, u"メール情報", u"Ｅメール種別", MailTypesText},
        {R::KhMemoKind, u"基本情報", u"メモ", FieldOf<R::KhMemoText>},
    }};
    return items;
}

const QString Hyphens = QString(94, QLatin1Char('-'));

} // namespace

ClassificationNames ClassificationNames::FromTable(const ClassificationTable& table) {
    ClassificationNames names;
    for (int level = 1; level <= ClassificationLevels && level <= table.size(); ++level) {
        names.Levels[level - 1] = table[level - 1].LevelName;
        names.Entries[level - 1] = table[level - 1].Names;
    }
    return names;
}

QString SummaryKindText(const QString& kind) {
    if (kind == ConditionKind::KindInclude)
        return QStringLiteral("指定（含める）  ");
    if (kind == ConditionKind::KindAnd)
        return QStringLiteral("指定（かつ）    ");
    if (kind == ConditionKind::KindExclude)
        return QStringLiteral("除外する        ");
    return QString();
}

QList<ConditionSummaryRow>
BuildConditionSummary(const ConditionRecord& record,
                      const std::array<QString, ClassificationLevels>& levelNames) {
    QList<ConditionSummaryRow> rows;
    for (const QString& kind :
         {ConditionKind::KindAnd, ConditionKind::KindInclude, ConditionKind::KindExclude}) {
        const QString kindText = SummaryKindText(kind);
        for (const SummaryItem& item : SummaryItems())
            if (record[item.KindField] == kind)
                rows.append({QString::fromUtf16(item.Section), QString::fromUtf16(item.Item),
                             kindText, item.Value(record)});
        for (int level = 1; level <= ClassificationLevels; ++level)
            if (record[R::BunKind(level)] == kind)
                rows.append({BunSection, levelNames[level - 1], kindText, BunText(record, level)});
    }
    return rows;
}

QStringList ConditionSummaryLines(const QList<ConditionSummaryRow>& rows,
                                  const ClassificationNames& names) {
    const QString include = SummaryKindText(ConditionKind::KindInclude);
    const QString exclude = SummaryKindText(ConditionKind::KindExclude);
    QStringList lines;
    // The first rows are the "and" ones; a separator opens the include and the exclude group.
    QString previous = SummaryKindText(ConditionKind::KindAnd);
    for (const ConditionSummaryRow& row : rows) {
        if (row.KindText != previous) {
            if (row.KindText == include)
                lines << Hyphens + QStringLiteral("下記で指定の人を付加") +
                             QString(38, QLatin1Char('-'));
            else if (row.KindText == exclude)
                lines << Hyphens + QStringLiteral("下記で指定の人を除外") +
                             QString(39, QLatin1Char('-'));
            previous = row.KindText;
        }
        QString value = row.ValueText;
        if (row.Section == BunSection && !value.isEmpty()) {
            const int level = value.left(1).toInt();
            value.clear();
            if (level >= 1 && level <= ClassificationLevels)
                for (int i = 1; i <= ClassificationEntries && i < row.ValueText.size(); ++i)
                    if (row.ValueText[i] == QLatin1Char('1'))
                        value += QStringLiteral("%1:").arg(i, 2, 10, QLatin1Char('0')) +
                                 names.Entries[level - 1][i - 1] + QLatin1Char(' ');
        }
        lines << row.Section + QLatin1Char(':') + row.Item + QLatin1Char(' ') + row.KindText +
                     QLatin1Char(' ') + value;
    }
    return lines;
}

} // namespace plw
