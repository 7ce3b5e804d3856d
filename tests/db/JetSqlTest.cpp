// The translator: the shape of its output where the shape matters, its refusals, and Jet's LIKE
// patterns as the database then matches them.

#include "db/JetSql.h"
#include "db/BaseTables.h"
#include "db/Database.h"

#include "tests/support/Printers.h"
#include "tests/support/TestServer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plw::db {
namespace {

struct Shape {
    QString jet;
    QStringList sqlite;
};

TEST(JetSql, TranslatesTheSuitesForms) {
    const Shape shapes[] = {
        {QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ WHERE M1KhSeib = '1'"),
         {QStringLiteral(
             "CREATE TABLE Work抽出A AS SELECT * FROM M1_お客様マスタ WHERE M1KhSeib = '1'")}},
        // Index names are per table in Jet: the SQLite name carries the table.
        {QStringLiteral("CREATE INDEX FRMKEY ON Work抽出A (M1KaiBan)WITH PRIMARY"),
         {QStringLiteral("CREATE UNIQUE INDEX \"Work抽出A.FRMKEY\" ON Work抽出A (M1KaiBan)")}},
        {QStringLiteral("DROP INDEX FRMKEY ON Work抽出A"),
         {QStringLiteral("DROP INDEX \"Work抽出A.FRMKEY\"")}},
        {QStringLiteral("DELETE *  FROM Work抽出A WHERE M1DmmOsr <> '1' "),
         {QStringLiteral("DELETE FROM Work抽出A WHERE M1DmmOsr <> '1'")}},
        {QStringLiteral("DELETE Work抽出A.* FROM Work抽出A"),
         {QStringLiteral("DELETE FROM Work抽出A")}},
        // One column per ALTER in SQLite; Jet type names mapped.
        {QStringLiteral("ALTER TABLE t ADD COLUMN a SHORT,b CHAR( 8), c LONG"),
         {QStringLiteral("ALTER TABLE t ADD COLUMN a SMALLINT"),
          QStringLiteral("ALTER TABLE t ADD COLUMN b CHAR( 8)"),
          QStringLiteral("ALTER TABLE t ADD COLUMN c INTEGER")}},
        {QStringLiteral("SELECT COUNT(*) AS [件数]  FROM [Work 抽出]"),
         {QStringLiteral("SELECT COUNT(*) AS \"件数\" FROM \"Work 抽出\"")}},
        {QStringLiteral("SELECT * FROM t ORDER BY a & b & \"-\""),
         {QStringLiteral("SELECT * FROM t ORDER BY jet_concat(a, b, '-')")}},
        {QStringLiteral("SELECT * FROM t WHERE MID$(a,5,2) = '05' AND TRIM$(b) <> ''"),
         {QStringLiteral("SELECT * FROM t WHERE substr(a,5,2) = '05' AND trim(b, ' ') <> ''")}},
        {QStringLiteral("SELECT * FROM t WHERE a LIKE '*1%'"),
         {QStringLiteral("SELECT * FROM t WHERE a LIKE '%1\\%' ESCAPE '\\'")}},
        {QStringLiteral("SELECT * FROM t WHERE a LIKE 'a#[!b-c]'"),
         {QStringLiteral("SELECT * FROM t WHERE a GLOB '[aA][0-9][^b-cB-C]'")}},
        {QStringLiteral("SELECT * FROM t WHERE a NOT LIKE b & '*'"),
         {QStringLiteral("SELECT * FROM t WHERE NOT jet_like(a, jet_concat(b, '*'))")}},
        {QStringLiteral("SELECT TOP 5 a FROM t"), {QStringLiteral("SELECT a FROM t LIMIT 5")}},
        {QStringLiteral("SELECT TOP 2 * INTO s FROM t ORDER BY a DESC"),
         {QStringLiteral(
              "CREATE TABLE s AS SELECT * FROM (SELECT *, RANK() OVER (ORDER BY a DESC) AS "
              "jet_top_rank FROM t) WHERE jet_top_rank <= 2 ORDER BY jet_top_rank"),
          QStringLiteral("ALTER TABLE \"s\" DROP COLUMN jet_top_rank")}},
    };
    for (const Shape& shape : shapes)
        EXPECT_EQ(TranslateJetSql(shape.jet).statements, shape.sqlite) << shape.jet.toStdString();
}

TEST(JetSql, LeavesTheBaseTableDdlAsWrittenButForTheIndexName) {
    QStringList ddl = CustomerMasterDdl() + DirectMailMasterDdl() + MailMasterDdl();
    ddl << PointHistoryDdl().first();
    for (const QString& statement : ddl)
        EXPECT_EQ(TranslateJetSql(statement).statements, QStringList{statement});
    EXPECT_EQ(
        TranslateJetSql(PointHistoryDdl().last()).statements,
        QStringList{QStringLiteral(
            "CREATE INDEX \"M2_ポイント履歴.CusYmd\" ON M2_ポイント履歴 (M2CusCod, M2BuyYmd)")});
}

TEST(JetSql, RefusesWhatItCannotTranslate) {
    const QString refused[] = {
        QStringLiteral("SELECT 'abc FROM t"),
        QStringLiteral("SELECT (a FROM t"),
        QStringLiteral("SELECT a) FROM t"),
        QStringLiteral("SELECT [a FROM t"),
        QStringLiteral("SELECT * FROM t WHERE d = #2024/01/01#"),
        QStringLiteral("SELECT * FROM t WHERE a LIKE '[abc'"),
        QStringLiteral("SELECT 1; SELECT 2"),
        QStringLiteral("SELECT TOP 10 PERCENT * FROM t ORDER BY a"),
        QStringLiteral("CREATE INDEX FRMKEY ON t (a) WITH NOTHING"),
        QStringLiteral("SELECT a & FROM t"),
        QStringLiteral("   "),
    };
    for (const QString& sql : refused) {
        try {
            TranslateJetSql(sql);
            ADD_FAILURE() << "translated: " << sql.toStdString();
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.code(), JetSqlError) << sql.toStdString();
            EXPECT_EQ(error.statement(), sql);
        }
    }
}

