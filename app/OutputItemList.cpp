#include "app/OutputItemList.h"

namespace plw {

QStringList BuildOutputItemList(const QStringList& levelNames) {
    QStringList items = {
        QStringLiteral("000:最終購買額"),       QStringLiteral("010:現在(累計)ポイント"),
        QStringLiteral("020:生涯ポイント"),     QStringLiteral("030:最終発行ポイント"),
        QStringLiteral("040:最終交換ポイント"), QStringLiteral("050:ランク"),
        QStringLiteral("060:初回来店日"),       QStringLiteral("070:性別"),
        QStringLiteral("080:生年月日"),         QStringLiteral("090:年齢層（初回来店時点）"),
        QStringLiteral("100:推定年齢"),         QStringLiteral("110:お名前（カナ）"),
        QStringLiteral("120:お名前（漢字）"),   QStringLiteral("130:郵便番号"),
        QStringLiteral("140:住所１"),           QStringLiteral("150:住所２"),
        QStringLiteral("160:住所３"),           QStringLiteral("170:電話番号１"),
        QStringLiteral("180:電話番号２"),       QStringLiteral("190:メモ"),
        QStringLiteral("200:ＤＭ発送"),         QStringLiteral("210:ＤＭ送付回数"),
        QStringLiteral("220:ＤＭ最終送付日"),   QStringLiteral("230:メールお知らせ"),
        QStringLiteral("240:EMAIL送付回数"),    QStringLiteral("250:EMAIL最終送付日"),
        QStringLiteral("260:メール種類"),       QStringLiteral("270:メールアドレス"),
    };
    const QString codes[] = {QStringLiteral("280:"), QStringLiteral("290:"), QStringLiteral("300:"),
                             QStringLiteral("310:")};
    for (int level = 0; level < 4; ++level)
        items << codes[level] + levelNames.value(level);
    return items;
}

QStringList ItemsToOutput(const QStringList& items, const QStringList& leftOut) {
    QStringList shown;
    for (const QString& item : items)
        if (!leftOut.contains(item))
            shown << item;
    return shown;
}

} // namespace plw
