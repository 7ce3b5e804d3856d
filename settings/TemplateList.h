#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace plw {

// How the dialog's filter ("なし", "かつ", "または") keeps a template: by text 1 alone, by both
// texts, or by either.
enum class TemplateFilter { First, Both, Either };

// One template file: its name (the file name without the dot and the three-character kind) and
// its last-modified time "YYYY/MM/DD HH:MM:SS".
struct TemplateEntry {
    QString Name;
    QString TimeStamp;

    bool operator==(const TemplateEntry&) const = default;
};

// Whether a template name is a plain file name that stays inside the work folder: not empty, no
// folder separator ("/" or "\"), no leading "." (hidden files, "..") and no NUL. Saving also
// applies the file-name check (CheckFileName) to the whole path.
bool IsPlainTemplateName(const QString& name);

// The templates of one kind in the work folder: the full list and the visible (filtered) list,
// and the lines the template dialog shows for the visible one.
class TemplateList {
public:
    static constexpr int MaxFiles = 900;

    // Lists workFolder's files "*." + extension, the extension matched without regard to letter
    // case. Of more than MaxFiles files the most recently changed are kept. Files whose name is
    // no plain template name are left out. The visible list becomes the full list, in time-stamp
    // order.
    void scan(const QString& workFolder, const QString& extension);

    const QList<TemplateEntry>& full() const { return mFull; }
    const QList<TemplateEntry>& visible() const { return mVisible; }
    // Files of the kind the last scan found beyond MaxFiles and did not list.
    int skipped() const { return mSkipped; }

    // Orders the visible list by name or by time stamp, both in descending character order.
    void sortByName();
    void sortByTimeStamp();

    // The lines of the visible list: number "0000", " | ", time stamp, " |  ", name.
    QStringList lines() const;
    static QString Line(int number, const TemplateEntry& entry);
    // The name a line shows: everything from its 31st character on.
    static QString NameFromLine(const QString& line);

    // Keeps the entries of the full list whose name contains text 1 (First), text 1 and text 2
    // (Both) or either (Either), as exact substrings; an empty text is in every name. Texts are
    // trimmed first. Returns "条件を指定してください" and changes nothing when Both or Either lacks
    // text 2, otherwise "" with the visible list refilled in time-stamp order.
    QString filter(TemplateFilter mode, const QString& text1, const QString& text2);
    // Shows the full list again, in time-stamp order.
    void clearFilter();

    bool isVisible(const QString& name) const;

private:
    void sortVisible(bool byName);

    QList<TemplateEntry> mFull;
    QList<TemplateEntry> mVisible;
    int mSkipped = 0;
};

} // namespace plw
