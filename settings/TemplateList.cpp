#include "settings/TemplateList.h"

#include "app/CommonRoutines.h"
#include "app/FileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace plw {

bool IsPlainTemplateName(const QString& name) {
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

void TemplateList::scan(const QString& workFolder, const QString& extension) {
    mFull.clear();
    mSkipped = 0;
    const QString suffix = QLatin1Char('.') + extension;
    QList<QFileInfo> files;
    const QFileInfoList entries = QDir(ToNativePath(workFolder)).entryInfoList(QDir::Files);
    for (const QFileInfo& info : entries) {
        const QString fileName = info.fileName();
        if (fileName.size() <= suffix.size() || !fileName.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        if (!IsPlainTemplateName(fileName.chopped(suffix.size())))
            continue;
        files.append(info);
    }
    if (files.size() > MaxFiles) {
        // The list opens newest first, so the newest files are the ones worth listing.
        std::stable_sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
            return a.lastModified() > b.lastModified();
        });
        mSkipped = static_cast<int>(files.size()) - MaxFiles;
        files.resize(MaxFiles);
    }
    for (const QFileInfo& info : files) {
        mFull.append({info.fileName().chopped(suffix.size()),
                      info.lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))});
    }
    clearFilter();
}

void TemplateList::sortByName() {
    sortVisible(true);
}

void TemplateList::sortByTimeStamp() {
    sortVisible(false);
}

void TemplateList::sortVisible(bool byName) {
    QStringList keys;
    QStringList others;
    for (const TemplateEntry& entry : std::as_const(mVisible)) {
        keys.append(byName ? entry.Name : entry.TimeStamp);
        others.append(byName ? entry.TimeStamp : entry.Name);
    }
    SortPairsDescending(keys, others, keys.size());
    for (qsizetype i = 0; i < mVisible.size(); ++i)
        mVisible[i] =
            byName ? TemplateEntry{keys[i], others[i]} : TemplateEntry{others[i], keys[i]};
}

QStringList TemplateList::lines() const {
    QStringList out;
    out.reserve(mVisible.size());
    for (qsizetype i = 0; i < mVisible.size(); ++i)
        out.append(Line(static_cast<int>(i + 1), mVisible[i]));
    return out;
}

QString TemplateList::Line(int number, const TemplateEntry& entry) {
    return FormatNumber(qint64(number), QStringLiteral("0000")) + QStringLiteral(" | ") +
           entry.TimeStamp + QStringLiteral(" |  ") + entry.Name;
}

QString TemplateList::NameFromLine(const QString& line) {
    return line.mid(30);
}

QString TemplateList::filter(TemplateFilter mode, const QString& text1, const QString& text2) {
    const QString first = TrimBlanks(text1);
    const QString second = TrimBlanks(text2);
    const bool both = mode == TemplateFilter::Both;
    const bool either = mode == TemplateFilter::Either;
    if ((both || either) && second.isEmpty())
        return QStringLiteral("条件を指定してください");
    // Exact substring test: full-width and half-width characters and letter case differ.
    const auto has = [](const QString& name, const QString& text) {
        return text.isEmpty() || name.contains(text, Qt::CaseSensitive);
    };
    mVisible.clear();
    for (const TemplateEntry& entry : std::as_const(mFull)) {
        bool keep = has(entry.Name, first);
        if (both)
            keep = keep && has(entry.Name, second);
        else if (either)
            keep = keep || has(entry.Name, second);
        if (keep)
            mVisible.append(entry);
    }
    sortByTimeStamp();
    return QString();
}

void TemplateList::clearFilter() {
    mVisible = mFull;
    sortByTimeStamp();
}

bool TemplateList::isVisible(const QString& name) const {
    return std::any_of(mVisible.begin(), mVisible.end(),
                       [&name](const TemplateEntry& entry) { return entry.Name == name; });
}

} // namespace plw