// The same translation for PostgreSQL: names folded and quoted, the C collation, bigint,
// Null sorted first as in Jet, and the LIKE patterns as ILIKE or a regular expression.
TEST(JetSql, TranslatesTheSuitesFormsForPostgres) {
    const Shape shapes[] = {
        {QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ WHERE M1KhSeib = '1'"),
         {QStringLiteral(
             "CREATE TABLE Work抽出A AS SELECT * FROM M1_お客様マスタ WHERE M1KhSeib = '1'")}},
        {QStringLiteral("CREATE INDEX FRMKEY ON Work抽出A (M1KaiBan)WITH PRIMARY"),
         {QStringLiteral("CREATE UNIQUE INDEX \"work抽出a.frmkey\" ON Work抽出A (M1KaiBan)")}},
        {QStringLiteral("CREATE TABLE k (TmpKaiBan CHAR(7)  CONSTRAINT FRMKEY PRIMARY KEY  )"),
         {QStringLiteral("CREATE TABLE k (TmpKaiBan text COLLATE \"C\" CONSTRAINT \"k.frmkey\" "
                         "PRIMARY KEY )")}},
        {QStringLiteral("ALTER TABLE t ADD COLUMN a SHORT,b CHAR( 8), c LONG"),
         {QStringLiteral("ALTER TABLE t ADD COLUMN a bigint, ADD COLUMN b text COLLATE \"C\", ADD "
                         "COLUMN c bigint")}},
        {QStringLiteral("SELECT COUNT(*) AS [件数]  FROM [Work 抽出]"),
         {QStringLiteral("SELECT COUNT(*) AS \"件数\" FROM \"work 抽出\"")}},
        {QStringLiteral("SELECT * FROM t ORDER BY a & b DESC, c"),
         {QStringLiteral("SELECT * FROM t ORDER BY (CASE WHEN COALESCE(CAST(a AS text), CAST(b AS "
                         "text)) IS NULL THEN NULL ELSE concat(a, b) END COLLATE \"C\") DESC "
                         "NULLS LAST, c NULLS FIRST")}},
        {QStringLiteral("SELECT * FROM t WHERE MID$(a,5,2) = '05' AND TRIM$(b) <> ''"),
         {QStringLiteral("SELECT * FROM t WHERE substr(a,5,2) = '05' AND btrim(b, ' ') <> ''")}},
        {QStringLiteral("SELECT * FROM t WHERE a LIKE '*1%'"),
         {QStringLiteral("SELECT * FROM t WHERE (CAST(a AS text) COLLATE \"C\" ILIKE '%1\\%' "
                         "ESCAPE '\\')")}},
        {QStringLiteral("SELECT * FROM t WHERE a NOT LIKE 'a#[!b-c]'"),
         {QStringLiteral("SELECT * FROM t WHERE NOT (CAST(a AS text) COLLATE \"C\" ~ "
                         "'^[aA][0-9][^b-cB-C]$')")}},
        {QStringLiteral("SELECT TOP 2 * INTO s FROM t ORDER BY a DESC"),
         {QStringLiteral("CREATE TABLE s AS SELECT * FROM (SELECT *, RANK() OVER (ORDER BY a DESC "
                         "NULLS LAST) AS jet_top_rank FROM t) AS jet_top WHERE jet_top_rank <= 2 "
                         "ORDER BY jet_top_rank"),
          QStringLiteral("ALTER TABLE \"s\" DROP COLUMN jet_top_rank")}},
        {QStringLiteral("INSERT INTO t VALUES (?1, ?2)"),
         {QStringLiteral("INSERT INTO t VALUES ($1, $2)")}},
    };
    for (const Shape& shape : shapes)
        EXPECT_EQ(TranslateJetSql(shape.jet, SqlDialect::Postgres).statements, shape.sqlite)
            << shape.jet.toStdString();
    // A pattern known only when the statement runs has no server function to match it there.
    EXPECT_THROW(
        TranslateJetSql(QStringLiteral("SELECT * FROM t WHERE a LIKE b"), SqlDialect::Postgres),
        DatabaseError);
}

