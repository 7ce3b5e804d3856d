#include "db/MasterBrowser.h"

#include "app/CommonRoutines.h"
#include "app/Prompter.h"
#include "db/Database.h"

namespace plw {

namespace {

// A text inside an SQL literal: its quotes doubled.
QString literal(QString text) {
    return text.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString query(const MasterTable& table, const QString& startKey, const QString& belowKey) {
    // An empty start key lists from the beginning: twelve blanks sort before every key.
    const QString start = startKey.isEmpty() ? QString(12, u' ') : startKey;
    QString sql = QStringLiteral("SELECT ") + QStringLiteral(" * ") + QStringLiteral("FROM ") +
                  table.Table + QStringLiteral(" ") + QStringLiteral("WHERE ") + table.QueryKey +
                  QStringLiteral(" >='") + literal(start) + QStringLiteral("' ");
    if (!belowKey.isNull())
        sql += QStringLiteral("AND ") + table.QueryKey + QStringLiteral(" <'") + literal(belowKey) +
               QStringLiteral("' ");
    return sql + QStringLiteral("ORDER BY ") + table.QueryKey + QStringLiteral(" DESC ");
}

// A list line: the running number, the key (characters 7 to 11), the date in kanji, the count
// right-aligned to six characters and the memo.
QString listLine(int lineNumber, const QString& key, const QString& date, qint64 count,
                 const QString& memo) {
    return FormatNumber(qint64(lineNumber), QStringLiteral("0000")) + QStringLiteral(": ") + key +
           QStringLiteral("  ") + DateToKanjiText(date) +
           FormatRight(count, QStringLiteral("##,##0")) + QStringLiteral("  ") + memo +
           QStringLiteral("  ");
}

} // namespace

MasterBrowser::MasterBrowser(db::Database& master, const MasterTable& table, Prompter& prompter)
    : mMaster(master), mTable(table), mPrompter(prompter) {}

QString MasterBrowser::Query(const MasterTable& table, const QString& startKey) {
    return query(table, startKey, QString());
}

MasterBrowser::Read MasterBrowser::open(const QString& startKey) {
    mStartKey = startKey;
    mPages.clear();
    mPage = 0;
    const Read read = readNextPage();
    if (read == Read::Listed)
        mPage = 1;
    return read;
}

bool MasterBrowser::nextPage() {
    if (mPage < static_cast<int>(mPages.size())) {
        ++mPage;
        return true;
    }
    switch (readNextPage()) {
    case Read::Listed:
        ++mPage;
        return true;
    case Read::Empty:
        mPrompter.show(QStringLiteral("次ページはありません"));
        return false;
    case Read::Failed:
        break;
    }
    return false;
}

bool MasterBrowser::previousPage() {
    if (mPage <= 1) {
        mPrompter.show(QStringLiteral("前ページはありません"));
        return false;
    }
    --mPage;
    return true;
}

QString MasterBrowser::pageLabel() const {
    return FormatNumber(qint64(mPage), QStringLiteral("###")) + QStringLiteral(" 頁");
}

QStringList MasterBrowser::lines() const {
    QStringList out;
    if (mPage >= 1)
        for (const Row& row : mPages[static_cast<size_t>(mPage - 1)].Rows)
            out << row.Line;
    return out;
}

QString MasterBrowser::firstKey(int page) const {
    if (page < 1 || page > static_cast<int>(mPages.size()))
        return QString();
    return mPages[static_cast<size_t>(page - 1)].Rows.front().Key;
}

std::optional<QString> MasterBrowser::choose(int row) const {
    const Page* page = mPage >= 1 ? &mPages[static_cast<size_t>(mPage - 1)] : nullptr;
    if (!page || row < 0 || row >= static_cast<int>(page->Rows.size())) {
        mPrompter.show(QStringLiteral("選択されていません"));
        return std::nullopt;
    }
    // The row's own key, without the padding a shorter key would carry on the line.
    return TrimAll(page->Rows[static_cast<size_t>(row)].Key);
}

MasterBrowser::Read MasterBrowser::readNextPage() {
    const QString below = mPages.empty() ? QString() : mPages.back().Rows.back().Key;
    const int firstLine = static_cast<int>(mPages.size()) * PageRows + 1;
    Page page;
    try {
        std::unique_ptr<db::Recordset> rs = mMaster.openRecordset(query(mTable, mStartKey, below));
        // No step beyond the sixteenth row: the next page is read when it is asked for.
        while (!rs->eof()) {
            const QString key = rs->text(mTable.Key);
            page.Rows.push_back({key, listLine(firstLine + static_cast<int>(page.Rows.size()), key,
                                               rs->text(mTable.Date), rs->integer(mTable.Count),
                                               rs->text(mTable.Memo))});
            if (static_cast<int>(page.Rows.size()) == PageRows)
                break;
            rs->moveNext();
        }
    } catch (const db::DatabaseError& error) {
        mPrompter.show(QStringLiteral("一覧を読めませんでした") + QChar(u'\r') + error.message(),
                       MessageIcon::Critical);
        return Read::Failed;
    }
    if (page.Rows.empty())
        return Read::Empty;
    mPages.push_back(std::move(page));
    return Read::Listed;
}

} // namespace plw
