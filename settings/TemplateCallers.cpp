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

bool Report(bool done, TemplateAction action, const QString& error, Prompter& prompter) {
    if (!done)
        prompter.show((action == TemplateAction::Save
                           ? QStringLiteral("テンプレートを保存できませんでした。\r")
                           : QStringLiteral("テンプレートを読み込めませんでした。\r")) +
                          error,
                      MessageIcon::Critical);
    return done;
}

} // namespace

bool ConditionTemplate(TemplateAction action, const QString& path, ConditionModule& conditions,
                       Prompter& prompter) {
    QString error;
    if (action == TemplateAction::Save)
        return Report(WriteConditionTemplate(path, conditions.TemplateRecord(), &error), action,
                      error, prompter);
    if (action != TemplateAction::Load)
        return false;
    ConditionRecord record;
    if (!Report(ReadConditionTemplate(path, record, &error), action, error, prompter))
        return false;
    conditions.LoadTemplate(record);
    return true;
}

bool GroupTemplate(TemplateAction action, const QString& path, ParameterScreenState& screen,
                   Prompter& prompter) {
    QString error;
    if (action == TemplateAction::Save)
        return Report(WriteGroupTemplate(path, screen.GroupMatrix, &error), action, error,
                      prompter);
    if (action != TemplateAction::Load)
        return false;
    std::array<QString, 125> letters;
    if (!Report(ReadGroupTemplate(path, letters, &error), action, error, prompter))
        return false;
    screen.GroupMatrix = letters;
    return true;
}

bool ThresholdTemplate(TemplateAction action, const QString& path, ParameterScreenState& screen,
                       Prompter& prompter) {
    QString error;
    ThresholdTexts thresholds{screen.RThreshold, screen.FThreshold, screen.MThreshold};
    if (action == TemplateAction::Save)
        return Report(WriteThresholdTemplate(path, thresholds, &error), action, error, prompter);
    if (action != TemplateAction::Load)
        return false;
    if (!Report(ReadThresholdTemplate(path, thresholds, &error), action, error, prompter))
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
