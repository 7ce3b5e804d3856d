#include "program/DesktopStart.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace plw {

namespace {

QtMessageHandler gPreviousHandler = nullptr;
bool gStarting = false;

void StartMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg && gStarting) {
        std::fprintf(stderr, "plwan40: エラー: %s\n(%s)\n", NoDisplayMessage().toUtf8().constData(),
                     text.toUtf8().constData());
        std::fflush(stderr);
        std::_Exit(NoDisplayStatus);
    }
    if (gPreviousHandler)
        gPreviousHandler(type, context, text);
}

} // namespace

bool DisplayNamed() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString NoDisplayMessage() {
    return QStringLiteral("画面を表示できません（ディスプレイに接続できません）。\n"
                          "デスクトップの画面から起動するか、画面なしで分析を行うときは "
                          "--batch を指定してください。");
}

ApplicationStartGuard::ApplicationStartGuard() {
    gStarting = true;
    gPreviousHandler = qInstallMessageHandler(StartMessageHandler);
}

ApplicationStartGuard::~ApplicationStartGuard() {
    started();
}

void ApplicationStartGuard::started() const {
    if (!gStarting)
        return;
    gStarting = false;
    qInstallMessageHandler(gPreviousHandler);
}

} // namespace plw
