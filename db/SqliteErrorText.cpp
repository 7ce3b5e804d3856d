#include "db/SqliteErrorText.h"

#include "app/FileSystem.h"

#include <QDir>
#include <QRegularExpression>

#include <cerrno>
#include <sqlite3.h>

namespace plw::db {

QString SqliteErrorText(int code, const QString& message, const QString& databasePath,
                        int systemError) {
    const QString database =
        QStringLiteral("データベース %1 ").arg(QDir::toNativeSeparators(databasePath));
    // The system's cause, where a file operation gave one.
    const QString because =
        systemError != 0 ? QStringLiteral(": ") + SystemErrorText(systemError) : QString();
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return database + QStringLiteral("は他のプログラムが使用中です（ロックされています）。"
                                         "しばらくしてから、もう一度実行してください");
    case SQLITE_FULL:
        return database + QStringLiteral("に書き込めません: ") + SystemErrorText(ENOSPC);
    case SQLITE_READONLY:
        return database + QStringLiteral("に書き込めません: 読み取り専用です");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return database + QStringLiteral("が壊れています");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return database + QStringLiteral("にアクセスする権限がありません");
    case SQLITE_NOMEM:
        return database + QStringLiteral("の処理中にメモリが足りなくなりました");
    case SQLITE_CANTOPEN:
        return database + QStringLiteral("を開けません") + because;
    case SQLITE_IOERR:
        return database + QStringLiteral("の読み書きでエラーが発生しました") + because;
    default:
        break;
    }
    // A master without a column the program reads, or a table missing, is named.
    static const QRegularExpression noSuch(QStringLiteral("^no such (table|column): (.+)$"));
    static const QRegularExpression syntax(QStringLiteral("^near \"(.*)\": syntax error$"));
    if (const QRegularExpressionMatch match = noSuch.match(message); match.hasMatch())
        return database +
               QStringLiteral("に%1「%2」がありません")
                   .arg(match.captured(1) == u"table" ? QStringLiteral("表") : QStringLiteral("列"),
                        match.captured(2));
    if (const QRegularExpressionMatch match = syntax.match(message); match.hasMatch())
        return database +
               QStringLiteral("で SQL 文の「%1」の近くに誤りがあります").arg(match.captured(1));
    return database + QStringLiteral("の処理でエラーが発生しました（SQLite: %1）").arg(message);
}

} // namespace plw::db
