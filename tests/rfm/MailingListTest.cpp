// The mailing list: who goes in, how texts are guarded, and the file as label software reads it.

#include "AnalysisShop.h"

#include "app/AnsiCodec.h"
#include "db/Database.h"
#include "rfm/AnalysisRun.h"
#include "rfm/MailingList.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <functional>

#include <sys/stat.h>

namespace plw::test {
namespace {

// The fields of a CSV line as label software reads them: quoted fields with doubled quotes.
QStringList CsvFields(const QString& line) {
    QStringList fields{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
            fields.last() += line[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted)
            fields << QString();
        else
            fields.last() += c;
    }
    return fields;
}

TEST(MailingListRules, TheConsentOfTheKindAndItsAddressDecide) {
    const auto dm = MailingConsent::DirectMail;
    const auto mail = MailingConsent::Mail;
    const auto listed = MailingFit::Listed;
    const auto noConsent = MailingFit::WithoutConsent;
    const auto noAddress = MailingFit::WithoutAddress;
    struct Case {
        const char* what;
        MailingConsent kind;
        MailingContact contact; // direct-mail consent, address 1, mail consent, e-mail address
        MailingFit fit;
    } cases[] = {
        {"agreed, with address", dm, {u"1"_qs, u"東京都"_qs, u"2"_qs, u""_qs}, listed},
        {"declined", dm, {u"2"_qs, u"東京都"_qs, u"1"_qs, u"a@b.jp"_qs}, noConsent},
        {"not recorded", dm, {u""_qs, u"東京都"_qs, u""_qs, u""_qs}, noConsent},
        {"a code of its own", dm, {u"9"_qs, u"東京都"_qs, u""_qs, u""_qs}, noConsent},
        {"a full-width one", dm, {u"１"_qs, u"東京都"_qs, u""_qs, u""_qs}, noConsent},
        {"blank padded", dm, {u"1 "_qs, u"東京都"_qs, u""_qs, u""_qs}, listed},
        {"agreed, address of blanks", dm, {u"1"_qs, u"　 "_qs, u"1"_qs, u"a@b.jp"_qs}, noAddress},
        {"mail agreed, address", mail, {u"2"_qs, u""_qs, u"1"_qs, u"a@b.jp"_qs}, listed},
        {"mail agreed, no address", mail, {u"1"_qs, u"東京都"_qs, u"1"_qs, u" "_qs}, noAddress},
        {"mail declined, dm agreed",
         mail,
         {u"1"_qs, u"東京都"_qs, u"2"_qs, u"a@b.jp"_qs},
         noConsent},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MailingFitOf(c.kind, c.contact), c.fit) << c.what;
}

TEST(MailingListRules, TextsThatASpreadsheetWouldTakeForAFormulaGetAnApostrophe) {
    const struct {
        QString text;
        QString written;
    } cases[] = {
        {u"=HYPERLINK(\"x\")"_qs, u"'=HYPERLINK(\"x\")"_qs},
        {u"+81-3-1234"_qs, u"'+81-3-1234"_qs},
        {u"-5"_qs, u"'-5"_qs},
        {u"@SUM(A1)"_qs, u"'@SUM(A1)"_qs},
        {u"\tx"_qs, u"'\tx"_qs},
        {u"\rx"_qs, u"'\rx"_qs},
        {u"a=b"_qs, u"a=b"_qs},
        {u""_qs, u""_qs},
        {u"＝全角"_qs, u"＝全角"_qs},
        {u"03-1234-5678"_qs, u"03-1234-5678"_qs},
    };
    for (const auto& c : cases) {
        bool guarded = false;
        EXPECT_EQ(GuardedText(c.text, &guarded), c.written) << c.text.toStdString();
        EXPECT_EQ(guarded, c.written != c.text) << c.text.toStdString();
    }
    EXPECT_EQ(PostcodeText(u"1234567"_qs), u"123-4567");
    EXPECT_EQ(PostcodeText(u" 1234567 "_qs), u"123-4567");
    EXPECT_EQ(PostcodeText(u"123-4567"_qs), u"123-4567");
    EXPECT_EQ(PostcodeText(u"12345"_qs), u"12345");
    EXPECT_EQ(PostcodeText(u"１２３４５６７"_qs), u"１２３４５６７");
}

class MailingListTest : public AnalysisShop {
protected:
    void SetUp() override {
        mCustomers = 120;
        AnalysisShop::SetUp();
        ASSERT_EQ(ExecuteAnalysis(*mContext).Outcome, AnalysisOutcome::Scored);
    }
    db::Database& db() { return *mDatabases.Transaction; }
    QString path() const { return mDir.filePath(u"dm.csv"_qs); }
    QStringList lines() {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")); // CR LF ends every line
        return AnsiCodec::decodeLines(bytes);
    }
};

TEST_F(MailingListTest, ADirectMailListHoldsOnlyCustomersWhoAgreedAndHaveAnAddress) {
    // One name a spreadsheet would run as a formula, one a character CP932 lacks.
    const QString first = [&] {
        auto rows = db().openRecordset(u"SELECT M1KaiBan FROM WorkRFM_1 WHERE グループ = 'A' AND "
                                       "M1DmmOsr = '1' AND M1KhADD1 <> '' ORDER BY M1KaiBan"_qs);
        return rows->text(u"M1KaiBan");
    }();
    ASSERT_FALSE(first.isEmpty());
    db().execute(u"UPDATE WorkRFM_1 SET M1KhNamZ = '=HYPERLINK(\"http://x\")', M1KhNamH = "
                 "'吉\U00020BB7' WHERE M1KaiBan = '"_qs +
                 first + u"'"_qs);

    MailingRequest request{
        path(), {true, true, false, false, false, false}, MailingConsent::DirectMail};
    MailingResult result;
    QString error;
    ASSERT_TRUE(WriteMailingList(db(), u"WorkRFM_1"_qs, request, &result, &error))
        << error.toStdString();

    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const QStringList rows = lines();
    EXPECT_EQ(rows.first(), u"会員番号,氏名,フリガナ,郵便番号,住所１,住所２,住所３,電話番号,"
                            "グループ,RFM値,最終来店日,累計購買額"_qs);
    const auto count = [&](const QString& where) {
        return scalar(u"SELECT COUNT(*) FROM WorkRFM_1 WHERE グループ IN ('A','B') AND "_qs +
                      where);
    };
    const qint64 agreed = count(u"M1DmmOsr = '1' AND TRIM$(M1KhADD1) <> ''"_qs);
    EXPECT_EQ(rows.size() - 1, agreed);
    EXPECT_EQ(result.Listed[0] + result.Listed[1], agreed);
    EXPECT_EQ(result.Listed[2] + result.Listed[3] + result.Listed[4] + result.Listed[5], 0);
    EXPECT_EQ(result.WithoutConsent, count(u"(M1DmmOsr IS NULL OR M1DmmOsr <> '1')"_qs));
    EXPECT_EQ(result.WithoutAddress, count(u"M1DmmOsr = '1' AND TRIM$(M1KhADD1) = ''"_qs));
    EXPECT_GT(result.WithoutConsent, 0);

    // Every listed customer agreed; texts quoted, the amount a plain number, the postcode
    // 123-4567, groups in order.
    QString lastGroup;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList fields = CsvFields(rows[i]);
        ASSERT_EQ(fields.size(), 12) << rows[i].toStdString();
        const QString number = fields[0];
        EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM M1_お客様マスタ WHERE M1DmmOsr = '1' AND "
                         "M1KaiBan = '"_qs +
                         number + u"'"_qs),
                  1)
            << number.toStdString();
        EXPECT_TRUE(rows[i].startsWith(u'"' + number + u'"'));
        EXPECT_TRUE(QRegularExpression(u"^\\d{3}-\\d{4}$"_qs).match(fields[3]).hasMatch() ||
                    fields[3].isEmpty())
            << fields[3].toStdString();
        EXPECT_GE(fields[8], lastGroup);
        lastGroup = fields[8];
        EXPECT_TRUE(rows[i].endsWith(u"\","_qs + fields[11])); // the amount unquoted
    }
    const QString guarded = rows.filter(first).first();
    EXPECT_TRUE(guarded.contains(u"\"'=HYPERLINK(\"\"http://x\"\")\""_qs)) << guarded.toStdString();
    EXPECT_TRUE(guarded.contains(u"\"吉〓\""_qs)) << guarded.toStdString();
    EXPECT_EQ(result.Guarded, 1);
    EXPECT_EQ(result.Replaced, 1);
}

