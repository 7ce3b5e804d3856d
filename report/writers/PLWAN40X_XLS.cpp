#include "report/writers/PLWAN40X_XLS.h"

#include "app/CommonRoutines.h"
#include "app/ProgressSink.h"
#include "app/Prompter.h"
#include "app/TwCom_Excelomati.h"
#include "db/Database.h"
#include "db/M1CustMstM_T.h"
#include "report/PLWAN40X_XLScmn.h"
#include "report/Sub_ExcelSubRtn.h"
#include "rfm/AnalysisExtraction.h"
#include "workbook/Worksheet.h"

#include <array>
#include <vector>

namespace plw {
namespace {

// Columns A to AT of the list; row 1 holds the headings, customers start on row 2.
constexpr int ListColumns = 46;
// At most this many customers: the last one on row 65001.
constexpr int ListLimit = 65000;
// K to N: the master's own figures beside the recomputed ones of a detailed purchase period.
constexpr int FirstPeriodColumn = 11;
constexpr int LastPeriodColumn = 14;
// O: the first column an output item can remove ("000"); each further item code (in steps of
// ten) the next column, up to AT ("310").
constexpr int FirstItemColumn = 15;
constexpr int LastItemCode = 310;
// AQ to AT: the four classifications.
constexpr int FirstClassificationColumn = 43;

// The ORDER BY of a list order; empty for an order the screens never produce.
QString OrderOf(int listOrder) {
    switch (listOrder) {
    case 1:
        return QStringLiteral(" M1KaiBan ASC ");
    case 2:
        return QStringLiteral(" RFM値 ASC,M1KaiBan ASC ");
    case 3:
        return QStringLiteral(" グループ ASC,M1KaiBan ASC ");
    default:
        return {};
    }
}

QString ListQuery(const QString& workTable, int listOrder) {
    QString sql =
        QStringLiteral("SELECT ") + QStringLiteral(" * ") + QStringLiteral("FROM ") + workTable;
    // Without an order the query has no ORDER BY at all: an empty one would not parse.
    const QString order = OrderOf(listOrder);
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order;
    return sql;
}

// The column an output item controls ("000:最終購買額" -> O), 0 for an item without one.
int ItemColumn(const QString& item) {
    if (item.size() < 3)
        return 0;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        const QChar c = item.at(i);
        if (c < u'0' || c > u'9')
            return 0;
        code = code * 10 + (c.unicode() - u'0');
    }
    if (code % 10 != 0 || code > LastItemCode)
        return 0;
    return FirstItemColumn + code / 10;
}

// The columns the finished list loses: K to N without the purchase period, then the column of
// every removed output item, in the order of the removed list. All name the full layout.
struct Removal {
    QString list; // "K:K,L:L,M:M,N:N,O:O", empty when nothing goes
    std::array<bool, ListColumns + 1> removed{};
};

Removal RemovalOf(const QStringList& leftOutItems, bool periodOn) {
    Removal removal;
    QStringList ranges;
    auto remove = [&](int column) {
        const QString letters = ColumnLetters(column);
        ranges << letters + u':' + letters;
        removal.removed[size_t(column)] = true;
    };
    if (!periodOn) {
        for (int column = FirstPeriodColumn; column <= LastPeriodColumn; ++column)
            remove(column);
    }
    for (const QString& item : leftOutItems) {
        if (const int column = ItemColumn(item))
            remove(column);
    }
    removal.list = ranges.join(u',');
    return removal;
}

// Fills the row buffer from the current row of the list query and the current customer.
class RowFiller {
public:
    RowFiller(const db::Recordset& recordset, const CustomerListInput& input,
              const Removal& removal)
        : mRecordset(recordset),
          mFields(recordset,
                  {u"M1MisBan", u"M1KikBan", u"M1KaiBan", u"M1SakRgk", u"M1SakRik", u"M1SakHby",
                   u"M1SakHbh", u"M1SakGak", u"M1SakPoG", u"M1SakPoL", u"M1SakPoZ", u"M1SakPoK",
                   u"M1SakRak", u"M1KhSraB", u"M1KhSeib", u"M1KhBart", u"M1KhNenS", u"M1KhNamH",
                   u"M1KhNamZ", u"M1KhZIPC", u"M1KhADD1", u"M1KhADD2", u"M1KhADD3", u"M1KhTEL1",
                   u"M1KhTEL2", u"M1KhMemo", u"M1DmmOsr", u"M1SakDmk", u"M1SakDmH", u"M1EmaOsr",
                   u"M1SakEka", u"M1SakSfb", u"M1EmaSbt", u"M1EmaAdr", u"M1BunJC1", u"M1BunJC2",
                   u"M1BunJC3", u"M1BunJC4"}),
          mRfm(recordset.requireField(u"RFM値")), mGroup(recordset.requireField(u"グループ")),
          mDays(recordset.requireField(u"日数")), mPeriodOn(input.DetailPeriodOn),
          mRemoved(removal.removed), mClassifications(input.Classifications), mClock(input.Time),
          mBuffer(ListColumns) {
        if (mPeriodOn) {
            mSaveAmount = recordset.requireField(u"SaveM1SakRgk");
            mSaveVisits = recordset.requireField(u"SaveM1SakRik");
            mSaveDate = recordset.requireField(u"SaveM1SakHby");
            mSaveTime = recordset.requireField(u"SaveM1SakHbh");
        }
    }

