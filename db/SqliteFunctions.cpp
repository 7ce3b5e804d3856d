#include "db/SqliteFunctions.h"

#include "db/JetLikePattern.h"
#include "db/JetSql.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QString>

namespace plw::db {
namespace {

// jet_concat(a, b, ...): the texts of the arguments joined; Null when every argument is Null.
void concat(sqlite3_context* context, int argc, sqlite3_value** argv) {
    QByteArray out;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        any = true;
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        out.append(text, sqlite3_value_bytes(argv[i]));
    }
    if (!any) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text64(context, out.constData(), quint64(out.size()), SQLITE_TRANSIENT,
                          SQLITE_UTF8);
}

struct CompiledPattern {
    SqlitePattern::Kind kind;
    QByteArray pattern;
};

void deletePattern(void* pattern) {
    delete static_cast<CompiledPattern*>(pattern);
}

// jet_like(value, pattern): Jet's LIKE; the converted pattern is kept while the pattern
// argument stays the same.
void like(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    auto* compiled = static_cast<CompiledPattern*>(sqlite3_get_auxdata(context, 1));
    if (!compiled) {
        const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
        SqlitePattern pattern;
        QString error;
        if (!ConvertJetPattern(QString::fromUtf8(raw, sqlite3_value_bytes(argv[1])), &pattern,
                               &error)) {
            const QByteArray message = error.toUtf8();
            sqlite3_result_error(context, message.constData(), int(message.size()));
            return;
        }
        compiled = new CompiledPattern{pattern.kind, pattern.pattern.toUtf8()};
        sqlite3_set_auxdata(context, 1, compiled, deletePattern);
        compiled = static_cast<CompiledPattern*>(sqlite3_get_auxdata(context, 1));
        if (!compiled) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    const auto* value = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int matched =
        compiled->kind == SqlitePattern::Kind::Glob
            ? sqlite3_strglob(compiled->pattern.constData(), value) == 0
            : sqlite3_strlike(compiled->pattern.constData(), value, unsigned(LikeEscape)) == 0;
    sqlite3_result_int(context, matched);
}

} // namespace

int RegisterJetFunctions(sqlite3* connection) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function_v2(connection, JetConcatFunction, -1, flags, nullptr, concat,
                                        nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(connection, JetLikeFunction, 2, flags, nullptr, like,
                                        nullptr, nullptr, nullptr);
    return rc;
}

} // namespace plw::db