TEST_F(MailingListTest, AnEMailListHasTheAddressColumnAndOnlyCustomersWhoAgreedToMail) {
    MailingRequest request{path(), {true, true, true, true, true, true}, MailingConsent::Mail};
    MailingResult result;
    QString error;
    ASSERT_TRUE(WriteMailingList(db(), u"WorkRFM_1"_qs, request, &result, &error));
    const QStringList rows = lines();
    EXPECT_TRUE(rows.first().contains(u"電話番号,メールアドレス,グループ"_qs));
    EXPECT_EQ(rows.size() - 1,
              scalar(u"SELECT COUNT(*) FROM WorkRFM_1 WHERE M1EmaOsr = '1' AND "
                     "TRIM$(M1EmaAdr) <> '' AND グループ IN ('A','B','C','D','E','X')"_qs));
}

TEST_F(MailingListTest, AListThatCannotBeWrittenLeavesNothingUnderItsName) {
    MailingRequest request{mDir.filePath(u"missing/dm.csv"_qs), {true}, MailingConsent::DirectMail};
    MailingResult result;
    QString error;
    EXPECT_FALSE(WriteMailingList(db(), u"WorkRFM_1"_qs, request, &result, &error));
    EXPECT_EQ(error, u"ファイルまたはフォルダがありません");

    // A list written over one readable by all is readable by its owner alone afterwards.
    QFile old(path());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ::chmod(QFile::encodeName(path()).constData(), 0644);
    request.Path = path();
    ASSERT_TRUE(WriteMailingList(db(), u"WorkRFM_1"_qs, request, &result, &error));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Nothing else is left beside it.
    EXPECT_EQ(QDir(mDir.path()).entryList(QStringList{u"dm.csv*"_qs}, QDir::Files | QDir::Hidden),
              QStringList{u"dm.csv"_qs});
}

