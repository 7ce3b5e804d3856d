// Draws the help window's picture to a PNG file at build time.
//
//   plwan40-help-picture OUTPUT.png

#include "tools/helppicture/ConditionHelpPicture.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: plwan40-help-picture OUTPUT.png\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (!plw::DrawConditionHelpPicture(QStringLiteral("IPAPGothic")).save(path)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
