#include "program/StreamWaitWindow.h"

namespace plw {

void StreamWaitWindow::open(const QString& caption, const QString&) {
    mCaption = caption;
}

void StreamWaitWindow::setStep(const QString& label) {
    std::fprintf(mStream, "plwan40: %s %s\n", mCaption.toUtf8().constData(),
                 label.toUtf8().constData());
    std::fflush(mStream);
}

} // namespace plw