enum class Engine { Sqlite, Postgres };

class JetSqlOnDatabase : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        ASSERT_TRUE(mDir.isValid());
        if (GetParam() == Engine::Postgres) {
            if (plw::test::TestServerConnection().isEmpty())
                GTEST_SKIP() << "no PostgreSQL test server (ctest starts one)";
            mServer = std::make_unique<plw::test::TestSchemas>();
            mDb = mServer->transaction();
        } else {
            mDb = Database::create(mDir.filePath(QStringLiteral("t.mdb")));
        }
        mDb->execute(QStringLiteral("CREATE TABLE Samples (v CHAR(10))"));
        auto insert = mDb->prepare(QStringLiteral("INSERT INTO Samples VALUES (?1)"));
        for (const char16_t* value : {u"abc", u"ABC", u"a1c", u"a*c", u"a?c", u"a#c", u"a[c",
                                      u"a%c", u"a_c", u"a\\c", u"xbc", u"ab", u"日本語"}) {
            insert->bind(1, QString::fromUtf16(value));
            insert->execute();
        }
    }

    QStringList matches(const QString& condition) {
        QStringList out;
        for (auto rs = mDb->openRecordset(QStringLiteral("SELECT v FROM Samples WHERE v ") +
                                          condition + QStringLiteral(" ORDER BY v"));
             !rs->eof(); rs->moveNext())
            out << rs->text(u"v");
        return out;
    }

    QTemporaryDir mDir;
    std::unique_ptr<plw::test::TestSchemas> mServer;
    std::unique_ptr<Database> mDb;
};

TEST_P(JetSqlOnDatabase, LikeMatchesAsJetDoes) {
    const struct {
        const char16_t* condition;
        QStringList expected;
    } cases[] = {
        {u"LIKE 'a?c'",
         {QStringLiteral("a#c"), QStringLiteral("a%c"), QStringLiteral("a*c"),
          QStringLiteral("a1c"), QStringLiteral("ABC"), QStringLiteral("a?c"),
          QStringLiteral("a[c"), QStringLiteral("a\\c"), QStringLiteral("a_c"),
          QStringLiteral("abc")}},
        {u"LIKE 'a#c'", {QStringLiteral("a1c")}},
        {u"LIKE 'a[*]c'", {QStringLiteral("a*c")}},
        {u"LIKE 'a[?]c'", {QStringLiteral("a?c")}},
        {u"LIKE 'a[#]c'", {QStringLiteral("a#c")}},
        {u"LIKE 'a[[]c'", {QStringLiteral("a[c")}},
        {u"LIKE 'a%c'", {QStringLiteral("a%c")}},
        {u"LIKE 'a_c'", {QStringLiteral("a_c")}},
        {u"LIKE 'a\\c'", {QStringLiteral("a\\c")}},
        {u"LIKE '[a-b]bc'", {QStringLiteral("ABC"), QStringLiteral("abc")}},
        {u"LIKE '[!a]bc'", {QStringLiteral("xbc")}},
        {u"LIKE 'AB'", {QStringLiteral("ab")}},
        {u"LIKE '日本*'", {QStringLiteral("日本語")}},
        {u"LIKE '*[#]*'", {QStringLiteral("a#c")}},
        {u"LIKE 'a' & '[!b]' & 'c'",
         {QStringLiteral("a#c"), QStringLiteral("a%c"), QStringLiteral("a*c"),
          QStringLiteral("a1c"), QStringLiteral("a?c"), QStringLiteral("a[c"),
          QStringLiteral("a\\c"), QStringLiteral("a_c")}},
        {u"NOT LIKE '*c'", {QStringLiteral("ab"), QStringLiteral("日本語")}},
    };
    for (const auto& c : cases) {
        // A pattern made while the statement runs: SQLite's own function matches it.
        if (GetParam() == Engine::Postgres && QStringView(c.condition).contains(u'&'))
            continue;
        QStringList expected = c.expected;
        QStringList actual = matches(QString::fromUtf16(c.condition));
        expected.sort();
        actual.sort();
        EXPECT_EQ(actual, expected) << QString::fromUtf16(c.condition).toStdString();
    }
}

