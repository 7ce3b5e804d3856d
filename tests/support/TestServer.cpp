#include "tests/support/TestServer.h"

#include "db/PostgresConnection.h"
#include "db/PostgresDatabase.h"

#include <QCoreApplication>
#include <QFile>

#include <stdexcept>

namespace plw::test {

QString TestServerConnection() {
    QByteArray folder = qgetenv("PLWAN40_TEST_PG");
    if (folder.isEmpty())
        folder = PLWAN40_TEST_PG_DIR;
    QFile file(QFile::decodeName(folder) + QStringLiteral("/conninfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

TestSchemas::TestSchemas() {
    const QString connection = TestServerConnection();
    if (connection.isEmpty())
        throw std::runtime_error("no test server (PLWAN40_TEST_PG)");
    static int next = 0;
    const QString prefix =
        QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++next);
    mBase = prefix + QStringLiteral("_base");
    mWork = prefix + QStringLiteral("_work");
    mAdmin = db::PostgresDatabase::connect(connection, {QStringLiteral("public")});
    for (const QString& schema : {mBase, mWork})
        mAdmin->connection().run(
            QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1").arg(schema));
}

TestSchemas::~TestSchemas() {
    try {
        mAdmin->connection().run(
            QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; DROP SCHEMA IF EXISTS %2 CASCADE")
                .arg(mBase, mWork));
    } catch (const db::DatabaseError&) {
        // A server that went away takes the schemas with its cluster.
    }
}

std::unique_ptr<db::Database> TestSchemas::master() const {
    return db::PostgresDatabase::connect(TestServerConnection(), {mBase});
}

std::unique_ptr<db::Database> TestSchemas::transaction() const {
    return db::PostgresDatabase::connect(TestServerConnection(), {mWork, mBase});
}

} // namespace plw::test
