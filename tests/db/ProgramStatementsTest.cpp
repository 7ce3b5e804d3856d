// Every SQL text the program issues, run on the dozen-customer shop on both engines: what each
// one does, the same on SQLite and on PostgreSQL.

#include "ShopFixture.h"

#include "db/BaseTables.h"
#include "db/JetSql.h"
#include "db/PostgresDatabase.h"
#include "db/PostgresTable.h"
#include "db/SqliteTable.h"

#include "tests/support/Printers.h"

#include <functional>

namespace plw::db::test {
namespace {

struct Dbs {
    Database& trn;
    Database& mst;
    bool postgres;
    // The declared types as the engine shows them.
    QString types(const char* onSqlite, const char* onPostgres) const {
        return QString::fromLatin1(postgres ? onPostgres : onSqlite);
    }
};

struct StatementCase {
    const char* label;
    enum { Execute, Query } run;
    std::function<void(Dbs)> before;
    QString sql;
    std::function<void(Dbs, const QString& sql)> check;
};

void PrintTo(const StatementCase& c, std::ostream* os) {
    *os << c.label;
}

const QString kWorkA = QStringLiteral("Work抽出A");

QString selectInto(const QString& selection) {
    return QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ WHERE ") + selection;
}

QStringList kaiBans(Database& db, const QString& table) {
    return Column(db, QStringLiteral("SELECT M1KaiBan FROM %1 ORDER BY M1KaiBan").arg(table),
                  QStringLiteral("M1KaiBan"));
}

// Work抽出A from the whole master with its primary index, as steps 1 and 2 leave it.
void workA(Dbs d) {
    d.trn.execute(QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ"));
    d.trn.execute(QStringLiteral("CREATE INDEX FRMKEY ON Work抽出A (M1KaiBan)WITH PRIMARY"));
}

// A key table (rank or age step result) holding the customers, filled through a table.
void keyTable(Database& db, const QString& name, std::initializer_list<int> numbers) {
    db.execute(QStringLiteral("CREATE TABLE %1 (TmpKaiBan CHAR(7) )").arg(name));
    auto table = db.openTable(name);
    for (const QString& key : Customers(numbers)) {
        table->addNew();
        table->setValue(u"TmpKaiBan", key);
        table->update();
    }
}

// The rank merge of kind "3": Work抽出3 from Work抽出A and Work抽出2, with its index.
void rankMerged(Dbs d) {
    workA(d);
    keyTable(d.trn, QStringLiteral("Work抽出2"), {1, 8, 10, 12});
    d.trn.execute(
        QStringLiteral(" SELECT *  INTO Work抽出3 FROM Work抽出A INNER  JOIN Work抽出2 ON "
                       "Work抽出A.M1KaiBan = Work抽出2.TmpKaiBan "));
    d.trn.execute(QStringLiteral("CREATE INDEX FRMKEY ON Work抽出3 (M1KaiBan)WITH PRIMARY"));
}

// Then the age merge of kind "3" into Work抽出5: the join carries TmpKaiBan twice.
void ageMerged(Dbs d) {
    rankMerged(d);
    d.trn.execute(QStringLiteral("CREATE TABLE Work抽出4 (TmpKaiBan CHAR(7),TmpKhBart CHAR(8),"
                                 "TmpKhSraB CHAR(8),TmpKhNenS CHAR(2),TmpCulkNr INTEGER )"));
    auto table = d.trn.openTable(QStringLiteral("Work抽出4"));
    for (const QString& key : Customers({1, 3, 10})) {
        table->addNew();
        table->setValue(u"TmpKaiBan", key);
        table->setValue(u"TmpCulkNr", 40);
        table->update();
    }
    table.reset();
    d.trn.execute(
        QStringLiteral(" SELECT *  INTO Work抽出5 FROM Work抽出3 INNER  JOIN Work抽出4 ON "
                       "Work抽出3.M1KaiBan = Work抽出4.TmpKaiBan "));
}

// A customer added by a kind "2" merge: only the customer number, every other column Null.
void addBareCustomer(Dbs d) {
    auto table = d.trn.openTable(kWorkA);
    table->setIndex(QStringLiteral("FRMKEY"));
    table->seek(QStringLiteral("0000099"));
    ASSERT_TRUE(table->noMatch());
    table->addNew();
    table->setValue(u"M1KaiBan", QStringLiteral("0000099"));
    table->update();
}

void joinRfm(Dbs d, std::initializer_list<int> numbers,
             const QString& output = QStringLiteral("WorkRFM_1")) {
    d.trn.execute(QStringLiteral(
        "CREATE TABLE WorkPLWAN40X_1 (TmpKaiBan CHAR(7)  CONSTRAINT FRMKEY PRIMARY KEY  )"));
    auto keys = d.trn.openTable(QStringLiteral("WorkPLWAN40X_1"));
    for (const QString& key : Customers(numbers)) {
        keys->addNew();
        keys->setValue(u"TmpKaiBan", key);
        keys->update();
    }
    keys.reset();
    d.trn.execute(QStringLiteral(" SELECT M1_お客様マスタ.*  INTO ") + output +
                  QStringLiteral(" FROM M1_お客様マスタ INNER JOIN WorkPLWAN40X_1 ON "
                                 "M1_お客様マスタ.M1KaiBan = WorkPLWAN40X_1.TmpKaiBan "));
}

// WorkRFM_1 of customers 1 to 4 with scoring results.
void scored(Dbs d) {
    joinRfm(d, {1, 2, 3, 4});
    d.trn.execute(QStringLiteral(
        "ALTER TABLE WorkRFM_1 ADD COLUMN RFM値 CHAR(3),グループ CHAR(1), 日数 CHAR(6) "));
    const QStringList codes{QStringLiteral("555"), QStringLiteral("111"), QStringLiteral("555"),
                            QStringLiteral("234")};
    const QStringList groups{QStringLiteral("A"), QStringLiteral("X"), QString(),
                             QStringLiteral("B")};
    auto table = d.trn.openTable(QStringLiteral("WorkRFM_1"));
    for (int i = 0; !table->eof(); table->moveNext(), ++i) {
        table->edit();
        table->setValue(u"RFM値", codes[i]);
        table->setValue(u"グループ", groups[i]);
        table->update();
    }
}

QStringList columnTypes(Database& db, const QString& table) {
    if (dynamic_cast<PostgresDatabase*>(&db))
        return Column(db,
                      QStringLiteral("SELECT format_type(atttypid, atttypmod) AS type FROM "
                                     "pg_attribute WHERE attrelid = to_regclass('\"%1\"') AND "
                                     "attnum > 0 AND NOT attisdropped ORDER BY attnum")
                          .arg(FoldPostgresName(table)),
                      QStringLiteral("type"));
    return Column(
        db, QStringLiteral("SELECT type FROM pragma_table_info('%1') ORDER BY cid").arg(table),
        QStringLiteral("type"));
}

QStringList customerColumns() {
    QStringList names;
    for (const ColumnDef& column : CustomerMasterColumns())
        names << QString::fromUtf16(column.name);
    return names;
}

// The table's FRMKEY index exists, is unique, and a seek through it finds the customer.
void expectPrimaryIndex(Database& db, const QString& table, const QString& key) {
    const QString index = FoldPostgresName(table + QStringLiteral(".FRMKEY"));
    EXPECT_TRUE(TableIndexes(db, table).contains(index))
        << TableIndexes(db, table).join(u',').toStdString();
    auto opened = db.openTable(table);
    opened->setIndex(QStringLiteral("FRMKEY"));
    if (auto* postgres = dynamic_cast<PostgresTable*>(opened.get()))
        EXPECT_EQ(postgres->indexName(), index);
    else
        EXPECT_EQ(dynamic_cast<SqliteTable&>(*opened).sqliteIndex(),
                  table + QStringLiteral(".FRMKEY"));
    opened->seek(key);
    ASSERT_FALSE(opened->noMatch());
    EXPECT_EQ(opened->text(u"M1KaiBan"), key);
    opened->seek(QStringLiteral("0000077"));
    EXPECT_TRUE(opened->noMatch());
}

auto selects(std::initializer_list<int> numbers) {
    const QStringList expected = Customers(numbers);
    return [expected](Dbs d, const QString&) {
        EXPECT_EQ(kaiBans(d.trn, kWorkA), expected);
    };
}

auto queryColumn(const QString& column, const QStringList& expected, bool master = false) {
    return [=](Dbs d, const QString& sql) {
        EXPECT_EQ(Column(master ? d.mst : d.trn, sql, column), expected);
    };
}

const auto none = [](Dbs) {
};

std::vector<StatementCase> cases() {
    using S = StatementCase;
    return {
        // Extraction step 1 with the selection clauses the condition builder writes.
        {"Step1NoCondition", S::Execute, none,
         QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ"),
         [](Dbs d, const QString&) {
             EXPECT_EQ(kaiBans(d.trn, kWorkA).size(), 12);
             EXPECT_EQ(TableColumns(d.trn, kWorkA), Folded(customerColumns()));
             // Numbers stay numbers and texts keep their leading zeros.
             EXPECT_EQ(Column(d.trn,
                              QStringLiteral("SELECT M1KaiBan FROM Work抽出A WHERE "
                                             "M1SakRgk > 100000 ORDER BY M1SakRgk"),
                              QStringLiteral("M1KaiBan")),
                       Customers({1, 8}));
         }},
        {"Step1ZipLike", S::Execute, none, selectInto(QStringLiteral("M1KhZIPC LIKE  '*150*'")),
         selects({2, 4})},
        {"Step1AddressLike", S::Execute, none, selectInto(QStringLiteral("M1KhADD1 LIKE '*東京*'")),
         selects({1, 2, 4, 10, 12})},
        {"Step1BirthMonths", S::Execute, none,
         selectInto(
             QStringLiteral(" ( MID$(M1KhBart,5,2) = '05'  OR MID$(M1KhBart,5,2) = '12'  ) ")),
         selects({1, 2, 4, 6, 9, 11, 12})},
        {"Step1Birthday", S::Execute, none,
         selectInto(QStringLiteral(" ( MID$(M1KhBart,5,4) = '0515'  ) ")), selects({1, 9, 11})},
        // TRIM$ removes blanks only: an address of one ideographic blank is not empty.
        {"Step1DirectMailConsent", S::Execute, none,
         selectInto(QStringLiteral("M1DmmOsr = '1' AND TRIM$(M1KhADD1) <> ''")),
         selects({1, 3, 6, 8, 10, 12})},
        {"Step1MailConsent", S::Execute, none,
         selectInto(QStringLiteral("M1EmaOsr = '1' AND TRIM$(M1EmaAdr) <> ''")),
         selects({1, 6, 8, 9, 12})},
        {"Step1AmountRangeNullNeverMatches", S::Execute, none,
         selectInto(QStringLiteral("( M1SakRgk >= 5000 AND M1SakRgk <= 12000 )")),
         selects({3, 4, 5, 11})},
        {"Step1CustomerNumberRange", S::Execute, none,
         selectInto(QStringLiteral("( M1KaiBan >= '0000003' AND M1KaiBan <= '0000005' )")),
         selects({3, 4, 5})},
        {"Step1FirstVisitUpperBound", S::Execute, none,
         selectInto(QStringLiteral("M1KhSraB <= '20100101'")), selects({4, 10})},
        {"Step1MailTypeWithUnknown", S::Execute, none,
         selectInto(QStringLiteral(" ( M1EmaSbt = '1'  OR M1EmaSbt = ''  ) ")),
         selects({1, 3, 4, 6, 7, 9, 10, 12})},
        {"Step1MemoLikeIgnoresCase", S::Execute, none,
         selectInto(QStringLiteral("M1KhMemo LIKE '*vip*'")), selects({1, 3})},
        {"Step1MemoLikePercentIsLiteral", S::Execute, none,
         selectInto(QStringLiteral("M1KhMemo LIKE '*%*'")), selects({7})},
        {"Step1MemoLikeUnderscoreIsLiteral", S::Execute, none,
         selectInto(QStringLiteral("M1KhMemo LIKE '*_*'")), selects({8})},
        {"Step1LastDirectMailEmptyIsOldest", S::Execute, none,
         selectInto(QStringLiteral("M1SakDmH <=  '20230101'")),
         selects({2, 4, 5, 7, 9, 10, 11, 12})},
        {"Step1AndPassOrIncludePass", S::Execute, none,
         selectInto(QStringLiteral("M1KhSeib = '1' AND  ( M1BunJC1 = '01'  OR M1BunJC1 = '03'  ) "
                                   " OR M1SakRik >= 40")),
         selects({1, 4, 8, 9})},

        // Step 2 and the merges.
        {"Step2PrimaryIndex", S::Execute,
         [](Dbs d) {
             d.trn.execute(QStringLiteral("SELECT *  INTO Work抽出A FROM M1_お客様マスタ"));
         },
         QStringLiteral("CREATE INDEX FRMKEY ON Work抽出A (M1KaiBan)WITH PRIMARY"),
         [](Dbs d, const QString&) {
             expectPrimaryIndex(d.trn, kWorkA, QStringLiteral("0000007"));
             EXPECT_FALSE(d.trn.tryExecute(
                 QStringLiteral("INSERT INTO Work抽出A (M1KaiBan) VALUES ('0000007')")));
         }},
        {"RankMergeKind3", S::Execute,
         [](Dbs d) {
             workA(d);
             keyTable(d.trn, QStringLiteral("Work抽出2"), {1, 8, 10, 12});
         },
         QStringLiteral(" SELECT *  INTO Work抽出3 FROM Work抽出A INNER  JOIN Work抽出2 ON "
                        "Work抽出A.M1KaiBan = Work抽出2.TmpKaiBan "),
         [](Dbs d, const QString&) {
             EXPECT_EQ(kaiBans(d.trn, QStringLiteral("Work抽出3")), Customers({1, 8, 10, 12}));
             EXPECT_EQ(TableColumns(d.trn, QStringLiteral("Work抽出3")),
                       Folded(customerColumns() << QStringLiteral("TmpKaiBan")));
         }},
        {"RankMergeKind3Index", S::Execute,
         [](Dbs d) {
             workA(d);
             keyTable(d.trn, QStringLiteral("Work抽出2"), {1, 8, 10, 12});
             d.trn.execute(
                 QStringLiteral(" SELECT *  INTO Work抽出3 FROM Work抽出A INNER  JOIN "
                                "Work抽出2 ON Work抽出A.M1KaiBan = Work抽出2.TmpKaiBan "));
         },
         QStringLiteral("CREATE INDEX FRMKEY ON Work抽出3 (M1KaiBan)WITH PRIMARY"),
         [](Dbs d, const QString&) {
             expectPrimaryIndex(d.trn, QStringLiteral("Work抽出3"), QStringLiteral("0000010"));
             expectPrimaryIndex(d.trn, kWorkA, QStringLiteral("0000002"));
         }},
        {"AgeMergeKind3AfterRankMerge", S::Execute,
         [](Dbs d) {
             rankMerged(d);
             keyTable(d.trn, QStringLiteral("Work抽出4"), {1, 3, 10});
         },
         QStringLiteral(" SELECT *  INTO Work抽出5 FROM Work抽出3 INNER  JOIN Work抽出4 ON "
                        "Work抽出3.M1KaiBan = Work抽出4.TmpKaiBan "),
         [](Dbs d, const QString&) {
             EXPECT_EQ(kaiBans(d.trn, QStringLiteral("Work抽出5")), Customers({1, 10}));
             EXPECT_TRUE(TableColumns(d.trn, QStringLiteral("Work抽出5"))
                             .contains(QStringLiteral("tmpkaiban:1")));
         }},
        {"AgeMergeKind3Index", S::Execute, ageMerged,
         QStringLiteral("CREATE INDEX FRMKEY ON Work抽出5 (M1KaiBan)WITH PRIMARY"),
         [](Dbs d, const QString&) {
             EXPECT_EQ(kaiBans(d.trn, QStringLiteral("Work抽出5")), Customers({1, 10}));
             const QStringList columns = TableColumns(d.trn, QStringLiteral("Work抽出5"));
             EXPECT_EQ(columns.mid(46),
                       Folded({QStringLiteral("TmpKaiBan"), QStringLiteral("TmpKaiBan:1"),
                               QStringLiteral("TmpKhBart"), QStringLiteral("TmpKhSraB"),
                               QStringLiteral("TmpKhNenS"), QStringLiteral("TmpCulkNr")}));
             expectPrimaryIndex(d.trn, QStringLiteral("Work抽出5"), QStringLiteral("0000010"));
             expectPrimaryIndex(d.trn, QStringLiteral("Work抽出3"), QStringLiteral("0000012"));
         }},

        // Steps 5 to 7.
        {"Step5ExclusionKeepsBareRows", S::Execute,
         [](Dbs d) {
             workA(d);
             addBareCustomer(d);
         },
         QStringLiteral("DELETE *  FROM Work抽出A WHERE M1KhSeib = '2' OR M1KhMemo LIKE '*vip*'"),
         [](Dbs d, const QString&) {
             EXPECT_EQ(kaiBans(d.trn, kWorkA), Customers({4, 5, 7, 9, 11, 99}));
         }},
        {"Step6DirectMailCaller", S::Execute,
         [](Dbs d) {
             workA(d);
             addBareCustomer(d);
         },
         QStringLiteral("DELETE *  FROM Work抽出A WHERE M1DmmOsr <> '1' "),
         selects({1, 3, 5, 6, 8, 10, 12, 99})},
        {"Step6MailCaller", S::Execute, workA,
         QStringLiteral("DELETE *  FROM Work抽出A WHERE M1EmaOsr <> '1' "),
         selects({1, 2, 5, 6, 8, 9, 12})},
        {"Step7Count", S::Query, workA,
         QStringLiteral(" SELECT COUNT(*) AS [件数]  FROM Work抽出A"),
         queryColumn(QStringLiteral("件数"), {QStringLiteral("12")})},

        // Rank and age steps.
        {"RankOrderNullLast", S::Query, none,
         QStringLiteral("SELECT M1KaiBan , M1SakRgk  FROM M1_お客様マスタ ORDER BY M1SakRgk DESC, "
                        "M1KaiBan"),
         [](Dbs d, const QString& sql) {
             EXPECT_EQ(
                 Column(d.trn, sql, QStringLiteral("M1SakRgk")).join(u','),
                 QStringLiteral(
                     "200000,120000,75000,50000,50000,30000,12000,9000,8000,5000,1000,<null>"));
             EXPECT_EQ(Column(d.trn, sql, QStringLiteral("M1KaiBan")).mid(0, 5),
                       Customers({8, 1, 10, 2, 7})); // equal amounts in number order
         }},
        {"RankTable", S::Execute, none,
         QStringLiteral("CREATE TABLE Work抽出2 (TmpKaiBan CHAR(7) )"),
         [](Dbs d, const QString&) {
             EXPECT_EQ(TableColumns(d.trn, QStringLiteral("Work抽出2")),
                       QStringList{QStringLiteral("tmpkaiban")});
             d.trn.execute(QStringLiteral("INSERT INTO Work抽出2 VALUES (0000042)"));
             EXPECT_EQ(Column(d.trn, QStringLiteral("SELECT TmpKaiBan FROM Work抽出2"),
                              QStringLiteral("TmpKaiBan")),
                       QStringList{QStringLiteral("42")}); // text column
         }},
        {"AgeSource", S::Query, none,
         QStringLiteral("SELECT M1KaiBan , M1KhBart , M1KhSraB , M1KhNenS  FROM M1_お客様マスタ"),
         [](Dbs d, const QString& sql) {
             auto rs = d.trn.openRecordset(sql);
             EXPECT_EQ(rs->fieldCount(), 4);
             EXPECT_EQ(FoldPostgresName(rs->fieldName(1)), QStringLiteral("m1khbart"));
             EXPECT_EQ(Column(d.trn, sql, QStringLiteral("m1khbart")).size(), 12);
         }},
        {"AgeTable", S::Execute, none,
         QStringLiteral("CREATE TABLE Work抽出4 (TmpKaiBan CHAR(7),TmpKhBart CHAR(8),TmpKhSraB "
                        "CHAR(8),TmpKhNenS CHAR(2),TmpCulkNr INTEGER )"),
         [](Dbs d, const QString&) {
             EXPECT_EQ(
                 columnTypes(d.trn, QStringLiteral("Work抽出4")).join(u','),
                 d.types("CHAR(7),CHAR(8),CHAR(8),CHAR(2),INTEGER", "text,text,text,text,bigint"));
         }},

        // Key file and random sampling.
        {"KeyFileOrder", S::Query,
         [](Dbs d) {
             d.trn.execute(QStringLiteral(
                 "SELECT *  INTO Work抽出A FROM M1_お客様マスタ ORDER BY M1KaiBan DESC"));
         },
         QStringLiteral("SELECT *  FROM Work抽出A ORDER BY M1KaiBan "),
         queryColumn(QStringLiteral("M1KaiBan"),
                     Customers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}))},
        {"SamplingColumn", S::Execute, workA,
         QStringLiteral(" ALTER TABLE Work抽出A ADD COLUMN  RANS integer "),
         [](Dbs d, const QString&) {
             EXPECT_EQ(TableColumns(d.trn, kWorkA).constLast(), QStringLiteral("rans"));
             EXPECT_EQ(columnTypes(d.trn, kWorkA).constLast(), d.types("INTEGER", "bigint"));
             EXPECT_EQ(Column(d.trn, QStringLiteral("SELECT DISTINCT RANS FROM Work抽出A"),
                              QStringLiteral("RANS")),
                       QStringList{QStringLiteral("<null>")});
         }},
        {"SamplingTable", S::Execute, none,
         QStringLiteral("CREATE TABLE Sort前 (M1KaiBan CHAR(7) )"),
         [](Dbs d, const QString&) {
             EXPECT_EQ(TableColumns(d.trn, QStringLiteral("Sort前")),
                       QStringList{QStringLiteral("m1kaiban")});
         }},
        // TOP returns the rows tied with the last one: three asked, four tied at 30.
        {"SamplingTopWithTies", S::Query,
         [](Dbs d) {
             workA(d);
             d.trn.execute(QStringLiteral(" ALTER TABLE Work抽出A ADD COLUMN  RANS integer "));
             const int rans[] = {50, 10, 30, 30, 30, 90, 70, 80, 60, 40, 100, 110};
             auto table = d.trn.openTable(kWorkA);
             for (int i = 0; !table->eof(); table->moveNext(), ++i) {
                 table->edit();
                 table->setValue(u"RANS", rans[i]);
                 table->update();
             }
         },
         QStringLiteral("SELECT TOP 3 *  FROM Work抽出A ORDER BY RANS "),
         [](Dbs d, const QString& sql) {
             const QStringList rows = Column(d.trn, sql, QStringLiteral("M1KaiBan"));
             ASSERT_EQ(rows.size(), 4);
             EXPECT_EQ(rows.first(), QStringLiteral("0000002"));
             QStringList tied = rows.mid(1);
             tied.sort();
             EXPECT_EQ(tied, Customers({3, 4, 5}));
             EXPECT_EQ(d.trn.openRecordset(sql)->fieldCount(), 47); // the rank stays hidden
             EXPECT_EQ(Column(d.trn,
                              QStringLiteral("SELECT TOP 20 *  FROM Work抽出A ORDER BY RANS "),
                              QStringLiteral("RANS"))
                           .size(),
                       12);
             EXPECT_EQ(Column(d.trn,
                              QStringLiteral("SELECT TOP 1 *  FROM Work抽出A ORDER BY RANS "),
                              QStringLiteral("M1KaiBan")),
                       Customers({2}));
         }},
        {"SamplingKeyFileOrder", S::Query,
         [](Dbs d) {
             d.trn.execute(QStringLiteral("CREATE TABLE Sort前 (M1KaiBan CHAR(7) )"));
             for (int n : {9, 3, 5})
                 d.trn.execute(QStringLiteral("INSERT INTO Sort前 VALUES ('%1')")
                                   .arg(Customers({n}).front()));
         },
         QStringLiteral("SELECT *  FROM Sort前 ORDER BY M1KaiBan "),
         queryColumn(QStringLiteral("M1KaiBan"), Customers({3, 5, 9}))},

        // Key table and the analysis table.
        {"KeyTable", S::Execute, none,
         QStringLiteral("CREATE TABLE WorkPLWAN40X_1 (TmpKaiBan CHAR(7)  CONSTRAINT FRMKEY PRIMARY "
                        "KEY  )"),
         [](Dbs d, const QString&) {
             d.trn.execute(QStringLiteral("INSERT INTO WorkPLWAN40X_1 VALUES ('0000005')"));
             EXPECT_FALSE(
                 d.trn.tryExecute(QStringLiteral("INSERT INTO WorkPLWAN40X_1 VALUES ('0000005')")));
             auto table = d.trn.openTable(QStringLiteral("WorkPLWAN40X_1"));
             table->setIndex(QStringLiteral("FRMKEY"));
             table->seek(QStringLiteral("0000005"));
             EXPECT_FALSE(table->noMatch());
         }},
        {"JoinMasterByKeys", S::Execute,
         [](Dbs d) {
             d.trn.execute(QStringLiteral("CREATE TABLE WorkPLWAN40X_1 (TmpKaiBan CHAR(7)  "
                                          "CONSTRAINT FRMKEY PRIMARY KEY  )"));
             for (int n : {12, 3, 99})
                 d.trn.execute(QStringLiteral("INSERT INTO WorkPLWAN40X_1 VALUES ('%1')")
                                   .arg(Customers({n}).front()));
         },
         QStringLiteral(" SELECT M1_お客様マスタ.*  INTO WorkRFM_1 FROM M1_お客様マスタ INNER JOIN "
                        "WorkPLWAN40X_1 ON M1_お客様マスタ.M1KaiBan = WorkPLWAN40X_1.TmpKaiBan "),
         [](Dbs d, const QString&) {
             EXPECT_EQ(kaiBans(d.trn, QStringLiteral("WorkRFM_1")), Customers({3, 12}));
             EXPECT_EQ(TableColumns(d.trn, QStringLiteral("WorkRFM_1")), Folded(customerColumns()));
         }},

        // Scoring.
        {"ScoringColumns", S::Execute,
         [](Dbs d) {
             joinRfm(d, {1, 2});
         },
         QStringLiteral(
             "ALTER TABLE WorkRFM_1 ADD COLUMN RFM値 CHAR(3),グループ CHAR(1), 日数 CHAR(6) "),
         [](Dbs d, const QString&) {
             EXPECT_EQ(TableColumns(d.trn, QStringLiteral("WorkRFM_1")).mid(46),
                       (QStringList{QStringLiteral("rfm値"), QStringLiteral("グループ"),
                                    QStringLiteral("日数")}));
         }},
        {"ScoringColumnsDetailedPeriod", S::Execute,
         [](Dbs d) {
             joinRfm(d, {1, 2});
         },
         QStringLiteral(
             "ALTER TABLE WorkRFM_1 ADD COLUMN RFM値 CHAR(3),グループ CHAR(1), 日数 CHAR(6) "
             ",SaveM1SakRgk      integer ,SaveM1SakRik      integer ,SaveM1SakHby      "
             "CHAR( 8),SaveM1SakHbh      CHAR( 6) "),
         [](Dbs d, const QString&) {
             EXPECT_EQ(TableColumns(d.trn, QStringLiteral("WorkRFM_1")).mid(46),
                       Folded({QStringLiteral("RFM値"), QStringLiteral("グループ"),
                               QStringLiteral("日数"), QStringLiteral("SaveM1SakRgk"),
                               QStringLiteral("SaveM1SakRik"), QStringLiteral("SaveM1SakHby"),
                               QStringLiteral("SaveM1SakHbh")}));
             EXPECT_EQ(columnTypes(d.trn, QStringLiteral("WorkRFM_1")).mid(49).join(u','),
                       d.types("INTEGER,INTEGER,CHAR( 8),CHAR( 6)", "bigint,bigint,text,text"));
         }},
        // Date and time order, a Null time taken as "".
        {"PointHistoryOfPeriod", S::Query, none,
         QStringLiteral(
             "SELECT  *  FROM M2_ポイント履歴 WHERE       M2CusCod = '0000001'       AND  "
             "M2BuyYmd >= '20240101'       AND  M2BuyYmd <= '20241231'  ORDER BY "
             "M2BuyYmd & M2BuyHks"),
         queryColumn(QStringLiteral("M2BuyGak"),
                     {QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("300"),
                      QStringLiteral("400")},
                     true)},

        // Statistics preview.
        {"PreviewStatistics", S::Query,
         [](Dbs d) {
             joinRfm(d, {1, 3, 12}, QStringLiteral("WorkPLWAN40X_2"));
         },
         QStringLiteral("SELECT MAX(M1SakRgk) AS   [最大],       MIN(M1SakRgk) AS   [最小],       "
                        "AVG(M1SakRgk) AS   [平均],       SUM(M1SakRgk) AS   [合計],       "
                        "COUNT(M1KaiBan) AS [個数]  FROM WorkPLWAN40X_2"),
         [](Dbs d, const QString& sql) {
             auto rs = d.trn.openRecordset(sql);
             ASSERT_FALSE(rs->eof());
             EXPECT_EQ(rs->integer(u"最大"), 120000);
             EXPECT_EQ(rs->integer(u"最小"), 5000);
             EXPECT_EQ(rs->value(u"平均").toDouble(), 62500.0);
             EXPECT_EQ(rs->integer(u"合計"), 125000);
             EXPECT_EQ(rs->integer(u"個数"), 3);
         }},
        {"PreviewStatisticsNothingSelected", S::Query,
         [](Dbs d) { joinRfm(d, {99}, QStringLiteral("WorkPLWAN40X_2")); },
         QStringLiteral("SELECT MAX(M1SakRgk) AS   [最大],       MIN(M1SakRgk) AS   [最小],       "
                        "AVG(M1SakRgk) AS   [平均],       SUM(M1SakRgk) AS   [合計],       "
                        "COUNT(M1KaiBan) AS [個数]  FROM WorkPLWAN40X_2"),
         [](Dbs d, const QString& sql) {
             auto rs = d.trn.openRecordset(sql);
             ASSERT_FALSE(rs->eof());
             for (const char16_t* field : {u"最大", u"最小", u"平均", u"合計"})
                 EXPECT_TRUE(rs->isNull(QStringView(field)));
             EXPECT_EQ(rs->integer(u"個数"), 0);
         }},

        // The figures of the selected customers for the window "分布と閾値": master rows, also of
        // a customer a rank or age step of kind "2" added with its number only.
        {"RankedFiguresOfTheSelected", S::Query,
         [](Dbs d) {
             workA(d);
             d.trn.execute(QStringLiteral("DELETE * FROM Work抽出A WHERE M1KaiBan = '0000003'"));
             auto table = d.trn.openTable(kWorkA);
             table->addNew();
             table->setValue(u"M1KaiBan", QStringLiteral("0000003"));
             table->update();
         },
         QStringLiteral("SELECT M1_お客様マスタ.M1KaiBan, M1_お客様マスタ.M1SakHby, "
                        "M1_お客様マスタ.M1SakRik, M1_お客様マスタ.M1SakRgk FROM M1_お客様マスタ "
                        "INNER JOIN Work抽出A ON M1_お客様マスタ.M1KaiBan = Work抽出A.M1KaiBan "
                        "ORDER BY M1_お客様マスタ.M1KaiBan"),
         [](Dbs d, const QString& sql) {
             EXPECT_EQ(Column(d.trn, sql, QStringLiteral("M1KaiBan")),
                       Customers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
             const QString master =
                 QStringLiteral("SELECT * FROM M1_お客様マスタ ORDER BY M1KaiBan");
             for (const char16_t* column : {u"M1SakHby", u"M1SakRik", u"M1SakRgk"})
                 EXPECT_EQ(Column(d.trn, sql, QString::fromUtf16(column)),
                           Column(d.trn, master, QString::fromUtf16(column)));
         }},

        // Customer list orders.
        {"ListByNumber", S::Query, scored,
         QStringLiteral("SELECT  * FROM WorkRFM_1 ORDER BY  M1KaiBan ASC "),
         queryColumn(QStringLiteral("M1KaiBan"), Customers({1, 2, 3, 4}))},
        {"ListByRfm", S::Query, scored,
         QStringLiteral("SELECT  * FROM WorkRFM_1 ORDER BY  RFM値 ASC,M1KaiBan ASC "),
         queryColumn(QStringLiteral("M1KaiBan"), Customers({2, 4, 1, 3}))},
        {"ListByGroup", S::Query, scored,
         QStringLiteral("SELECT  * FROM WorkRFM_1 ORDER BY  グループ ASC,M1KaiBan ASC "),
         queryColumn(QStringLiteral("M1KaiBan"), Customers({3, 1, 4, 2}))},

        // Master browsers.
        {"DirectMailBrowser", S::Query, none,
         QStringLiteral("SELECT  * FROM M4_ＤＭマスタ WHERE M4DmmBan >='            ' ORDER BY "
                        "M4DmmBan DESC "),
         queryColumn(QStringLiteral("M4DmmBan"),
                     {QStringLiteral("00010"), QStringLiteral("00002"), QStringLiteral("00001")},
                     true)},
        {"MailBrowserColumnCase", S::Query, none,
         QStringLiteral("SELECT  * FROM M6_メールマスタ WHERE M6eMlBan >='00002' ORDER BY "
                        "M6eMlBan DESC "),
         queryColumn(QStringLiteral("M6EmlBan"), {QStringLiteral("00010"), QStringLiteral("00002")},
                     true)},

        // Work tables are dropped before use; a missing one fails quietly.
        {"DropWorkTable", S::Execute, workA, QStringLiteral("DROP TABLE Work抽出A"),
         [](Dbs d, const QString& sql) {
             EXPECT_FALSE(d.trn.tableExists(kWorkA));
             EXPECT_TRUE(TableIndexes(d.trn, kWorkA).isEmpty());
             QString error;
             EXPECT_FALSE(d.trn.tryExecute(sql, &error));
             EXPECT_FALSE(error.isEmpty());
         }},
    };
}

class ProgramStatement : public ShopFixture,
                         public ::testing::WithParamInterface<std::tuple<StatementCase, Engine>> {
protected:
    void SetUp() override { openShop(std::get<1>(GetParam())); }
};

TEST_P(ProgramStatement, DoesWhatTheProgramExpects) {
    const StatementCase& c = std::get<0>(GetParam());
    Dbs d{*mTrn, *mMst, mEngine == Engine::Postgres};
    ASSERT_NO_THROW(c.before(d));
    if (c.run == StatementCase::Execute) {
        ASSERT_NO_THROW(d.trn.execute(c.sql));
    }
    c.check(d, c.sql);
}

INSTANTIATE_TEST_SUITE_P(
    All, ProgramStatement,
    ::testing::Combine(::testing::ValuesIn(cases()),
                       ::testing::Values(Engine::Sqlite, Engine::Postgres)),
    [](const ::testing::TestParamInfo<std::tuple<StatementCase, Engine>>& param) {
        return std::string(std::get<0>(param.param).label) +
               (std::get<1>(param.param) == Engine::Postgres ? "_Postgres" : "_Sqlite");
    });

} // namespace
} // namespace plw::db::test