TEST_P(JetSqlOnDatabase, ConcatenationTakesNullAsEmpty) {
    auto rs = mDb->openRecordset(
        QStringLiteral("SELECT 'a' & NULL & 1 AS x, NULL & NULL AS y, MID$('20240515',5,2) AS m, "
                       "TRIM$('  a　 ') AS t"));
    EXPECT_EQ(rs->text(u"x"), QStringLiteral("a1"));
    EXPECT_TRUE(rs->isNull(u"y"));
    EXPECT_EQ(rs->text(u"m"), QStringLiteral("05"));
    EXPECT_EQ(rs->text(u"t"), QStringLiteral("a　")); // blanks only, not the ideographic blank
}

TEST_P(JetSqlOnDatabase, SeveralStatementsOfOneAlterAreAllOrNothing) {
    EXPECT_FALSE(
        mDb->tryExecute(QStringLiteral("ALTER TABLE Samples ADD COLUMN w SHORT, v SHORT")));
    auto rs = mDb->openRecordset(QStringLiteral("SELECT * FROM Samples"));
    EXPECT_EQ(rs->fieldCount(), 1);
    EXPECT_TRUE(mDb->tryExecute(QStringLiteral("ALTER TABLE Samples ADD w SHORT, x CHAR(2)")));
}

TEST_P(JetSqlOnDatabase, NestedTransactionsRollBackTheirOwnPart) {
    mDb->begin();
    mDb->execute(QStringLiteral("DELETE * FROM Samples WHERE v = 'abc'"));
    mDb->begin();
    mDb->execute(QStringLiteral("DELETE * FROM Samples"));
    mDb->rollback();
    mDb->commit();
    EXPECT_EQ(matches(QStringLiteral("LIKE '*'")).size(), 12);
    {
        Transaction transaction(*mDb);
        mDb->execute(QStringLiteral("DELETE * FROM Samples"));
    }
    EXPECT_EQ(matches(QStringLiteral("LIKE '*'")).size(), 12);
    EXPECT_THROW(mDb->commit(), DatabaseError);
}

// Texts compare and sort by their bytes (UTF-8), whatever the server's own collation: upper case
// before lower case, kana in code order, a trailing blank significant; Null first.
TEST_P(JetSqlOnDatabase, TextsCompareAndSortByTheirBytes) {
    mDb->execute(QStringLiteral("DELETE * FROM Samples"));
    auto insert = mDb->prepare(QStringLiteral("INSERT INTO Samples VALUES (?1)"));
    for (const QVariant& value : {QVariant(QStringLiteral("b")), QVariant(QStringLiteral("B")),
                                  QVariant(QStringLiteral("a")), QVariant(QStringLiteral("あ")),
                                  QVariant(QStringLiteral("ア")), QVariant(QStringLiteral("ｱ")),
                                  QVariant(QStringLiteral("a ")), QVariant()}) {
        insert->bind(1, value);
        insert->execute();
    }
    EXPECT_EQ(matches(QStringLiteral("IS NULL OR v > ''")).join(u'|'),
              QStringLiteral("|B|a|a |b|あ|ア|ｱ"));
    EXPECT_EQ(matches(QStringLiteral("= 'a'")), QStringList{QStringLiteral("a")});
    EXPECT_EQ(matches(QStringLiteral("< 'a'")), QStringList{QStringLiteral("B")});
    EXPECT_EQ(matches(QStringLiteral("LIKE 'A'")), QStringList{QStringLiteral("a")});
}

// Amounts and counts beyond 32 bits stay exact, in a table and in a sum.
TEST_P(JetSqlOnDatabase, LargeNumbersStayExact) {
    mDb->execute(QStringLiteral("CREATE TABLE n (a INTEGER, s SHORT)"));
    mDb->execute(QStringLiteral("INSERT INTO n VALUES (4000000000, 5), (4000000001, 6)"));
    auto rs =
        mDb->openRecordset(QStringLiteral("SELECT SUM(a) AS t, MAX(a) AS m, SUM(s) AS c FROM n"));
    EXPECT_EQ(rs->value(u"t"), QVariant(qlonglong(8000000001)));
    EXPECT_EQ(rs->value(u"m"), QVariant(qlonglong(4000000001)));
    EXPECT_EQ(rs->value(u"c"), QVariant(qlonglong(11)));
}

INSTANTIATE_TEST_SUITE_P(Engines, JetSqlOnDatabase,
                         ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const ::testing::TestParamInfo<Engine>& engine) {
                             return std::string(engine.param == Engine::Postgres ? "Postgres"
                                                                                 : "Sqlite");
                         });

} // namespace
} // namespace plw::db
