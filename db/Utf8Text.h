#pragma once

#include <QString>

namespace plw::db {

// UTF-8 text from a database decoded into out's storage: a walk over many rows allocates nothing
// once each field has grown to its column's usual length. A malformed sequence is replaced as
// Qt's decoder replaces it.
void DecodeUtf8(const char* text, qsizetype bytes, QString& out);

} // namespace plw::db
