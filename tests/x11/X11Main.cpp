// The window tests on a real X server: the program starts Xvfb and openbox of its own, runs the
// tests with the program's application object on it, and ends both, as it ends.
#include "app/QtJapanese.h"
#include "tests/x11/XServer.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    plw::test::XServer server;
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    int status = 0;
    {
        // As the desktop program: the system's fonts and Qt's Japanese texts.
        QApplication application(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        if (!plw::LoadJapanese(application, &error)) {
            std::fprintf(stderr, "%s\n", error.toUtf8().constData());
            return 1;
        }
        status = RUN_ALL_TESTS();
    }
    return status;
}
