#include "bench/RfmPeer.h"

#include "app/CommonRoutines.h"
#include "bench/Phases.h"
#include "extract/ConditionSql.h"
#include "program/Session.h"
#include "settings/ParameterMapping.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <stdexcept>

namespace plw::bench {

namespace {

using R = ConditionRecord;

void Refuse(const QString& why) {
    throw std::runtime_error(
        (QStringLiteral("the pandas peer cannot reproduce this analysis: ") + why).toStdString());
}

template <typename Texts> QJsonArray ArrayOf(const Texts& texts) {
    QJsonArray array;
    for (const QString& text : texts)
        array.append(text);
    return array;
}

// The extraction conditions must select exactly what the last-visit period alone selects.
void CheckConditions(Session& session, QJsonObject& settings) {
    ConditionRecord record;
    session.Conditions->Run(ConditionModule::Mode::Get, ConditionCaller::Analysis, record);
    ConditionRecord period = ClearedConditionRecord(ConditionCaller::Analysis);
    for (const int field : {R::PinRaiKind, R::PinRaiFrom, R::PinRaiTo, R::PinRaiMonths})
        period[field] = record[field];
    const ConditionSql own = BuildConditionSql(record, session.Time);
    const ConditionSql alone = BuildConditionSql(period, session.Time);
    if (own.Selection != alone.Selection || own.Exclusion != alone.Exclusion ||
        record[R::TosNenKind] != ConditionKind::KindNone ||
        record[R::PinJunKind] != ConditionKind::KindNone)
        Refuse(QStringLiteral("extraction conditions besides the last-visit period"));
    if (record[R::PinRaiKind] != ConditionKind::KindAnd || ToLong(record[R::PinRaiFrom]) == 0 ||
        ToLong(record[R::PinRaiTo]) == 0)
        Refuse(QStringLiteral("no last-visit period with both days given"));
    settings[QStringLiteral("lastVisitFrom")] = record[R::PinRaiFrom];
    settings[QStringLiteral("lastVisitTo")] = record[R::PinRaiTo];
}

qint64 Number(const QString& line, const QString& key) {
    bool ok = false;
    const qint64 n = line.mid(key.size() + 1).toLongLong(&ok);
    if (!ok)
        throw std::runtime_error((QStringLiteral("the peer printed ") + line).toStdString());
    return n;
}

} // namespace

QString AnalysisCounts::toString() const {
    QStringList groups;
    for (const qint64 n : Groups)
        groups << QString::number(n);
    return QStringLiteral("%1 extracted, groups %2").arg(Extracted).arg(groups.join(u' '));
}

QJsonObject PeerSettings(Session& session) {
    const ParameterScreenState& screen = session.ParameterScreen;
    if (screen.DetailPeriodOn)
        Refuse(QStringLiteral("a detailed purchase period"));
    QJsonObject settings;
    CheckConditions(session, settings);
    settings[QStringLiteral("baseDate")] = screen.BaseDate;
    settings[QStringLiteral("r")] = ArrayOf(screen.RThreshold);
    settings[QStringLiteral("f")] = ArrayOf(screen.FThreshold);
    settings[QStringLiteral("m")] = ArrayOf(screen.MThreshold);
    settings[QStringLiteral("matrix")] = ArrayOf(screen.GroupMatrix);

    // The output settings become parameters as the run's confirmation makes them.
    AnalysisParameters parameters = session.Parameters;
    OutputScreenToParameters(session.OutputScreen, parameters);
    settings[QStringLiteral("listOrder")] = parameters.ListOrder;
    QString groups;
    const QString* flags[] = {&parameters.ListGroupA, &parameters.ListGroupB,
                              &parameters.ListGroupC, &parameters.ListGroupD,
                              &parameters.ListGroupE, &parameters.ListGroupX};
    for (int g = 0; g < 6; ++g)
        if (*flags[g] == u"1")
            groups += QLatin1Char("ABCDEX"[g]);
    settings[QStringLiteral("listGroups")] = groups;
    const int removed =
        qBound(0, int(ToInteger(parameters.ListItemCount)), AnalysisParameters::ListItemCapacity);
    QJsonArray codes;
    for (int i = 0; i < removed; ++i)
        codes.append(parameters.ListItems[size_t(i)].left(3));
    settings[QStringLiteral("removedItems")] = codes;

    QJsonArray levels;
    const ClassificationTable& table = session.Conditions->Classifications();
    for (int level = 1; level <= ClassificationLevels && level <= table.size(); ++level) {
        const Classification& entry = table.at(level - 1);
        levels.append(QJsonObject{{QStringLiteral("title"), LevelName(table, level)},
                                  {QStringLiteral("codes"), ArrayOf(entry.Codes)},
                                  {QStringLiteral("names"), ArrayOf(entry.Names)}});
    }
    settings[QStringLiteral("classifications")] = levels;
    return settings;
}

PeerRun RunPeer(const QString& dir, const QJsonObject& settings) {
    const QString settingsPath = dir + QStringLiteral("/peer-settings.json");
    QFile file(settingsPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(settings).toJson()) < 0 ||
        !file.flush())
        throw std::runtime_error((QStringLiteral("cannot write ") + settingsPath).toStdString());
    file.close();

    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(QStringLiteral(PLWAN40_PEER_PYTHON),
               {QStringLiteral(PLWAN40_PEER_SCRIPT), settingsPath, TransactionDatabase(dir),
                dir + QStringLiteral("/peer-list.xlsx")});
    if (!peer.waitForFinished(-1) || peer.exitStatus() != QProcess::NormalExit ||
        peer.exitCode() != 0)
        throw std::runtime_error(
            QStringLiteral("the pandas peer (%1 %2) failed: %3")
                .arg(QStringLiteral(PLWAN40_PEER_PYTHON), QStringLiteral(PLWAN40_PEER_SCRIPT),
                     peer.error() == QProcess::FailedToStart
                         ? peer.errorString()
                         : QStringLiteral("exit status %1").arg(peer.exitCode()))
                .toStdString());

    PeerRun run;
    int seen = 0;
    for (const QString& line : QString::fromUtf8(peer.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(u"EXTRACTED ")) {
            run.Counts.Extracted = Number(line, QStringLiteral("EXTRACTED"));
            seen |= 1;
        } else if (line.startsWith(u"GROUPS ")) {
            const QStringList counts = line.mid(7).split(u' ');
            if (counts.size() != 6)
                throw std::runtime_error(
                    (QStringLiteral("the peer printed ") + line).toStdString());
            for (int g = 0; g < 6; ++g)
                run.Counts.Groups[size_t(g)] = counts[g].toLongLong();
            seen |= 2;
        } else if (line.startsWith(u"LISTED ")) {
            run.Listed = Number(line, QStringLiteral("LISTED"));
            seen |= 4;
        } else if (line.startsWith(u"TIMES ")) {
            run.Times = line.mid(6);
        }
    }
    if (seen != 7)
        throw std::runtime_error("the pandas peer printed no counts");
    return run;
}

} // namespace plw::bench
