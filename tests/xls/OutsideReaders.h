#pragma once

#include <QJsonObject>
#include <QString>

namespace plw::test {

// Readers of .xls files that share no code with the writer.

// What Python's xlrd reads: {"sheets": [{"name", "visible", "selected", "cells": {"row,col":
// {"type", "value", "format", "fill", "size", "bold", "colour"}}, "merged": [[r1, r2, c1, c2]],
// "widths": {"col": width}, "heights": {"row": twips}, "links": [[row, col, location, text]]}],
// "names": [[name, scope]]}. Rows and columns 0-based. False with the reason.
bool ReadWithXlrd(const QString& xls, QJsonObject* book, QString* error);

// Whether xlrd is installed.
bool HasXlrd();

// What Gnumeric's ssconvert says on reading the file (its warnings, empty when none, its own
// lack of metrics for a font left out); false
// with the reason when it could not run or read the file.
bool ReadWithGnumeric(const QString& xls, QString* warnings, QString* error);
bool HasGnumeric();

} // namespace plw::test
