#pragma once

#include <QByteArray>
#include <QString>

namespace plw::test {

// Writes bytes to a file, creating its folder; fails the test when it cannot.
void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// Bytes that are the same for every run: a simple generator seeded by seed.
QByteArray PseudoRandomBytes(qsizetype size, quint32 seed);

} // namespace plw::test
