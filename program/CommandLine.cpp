#include "program/CommandLine.h"

namespace plw {

namespace {

enum class Option { Help, Batch, Location, BaseDate, PeriodMonths, SuggestThresholds };

struct KnownOption {
    const char16_t* Name;
    Option Id;
    bool TakesValue;
};

constexpr KnownOption Options[] = {
    {u"--help", Option::Help, false},
    {u"-h", Option::Help, false},
    {u"--batch", Option::Batch, false},
    {u"--location", Option::Location, true},
    {u"--base-date", Option::BaseDate, true},
    {u"--period-months", Option::PeriodMonths, true},
    {u"--suggest-thresholds", Option::SuggestThresholds, false},
};

const KnownOption* FindOption(QStringView name) {
    for (const KnownOption& known : Options)
        if (name == QStringView(known.Name))
            return &known;
    return nullptr;
}

ParsedCommandLine Refuse(const QString& message) {
    return ParsedCommandLine{std::nullopt, message};
}

} // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool batch = false;
    bool help = false;
    QStringList batchOnly;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const qsizetype equals = argument.startsWith(u"--") ? argument.indexOf(u'=') : -1;
        const QString name = equals < 0 ? argument : argument.left(equals);
        const KnownOption* known = FindOption(name);
        if (!known) {
            if (!argument.startsWith(u'-'))
                return Refuse(QStringLiteral("余分な引数があります: %1").arg(argument));
            return Refuse(QStringLiteral("不明なオプションです: %1").arg(name));
        }
        QString value;
        if (known->TakesValue) {
            if (equals >= 0) {
                value = argument.mid(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments.at(++i);
            } else {
                return Refuse(QStringLiteral("%1 には値を指定してください").arg(name));
            }
            if (value.isEmpty())
                return Refuse(QStringLiteral("%1 には値を指定してください").arg(name));
        } else if (equals >= 0) {
            return Refuse(QStringLiteral("%1 には値を指定できません").arg(name));
        }
        switch (known->Id) {
        case Option::Help:
            help = true;
            break;
        case Option::Batch:
            batch = true;
            break;
        case Option::Location:
            line.LocationFile = value;
            break;
        case Option::BaseDate:
            line.BaseDate = value;
            batchOnly << name;
            break;
        case Option::PeriodMonths: {
            bool number = false;
            const int months = value.toInt(&number);
            if (!number)
                return Refuse(QStringLiteral("--period-months には月数を整数で指定してください: %1")
                                  .arg(value));
            line.PeriodMonths = months;
            batchOnly << name;
            break;
        }
        case Option::SuggestThresholds:
            line.SuggestThresholds = true;
            batchOnly << name;
            break;
        }
    }
    if (help) {
        line.RunMode = CommandLine::Mode::Help;
    } else if (batch) {
        line.RunMode = CommandLine::Mode::Batch;
    } else if (!batchOnly.isEmpty()) {
        return Refuse(
            QStringLiteral("%1 は --batch と一緒に指定してください").arg(batchOnly.first()));
    }
    return ParsedCommandLine{line, QString()};
}

QString CommandLineHelp() {
    return QStringLiteral(
        "ポイント顧客分析（ＲＦＭ分析）\n"
        "\n"
        "使い方:\n"
        "  plwan40 [--location FILE]\n"
        "      画面で分析を行います（デスクトップのプログラム）。\n"
        "  plwan40 --batch [--location FILE] [--base-date YYYYMMDD|today] [--period-months N]\n"
        "      保存されている設定で分析を１回行い、Excelブックを保存します（画面なし）。\n"
        "  plwan40 --batch --suggest-thresholds [--location FILE] [--base-date ...] "
        "[--period-months N]\n"
        "      保存されている設定で選ばれる顧客の各ランクの人数と、均等に分けるしきい値の提案を\n"
        "      CSV で表示します（分析は行わず、ファイルは変更しません）。\n"
        "\n"
        "オプション:\n"
        "  --batch              画面を出さずに、保存されている設定で分析を行います。\n"
        "  --location FILE      場所ファイルを指定します（指定しないときはプログラムのフォルダの\n"
        "                       場所PLW.INI、場所PLW.TWS、/opt/PLW/INI/場所PLW.TWS "
        "の順に探します）。\n"
        "  --base-date DATE     （--batch のみ）基準日を YYYYMMDD または today で指定します。\n"
        "  --period-months N    （--batch のみ）最終来店日の範囲を、基準日の月の N "
        "ヵ月前の１日から\n"
        "                       基準日までとします。\n"
        "  --suggest-thresholds （--batch "
        "のみ）分析の代わりに、保存されている設定で選ばれる顧客を\n"
        "                       読み、見出しの行に続けて R、F、M のランク５から１ごとに\n"
        "                       "
        "「次元,ランク,現在のしきい値,現在の人数,提案のしきい値,提案での人数」\n"
        "                       "
        "の行（ランク１のしきい値はランク２と同じ）、グループＡ～Ｅ、Ｘごとに\n"
        "                       "
        "「グループ,人数,購買金額（円）」の行を表示します。提案は各ランクの\n"
        "                       人数ができるだけ等しくなるしきい値です。\n"
        "  -h, --help           この説明を表示します。\n"
        "\n"
        "終了コード (--batch): 0 正常終了、1 抽出件数０件、2 設定・インストール・オプションの誤り\n"
        "または作業フォルダ使用中、3 その他の失敗（ブックを保存できない等）。\n");
}

} // namespace plw
