#include "rfm/MailingList.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/FileSystem.h"
#include "db/Database.h"

#include <utility>

namespace plw {

namespace {

const QString Letters = QStringLiteral("ABCDEX");
constexpr qsizetype ChunkBytes = 1 << 20;

// One CSV row being built in CP932.
class CsvRow {
public:
    explicit CsvRow(MailingResult& result) : mResult(result) {}

    // A text field: guarded against formulas, quoted, its quotes doubled.
    void text(const QString& value) {
        bool guarded = false;
        QString field = GuardedText(value, &guarded);
        if (guarded)
            ++mResult.Guarded;
        field.replace(u'"', QStringLiteral("\"\""));
        append(
            AnsiCodec::encodeSubstituting(u'"' + field + u'"', QChar(0x3013), &mResult.Replaced));
    }
    void number(qint64 value) { append(QByteArray::number(value)); }

    // The row with its line end.
    QByteArray take() {
        mBytes += "\r\n";
        mFields = 0;
        return std::exchange(mBytes, QByteArray());
    }

private:
    void append(const QByteArray& bytes) {
        if (mFields++ > 0)
            mBytes += ',';
        mBytes += bytes;
    }

    MailingResult& mResult;
    QByteArray mBytes;
    int mFields = 0;
};

QString Headings(MailingConsent consent) {
    QStringList headings = {QStringLiteral("会員番号"), QStringLiteral("氏名"),
                            QStringLiteral("フリガナ"), QStringLiteral("郵便番号"),
                            QStringLiteral("住所１"),   QStringLiteral("住所２"),
                            QStringLiteral("住所３"),   QStringLiteral("電話番号")};
    if (consent == MailingConsent::Mail)
        headings << QStringLiteral("メールアドレス");
    headings << QStringLiteral("グループ") << QStringLiteral("RFM値")
             << QStringLiteral("最終来店日") << QStringLiteral("累計購買額");
    return headings.join(u',');
}

// "YYYY/MM/DD" of a stored date; "" when it holds none.
QString LastVisitText(const QString& date) {
    const QString trimmed = TrimAll(date);
    if (trimmed.size() != 8 || trimmed.toLongLong() <= 0)
        return QString();
    return DateToSlashText(trimmed);
}

} // namespace

MailingFit MailingFitOf(MailingConsent consent, const MailingContact& contact) {
    const bool mail = consent == MailingConsent::Mail;
    if (TrimAll(mail ? contact.MailConsent : contact.DirectMailConsent) != u"1")
        return MailingFit::WithoutConsent;
    if (TrimAll(mail ? contact.MailAddress : contact.Address1).isEmpty())
        return MailingFit::WithoutAddress;
    return MailingFit::Listed;
}

QString GuardedText(const QString& text, bool* guarded) {
    static const QString FormulaStarts = QStringLiteral("=+-@\t\r");
    const bool guard = !text.isEmpty() && FormulaStarts.contains(text.at(0));
    if (guarded)
        *guarded = guard;
    return guard ? u'\'' + text : text;
}

QString PostcodeText(const QString& postcode) {
    const QString trimmed = TrimAll(postcode);
    if (trimmed.size() != 7)
        return trimmed;
    for (QChar c : trimmed)
        if (c < u'0' || c > u'9')
            return trimmed;
    return trimmed.left(3) + u'-' + trimmed.mid(3);
}

bool WriteMailingList(db::Database& database, const QString& workTable,
                      const MailingRequest& request, MailingResult* result, QString* error) {
    MailingResult counts;
    const bool mail = request.Consent == MailingConsent::Mail;
    QStringList groups;
    for (int g = 0; g < 6; ++g)
        if (request.Groups[size_t(g)])
            groups << QStringLiteral("'%1'").arg(Letters.at(g));
    // Personal data: readable by its owner alone from the first byte.
    FileReplacement file;
    if (!file.open(request.Path, FileReplacement::Access::OwnerOnly)) {
        *error = file.errorString();
        return false;
    }
    CsvRow row(counts);
    QByteArray chunk =
        AnsiCodec::encodeSubstituting(Headings(request.Consent), QChar(0x3013), &counts.Replaced) +
        "\r\n";
    try {
        auto customers = database.openRecordset(
            QStringLiteral("SELECT M1KaiBan, M1KhNamZ, M1KhNamH, M1KhZIPC, M1KhADD1, M1KhADD2, "
                           "M1KhADD3, M1KhTEL1, M1KhTEL2, M1EmaAdr, M1DmmOsr, M1EmaOsr, グループ, "
                           "RFM値, M1SakHby, M1SakRgk FROM %1 WHERE グループ IN (%2) ORDER BY "
                           "グループ, M1KaiBan")
                .arg(workTable, groups.isEmpty() ? QStringLiteral("''") : groups.join(u',')));
        for (; !customers->eof(); customers->moveNext()) {
            const QString group = TrimAll(customers->text(u"グループ"));
            const MailingFit fit = MailingFitOf(
                request.Consent, {customers->text(u"M1DmmOsr"), customers->text(u"M1KhADD1"),
                                  customers->text(u"M1EmaOsr"), customers->text(u"M1EmaAdr")});
            if (fit == MailingFit::WithoutConsent) {
                ++counts.WithoutConsent;
                continue;
            }
            if (fit == MailingFit::WithoutAddress) {
                ++counts.WithoutAddress;
                continue;
            }
            ++counts.Listed[size_t(Letters.indexOf(group))];
            QString telephone = TrimAll(customers->text(u"M1KhTEL1"));
            if (telephone.isEmpty())
                telephone = TrimAll(customers->text(u"M1KhTEL2"));
            row.text(TrimAll(customers->text(u"M1KaiBan")));
            row.text(TrimAll(customers->text(u"M1KhNamZ")));
            row.text(TrimAll(customers->text(u"M1KhNamH")));
            row.text(PostcodeText(customers->text(u"M1KhZIPC")));
            for (const char16_t* line : {u"M1KhADD1", u"M1KhADD2", u"M1KhADD3"})
                row.text(TrimAll(customers->text(QStringView(line))));
            row.text(telephone);
            if (mail)
                row.text(TrimAll(customers->text(u"M1EmaAdr")));
            row.text(group);
            row.text(TrimAll(customers->text(u"RFM値")));
            row.text(LastVisitText(customers->text(u"M1SakHby")));
            row.number(customers->integer(u"M1SakRgk"));
            chunk += row.take();
            if (chunk.size() >= ChunkBytes && !file.write(std::exchange(chunk, QByteArray()))) {
                *error = file.errorString();
                return false;
            }
        }
    } catch (const db::DatabaseError& failure) {
        *error = failure.message();
        return false;
    }
    if (!file.write(chunk) || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    *result = counts;
    return true;
}

} // namespace plw