    // The group of the current row as read, "" for Null.
    const QString& group() {
        if (!mRecordset.readText(mGroup, mGroupText))
            mGroupText.truncate(0);
        return mGroupText;
    }

    // Reads the current customer and fills the buffer, columns about to be removed left out.
    const std::vector<CellValue>& fill() {
        mFields.read(mRecordset, mRecord);
        for (CellValue& cell : mBuffer)
            cell.kind = CellKind::Blank;
        const db::CustomerRecord& r = mRecord;

        text(1, r.M1MisBan);
        text(2, r.M1KikBan);
        text(3, r.M1KaiBan);
        fieldText(4, mRfm);
        text(5, mGroupText);
        fieldText(6, mDays);
        number(7, r.M1SakRgk);
        number(8, r.M1SakRik);
        text(9, DateToSlashText(r.M1SakHby));
        text(10, TimeToColonText(r.M1SakHbh));
        if (mPeriodOn) {
            fieldValue(11, mSaveAmount);
            fieldValue(12, mSaveVisits);
            text(13, DateToSlashText(fieldString(mSaveDate)));
            text(14, TimeToColonText(fieldString(mSaveTime)));
        }
        number(15, r.M1SakGak);
        number(16, r.M1SakPoG);
        number(17, r.M1SakPoL);
        number(18, r.M1SakPoZ);
        number(19, r.M1SakPoK);
        text(20, r.M1SakRak);
        if (wanted(21))
            text(21, DateToSlashText(r.M1KhSraB));
        if (wanted(22))
            text(22, r.M1KhSeib == u"1" ? mMale : r.M1KhSeib == u"2" ? mFemale : mOneBlank);
        if (wanted(23))
            text(23, DateToSlashText(r.M1KhBart));
        text(24, r.M1KhNenS);
        if (wanted(25))
            text(25, FormatRight(qint64(EstimatedAge(r.M1KhBart, r.M1KhSraB, r.M1KhNenS, mClock)),
                                 mAgeFormat));
        trimmed(26, r.M1KhNamH);
        trimmed(27, r.M1KhNamZ);
        trimmed(28, r.M1KhZIPC);
        trimmed(29, r.M1KhADD1);
        trimmed(30, r.M1KhADD2);
        trimmed(31, r.M1KhADD3);
        trimmed(32, r.M1KhTEL1);
        trimmed(33, r.M1KhTEL2);
        trimmed(34, r.M1KhMemo);
        text(35, consent(r.M1DmmOsr));
        if (wanted(36))
            text(36, FormatRight(r.M1SakDmk, mCountFormat));
        if (wanted(37))
            text(37, DateToSlashText(r.M1SakDmH));
        text(38, consent(r.M1EmaOsr));
        if (wanted(39))
            text(39, FormatRight(r.M1SakEka, mCountFormat));
        if (wanted(40))
            text(40, DateToSlashText(r.M1SakSfb));
        text(41, r.M1EmaSbt == u"1" ? mPc : r.M1EmaSbt == u"2" ? mMobile : QString());
        trimmed(42, r.M1EmaAdr);
        const QString* codes[] = {&r.M1BunJC1, &r.M1BunJC2, &r.M1BunJC3, &r.M1BunJC4};
        for (int i = 0; i < 4; ++i) {
            if (wanted(FirstClassificationColumn + i))
                classification(FirstClassificationColumn + i, i, *codes[i]);
        }
        return mBuffer;
    }

private:
    bool wanted(int column) const { return !mRemoved[size_t(column)]; }
    CellValue& cell(int column) { return mBuffer[size_t(column - 1)]; }

    // A text cell; an empty text leaves the cell empty, as assigning "" to a cell does.
    void text(int column, const QString& value) {
        if (value.isEmpty() || !wanted(column))
            return;
        CellValue& c = cell(column);
        c.kind = CellKind::Text;
        c.text = value;
    }
    void trimmed(int column, const QString& value) {
        if (wanted(column))
            text(column, TrimAll(value));
    }
    // Amounts and counts are within 2^53 (WholeNumber): the cell's double holds them exactly.
    void number(int column, qint64 value) {
        if (!wanted(column))
            return;
        CellValue& c = cell(column);
        c.kind = CellKind::Number;
        c.number = double(value);
    }
    // A text column of the work table as it is; Null leaves the cell empty.
    void fieldText(int column, int index) {
        CellValue& c = cell(column);
        if (mRecordset.readText(index, c.text) && !c.text.isEmpty())
            c.kind = CellKind::Text;
    }
    // A column as its value: a number stays a number, Null leaves the cell empty.
    void fieldValue(int column, int index) {
        const QVariant value = mRecordset.value(index);
        if (!value.isValid())
            return;
        if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
            text(column, value.toString());
            return;
        }
        CellValue& c = cell(column);
        c.kind = CellKind::Number;
        c.number = value.toDouble();
    }
    QString fieldString(int index) const {
        QString value;
        mRecordset.readText(index, value);
        return value;
    }
    const QString& consent(const QString& code) const {
        return code == u"1" ? mDoes : code == u"2" ? mDoesNot : mThreeBlanks;
    }
    // "code:name" of the first entry of classification item level whose code equals the
    // customer's; empty for a zero code or one the item does not have.
    void classification(int column, int level, const QString& code) {
        if (ToLong(code) == 0 || level >= mClassifications.size())
            return;
        const QStringView own = QStringView(code).trimmed();
        const Classification& item = mClassifications.at(level);
        for (int i = 0; i < ClassificationEntries; ++i) {
            if (item.Codes[size_t(i)] == own) {
                text(column, own.toString() + u':' + item.Names[size_t(i)]);
                return;
            }
        }
    }

