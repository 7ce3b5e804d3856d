#include "app/WorkFolderLock.h"

#include "app/FileSystem.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace plw {

WorkFolderLock::WorkFolderLock(const QString& workFolder) {
    const QString path = ToNativePath(workFolder + QStringLiteral("PLWAN40.LCK"));
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        mMessage = QStringLiteral("作業フォルダのロックファイルを開けません。\r%1\r%2")
                       .arg(path, SystemErrorText(errno));
        return;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        mMessage = error == EWOULDBLOCK
                       ? QStringLiteral("この作業フォルダでは他の分析を実行中です。\r"
                                        "終了してから、もう一度実行してください。")
                       : QStringLiteral("作業フォルダをロックできません。\r%1\r%2")
                             .arg(path, SystemErrorText(error));
        return;
    }
    mDescriptor = descriptor;
}

WorkFolderLock::~WorkFolderLock() {
    if (mDescriptor >= 0)
        ::close(mDescriptor); // closing the descriptor releases the lock
}

} // namespace plw
