#pragma once

#include "settings/TemplateAction.h"
#include "settings/TemplateList.h"

#include <QString>

#include <functional>
#include <optional>

namespace plw {

class Prompter;

// What the template dialog FRM_TEMPLATE does, without its widgets (SetTemPlate_Main): the caption,
// the list of one kind's templates in the work folder with its ordering and filter, and the
// load, save, delete and cancel actions with their checks and confirmations. The dialog binds
// its controls to this and closes when an action says so; the caller then reads or writes the
// file at path().
class TemplateChooser {
public:
    // kind "T01", "F01" or "F02"; with a leading "*" the dialog only loads (delete and save are
    // disabled). workFolder ends with its separator, as Environment::WorkFolder does.
    TemplateChooser(QString workFolder, const QString& kind, Prompter& prompter);

    // A check F8 runs before its confirmation: a message refuses the save (the dialog stays open).
    void setSaveCheck(std::function<QString()> check) { mSaveCheck = std::move(check); }

    // Scans the work folder and fills the list in time-stamp order.
    void open();

    const QString& caption() const { return mCaption; }
    const QString& extension() const { return mExtension; }
    bool loadOnly() const { return mLoadOnly; }
    TemplateList& list() { return mList; }
    const TemplateList& list() const { return mList; }

    // The buttons "F6:読込", "F8:保存", "F4:ﾃﾝﾌﾟﾚｰﾄからの削除", "ESC:ｷｬﾝｾﾙ" and "絞込" /
    // "絞込解除", given the texts of txtSyosiki or of the filter fields. load, save and cancel
    // return true when the dialog closes; remove keeps it open. A refused action names the control
    // that gets the focus in focusControl().
    bool load(const QString& nameText);
    bool save(const QString& nameText);
    void remove(const QString& nameText);
    bool cancel();
    // False when refused ("条件を指定してください"). A filter stays applied, also when a
    // delete lists the folder again, until it is cleared or the dialog opens anew.
    bool filter(TemplateFilter mode, const QString& text1, const QString& text2);
    void clearFilter();
    // Whether a filter is applied ("絞り込み中").
    bool filtered() const { return mFilter.has_value(); }

    // The result; cancelled also before any action.
    TemplateAction action() const { return mAction; }
    const QString& name() const { return mName; }
    // workFolder + name + "." + extension; "" when cancelled.
    QString path() const;
    const QString& focusControl() const { return mFocus; }

private:
    // The checks of loading and deleting: a name, and one of the visible list.
    bool checkListedName(const QString& name);
    bool refuse(const QString& message, const QString& focus);

    QString mWorkFolder;
    QString mExtension;
    bool mLoadOnly = false;
    QString mCaption;
    Prompter& mPrompter;
    TemplateList mList;
    TemplateAction mAction = TemplateAction::Cancelled;
    QString mName;
    QString mFocus;
    std::function<QString()> mSaveCheck;
    struct Filter {
        TemplateFilter Mode;
        QString Text1;
        QString Text2;
    };
    std::optional<Filter> mFilter;
};

} // namespace plw
