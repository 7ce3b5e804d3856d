#include "extract/RandomSampling.h"

#include "app/CommonRoutines.h"
#include "app/FileSystem.h"
#include "db/Database.h"
#include "extract/KeyFile.h"

#include <QFile>

#include <cmath>

namespace plw {
namespace {

// Numbers in [0, 1) from a 64-bit SplitMix generator: the same seed gives the same numbers on every
// platform.
class UnitRandom {
public:
    explicit UnitRandom(quint64 seed) : mState(seed) {}
    double next() {
        quint64 z = (mState += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return double(z >> 11) * 0x1.0p-53;
    }

private:
    quint64 mState;
};

} // namespace

bool WriteSampledKeyFile(db::Database& database, const QString& current, qint64 size, quint64 seed,
                         const QString& keyFilePath, const Clock& clock, qint64* written,
                         QString* error) {
    database.execute(QStringLiteral(" ALTER TABLE ") + current +
                     QStringLiteral(" ADD COLUMN  RANS integer "));
    UnitRandom random(seed);
    {
        db::Transaction transaction(database);
        {
            auto table = database.openTable(current);
            for (; !table->eof(); table->moveNext()) {
                table->edit();
                // The nearest whole number, a half to the even one: 1 to 5000001.
                table->setValue(u"RANS", qint64(std::nearbyint(random.next() * 5000000.0 + 1.0)));
                table->update();
            }
        }
        transaction.commit();
    }

    database.tryExecute(QStringLiteral("DROP TABLE Sort前"));
    database.execute(QStringLiteral("CREATE TABLE Sort前 (M1KaiBan CHAR(7) )"));
    {
        db::Transaction transaction(database);
        {
            auto sample = database.openRecordset(
                QStringLiteral("SELECT TOP ") + FormatNumber(size, QStringLiteral("######0")) +
                QStringLiteral(" *  FROM ") + current + QStringLiteral(" ORDER BY RANS "));
            auto sorted = database.openTable(QStringLiteral("Sort前"));
            const int column = sample->requireField(u"M1KaiBan");
            for (; !sample->eof(); sample->moveNext()) {
                sorted->addNew();
                sorted->setValue(u"M1KaiBan", sample->value(column));
                sorted->update();
            }
        }
        transaction.commit();
    }

    QFile::remove(ToNativePath(keyFilePath));
    auto rows = database.openRecordset(QStringLiteral("SELECT *  FROM Sort前 ORDER BY M1KaiBan "));
    return WriteKeyFile(keyFilePath, *rows, clock, written, error);
}

} // namespace plw
