// plwan40-template FILE: writes the template workbook PLWAN40X.EXL that the program copies its
// sheets from.

#include "tools/template/TemplateWorkbook.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 || args[0].startsWith(u'-')) {
        std::fputs("usage: plwan40-template FILE\n"
                   "Writes the template workbook (an .xlsx package, installed as PLWAN40X.EXL).\n",
                   args.size() == 1 && args[0] == QStringLiteral("--help") ? stdout : stderr);
        return args.size() == 1 && args[0] == QStringLiteral("--help") ? 0 : 2;
    }
    QString error;
    if (!plw::TemplateWorkbook::Write(args[0], &error)) {
        std::fputs((QStringLiteral("plwan40-template: ") + error + u'\n').toLocal8Bit().constData(),
                   stderr);
        return 1;
    }
    return 0;
}
