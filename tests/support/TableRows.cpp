#include "tests/support/TableRows.h"

#include "db/BaseTables.h"
#include "db/Database.h"

#include <QStringList>

#include <stdexcept>

namespace plw::test {

void InsertRow(db::Database& database, const QString& table, const QVariantMap& values) {
    const std::pair<QString, std::span<const db::ColumnDef>> tables[] = {
        {db::CustomerMasterTable, db::CustomerMasterColumns()},
        {db::PointHistoryTable, db::PointHistoryColumns()},
        {db::DirectMailMasterTable, db::DirectMailMasterColumns()},
        {db::MailMasterTable, db::MailMasterColumns()},
    };
    const auto found = std::find_if(std::begin(tables), std::end(tables),
                                    [&](const auto& entry) { return entry.first == table; });
    if (found == std::end(tables))
        throw std::invalid_argument("not a base table");
    QStringList names, parameters;
    QVariantList row;
    for (const db::ColumnDef& column : found->second) {
        const QString name = QString::fromUtf16(column.name);
        names << name;
        parameters << QStringLiteral("?%1").arg(names.size());
        row << (values.contains(name)                 ? values.value(name)
                : column.type == db::ColumnType::Text ? QVariant(QString())
                                                      : QVariant(0));
    }
    auto insert = database.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(table, names.join(u','), parameters.join(u',')));
    for (int i = 0; i < row.size(); ++i)
        insert->bind(i + 1, row[i]);
    insert->execute();
}

} // namespace plw::test
