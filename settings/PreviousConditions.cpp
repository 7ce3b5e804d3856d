#include "settings/PreviousConditions.h"

#include "app/FileSystem.h"
#include "extract/ConditionRecord.h"
#include "settings/ParameterMapping.h"

#include <QFileInfo>

namespace plw {

bool LoadPreviousConditions(const QString& savedConditionPath, const ParameterScreenState& screen,
                            ConditionRecord& record, QString* error) {
    ConditionRecord previous;
    if (!ReadConditionFile(savedConditionPath, previous)) {
        const QFileInfo file(ToNativePath(savedConditionPath));
        if (file.exists() && (file.isDir() || file.size() > 0)) {
            if (error)
                *error =
                    QStringLiteral("前回の抽出条件 %1 を読み込めませんでした。\r"
                                   "ファイルが壊れているか、抽出条件のファイルではありません。")
                        .arg(savedConditionPath);
            return false;
        }
    }
    SetLastVisitCondition(screen, previous);
    record = previous;
    return true;
}

} // namespace plw
