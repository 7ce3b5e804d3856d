#include "extract/KeyTable.h"

#include "db/Database.h"
#include "extract/KeyFile.h"

namespace plw {

bool LoadKeyTable(db::Database& database, const QString& keyFilePath, const QString& table,
                  qint64* count, QString* error) {
    *count = 0;
    KeyFileReader reader;
    if (!reader.open(keyFilePath, error))
        return false;

    database.tryExecute(QStringLiteral("DROP TABLE ") + table);
    database.execute(QStringLiteral("CREATE TABLE ") + table +
                     QStringLiteral(" (TmpKaiBan CHAR(7)  CONSTRAINT FRMKEY PRIMARY KEY  )"));
    db::Transaction transaction(database);
    {
        auto keys = database.openTable(table);
        KeyFileRecord record;
        QString readError;
        while (reader.next(&record, &readError)) {
            keys->addNew();
            keys->setValue(u"TmpKaiBan", record.CustomerNumber);
            keys->update();
        }
        if (!readError.isEmpty()) {
            *error = readError;
            return false;
        }
    }
    transaction.commit();
    *count = reader.count();
    return true;
}

void JoinMasterByKeys(db::Database& database, const QString& keyTable, const QString& output) {
    database.tryExecute(QStringLiteral("DROP TABLE ") + output);
    database.execute(QStringLiteral(" SELECT M1_お客様マスタ.*  INTO ") + output +
                     QStringLiteral(" FROM M1_お客様マスタ INNER JOIN ") + keyTable +
                     QStringLiteral(" ON M1_お客様マスタ.M1KaiBan = ") + keyTable +
                     QStringLiteral(".TmpKaiBan "));
}

} // namespace plw
