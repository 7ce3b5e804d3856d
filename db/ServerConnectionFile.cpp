#include "db/ServerConnectionFile.h"

#include "app/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <libpq-fe.h>

namespace plw::db {
namespace {

const char TimeFormat[] = "yyyy-MM-ddTHH:mm:ss.zzz";

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString(QLatin1String(TimeFormat)) + QLatin1Char('Z')
                          : QString();
}

} // namespace

QString CheckConnectionString(const QString& connection) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.toUtf8().constData(), &message);
    if (!options) {
        const QString cause = QString::fromUtf8(message ? message : "").trimmed();
        PQfreemem(message);
        return QStringLiteral("接続文字列を読めません（%1）").arg(cause);
    }
    bool password = false;
    for (const PQconninfoOption* option = options; option->keyword; ++option)
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            password = true;
    PQconninfoFree(options);
    if (password)
        return QStringLiteral("接続文字列にパスワードが書かれています。パスワードは PostgreSQL の"
                              "パスワードファイル（~/.pgpass）などで与えてください");
    return {};
}

bool IsPlainSchemaName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    return plain.match(name).hasMatch();
}

QDateTime DatabaseFileChanged(const QString& systemPath) {
    const QString native = ToNativePath(systemPath);
    QDateTime changed = QFileInfo(native).lastModified();
    const QFileInfo log(native + QStringLiteral("-wal"));
    if (log.exists() && log.size() > 0 && log.lastModified() > changed)
        changed = log.lastModified();
    return changed;
}

bool ReadServerConnectionFile(const QString& systemPath, std::optional<ServerConnection>* out,
                              QString* error) {
    out->reset();
    const QString native = ToNativePath(systemPath);
    if (systemPath.isEmpty() || !QFileInfo::exists(native))
        return true;
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 を読めません（%2）").arg(native, file.errorString());
        return false;
    }
    ServerConnection connection;
    int number = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        auto damaged = [&](const QString& why) {
            *error = QStringLiteral("%1 の %2 行目: %3").arg(native).arg(number).arg(why);
            return false;
        };
        if (equals < 0)
            return damaged(QStringLiteral("「キー = 値」の形ではありません"));
        if (key == u"connection") {
            connection.Connection = value;
        } else if (key == u"base_schema" || key == u"work_schema") {
            if (!IsPlainSchemaName(value))
                return damaged(QStringLiteral("スキーマ名「%1」は英小文字・数字・_ で"
                                              "書いてください")
                                   .arg(value));
            (key == u"base_schema" ? connection.BaseSchema : connection.WorkSchema) = value;
        } else if (key == u"transaction_copied" || key == u"master_copied") {
            const QDateTime time = QDateTime::fromString(value, Qt::ISODateWithMs);
            if (!time.isValid())
                return damaged(QStringLiteral("日時「%1」を読めません").arg(value));
            (key == u"transaction_copied" ? connection.TransactionCopied
                                          : connection.MasterCopied) = time;
        } else {
            return damaged(QStringLiteral("知らないキー「%1」です").arg(key));
        }
    }
    if (connection.Connection.isEmpty() || connection.BaseSchema.isEmpty() ||
        connection.WorkSchema.isEmpty()) {
        *error = QStringLiteral("%1 に connection、base_schema、work_schema のどれかが"
                                "ありません")
                     .arg(native);
        return false;
    }
    if (const QString why = CheckConnectionString(connection.Connection); !why.isEmpty()) {
        *error = native + QStringLiteral(": ") + why;
        return false;
    }
    *out = connection;
    return true;
}

bool WriteServerConnectionFile(const QString& systemPath, const ServerConnection& connection,
                               QString* error) {
    QString text = QStringLiteral(
        "# PLWAN40: この導入先のデータベースは PostgreSQL サーバーにあります。\n"
        "# パスワードは書きません（~/.pgpass、サービスファイル、環境変数で与えます）。\n");
    text += QStringLiteral("connection = %1\n").arg(connection.Connection);
    text += QStringLiteral("base_schema = %1\n").arg(connection.BaseSchema);
    text += QStringLiteral("work_schema = %1\n").arg(connection.WorkSchema);
    if (connection.TransactionCopied.isValid())
        text +=
            QStringLiteral("transaction_copied = %1\n").arg(timeText(connection.TransactionCopied));
    if (connection.MasterCopied.isValid())
        text += QStringLiteral("master_copied = %1\n").arg(timeText(connection.MasterCopied));
    return WriteFileAtomically(systemPath, text.toUtf8(), error);
}

} // namespace plw::db
