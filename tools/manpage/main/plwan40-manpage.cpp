// plwan40-manpage PROGRAM SOURCE README VERSION FOLDER: writes the manual pages of PROGRAM,
// FOLDER/NAME.1 in English and FOLDER/ja/NAME.1 in Japanese, from PROGRAM --help, the README's
// command-line table and the page source. What the sources disagree on is printed as warnings
// (the manual-page test fails on it); only an unreadable source or program stops it.

#include "tools/manpage/PageSources.h"
#include "tools/manpage/RoffPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

namespace {

using namespace plw::manpage;

int Fail(const QString& text) {
    std::fputs((QStringLiteral("plwan40-manpage: ") + text + u'\n').toUtf8().constData(), stderr);
    return 1;
}

bool ReadText(const QString& path, QString* text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromUtf8(file.readAll());
    return true;
}

bool WriteText(const QString& path, const QString& text) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(text.toUtf8()) == text.toUtf8().size() && file.flush();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 5)
        return Fail(QStringLiteral("usage: plwan40-manpage PROGRAM SOURCE README VERSION FOLDER"));
    const QString program = args[0];
    PageInputs in;
    in.Program = QFileInfo(program).fileName();
    in.Version = args[3];

    QProcess help;
    help.start(program, {QStringLiteral("--help")});
    if (!help.waitForFinished(60000) || help.exitStatus() != QProcess::NormalExit ||
        help.exitCode() != 0)
        return Fail(program + QStringLiteral(" --help failed: ") + help.errorString() +
                    QString::fromUtf8(help.readAllStandardError()));
    in.Help = ParseHelp(QString::fromUtf8(help.readAllStandardOutput()), in.Program);

    QString readme;
    QString source;
    if (!ReadText(args[2], &readme))
        return Fail(QStringLiteral("cannot read ") + args[2]);
    if (!ReadText(args[1], &source))
        return Fail(QStringLiteral("cannot read ") + args[1]);
    in.ReadmeForms = ReadmeCommands(readme, in.Program);
    QString error;
    in.Source = ParsePageSource(source, &error);
    if (!error.isEmpty())
        return Fail(args[1] + QStringLiteral(": ") + error);

    for (const QString& problem : CheckSources(in))
        std::fputs((QStringLiteral("plwan40-manpage: warning: ") + in.Program +
                    QStringLiteral("(1): ") + problem + u'\n')
                       .toUtf8()
                       .constData(),
                   stderr);

    const QDir folder(args[4]);
    const QString page = in.Program + QStringLiteral(".1");
    if (!WriteText(folder.filePath(page), WritePage(in, Language::English)) ||
        !WriteText(folder.filePath(QStringLiteral("ja/") + page),
                   WritePage(in, Language::Japanese)))
        return Fail(QStringLiteral("cannot write the pages into ") + folder.path());
    return 0;
}
