#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace plw {

class Workbook;

// Writes a workbook the engine holds as a classic Excel 97-2003 file (.xls: BIFF8 records in an
// OLE2 compound file). prepare() readies the output and checks every element, attribute and
// defined name of the workbook's parts against the constructs the writer translates; write()
// then saves the file. A workbook with a construct the writer does not translate is left to
// another converter: unhandledConstruct() names the first such construct.
class XlsWriter {
public:
    explicit XlsWriter(Workbook& book);
    ~XlsWriter();
    XlsWriter(const XlsWriter&) = delete;
    XlsWriter& operator=(const XlsWriter&) = delete;

    // False with a reason when the workbook's parts cannot be read.
    bool prepare(QString* error);
    // "" when the writer translates the whole workbook; else the construct and where it is
    // ("conditionalFormatting (シート RFM顧客一覧)").
    QString unhandledConstruct() const;
    // The rows of cells the file will hold, for a progress display.
    qint64 rowCount() const;

    // rowsWritten is told the rows written so far, now and then.
    using Progress = std::function<void(qint64 rowsWritten, qint64 rowCount)>;
    // Writes the file at path (after a prepare() that found nothing unhandled). False with the
    // reason when it cannot be written.
    bool write(const QString& path, const Progress& rowsWritten, QString* error);

private:
    struct State;
    std::unique_ptr<State> d;
};

// The longest text a cell of a .xls workbook holds.
inline constexpr int XlsMaxCellText = 32767;

// Every cell whose text is longer than a .xls cell holds, as the operator finds it:
// "シート「RFM顧客 一覧」のセル AD3（40,002 文字）". Whatever converts such a workbook to .xls cuts
// those texts.
QStringList CellsBeyondXlsText(Workbook& book);

} // namespace plw
