#include "tests/xls/OutsideReaders.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace plw::test {

namespace {

const char* const kXlrdScript = R"(
import json, sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
out = {"sheets": [], "names": []}
for sheet in book.sheets():
    cells = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            xf = book.xf_list[cell.xf_index]
            font = book.font_list[xf.font_index]
            cells["%d,%d" % (r, c)] = {
                "type": cell.ctype, "value": cell.value,
                "format": book.format_map[xf.format_key].format_str,
                "fill": xf.background.pattern_colour_index if xf.background.fill_pattern else 0,
                "size": font.height / 20.0, "bold": bool(font.bold), "colour": font.colour_index}
    links = [[l.frowx, l.fcolx, l.textmark or "", l.desc or ""] for l in sheet.hyperlink_list]
    out["sheets"].append({
        "name": sheet.name, "visible": sheet.visibility, "selected": bool(sheet.sheet_selected),
        "cells": cells, "merged": [list(m) for m in sheet.merged_cells],
        "widths": {str(c): info.width for c, info in sheet.colinfo_map.items()},
        "heights": {str(r): info.height for r, info in sheet.rowinfo_map.items()},
        "links": links})
for name in book.name_obj_list:
    out["names"].append([name.name, name.scope])
sys.stdout.write(json.dumps(out, ensure_ascii=False))
)";

// Debian's Python, where the packages the set-up installs are; another one on the search path
// (a version manager's) may lack them.
QString Python() {
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

} // namespace

bool HasXlrd() {
    QProcess process;
    process.start(Python(), {QStringLiteral("-c"), QStringLiteral("import xlrd")});
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

bool ReadWithXlrd(const QString& xls, QJsonObject* book, QString* error) {
    QProcess process;
    process.start(Python(), {QStringLiteral("-c"), QString::fromUtf8(kXlrdScript), xls});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        *error = QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(process.readAllStandardOutput(), &parse);
    if (!document.isObject()) {
        *error = parse.errorString();
        return false;
    }
    *book = document.object();
    return true;
}

bool HasGnumeric() {
    return !QStandardPaths::findExecutable(QStringLiteral("ssconvert")).isEmpty();
}

bool ReadWithGnumeric(const QString& xls, QString* warnings, QString* error) {
    QTemporaryDir dir;
    QProcess process;
    process.start(QStringLiteral("ssconvert"),
                  {QStringLiteral("--export-type=Gnumeric_stf:stf_csv"), xls,
                   dir.filePath(QStringLiteral("out.csv"))});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *error = QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    // Gnumeric's own font metrics lack the Japanese font: that says nothing of the file.
    QStringList lines = QString::fromUtf8(process.readAllStandardError()).split(u'\n');
    lines.removeIf([](const QString& line) {
        return line.trimmed().isEmpty() || line.contains(QStringLiteral("unknown widths for font"));
    });
    *warnings = lines.join(u'\n');
    return true;
}

} // namespace plw::test
