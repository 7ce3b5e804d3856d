#include "settings/TemplateCallers.h"

#include "app/AnsiCodec.h"
#include "app/Prompter.h"
#include "extract/ConditionModule.h"
#include "settings/ParameterScreenState.h"
#include "settings/TemplateFiles.h"

namespace plw {

namespace {

// The bytes an F02 file keeps of each threshold.
constexpr qsizetype ThresholdWidth = 4;

bool Writing(const QString& mode) {
    return mode == QLatin1String("WR");
}

bool Reading(const QString& mode) {
    return mode == QLatin1String("RE");
}

bool Report(bool done, const QString& mode, const QString& error, Prompter& prompter) {
    if (!done)
        prompter.show((Writing(mode) ? QStringLiteral("テンプレートを保存できませんでした。\r")
                                     : QStringLiteral("テンプレートを読み込めませんでした。\r")) +
                          error,
                      MessageIcon::Critical);
    return done;
}

} // namespace

bool ConditionTemplate(const QString& mode, const QString& path, ConditionModule& conditions,
                       Prompter& prompter) {
    QString error;
    if (Writing(mode))
        return Report(WriteConditionTemplate(path, conditions.TemplateRecord(), &error), mode,
                      error, prompter);
    if (!Reading(mode))
        return false;
    ConditionRecord record;
    if (!Report(ReadConditionTemplate(path, record, &error), mode, error, prompter))
        return false;
    conditions.LoadTemplate(record);
    return true;
}

bool GroupTemplate(const QString& mode, const QString& path, ParameterScreenState& screen,
                   Prompter& prompter) {
    QString error;
    if (Writing(mode))
        return Report(WriteGroupTemplate(path, screen.GroupMatrix, &error), mode, error, prompter);
    if (!Reading(mode))
        return false;
    std::array<QString, 125> letters;
    if (!Report(ReadGroupTemplate(path, letters, &error), mode, error, prompter))
        return false;
    screen.GroupMatrix = letters;
    return true;
}

bool ThresholdTemplate(const QString& mode, const QString& path, ParameterScreenState& screen,
                       Prompter& prompter) {
    QString error;
    ThresholdTexts thresholds{screen.RThreshold, screen.FThreshold, screen.MThreshold};
    if (Writing(mode))
        return Report(WriteThresholdTemplate(path, thresholds, &error), mode, error, prompter);
    if (!Reading(mode))
        return false;
    if (!Report(ReadThresholdTemplate(path, thresholds, &error), mode, error, prompter))
        return false;
    screen.RThreshold = thresholds.R;
    screen.FThreshold = thresholds.F;
    screen.MThreshold = thresholds.M;
    return true;
}

QString ThresholdTemplateCheck(const ParameterScreenState& screen) {
    const std::array<std::pair<QChar, const std::array<QString, 5>*>, 3> dimensions{{
        {u'Ｒ', &screen.RThreshold},
        {u'Ｆ', &screen.FThreshold},
        {u'Ｍ', &screen.MThreshold},
    }};
    for (const auto& [letter, values] : dimensions) {
        // Rank 1 only echoes rank 2: the ranks the operator types, from the best.
        for (int rank = 5; rank >= 2; --rank) {
            const QString& value = (*values)[static_cast<size_t>(rank - 1)];
            if (AnsiCodec::byteLength(value) > ThresholdWidth)
                return QStringLiteral("%1 のランク%2「%3」は４文字を超えるため、"
                                      "テンプレートに保存できません")
                    .arg(letter)
                    .arg(QChar(0xFF10 + rank))
                    .arg(value);
        }
    }
    return QString();
}

} // namespace plw
