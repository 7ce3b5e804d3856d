#include "program/CommandLine.h"

namespace plw {

namespace {

enum class Option {
    Help,
    Batch,
    Location,
    BaseDate,
    PeriodMonths,
    CompareWith,
    MailingList,
    Groups,
    Consent,
    SuggestThresholds
};

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
    {u"--compare-with", Option::CompareWith, true},
    {u"--mailing-list", Option::MailingList, true},
    {u"--groups", Option::Groups, true},
    {u"--consent", Option::Consent, true},
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

// "previous" or a date "YYYYMMDD"; nothing for any other text.
std::optional<ComparisonChoice> ComparisonOf(const QString& value) {
    ComparisonChoice choice;
    if (value == u"previous")
        return choice;
    choice.Choice = ComparisonChoice::Kind::BaseDate;
    choice.BaseDate = QDate::fromString(value, QStringLiteral("yyyyMMdd"));
    if (value.size() != 8 || !choice.BaseDate.isValid())
        return std::nullopt;
    return choice;
}

// The letters A to E and X, in any order and case; nothing for an empty text or another letter.
std::optional<std::array<bool, 6>> GroupsOf(const QString& value) {
    static const QString Letters = QStringLiteral("ABCDEX");
    std::array<bool, 6> groups{};
    for (QChar letter : value.toUpper()) {
        const qsizetype g = Letters.indexOf(letter);
        if (g < 0)
            return std::nullopt;
        groups[size_t(g)] = true;
    }
    if (value.isEmpty())
        return std::nullopt;
    return groups;
}

// What the arguments say, gathered before the options that belong together are checked.
struct Gathered {
    CommandLine Line;
    bool Batch = false;
    bool Help = false;
    QStringList BatchOnly; // the batch options given, in their order
    QString MailingFile, Groups, Consent;
};

// One option of the arguments with its value; Error names what is wrong with it.
struct GivenOption {
    const KnownOption* Known = nullptr;
    QString Name;
    QString Value;
    QString Error;
};

// Reads the option at arguments[i] and its value, moving i past a value given as the next
// argument.
GivenOption ReadOption(const QStringList& arguments, qsizetype& i) {
    GivenOption given;
    const QString& argument = arguments.at(i);
    const qsizetype equals = argument.startsWith(u"--") ? argument.indexOf(u'=') : -1;
    given.Name = equals < 0 ? argument : argument.left(equals);
    given.Known = FindOption(given.Name);
    if (!given.Known) {
        given.Error = argument.startsWith(u'-')
                          ? QStringLiteral("不明なオプションです: %1").arg(given.Name)
                          : QStringLiteral("余分な引数があります: %1").arg(argument);
        return given;
    }
    if (given.Known->TakesValue) {
        if (equals >= 0)
            given.Value = argument.mid(equals + 1);
        else if (i + 1 < arguments.size())
            given.Value = arguments.at(++i);
        if (given.Value.isEmpty())
            given.Error = QStringLiteral("%1 には値を指定してください").arg(given.Name);
    } else if (equals >= 0) {
        given.Error = QStringLiteral("%1 には値を指定できません").arg(given.Name);
    }
    return given;
}

// Records the option in what is gathered; an error text when its value cannot be used.
QString ApplyOption(Gathered& gathered, const GivenOption& given) {
    CommandLine& line = gathered.Line;
    const QString& value = given.Value;
    switch (given.Known->Id) {
    case Option::Help:
        gathered.Help = true;
        return {};
    case Option::Batch:
        gathered.Batch = true;
        return {};
    case Option::Location:
        line.LocationFile = value;
        return {};
    case Option::BaseDate:
        line.BaseDate = value;
        break;
    case Option::PeriodMonths: {
        bool number = false;
        const int months = value.toInt(&number);
        if (!number)
            return QStringLiteral("--period-months には月数を整数で指定してください: %1")
                .arg(value);
        line.PeriodMonths = months;
        break;
    }
    case Option::CompareWith:
        line.CompareWith = ComparisonOf(value);
        if (!line.CompareWith)
            return QStringLiteral("--compare-with には previous か YYYYMMDD の基準日を"
                                  "指定してください: %1")
                .arg(value);
        break;
    case Option::MailingList:
        gathered.MailingFile = value;
        break;
    case Option::Groups:
        gathered.Groups = value;
        break;
    case Option::Consent:
        gathered.Consent = value;
        break;
    case Option::SuggestThresholds:
        line.SuggestThresholds = true;
        break;
    }
    gathered.BatchOnly << given.Name;
    return {};
}

// Builds the mailing request from --mailing-list, --groups and --consent, which only go
// together; an error text when one is missing or has a value it cannot take.
QString ApplyMailing(Gathered& gathered) {
    const QString& groups = gathered.Groups;
    const QString& consent = gathered.Consent;
    if (gathered.MailingFile.isEmpty() && groups.isEmpty() && consent.isEmpty())
        return {};
    if (gathered.MailingFile.isEmpty())
        return QStringLiteral("%1 は --mailing-list と一緒に指定してください")
            .arg(groups.isEmpty() ? QStringLiteral("--consent") : QStringLiteral("--groups"));
    if (groups.isEmpty() || consent.isEmpty())
        return QStringLiteral("--mailing-list には --groups と --consent も指定してください");
    MailingRequest request;
    request.Path = gathered.MailingFile;
    const std::optional<std::array<bool, 6>> chosen = GroupsOf(groups);
    if (!chosen)
        return QStringLiteral("--groups には A から E と X の中からグループを指定してください: %1")
            .arg(groups);
    request.Groups = *chosen;
    if (consent.compare(u"dm", Qt::CaseInsensitive) == 0)
        request.Consent = MailingConsent::DirectMail;
    else if (consent.compare(u"mail", Qt::CaseInsensitive) == 0)
        request.Consent = MailingConsent::Mail;
    else
        return QStringLiteral("--consent には dm か mail を指定してください: %1").arg(consent);
    gathered.Line.MailingList = request;
    return {};
}

} // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
    Gathered gathered;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const GivenOption given = ReadOption(arguments, i);
        if (!given.Error.isEmpty())
            return Refuse(given.Error);
        if (const QString error = ApplyOption(gathered, given); !error.isEmpty())
            return Refuse(error);
    }
    if (const QString error = ApplyMailing(gathered); !error.isEmpty())
        return Refuse(error);
    CommandLine& line = gathered.Line;
    // The suggestion runs no analysis: nothing to compare and no list to write.
    if (line.SuggestThresholds && (line.CompareWith || line.MailingList))
        return Refuse(QStringLiteral("--suggest-thresholds は %1 と一緒に指定できません")
                          .arg(line.CompareWith ? QStringLiteral("--compare-with")
                                                : QStringLiteral("--mailing-list")));
    if (gathered.Help) {
        line.RunMode = CommandLine::Mode::Help;
    } else if (gathered.Batch) {
        line.RunMode = CommandLine::Mode::Batch;
    } else if (!gathered.BatchOnly.isEmpty()) {
        return Refuse(QStringLiteral("%1 は --batch と一緒に指定してください")
                          .arg(gathered.BatchOnly.first()));
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
        "  plwan40 --batch [--location FILE] [--base-date YYYYMMDD|today] [--period-months N] "
        "[--compare-with previous|YYYYMMDD] [--mailing-list FILE --groups ABCDEX --consent "
        "dm|mail]\n"
        "      保存されている設定で分析を１回行い、Excelブックを保存します（画面なし）。\n"
        "  plwan40 --batch --suggest-thresholds [--location FILE] [--base-date YYYYMMDD|today] "
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
        "  --suggest-thresholds\n"
        "                       （--batch のみ）分析の代わりに、保存されている設定で選ばれる\n"
        "                       顧客を読み、見出しの行に続けて R、F、M のランク５から１ごとに\n"
        "                       "
        "「次元,ランク,現在のしきい値,現在の人数,提案のしきい値,提案での人数」\n"
        "                       "
        "の行（ランク１のしきい値はランク２と同じ）、グループＡ～Ｅ、Ｘごとに\n"
        "                       "
        "「グループ,人数,購買金額（円）」の行を表示します。提案は各ランクの\n"
        "                       人数ができるだけ等しくなるしきい値です。\n"
        "  --compare-with previous|YYYYMMDD\n"
        "                       （--batch のみ）グループ履歴に残っている実行と比べ、シート\n"
        "                       「グループ推移」を作成します。previous は基準日より前で最新の\n"
        "                       実行、YYYYMMDD はその基準日の実行です。該当する実行がないときは\n"
        "                       終了コード 2 で終わります。指定しないときは比較しません。\n"
        "  --mailing-list FILE  （--batch のみ）宛名リストを CSV（CP932、CRLF、見出し行付き）で\n"
        "                       FILE に出力します。--groups と --consent が必要です。\n"
        "  --groups ABCDEX      宛名リストに入れるグループ（A〜E と X の組み合わせ）。\n"
        "  --consent dm|mail    dm: ＤＭ発送に同意し住所１がある顧客、mail: メールお知らせに\n"
        "                       同意しメールアドレスがある顧客だけを入れます。\n"
        "  -h, --help           この説明を表示します。\n"
        "\n"
        "終了コード (--batch): 0 正常終了、1 抽出件数０件、2 "
        "設定・インストール・オプションの誤り、\n"
        "作業フォルダ使用中または比較する実行がない、3 その他の失敗（ブックを保存できない、\n"
        "グループ履歴に残せない、宛名リストを出力できない等）。\n");
}

} // namespace plw