TEST_F(MailingListTest, TheRunWritesTheListAfterItsResultAndTellsTheCounts) {
    mOutputScreen.MailingList = true;
    mOutputScreen.MailingGroups = {true, true, false, false, false, false};
    mOutputScreen.MailingFile = path();
    mPrompter = ScriptedPrompter();
    const AnalysisResult result = ExecuteAnalysis(*mContext);
    ASSERT_EQ(result.Outcome, AnalysisOutcome::Scored);
    ASSERT_TRUE(result.Mailing.has_value());
    EXPECT_TRUE(QFile::exists(path()));
    const QString told = mPrompter.texts().last();
    EXPECT_TRUE(told.startsWith(u"宛名リストを出力しました。\r"_qs + path())) << told.toStdString();
    EXPECT_TRUE(told.contains(u"グループＡ: %1人"_qs.arg(result.Mailing->Listed[0])));
    EXPECT_TRUE(told.contains(
        u"ＤＭの同意がないため除いた人: %1人"_qs.arg(result.Mailing->WithoutConsent)));

    // The checks before the run: a group, a file in a folder that is there.
    const struct {
        std::function<void(OutputScreenState&)> change;
        QString message;
        QString focus;
    } cases[] = {
        {[](auto& o) { o.MailingGroups.fill(false); },
         u"どれか１つは、宛名リストのグループを選択してください"_qs, u"chkMail_A"_qs},
        {[](auto& o) { o.MailingFile = u" "_qs; }, u"宛名リストのファイル名を指定して下さい"_qs,
         u"txtMailFname"_qs},
        {[&](auto& o) { o.MailingFile = mDir.filePath(u"none/dm.csv"_qs); },
         u"宛名リストの保存先フォルダがありません\r"_qs + mDir.filePath(u"none"_qs),
         u"txtMailFname"_qs},
    };
    const OutputScreenState good = mOutputScreen;
    for (const auto& c : cases) {
        mOutputScreen = good;
        c.change(mOutputScreen);
        mPrompter = ScriptedPrompter();
        const AnalysisResult refused = ExecuteAnalysis(*mContext);
        EXPECT_EQ(refused.Outcome, AnalysisOutcome::NotStarted);
        EXPECT_EQ(refused.Focus, c.focus);
        EXPECT_EQ(mPrompter.texts(), QStringList{c.message});
    }
}

} // namespace
} // namespace plw::test
