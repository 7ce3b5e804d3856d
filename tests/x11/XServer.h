#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

namespace plw::test {

// An X server of the test program's own: Xvfb at 1366 x 768 on a display number it finds free,
// with openbox as its window manager, which keeps 48 pixels at the bottom for a task bar. The
// processes end with this object, and with the test program however that ends.
class XServer {
public:
    XServer() = default;
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // Starts both and names the display in DISPLAY; false with the cause.
    bool start(QString* error);
    void stop();

private:
    QString mFolder;
    pid_t mServer = -1;
    pid_t mWindowManager = -1;
};

// Runs an X tool (xprop, xwininfo) on the display and returns its standard output; empty when
// it could not run.
QString RunTool(const QStringList& arguments);

// What the window manager reports of a top-level window: where the window is, whether it is
// viewable, and the frame it drew around it (none for a window it does not frame).
struct FramedWindow {
    QRect Inner;
    bool Viewable = false;
    std::optional<QRect> Frame;
};
std::optional<FramedWindow> ReadFramedWindow(unsigned long window);

// The part of the screen the window manager lets windows use (_NET_WORKAREA).
QRect WorkArea();

} // namespace plw::test
