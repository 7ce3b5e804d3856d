// plwan40-sample DIR [--customers N] [--seed S] [--history-rows H] [--screen-side MIGI|HIDA]
// [--postgres CONNECTION]: writes a sample installation of the suite.

#include "tools/sample/SampleInstallation.h"

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
        printLine(stderr, QStringLiteral("plwan40-sample: ") + problem +
                              QStringLiteral("\n使い方は plwan40-sample --help で表示されます。"));
        return 2;
    }
    printLine(
        stdout,
        QStringLiteral(
            "ポイント顧客分析（ＲＦＭ分析）のサンプル環境を作成します\n"
            "\n"
            "使い方:\n"
            "  plwan40-sample DIR [--customers N] [--seed S] [--history-rows H] "
            "[--screen-side MIGI|HIDA] [--postgres CONNECTION]\n"
            "      フォルダ DIR に、合成した顧客とポイント履歴を持つサンプル環境を作成します。\n"
            "      DIR/場所PLW.TWS がシステムフォルダ DIR/PLW/ を指し、DIR/PLW/WORK/ "
            "が作業フォルダ\n"
            "      です。日付はすべて 2026年11月30日 より前です。\n"
            "\n"
            "オプション:\n"
            "  --customers N        顧客の数（0〜%1、既定 200）。\n"
            "  --seed S             データを決める数（0〜4294967295、既定 1）。同じ数からは同じ\n"
            "                       データができます。\n"
            "  --history-rows H     顧客１人あたりのポイント履歴のおよその行数（1〜100、既定 "
            "10）。\n"
            "  --screen-side MIGI|HIDA\n"
            "                       システム緒言の画面位置: MIGI は画面の右半分、HIDA は左半分に\n"
            "                       画面を置きます（既定は空欄で、置き直しません）。\n"
            "  --postgres CONNECTION\n"
            "                       データベースを、CONNECTION（libpq の接続文字列または\n"
            "                       \"service=名前\"、パスワードなし）の PostgreSQL サーバーに\n"
            "                       COPY で書き込み、plwan40-to-postgres "
            "と同じスキーマを使います。\n"
            "                       プログラムは DIR/PLW/PLWAN40PG.INI でそのサーバーを使います。\n"
            "  -h, --help           この説明を表示します。")
            .arg(plw::sample::MaxSampleCustomers));
    return 0;
}

bool number(const QString& text, qint64 low, qint64 high, qint64* value) {
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    plw::sample::SampleOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&](qint64 low, qint64 high, qint64* out) {
            return i + 1 < args.size() && number(args[++i], low, high, out);
        };
        qint64 v = 0;
        if (arg == QLatin1String("--customers")) {
            if (!value(0, plw::sample::MaxSampleCustomers, &v))
                return usage(QStringLiteral("--customers には 0〜%1 の顧客数を指定してください")
                                 .arg(plw::sample::MaxSampleCustomers));
            options.customers = static_cast<int>(v);
        } else if (arg == QLatin1String("--seed")) {
            if (!value(0, 0xFFFFFFFFLL, &v))
                return usage(QStringLiteral("--seed には 0〜4294967295 の数を指定してください"));
            options.seed = static_cast<quint32>(v);
        } else if (arg == QLatin1String("--history-rows")) {
            if (!value(1, 100, &v))
                return usage(QStringLiteral("--history-rows には 1〜100 の数を指定してください"));
            options.historyRowsPerCustomer = static_cast<int>(v);
        } else if (arg == QLatin1String("--screen-side")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("--screen-side には値を指定してください"));
            options.screenSide = args[++i];
        } else if (arg == QLatin1String("--postgres")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("--postgres には接続文字列を指定してください"));
            options.postgres = args[++i];
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return usage(QString());
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage(QStringLiteral("不明なオプションです: ") + arg);
        } else if (options.folder.isEmpty()) {
            options.folder = arg;
        } else {
            return usage(QStringLiteral("フォルダは１つだけ指定してください"));
        }
    }
    if (options.folder.isEmpty())
        return usage(QStringLiteral("フォルダを指定してください"));

    if (options.customers >= 100000) {
        options.progress = [](qint64 done, qint64 total) {
            std::fprintf(stderr, "\r%lld / %lld", static_cast<long long>(done),
                         static_cast<long long>(total));
            if (done == total)
                std::fputc('\n', stderr);
        };
    }
    QString error;
    plw::sample::SampleSummary summary;
    if (!plw::sample::WriteSampleInstallation(options, &error, &summary)) {
        printLine(stderr, QStringLiteral("plwan40-sample: ") + error);
        return 1;
    }
    printLine(stdout, QStringLiteral("顧客 %1 人、ポイント履歴 %2 行")
                          .arg(summary.counts.customers)
                          .arg(summary.counts.historyRows));
    printLine(stdout, QStringLiteral("場所ファイル: ") + summary.locationFile);
    return 0;
}
