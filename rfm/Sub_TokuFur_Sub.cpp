#include "rfm/Sub_TokuFur_Sub.h"

#include "app/AnsiCodec.h"
#include "app/CommonRoutines.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"
#include "app/RecordFile.h"
#include "settings/AnalysisParameters.h"

#include <QDir>
#include <QFile>

namespace plw {

namespace {

QString Refuse(Prompter& prompter, const QString& message) {
    prompter.show(message);
    return QStringLiteral("NG");
}

} // namespace

QString CheckOutputFileName(QString& text, Prompter& prompter,
                            const AnalysisParameters& parameters) {
    QString name = TrimAll(text);
    if (name.isEmpty())
        return Refuse(prompter, QStringLiteral("指定して下さい"));

    QString folder, file;
    SplitPath(name, folder, file);
    if (folder.isEmpty()) {
        // A bare name goes to the documents folder; the folder rules then apply to that folder.
        const QString documents = DocumentsFolder();
        if (!documents.isEmpty())
            QDir().mkpath(documents);
        name = documents + u'/' + name;
        text = name;
    }
    if (CheckFileName(name) != u"OK")
        return Refuse(prompter, QStringLiteral("正しいファイル名ではありません"));

    QString base, extension;
    SplitPathExtension(name, folder, base, extension);
    if (!extension.isEmpty() && extension.toUpper() != u"XLS")
        return Refuse(prompter, QStringLiteral("エクセルファイル(XLS)以外は扱えません。"));
    if (extension.isEmpty()) {
        if (!name.endsWith(u'.'))
            name += u'.';
        name += QStringLiteral("xls");
    }

    // A workbook open in a spreadsheet program would be replaced under the operator's hands.
    SplitPath(name, folder, base);
    if (QFile::exists(ToNativePath(folder + QStringLiteral(".~lock.") + base + u'#')))
        return Refuse(prompter, QStringLiteral("%1 は他のプログラムで開かれています。\r"
                                               "閉じてから実行してください。")
                                    .arg(name));

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
    return QStringLiteral("OK");
}

} // namespace plw
