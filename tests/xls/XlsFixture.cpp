#include "tests/xls/XlsFixture.h"

#include "app/Currency.h"
#include "report/LibreOfficeConverter.h"
#include "tests/xls/BiffFile.h"
#include "tools/template/TemplateWorkbook.h"
#include "workbook/ChartXml.h"
#include "workbook/OoxmlPackage.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"
#include "workbook/xls/XlsWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace plw::test {

const QString& TemplatePath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("PLWAN40X.EXL"));
        QString error;
        if (!TemplateWorkbook::Write(file, &error))
            ADD_FAILURE() << error.toStdString();
        return file;
    }();
    return path;
}

QString EditedTemplate(const QString& folder, const std::function<void(OoxmlPackage&)>& edit) {
    OoxmlPackage package;
    QString error;
    EXPECT_TRUE(package.open(TemplatePath(), &error)) << error.toStdString();
    edit(package);
    const QString path = QDir(folder).filePath(QStringLiteral("edited.xlsx"));
    EXPECT_TRUE(package.save(path, &error)) << error.toStdString();
    return path;
}

QString TemplateSavedByLibreOffice(const QString& folder) {
    const QString copy = QDir(folder).filePath(QStringLiteral("copy.xlsx"));
    const QString resaved = QDir(folder).filePath(QStringLiteral("resaved.xlsx"));
    QString error;
    EXPECT_TRUE(QFile::copy(TemplatePath(), copy));
    const bool converted =
        LibreOfficeConverter::Convert(copy, resaved, WorkbookFormat::Xlsx, 120000, &error);
    EXPECT_TRUE(converted) << error.toStdString();
    return converted ? resaved : QString();
}

void ReplaceInPart(OoxmlPackage& package, const QString& part, const QByteArray& before,
                   const QByteArray& after) {
    QByteArray bytes = package.part(part);
    const qsizetype at = bytes.indexOf(before);
    ASSERT_GE(at, 0) << part.toStdString() << " lacks " << before.toStdString();
    bytes.replace(at, before.size(), after);
    package.setPart(part, bytes);
}

void WriteXls(Workbook& book, const QString& path) {
    XlsWriter writer(book);
    QString error;
    ASSERT_TRUE(writer.prepare(&error)) << error.toStdString();
    ASSERT_EQ(writer.unhandledConstruct().toStdString(), std::string());
    ASSERT_TRUE(writer.write(path, {}, &error)) << error.toStdString();
}

QString UnhandledIn(Workbook& book, const QString& path) {
    XlsWriter writer(book);
    QString error;
    EXPECT_TRUE(writer.prepare(&error)) << error.toStdString();
    EXPECT_FALSE(writer.write(path, {}, &error));
    EXPECT_FALSE(QFile::exists(path));
    return writer.unhandledConstruct();
}

std::vector<BiffRecord> ReadRecords(const QString& xls) {
    QByteArray stream;
    QString error;
    std::vector<BiffRecord> records;
    EXPECT_TRUE(ReadWorkbookStream(xls, &stream, &error)) << error.toStdString();
    EXPECT_TRUE(SplitRecords(stream, &records, &error)) << error.toStdString();
    return records;
}

void ExpectSound(const QString& xls) {
    QByteArray stream;
    QString error;
    ASSERT_TRUE(ReadWorkbookStream(xls, &stream, &error)) << error.toStdString();
    const QStringList problems = StructuralProblems(stream);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString() << "\n"
                                    << Dump(ReadRecords(xls)).toStdString();
}

CellValue Text(const QString& text) {
    CellValue value;
    value.kind = CellKind::Text;
    value.text = text;
    return value;
}

CellValue Number(double number) {
    CellValue value;
    value.kind = CellKind::Number;
    value.number = number;
    return value;
}

CellValue Amount(qint64 scaled) {
    CellValue value;
    value.kind = CellKind::Currency;
    value.currency = Currency::fromScaled(scaled);
    return value;
}

