// Workbook benchmark: a customer list of 65,000 rows x 46 columns written into a copy of the
// template's list sheet (the four purchase-period columns deleted, widths fitted) and saved as
// .xlsx; the same list saved as the classic .xls by the engine's writer; then, for reference,
// the conversion of the .xlsx to .xls through LibreOffice, which the engine's writer replaces.
//
//   plwan40-bench-workbook [--rows N] [--template FILE] [--phases xlsx,xls,lo-xls]
//
// Each phase runs in a child process of its own, so that each peak memory figure is the phase's;
// its CPU time is the whole child's, the rows filled before the timer starts included.

#include "workbook/Workbook.h"
#include "bench/Phases.h"
#include "report/LibreOfficeConverter.h"
#include "workbook/Worksheet.h"
#include "workbook/xls/XlsWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

using namespace plw;

// One customer row as the list writes it: codes, figures, dates, names, addresses, mail data.
void FillRow(CellStore& cells, int row) {
    const int n = row - 1;
    const auto text = [&](int column, const QString& value) {
        cells.setText(row, column, value);
    };
    const auto number = [&](int column, double value) {
        cells.setNumber(row, column, value);
    };
    text(1, QStringLiteral("0001"));
    text(2, QStringLiteral("01"));
    text(3, QStringLiteral("%1").arg(n + 1, 7, 10, QLatin1Char('0')));
    text(4, QStringLiteral("%1%2%3").arg(1 + n % 5).arg(1 + n / 5 % 5).arg(1 + n / 25 % 5));
    text(5, QString(QChar(u"ABCDEX"[n % 6])));
    text(6, QString::number(n % 700));
    number(7, 1000.0 * (n % 977));
    number(8, n % 53);
    text(9, QStringLiteral("2026/%1/%2")
                .arg(1 + n % 12, 2, 10, QLatin1Char('0'))
                .arg(1 + n % 28, 2, 10, QLatin1Char('0')));
    text(10, QStringLiteral("%1:%2")
                 .arg(9 + n % 10, 2, 10, QLatin1Char('0'))
                 .arg(n % 60, 2, 10, QLatin1Char('0')));
    for (int column = 11; column <= 14; ++column)
        text(column, QString());
    for (int column = 15; column <= 19; ++column)
        number(column, (n * column) % 5000);
    text(20, QStringLiteral("G"));
    text(21, QStringLiteral("2019/04/01"));
    text(22, n % 2 ? QStringLiteral("男") : QStringLiteral("女"));
    text(23, QStringLiteral("1980/05/%1").arg(1 + n % 28, 2, 10, QLatin1Char('0')));
    text(24, QStringLiteral("40"));
    text(25, QStringLiteral("%1").arg(20 + n % 60, 2));
    text(26, QStringLiteral("ヤマダ タロウ%1").arg(n));
    text(27, QStringLiteral("山田 太郎%1").arg(n));
    text(28, QStringLiteral("123-%1").arg(n % 10000, 4, 10, QLatin1Char('0')));
    text(29, QStringLiteral("東京都千代田区"));
    text(30, QStringLiteral("丸の内%1丁目%2番").arg(1 + n % 9).arg(1 + n % 30));
    text(31, QStringLiteral("サンプルビル%1階").arg(1 + n % 20));
    text(32, QStringLiteral("03-%1-%2")
                 .arg(n % 10000, 4, 10, QLatin1Char('0'))
                 .arg(n % 7919, 4, 10, QLatin1Char('0')));
    text(33, QStringLiteral("090-%1-0000").arg(n % 10000, 4, 10, QLatin1Char('0')));
    text(34, n % 10 ? QString() : QStringLiteral("メモ%1").arg(n));
    text(35, n % 3 ? QStringLiteral("　する") : QStringLiteral("しない"));
    text(36, QStringLiteral("%1").arg(n % 40, 5));
    text(37, QStringLiteral("2026/10/01"));
    text(38, n % 4 ? QStringLiteral("　する") : QStringLiteral("　　　"));
    text(39, QStringLiteral("%1").arg(n % 12, 5));
    text(40, QStringLiteral("2026/11/15"));
    text(41, n % 2 ? QStringLiteral("PC") : QStringLiteral("携帯"));
    text(42, QStringLiteral("customer%1@example.jp").arg(n));
    for (int column = 43; column <= 46; ++column)
        text(column, QStringLiteral("%1:区分%2").arg(1 + n % 20).arg(column - 42));
}

// The list as the writers leave it: a copy of the template's list sheet filled with rows,
// columns K to N deleted and the widths fitted. The rows are made before the timer starts.
void BuildList(Workbook& book, const QString& templatePath, int rows, QElapsedTimer& timer,
               qint64* deleted, qint64* fitted) {
    QString error;
    if (!book.openTemplate(templatePath, &error))
        throw std::runtime_error(error.toStdString());
    Worksheet* sheet =
        book.copySheet(QStringLiteral("元シート"), QStringLiteral("RFM顧客一覧"), &error);
    if (!sheet)
        throw std::runtime_error(error.toStdString());
    for (int row = 2; row <= rows + 1; ++row)
        FillRow(sheet->cells(), row);
    timer.restart();
    if (!sheet->deleteColumns(QStringLiteral("K:K,L:L,M:M,N:N"), &error))
        throw std::runtime_error(error.toStdString());
    *deleted = timer.elapsed();
    sheet->autoFitColumns();
    *fitted = timer.elapsed();
    book.activateFirstSheet();
}

