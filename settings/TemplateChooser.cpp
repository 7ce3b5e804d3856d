#include "settings/TemplateChooser.h"

#include "app/CommonRoutines.h"
#include "app/FileSystem.h"
#include "app/Prompter.h"

#include <QFile>

namespace plw {
namespace {

const QString NameField = QStringLiteral("txtSyosiki");

} // namespace

TemplateChooser::TemplateChooser(QString workFolder, const QString& kind, Prompter& prompter)
    : mWorkFolder(std::move(workFolder)), mPrompter(prompter) {
    mLoadOnly = kind.startsWith(QLatin1Char('*'));
    mExtension = mLoadOnly ? kind.mid(1) : kind;
    mCaption = QStringLiteral("テンプレート (使用フォルダ:") + mWorkFolder +
               QStringLiteral(")   *.") + mExtension;
}

void TemplateChooser::open() {
    mFilter.reset();
    mList.scan(mWorkFolder, mExtension);
}

bool TemplateChooser::refuse(const QString& message, const QString& focus) {
    mPrompter.show(message, MessageIcon::Critical);
    mFocus = focus;
    return false;
}

bool TemplateChooser::checkListedName(const QString& name) {
    if (name.isEmpty())
        return refuse(QStringLiteral("設定して下さい"), NameField);
    // Only the visible list counts: a template hidden by the filter cannot be chosen.
    if (!mList.isVisible(name))
        return refuse(QStringLiteral("テンプレートにありません"), NameField);
    return true;
}

bool TemplateChooser::load(const QString& nameText) {
    const QString name = TrimBlanks(nameText);
    if (!checkListedName(name))
        return false;
    if (mPrompter.show(QStringLiteral("テンプレートから読み込みます。よろしいですか？"),
                       MessageIcon::Question, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return false;
    mAction = TemplateAction::Load;
    mName = name;
    return true;
}

bool TemplateChooser::save(const QString& nameText) {
    if (mLoadOnly)
        return false;
    const QString name = TrimBlanks(nameText);
    if (name.isEmpty())
        return refuse(QStringLiteral("設定して下さい"), NameField);
    // The name becomes a file name in the work folder and must not lead out of it.
    if (!IsPlainTemplateName(name) ||
        !CheckFileName(mWorkFolder + name + QLatin1Char('.') + mExtension))
        return refuse(QStringLiteral("正しいファイル名ではありません"), NameField);
    if (mSaveCheck) {
        const QString refused = mSaveCheck();
        if (!refused.isEmpty())
            return refuse(refused, NameField);
    }
    if (mPrompter.show(QStringLiteral("テンプレートに保存します。いいですか？"),
                       MessageIcon::Question, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return false;
    mAction = TemplateAction::Save;
    mName = name;
    return true;
}

void TemplateChooser::remove(const QString& nameText) {
    if (mLoadOnly)
        return;
    const QString name = TrimBlanks(nameText);
    if (!checkListedName(name))
        return;
    if (mPrompter.show(QStringLiteral("テンプレートから削除します。よろしいですか？"),
                       MessageIcon::Question, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    const QString systemPath = mWorkFolder + name + QLatin1Char('.') + mExtension;
    QFile file(ToNativePath(systemPath));
    if (!file.remove())
        mPrompter.show(QStringLiteral("テンプレートを削除できません\r%1: %2")
                           .arg(systemPath, file.errorString()),
                       MessageIcon::Critical);
    // The folder is listed again; the filter the operator set stays applied.
    mList.scan(mWorkFolder, mExtension);
    if (mFilter)
        mList.filter(mFilter->Mode, mFilter->Text1, mFilter->Text2);
}

bool TemplateChooser::cancel() {
    mAction = TemplateAction::Cancelled;
    mName.clear();
    return true;
}

bool TemplateChooser::filter(TemplateFilter mode, const QString& text1, const QString& text2) {
    const QString message = mList.filter(mode, text1, text2);
    if (!message.isEmpty())
        return refuse(message, QStringLiteral("txtGrepMoji2"));
    mFilter = Filter{mode, text1, text2};
    return true;
}

void TemplateChooser::clearFilter() {
    mFilter.reset();
    mList.clearFilter();
}

QString TemplateChooser::path() const {
    if (mAction == TemplateAction::Cancelled)
        return QString();
    return mWorkFolder + mName + QLatin1Char('.') + mExtension;
}

} // namespace plw
