// docs/SCHEMA.md is the contract with the suite's other programs: its DDL must be what the base
// tables really are.

#include "db/BaseTables.h"
#include "db/Database.h"

#include "tests/support/Printers.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plw::db {
namespace {

// One blank for every run of whitespace, none inside parentheses' edges.
QString normalized(QString sql) {
    sql = sql.simplified();
    sql.replace(QStringLiteral("( "), QStringLiteral("("));
    sql.replace(QStringLiteral(" )"), QStringLiteral(")"));
    return sql;
}

QStringList documentedStatements() {
    const QString path = QStringLiteral(PLWAN40_SOURCE_DIR "/docs/SCHEMA.md");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    QStringList statements;
    const QRegularExpression block(QStringLiteral("```sql\\n(.*?)```"),
                                   QRegularExpression::DotMatchesEverythingOption);
    for (auto it = block.globalMatch(text); it.hasNext();)
        for (const QString& statement : it.next().captured(1).split(u';', Qt::SkipEmptyParts))
            if (!statement.trimmed().isEmpty())
                statements << normalized(statement);
    return statements;
}

QStringList storedStatements(Database& db) {
    QStringList out;
    for (auto rs = db.openRecordset(
             QStringLiteral("SELECT sql FROM sqlite_schema WHERE sql IS NOT NULL ORDER BY rowid"));
         !rs->eof(); rs->moveNext())
        out << normalized(rs->text(u"sql"));
    return out;
}

TEST(SchemaDoc, ShowsTheBaseTablesAsCreated) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto transaction = Database::create(dir.filePath(QStringLiteral("PLW_TRN.MDB")));
    auto master = Database::create(dir.filePath(QStringLiteral("PLW_MST.MDB")));
    CreateTransactionBaseTables(*transaction);
    CreateMasterBaseTables(*master);
    EXPECT_EQ(documentedStatements(), storedStatements(*transaction) + storedStatements(*master));
}

} // namespace
} // namespace plw::db
