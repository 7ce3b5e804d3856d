// The screen tests need a QApplication; they run on the offscreen platform with a Japanese font
// and Qt's Japanese texts, as the program does.
#include "screens/DesktopStart.h"

#include <QApplication>
#include <QFont>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
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
