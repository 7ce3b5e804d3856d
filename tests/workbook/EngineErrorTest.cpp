// The engine's failures as the operator reads them: a number, a blank and a Japanese text with
// the details of the one failure; docs/ERRORS.md explains every one of them.

#include "workbook/EngineError.h"

#include "tests/support/Printers.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace plw {
namespace {

TEST(EngineErrorTest, TheTextIsTheNumberABlankAndTheTextWithItsDetails) {
    const struct {
        EngineFault fault;
        QStringList details;
        QString expected;
    } cases[] = {
        {EngineFault::CopySourceMissing,
         {u"元シート"_qs},
         u"1204 コピー元のシート「元シート」がブックにありません"_qs},
        // Details go in by their marker's number, not in the order the text names them.
        {EngineFault::PackagePartUnreadable,
         {u"xl/workbook.xml"_qs, u"/opt/PLW/PLWAN40X.EXL"_qs, u"CRC error"_qs},
         u"1004 /opt/PLW/PLWAN40X.EXL の部品 xl/workbook.xml を読めません: CRC error"_qs},
        // A detail holding a marker or a percent sign is put in as it stands.
        {EngineFault::PackageNotSaved,
         {u"/home/店/100%1.xls"_qs, u"ディスクの空き容量が足りません"_qs},
         u"1008 ブック /home/店/100%1.xls を保存できません: ディスクの空き容量が足りません"_qs},
        {EngineFault::NoSheetLeft, {}, u"1212 ブックにはシートが１つ以上必要です"_qs},
        // A missing detail leaves its place empty; a spare one is not shown.
        {EngineFault::SheetMissing, {}, u"1203 ブックにシート「」がありません"_qs},
        {EngineFault::SheetMissing,
         {u"Ｒ視点人数"_qs, u"spare"_qs},
         u"1203 ブックにシート「Ｒ視点人数」がありません"_qs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EngineErrorText(c.fault, c.details), c.expected);
        QString error;
        SetEngineError(&error, c.fault, c.details);
        EXPECT_EQ(error, c.expected);
    }
    SetEngineError(nullptr, EngineFault::NoSheetLeft); // nobody asked for the text
}

TEST(EngineErrorTest, EachFaultHasItsOwnNumberInItsModulesRangeAndAJapaneseText) {
    QSet<int> numbers;
    int previous = 0;
    for (const EngineFaultText& entry : EngineFaults()) {
        const int number = int(entry.fault);
        EXPECT_GT(number, previous) << number; // in order, so each number once
        previous = number;
        EXPECT_GE(number, 1000) << number;
        EXPECT_LT(number, 1800) << number;
        numbers.insert(number / 100);
        const QString text = QString::fromUtf16(entry.text);
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30FF}]"))))
            << number;
        EXPECT_TRUE(EngineErrorText(entry.fault).startsWith(QString::number(number) + u' '));
    }
    EXPECT_EQ(numbers, (QSet<int>{10, 11, 12, 13, 14, 15, 16, 17}));
}

// docs/ERRORS.md lists every fault with the text the program shows, in number order.
TEST(EngineErrorTest, TheDocumentedTableIsTheProgramsOwn) {
    const QString path = QStringLiteral(PLWAN40_SOURCE_DIR "/docs/ERRORS.md");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString doc = QString::fromUtf8(file.readAll());
    const QRegularExpression row(QStringLiteral("^\\| (\\d{4}) \\| `([^`]*)` \\|"),
                                 QRegularExpression::MultilineOption);
    QStringList documented;
    for (auto it = row.globalMatch(doc); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString text = match.captured(2);
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        documented << match.captured(1) + u' ' + text;
    }
    QStringList program;
    for (const EngineFaultText& entry : EngineFaults())
        program << QString::number(int(entry.fault)) + u' ' + QString::fromUtf16(entry.text);
    EXPECT_EQ(documented, program);
}

} // namespace
} // namespace plw