QString PhaseEngineXls(const QString& templatePath, const QString& output, int rows,
                       QElapsedTimer& timer) {
    Workbook book;
    qint64 deleted = 0, fitted = 0;
    BuildList(book, templatePath, rows, timer, &deleted, &fitted);
    XlsWriter writer(book);
    QString error;
    if (!writer.prepare(&error))
        throw std::runtime_error(error.toStdString());
    if (!writer.unhandledConstruct().isEmpty())
        throw std::runtime_error(writer.unhandledConstruct().toStdString());
    const qint64 prepared = timer.elapsed();
    if (!writer.write(output, {}, &error))
        throw std::runtime_error(error.toStdString());
    return QStringLiteral("%1 MB .xls (delete %2 s, fit %3 s, check %4 s, write %5 s)")
        .arg(QFileInfo(output).size() / 1e6, 0, 'f', 1)
        .arg(deleted / 1000.0, 0, 'f', 2)
        .arg((fitted - deleted) / 1000.0, 0, 'f', 2)
        .arg((prepared - fitted) / 1000.0, 0, 'f', 2)
        .arg((timer.elapsed() - prepared) / 1000.0, 0, 'f', 2);
}

QString PhaseXlsx(const QString& templatePath, const QString& output, int rows,
                  QElapsedTimer& timer) {
    Workbook book;
    qint64 deleted = 0, fitted = 0;
    BuildList(book, templatePath, rows, timer, &deleted, &fitted);
    QString error;
    if (!book.save(output, &error))
        throw std::runtime_error(error.toStdString());
    return QStringLiteral("%1 MB .xlsx (delete %2 s, fit %3 s, save %4 s)")
        .arg(QFileInfo(output).size() / 1e6, 0, 'f', 1)
        .arg(deleted / 1000.0, 0, 'f', 2)
        .arg((fitted - deleted) / 1000.0, 0, 'f', 2)
        .arg((timer.elapsed() - fitted) / 1000.0, 0, 'f', 2);
}

QString PhaseXls(const QString& input, const QString& output) {
    QString error;
    if (!LibreOfficeConverter::Convert(input, output, WorkbookFormat::Xls, 600000, &error))
        throw std::runtime_error(error.toStdString());
    // LibreOffice's own peak: the largest process among the finished children and their children.
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return QStringLiteral("%1 MB .xls, LibreOffice peak %2 MiB")
        .arg(QFileInfo(output).size() / 1e6, 0, 'f', 1)
        .arg(double(usage.ru_maxrss) / 1024.0, 0, 'f', 0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    const auto option = [&](const QString& name, const QString& fallback) {
        const qsizetype at = args.indexOf(name);
        return at > 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const int rows = option(QStringLiteral("--rows"), QStringLiteral("65000")).toInt();
    const QString templatePath =
        option(QStringLiteral("--template"), QStringLiteral(PLWAN40_TEMPLATE_PATH));
    const QString phase = option(QStringLiteral("--phase"), QString());
    const QString dir = option(QStringLiteral("--dir"), QString());

    if (!phase.isEmpty()) { // the child: one phase, one RESULT line
        QElapsedTimer timer;
        timer.start();
        try {
            if (phase != u"xlsx" && phase != u"xls" && phase != u"lo-xls")
                throw std::runtime_error("unknown phase (xlsx, xls or lo-xls)");
            const QString detail =
                phase == u"xlsx"
                    ? PhaseXlsx(templatePath, dir + QStringLiteral("/list.xlsx"), rows, timer)
                : phase == u"xls"
                    ? PhaseEngineXls(templatePath, dir + QStringLiteral("/engine.xls"), rows, timer)
                    : PhaseXls(dir + QStringLiteral("/list.xlsx"),
                               dir + QStringLiteral("/list.xls"));
            plw::bench::PrintLine(stdout, QStringLiteral("RESULT %1 %2 %3 %4")
                                              .arg(timer.elapsed() / 1000.0, 0, 'f', 2)
                                              .arg(plw::bench::OwnPeakMiB(), 0, 'f', 1)
                                              .arg(plw::bench::CpuSeconds(), 0, 'f', 2)
                                              .arg(detail));
            return 0;
        } catch (const std::exception& failure) {
            plw::bench::PrintLine(stderr, QString::fromUtf8(failure.what()));
            return 1;
        }
    }

    QTemporaryDir temporary;
    plw::bench::PrintLine(
        stdout, QStringLiteral("rows x 46 columns: %1; template: %2").arg(rows).arg(templatePath));
    plw::bench::PrintLine(stdout, QStringLiteral("load average: ") + plw::bench::LoadAverage());
    plw::bench::PrintLine(stdout, QStringLiteral("phase  seconds   cpu s  peak MiB  load  detail"));
    // xls: the engine's own writer; lo-xls: LibreOffice converting the .xlsx (which the xlsx
    // phase writes), for reference.
    const QStringList phases =
        option(QStringLiteral("--phases"), QStringLiteral("xlsx,xls,lo-xls")).split(u',');
    for (const QString& name : phases) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(application.applicationFilePath(),
                    {QStringLiteral("--phase"), name, QStringLiteral("--dir"), temporary.path(),
                     QStringLiteral("--rows"), QString::number(rows), QStringLiteral("--template"),
                     templatePath});
        child.waitForFinished(-1);
        const QString out = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        if (child.exitCode() != 0 || !out.startsWith(u"RESULT ")) {
            plw::bench::PrintLine(stdout, name + QStringLiteral("  failed"));
            return 1;
        }
        const QStringList parts = out.mid(7).split(u' ');
        plw::bench::PrintLine(stdout, QStringLiteral("%1  %2  %3  %4  %5  %6")
                                          .arg(name, -6)
                                          .arg(parts.value(0), 7)
                                          .arg(parts.value(2), 6)
                                          .arg(parts.value(1), 8)
                                          .arg(plw::bench::LoadAverage().section(u' ', 0, 0), 4)
                                          .arg(parts.mid(3).join(u' ')));
    }
    return 0;
}
