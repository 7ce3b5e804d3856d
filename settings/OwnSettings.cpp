#include "settings/OwnSettings.h"

#include "app/RecordFile.h"
#include "settings/OutputScreenState.h"

namespace plw {

namespace {

const QString Marker = QStringLiteral("V10OPT");
const QString Letters = QStringLiteral("ABCDEX");
const QString NoComparison = QStringLiteral("NONE");
const QString DirectMail = QStringLiteral("DM");
const QString Mail = QStringLiteral("MAIL");

} // namespace

StoredFileRead ReadOwnSettings(const QString& systemPath, OutputScreenState& state) {
    QByteArray bytes;
    const StoredFileRead read = ReadStoredRecord(systemPath, OwnSettingsRecordLength, &bytes);
    if (!read)
        return read;
    RecordReader reader(bytes);
    if (reader.text() != Marker)
        return StoredFileRead::Damage(QStringLiteral("この設定の記録ではありません"));
    const QString compare = reader.text();
    const QString mailingOn = reader.text();
    const QString groups = reader.text();
    const QString kind = reader.text();
    const QString file = reader.text();

    ComparisonChoice choice;
    if (compare == NoComparison) {
        choice.Choice = ComparisonChoice::Kind::None;
    } else if (!compare.isEmpty()) {
        choice.Choice = ComparisonChoice::Kind::BaseDate;
        choice.BaseDate = QDate::fromString(compare, QStringLiteral("yyyyMMdd"));
        if (!choice.BaseDate.isValid() || compare.size() != 8)
            return StoredFileRead::Damage(
                QStringLiteral("比較する基準日 %1 が正しくありません").arg(compare));
    }
    std::array<bool, 6> chosen{};
    for (QChar letter : groups) {
        const qsizetype g = Letters.indexOf(letter);
        if (g < 0)
            return StoredFileRead::Damage(
                QStringLiteral("宛名リストのグループ %1 が正しくありません").arg(groups));
        chosen[size_t(g)] = true;
    }
    if ((mailingOn != u"1" && mailingOn != u"0") || (kind != DirectMail && kind != Mail))
        return StoredFileRead::Damage(QStringLiteral("宛名リストの設定が正しくありません"));

    state.CompareWith = choice;
    state.MailingList = mailingOn == u"1";
    state.MailingGroups = chosen;
    state.MailingKind = kind == Mail ? MailingConsent::Mail : MailingConsent::DirectMail;
    state.MailingFile = file;
    return read;
}

bool WriteOwnSettings(const QString& systemPath, const OutputScreenState& state, QString* error) {
    RecordWriter writer(OwnSettingsRecordLength);
    writer.text(Marker);
    switch (state.CompareWith.Choice) {
    case ComparisonChoice::Kind::Previous:
        writer.text(QString());
        break;
    case ComparisonChoice::Kind::None:
        writer.text(NoComparison);
        break;
    case ComparisonChoice::Kind::BaseDate:
        writer.text(state.CompareWith.BaseDate.toString(QStringLiteral("yyyyMMdd")));
        break;
    }
    writer.text(state.MailingList ? QStringLiteral("1") : QStringLiteral("0"));
    QString groups;
    for (size_t g = 0; g < 6; ++g)
        if (state.MailingGroups[g])
            groups += Letters.at(qsizetype(g));
    writer.text(groups);
    writer.text(state.MailingKind == MailingConsent::Mail ? Mail : DirectMail);
    writer.text(state.MailingFile);
    return WriteRecord(systemPath, 1, writer, error);
}

} // namespace plw
