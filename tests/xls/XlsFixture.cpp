#include "tests/xls/XlsFixture.h"

#include "app/Currency.h"
#include "tests/xls/BiffFile.h"
#include "tools/template/TemplateWorkbook.h"
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

} // namespace plw::test
