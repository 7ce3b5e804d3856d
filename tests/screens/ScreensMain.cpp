// The screen tests need a QApplication; they run on the offscreen platform with a display of the
// most common laptop size, a Japanese font and Qt's Japanese texts, as the program does.
#include "app/QtJapanese.h"

#include <QApplication>
#include <QFont>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    QTemporaryFile screens;
    if (!screens.open())
        return 1;
    screens.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366,
                      "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QApplication application(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    QString error;
    if (!plw::LoadJapanese(application, &error)) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
