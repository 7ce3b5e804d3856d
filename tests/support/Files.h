#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace plw::test {

// Writes bytes to a file, creating its folder; fails the test when it cannot.
void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// What a program (poppler's pdftotext, pdfinfo, ...) writes to standard output; fails the test
// when it does not end within half a minute.
QString ProgramOutput(const QString& program, const QStringList& arguments);

// Bytes that are the same for every run: a simple generator seeded by seed.
QByteArray PseudoRandomBytes(qsizetype size, quint32 seed);

} // namespace plw::test
