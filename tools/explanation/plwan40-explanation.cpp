// Writes the explanatory document "説明：RFM分析日付の関係.pdf" that the parameter screen's "説明"
// opens. Run at build time; the program finds the document beside itself.
//
//   plwan40-explanation OUTPUT.pdf

#include "tools/explanation/ExplanationDocument.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Fonts only: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: plwan40-explanation OUTPUT.pdf\n");
        return 2;
    }
    QString error;
    if (!plw::explanation::WriteExplanationDocument(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
