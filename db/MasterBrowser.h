#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace plw {

class Prompter;

namespace db {
class Database;
}

// A campaign master as its browser lists it: the table, the key column as the query writes it,
// the columns of a list line, and the name of the browser's window.
struct MasterTable {
    QString Table;
    QString QueryKey;
    QString Key;
    QString Date;
    QString Count;
    QString Memo;
    QString FormName;
};

// The paging list of a campaign master, highest key first, 16 lines a page. Each page is one
// query that reads at most 16 rows: page 1 the master's query from the start key on, a later
// page the same query limited to the keys below the last key of the page before. Pages once
// read are kept with their first key, so "前頁" (and "次頁" back to a page read before) reads
// nothing again. Messages for the ends of the list, a missing selection and a failed read go
// through the Prompter; the page and its lines then stay.
class MasterBrowser {
public:
    static constexpr int PageRows = 16;

    MasterBrowser(db::Database& master, const MasterTable& table, Prompter& prompter);

    const MasterTable& table() const { return mTable; }

    enum class Read { Listed, Empty, Failed };

    // Reads page 1 from startKey on ("" lists from the beginning). Empty when no row is there;
    // Failed when the database could not be read (reported).
    Read open(const QString& startKey);
    // "次頁" and "前頁": false, with "次ページはありません" / "前ページはありません", at the ends.
    bool nextPage();
    bool previousPage();

    int page() const { return mPage; }
    // lblPage: the page number and " 頁".
    QString pageLabel() const;
    // The list lines of the page shown.
    QStringList lines() const;
    // The first key of each page read so far.
    QString firstKey(int page) const;

    // Choosing line row (0-based) of the page: its key; with no line selected (row < 0)
    // "選択されていません" and nothing.
    std::optional<QString> choose(int row) const;

    // The page-1 query of the master from startKey on, as the suite writes it.
    static QString Query(const MasterTable& table, const QString& startKey);

private:
    struct Row {
        QString Key;
        QString Line;
    };
    struct Page {
        std::vector<Row> Rows;
    };

    // Reads the page after the last one read (page 1 when none was).
    Read readNextPage();

    db::Database& mMaster;
    MasterTable mTable;
    Prompter& mPrompter;
    QString mStartKey;
    std::vector<Page> mPages;
    int mPage = 0;
};

} // namespace plw
