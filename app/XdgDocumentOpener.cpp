#include "app/XdgDocumentOpener.h"

#include "app/Prompter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace plw {

QString OpenerFailureText(const QString& path, int exitCode) {
    const QString name = QFileInfo(path).fileName();
    QString reason;
    // The exit statuses xdg-open documents.
    switch (exitCode) {
    case 2:
        reason = QStringLiteral("ファイルが見つかりません。");
        break;
    case 3:
        reason = QStringLiteral("この種類のファイルを表示するプログラムが登録されていません。");
        break;
    case 4:
        reason = QStringLiteral("表示するプログラムを起動できませんでした。");
        break;
    default:
        reason = QStringLiteral("xdg-open が終了コード %1 で終わりました。").arg(exitCode);
        break;
    }
    return name + QStringLiteral(" を開けませんでした。") + QChar(u'\r') + reason + QChar(u'\r') +
           QDir::toNativeSeparators(path);
}

void XdgDocumentOpener::open(const QString& path) {
    // The process reports when it ends and then goes away; the program does not wait for it,
    // and the report needs nothing of this opener.
    auto* process = new QProcess;
    process->setProgram(mProgram);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [&prompter = mPrompter, process, path](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         prompter.show(QFileInfo(path).fileName() +
                                           QStringLiteral(" を開けませんでした。") + QChar(u'\r') +
                                           QStringLiteral("文書を表示するための xdg-open "
                                                          "が見つかりません（xdg-utils が"
                                                          "必要です）。"),
                                       MessageIcon::Critical);
                         process->deleteLater();
                     });
    QElapsedTimer started;
    started.start();
    QObject::connect(
        process, &QProcess::finished, process,
        [&prompter = mPrompter, process, path, started,
         window = mStartWindowMs](int exitCode, QProcess::ExitStatus status) {
            if (status == QProcess::NormalExit && exitCode != 0 && started.elapsed() < window)
                prompter.show(OpenerFailureText(path, exitCode), MessageIcon::Critical);
            process->deleteLater();
        });
    process->start();
}

} // namespace plw
