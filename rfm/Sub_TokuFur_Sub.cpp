#include "rfm/Sub_TokuFur_Sub.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "app/RecordFile.h"
#include "settings/AnalysisParameters.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <unistd.h>

namespace plw {

namespace {

// The longest file name the file systems here take, in bytes of their encoding (UTF-8).
constexpr qsizetype FileNameLimit = 255;

bool Refuse(Prompter& prompter, const QString& message) {
    prompter.show(message);
    return false;
}

bool Writable(const QString& native) {
    return ::access(QFile::encodeName(native).constData(), W_OK) == 0;
}

// Why the workbook cannot be saved where the name says, or "" when it can.
QString SavingProblem(const QString& name, bool inDocuments) {
    QString folder, file;
    SplitPath(name, folder, file);
    if (QFile::encodeName(file).size() > FileNameLimit)
        return QStringLiteral("ファイル名が長すぎます（%1 バイトまで）: %2")
            .arg(FileNameLimit)
            .arg(file);
    const QFileInfo folderInfo(ToNativePath(folder));
    if (!folderInfo.exists()) {
        if (inDocuments)
            return {}; // the documents folder is made when the workbook is saved
        return QStringLiteral("保存先のフォルダがありません: ") + folder;
    }
    if (!folderInfo.isDir())
        return QStringLiteral("保存先はフォルダではありません: ") + folder;
    if (!Writable(folderInfo.filePath()))
        return QStringLiteral("保存先のフォルダに書き込めません: ") + folder;
    const QFileInfo existing(ToNativePath(name));
    if (existing.exists() && (existing.isDir() || !Writable(existing.filePath())))
        return QStringLiteral("同じ名前のファイルを書き換えられません: ") + name;
    return {};
}

} // namespace

ChosenWorkbook CompleteChosenWorkbook(const QString& chosen) {
    ChosenWorkbook workbook;
    SplitPath(chosen, workbook.Folder, workbook.File);
    if (workbook.File.size() < 4 || workbook.File.at(workbook.File.size() - 4) != u'.')
        workbook.File += QStringLiteral(".XLS");
    return workbook;
}

bool CheckOutputFileName(QString& text, Prompter& prompter, const AnalysisParameters& parameters) {
    QString name = TrimAll(text);
    if (name.isEmpty())
        return Refuse(prompter, QStringLiteral("指定して下さい"));
    // A control character (a line break) would split the path wherever it is printed.
    const bool control = std::any_of(name.cbegin(), name.cend(),
                                     [](QChar c) { return c.category() == QChar::Other_Control; });
    if (control || !FileNameRulesHold(name))
        return Refuse(prompter, QStringLiteral("正しいファイル名ではありません"));

    QString folder, file;
    SplitPath(name, folder, file);
    const bool inDocuments = folder.isEmpty();
    // A folder is named from the root: a relative one would depend on where the program started.
    if (!inDocuments && !folder.startsWith(u'/') && !folder.startsWith(u'\\'))
        return Refuse(
            prompter,
            QStringLiteral("保存先のフォルダは「/」から始まる絶対パスで指定してください: ") +
                folder);
    if (inDocuments)
        name = DocumentsFolder() + u'/' + name;

    QString base, extension;
    SplitPathExtension(name, folder, base, extension);
    if (!extension.isEmpty() && extension.toUpper() != u"XLS")
        return Refuse(prompter, QStringLiteral("エクセルファイル(XLS)以外は扱えません。"));
    if (extension.isEmpty()) {
        if (!name.endsWith(u'.'))
            name += u'.';
        name += QStringLiteral("xls");
    }

    if (const QString problem = SavingProblem(name, inDocuments); !problem.isEmpty())
        return Refuse(prompter, problem);

    // The name is saved in the parameter record: refuse what it could not hold.
    if (!AnsiCodec::encode(name))
        return Refuse(prompter, QStringLiteral("ファイル名に使えない文字（%1）が含まれています")
                                    .arg(AnsiCodec::firstUnencodable(name)));
    AnalysisParameters stored = parameters;
    stored.WorkbookName = name;
    RecordWriter record(ParameterRecordLength);
    EncodeAnalysisParameters(stored, record);
    if (!record.ok())
        return Refuse(prompter, QStringLiteral("ファイル名が長すぎます"));

    text = name;
    return true;
}

} // namespace plw
