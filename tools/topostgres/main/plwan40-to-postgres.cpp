// plwan40-to-postgres --location FILE CONNECTION [--base-schema S] [--work-schema S]
// [--refresh]: puts an installation's databases on a PostgreSQL server.

#include "tools/topostgres/CopyInstallation.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void printLine(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// Prints the help, or the problem and where the help is; the exit status: 2 for a problem. The
// help's shape (forms, then options, each indented by two blanks) is what the manual pages are
// made from.
int usage(const QString& problem) {
    if (!problem.isEmpty()) {
        printLine(stderr,
                  QStringLiteral("plwan40-to-postgres: ") + problem +
                      QStringLiteral("\n使い方は plwan40-to-postgres --help で表示されます。"));
        return 2;
    }
    printLine(
        stdout,
        QStringLiteral(
            "ポイント顧客分析（ＲＦＭ分析）のデータベースを PostgreSQL サーバーに写します\n"
            "\n"
            "使い方:\n"
            "  plwan40-to-postgres --location FILE CONNECTION [--base-schema S] "
            "[--work-schema S] [--refresh]\n"
            "      場所ファイル FILE が示すシステムの２つの SQLite データベース（PLW_TRN.MDB、\n"
            "      DATA/PLW_MST.MDB）の基本テーブルを、CONNECTION が示す PostgreSQL サーバーの\n"
            "      基本スキーマに索引とともに COPY で写し、行数を確かめてから、システム緒言の\n"
            "      フォルダに接続ファイル PLWAN40PG.INI を書きます。以後の分析はそのサーバーを\n"
            "      使います。表がすでにある基本スキーマには写しません。CONNECTION は libpq の\n"
            "      接続文字列または \"service=名前\" です。パスワードは書かず、~/.pgpass、\n"
            "      サービスファイルまたは PGPASSWORD で渡します。\n"
            "\n"
            "オプション:\n"
            "  --location FILE      写すシステムの場所ファイル。\n"
            "  --base-schema S      基本テーブルのスキーマ（既定 "
            "plwan40_<システムフォルダ>_<ハッシュ>）。\n"
            "  --work-schema S      作業テーブルのスキーマ（既定 基本スキーマ名 + _work）。\n"
            "  --refresh            写したテーブルの行を、テーブルごとに１つのトランザクションで\n"
            "                       ファイルから入れ替えます（夜間の処理用）。\n"
            "  -h, --help           この説明を表示します。\n"
            "\n"
            "終了コード: 0 写しました、1 写せませんでした（理由を表示します）、2 "
            "コマンドラインの誤り。"));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    plw::topostgres::CopyOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&](QString* out) {
            if (i + 1 >= args.size())
                return false;
            *out = args[++i];
            return true;
        };
        if (arg == QLatin1String("--location")) {
            if (!value(&options.LocationFile))
                return usage(QStringLiteral("--location には場所ファイルを指定してください"));
        } else if (arg == QLatin1String("--base-schema")) {
            if (!value(&options.BaseSchema))
                return usage(QStringLiteral("--base-schema にはスキーマ名を指定してください"));
        } else if (arg == QLatin1String("--work-schema")) {
            if (!value(&options.WorkSchema))
                return usage(QStringLiteral("--work-schema にはスキーマ名を指定してください"));
        } else if (arg == QLatin1String("--refresh")) {
            options.Refresh = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return usage(QString());
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage(QStringLiteral("不明なオプションです: ") + arg);
        } else if (options.Connection.isEmpty()) {
            options.Connection = arg;
        } else {
            return usage(QStringLiteral("接続は１つだけ指定してください"));
        }
    }
    if (options.LocationFile.isEmpty())
        return usage(QStringLiteral("--location で場所ファイルを指定してください"));
    if (options.Connection.isEmpty())
        return usage(QStringLiteral("接続（CONNECTION）を指定してください"));
    options.Progress = [](const QString& line) {
        printLine(stderr, line);
    };

    plw::topostgres::CopyResult result;
    QString error;
    if (!plw::topostgres::CopyInstallation(options, &result, &error)) {
        printLine(stderr, QStringLiteral("plwan40-to-postgres: ") + error);
        return 1;
    }
    for (const auto& [table, rows] : result.Tables)
        printLine(stdout, QStringLiteral("%1: %2 行").arg(table).arg(rows));
    printLine(stdout, QStringLiteral("接続ファイル: ") + result.ConnectionFile);
    return 0;
}
