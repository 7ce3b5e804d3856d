#include "program/ThresholdSuggestion.h"

#include "rfm/RankDistribution.h"
#include "settings/ParameterScreenState.h"

namespace plw {

QStringList SuggestionLines(const RankDistribution& distribution,
                            const ParameterScreenState& screen) {
    struct Row {
        Dimension Of;
        QChar Letter;
        const Thresholds& Now;
        EqualSplit Suggested;
    };
    const Row rows[] = {
        {Dimension::R, u'R', screen.RThreshold, distribution.splitEqually(Dimension::R)},
        {Dimension::F, u'F', screen.FThreshold, distribution.splitEqually(Dimension::F)},
        {Dimension::M, u'M', screen.MThreshold, distribution.splitEqually(Dimension::M)},
    };
    const RankCounts now =
        distribution.count(screen.RThreshold, screen.FThreshold, screen.MThreshold);
    const RankCounts suggested = distribution.count(
        rows[0].Suggested.Values, rows[1].Suggested.Values, rows[2].Suggested.Values);

    QStringList lines{
        QStringLiteral("次元,ランク,現在のしきい値,現在の人数,提案のしきい値,提案での人数")};
    for (const Row& row : rows) {
        for (int rank = 5; rank >= 1; --rank) {
            const size_t threshold = size_t(rank == 1 ? 2 : rank) - 1;
            lines << QStringList{row.Letter,
                                 QString::number(rank),
                                 ThresholdValue(row.Now[threshold]).toString(),
                                 QString::number(now.ofRank(row.Of, rank)),
                                 row.Suggested.Values[threshold],
                                 QString::number(suggested.ofRank(row.Of, rank))}
                         .join(u',');
        }
    }
    static const QString Letters = QStringLiteral("ABCDEX");
    const std::array<CustomerTotal, 6> groups = CountGroups(now, screen.GroupMatrix);
    for (size_t g = 0; g < groups.size(); ++g)
        lines << QStringList{Letters.at(qsizetype(g)), QString::number(groups[g].Customers),
                             QString::number(groups[g].AmountYen)}
                     .join(u',');
    return lines;
}

} // namespace plw