    const db::Recordset& mRecordset;
    const db::CustomerFieldReader mFields;
    const int mRfm;
    const int mGroup;
    const int mDays;
    int mSaveAmount = -1;
    int mSaveVisits = -1;
    int mSaveDate = -1;
    int mSaveTime = -1;
    const bool mPeriodOn;
    const std::array<bool, ListColumns + 1> mRemoved;
    const ClassificationTable& mClassifications;
    const Clock& mClock;
    db::CustomerRecord mRecord;
    QString mGroupText;
    std::vector<CellValue> mBuffer;

    const QString mMale = QStringLiteral("男");
    const QString mFemale = QStringLiteral("女");
    const QString mOneBlank = QStringLiteral("　");
    const QString mDoes = QStringLiteral("　する");
    const QString mDoesNot = QStringLiteral("しない");
    const QString mThreeBlanks = QStringLiteral("　　　");
    const QString mPc = QStringLiteral("PC");
    const QString mMobile = QStringLiteral("携帯");
    const QString mAgeFormat = QStringLiteral("#0");
    const QString mCountFormat = QStringLiteral("#,##0");
};

// Whether the customers of a group letter are listed.
bool IsListed(const std::array<bool, 6>& listGroups, const QString& group) {
    static const QString letters = QStringLiteral("ABCDEX");
    const qsizetype g = group.size() == 1 ? letters.indexOf(group.at(0)) : -1;
    return g >= 0 && listGroups[size_t(g)];
}

} // namespace

void WriteCustomerList(ExcelRun& run, const CustomerListInput& input, const QString& workTable,
                       qint64 extractedCount) {
    ShowSheetStep(run, QStringLiteral("RFM付き顧客一覧"));
    const QString sql = ListQuery(workTable, input.ListOrder);
    Worksheet* sheet =
        CopyTemplateSheet(run, QStringLiteral("元シート"), QStringLiteral("RFM顧客一覧"),
                          QStringLiteral("元ブック に 元シートがない"));
    if (!sheet)
        return;
    for (int level = 1; level <= 4; ++level) {
        const QString title = LevelName(input.Classifications, level);
        const int column = FirstClassificationColumn + level - 1;
        if (title.isEmpty())
            sheet->cells().clearValue(1, column);
        else
            sheet->cells().setText(1, column, title);
    }
    run.CurrentRow = 1;

    bool overflow = false;
    run.Progress.setCounterVisible(true);
    const Removal removal = RemovalOf(input.LeftOutItems, input.DetailPeriodOn);
    ProgressCounter counter(run.Progress, run.Pump);
    QString error;
    try {
        const std::unique_ptr<db::Recordset> rows = input.Transaction.openRecordset(sql);
        RowFiller filler(*rows, input, removal);
        for (; !rows->eof(); rows->moveNext()) {
            if (run.CurrentRow > ListLimit && !overflow) {
                overflow = true;
                run.Messages.show(
                    QStringLiteral("65000 件を超えました。顧客一覧は65000人までです。"));
            }
            if (run.Cancel.requested())
                break;
            counter.ReportProgress(run.CurrentRow, extractedCount, 1);
            // Past the limit rows are only counted; a customer of an unlisted group is skipped
            // before anything of it is read or formatted.
            if (overflow || !IsListed(input.ListGroups, filler.group()))
                continue;
            ++run.CurrentRow;
            if (!sheet->setRowValues(CellRange(run.CurrentRow, 1, run.CurrentRow, ListColumns),
                                     filler.fill(), &error)) {
                SheetFailed(run, error);
                break;
            }
        }
    } catch (const db::DatabaseError& failure) {
        // The rows written so far stay; the sheet is finished as after a cancel.
        SheetFailed(run, DatabaseFailureText(failure.message()));
    }

    if (!removal.list.isEmpty() && !sheet->deleteColumns(removal.list, &error))
        SheetFailed(run, error);
    sheet->autoFitColumns();
    sheet->selectCell(QStringLiteral("A1"));
}

} // namespace plw