std::unique_ptr<Workbook> SampleWorkbook(const QString& templatePath, int customers) {
    auto book = std::make_unique<Workbook>();
    QString error;
    EXPECT_TRUE(book->openTemplate(templatePath, &error)) << error.toStdString();

    Worksheet* index = book->copySheet(u"抽出条件"_qs, u"抽出条件"_qs, &error);
    EXPECT_TRUE(index) << error.toStdString();
    if (!index)
        return book;
    EXPECT_TRUE(index->addHyperlink(u"B3"_qs, u"'RFM解析パラメータ'!B1"_qs, u"RFM解析パラメータ"_qs,
                                    &error));
    EXPECT_TRUE(index->addHyperlink(u"B4"_qs, u"'RFM顧客一覧'!B1"_qs, u"RFM顧客一覧"_qs, &error));
    EXPECT_TRUE(index->setFontSize(u"B3:B4"_qs, 11, &error));
    index->setRowValues(u"B7:E7"_qs,
                        {Text(u"顧客"_qs), Text(u"性別"_qs), Text(u"含む"_qs), Text(u"男"_qs)},
                        &error);
    index->autoFitColumns();
    index->selectCell(u"A1"_qs);

    Worksheet* parameters =
        book->copySheet(u"元解析パラメータ"_qs, u"RFM解析パラメータ"_qs, &error);
    EXPECT_TRUE(parameters) << error.toStdString();
    if (!parameters)
        return book;
    parameters->setRowValues(
        u"C5:F5"_qs, {Text(u"30"_qs), Text(u"60"_qs), Text(u"90"_qs), Text(u"180"_qs)}, &error);
    parameters->setRowValues(u"K4:K4"_qs, {Text(u"2024/03/31"_qs)}, &error);
    const int colours[] = {3, 45, 10, 8, 24, 15};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(parameters->setFill(QStringLiteral("%1%2:%1%2").arg(QChar(u'C' + i)).arg(12),
                                        colours[i], 1, -4105, &error));

    Worksheet* list = book->copySheet(u"元シート"_qs, u"RFM顧客一覧"_qs, &error);
    EXPECT_TRUE(list) << error.toStdString();
    if (!list)
        return book;
    for (int i = 0; i < customers; ++i) {
        const int row = i + 2;
        std::vector<CellValue> values(46, CellValue());
        values[0] = Text(u"001"_qs);
        values[1] = Text(u"01"_qs);
        values[2] = Text(QStringLiteral("%1").arg(1000000 + i, 7, 10, QLatin1Char('0')));
        values[3] = Text(u"534"_qs);
        values[4] = Text(QString(QChar(u'A' + i % 5)));
        values[5] = Text(QStringLiteral("%1").arg(i % 400, 6));
        values[6] = Number(12000 + i * 37);
        values[7] = Number(i % 50);
        values[8] = Text(u"2024/03/01"_qs);
        values[9] = Text(u"12:30"_qs);
        values[14] = Amount(qint64(i) * 10000 + 2500);
        values[26] = Text(QStringLiteral("山田 太郎%1").arg(i));
        values[28] = Text(u"東京都千代田区"_qs);
        values[41] = Text(QStringLiteral("user%1@example.jp").arg(i));
        EXPECT_TRUE(list->setRowValues(QStringLiteral("A%1:AT%1").arg(row), values, &error));
    }
    EXPECT_TRUE(list->deleteColumns(u"K:K,L:L,M:M,N:N"_qs, &error)) << error.toStdString();
    list->autoFitColumns();
    list->selectCell(u"A1"_qs);
    book->activateFirstSheet();
    return book;
}

int MatrixColour(int a, int b) {
    static const int kColours[] = {3, 45, 10, 8, 24, 15};
    return kColours[(a + b) % 6];
}

std::unique_ptr<Workbook> ChartWorkbook(const QString& templatePath,
                                        const std::vector<GroupCharts>& groups) {
    auto book = std::make_unique<Workbook>();
    QString error;
    EXPECT_TRUE(book->openTemplate(templatePath, &error)) << error.toStdString();
    for (size_t i = 0; i < groups.size(); ++i) {
        const QString name = i == 0 ? u"グループ値"_qs : QStringLiteral("グループ値%1").arg(i + 1);
        Worksheet* sheet = book->copySheet(u"元Ｇ１"_qs, name, &error);
        EXPECT_TRUE(sheet) << error.toStdString();
        if (!sheet)
            return book;
        for (int g = 0; g < 6; ++g) {
            std::vector<CellValue> values;
            values.push_back(Number(120 - 17 * g));
            values.push_back(Amount(qint64(4500000 - 600000 * g) * 10000));
            for (int c = 0; c < 5; ++c)
                values.push_back(Number((g + 1) * (c + 3)));
            EXPECT_TRUE(sheet->setRowValues(QStringLiteral("C%1:I%1").arg(3 + g), values, &error));
        }
        const auto setType = [&](const QString& chartName, int code) {
            ChartXml* chart = sheet->chart(chartName, &error);
            ASSERT_TRUE(chart) << error.toStdString();
            ASSERT_TRUE(chart->setChartType(code, &error)) << error.toStdString();
        };
        if (groups[i].left)
            setType(u"グラフ 1"_qs, groups[i].left);
        if (groups[i].right)
            for (const char16_t* chartName :
                 {u"右１", u"右２", u"右３", u"右４", u"右５", u"右６", u"右７"})
                setType(QString::fromUtf16(chartName), groups[i].right);
    }

    Worksheet* matrix = book->copySheet(u"元解析１"_qs, u"Ｒ視点人数"_qs, &error);
    EXPECT_TRUE(matrix) << error.toStdString();
    if (!matrix)
        return book;
    const int tops[] = {3, 14, 25, 39, 50};
    for (int block = 0; block < 5; ++block) {
        for (int a = 5; a >= 1; --a) {
            const int row = tops[block] + 6 - a;
            std::vector<CellValue> values;
            for (int b = 5; b >= 1; --b)
                values.push_back(Number((block * 25 + a * 5 + b) % 13 * 10));
            EXPECT_TRUE(matrix->setRowValues(QStringLiteral("C%1:G%1").arg(row), values, &error));
            for (int b = 5; b >= 1; --b)
                EXPECT_TRUE(
                    matrix->setFill(QStringLiteral("%1%2").arg(QChar(u'C' + 5 - b)).arg(row),
                                    MatrixColour(a, b), 1, -4105, &error));
        }
        ChartXml* chart = matrix->chart(QStringLiteral("GRAF_R%1").arg(5 - block), &error);
        EXPECT_TRUE(chart) << error.toStdString();
        if (!chart)
            continue;
        EXPECT_TRUE(chart->setValueAxisScale(0, 120, &error)) << error.toStdString();
        for (int a = 1; a <= 5; ++a)
            for (int b = 1; b <= 5; ++b)
                EXPECT_TRUE(chart->setPointColor(6 - a, 6 - b, MatrixColour(a, b), &error));
        EXPECT_TRUE(chart->setSeriesAxisReversed(&error)) << error.toStdString();
    }
    book->activateFirstSheet();
    return book;
}

} // namespace plw::test
