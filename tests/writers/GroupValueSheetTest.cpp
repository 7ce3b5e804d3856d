#include "tests/writers/WriterShop.h"

#include "workbook/ChartXml.h"
#include "workbook/Worksheet.h"

#include <memory>
#include <vector>

using namespace plw;

namespace {

const QString TemplatePath = QStringLiteral(PLWAN40_PROGRAM_FOLDER "/PLWAN40X.EXL");
const QStringList RightCharts = {
    QStringLiteral("右１"), QStringLiteral("右２"), QStringLiteral("右３"), QStringLiteral("右４"),
    QStringLiteral("右５"), QStringLiteral("右６"), QStringLiteral("右７")};

class GroupValueSheetTest : public test::WriterShop {
protected:
    // Writes the group-value sheet into a new copy of the template, saves it and reads the sheet
    // back; every call has its own workbook, so one test can try several settings.
    Worksheet* written() {
        auto book = std::make_unique<Workbook>();
        QString error;
        EXPECT_TRUE(book->openTemplate(TemplatePath, &error)) << error.toStdString();
        ExcelRun run{*book, mRecorded, mPrompter, mPump, mCancel};
        sheetWriters().WriteGroupValueSheet(run);
        EXPECT_TRUE(mPrompter.messages().isEmpty()) << mPrompter.texts().join(u'|').toStdString();
        const QString path = mDir.filePath(QStringLiteral("groups%1.xlsx").arg(mReads.size()));
        EXPECT_TRUE(book->save(path, &error)) << error.toStdString();
        mReads.push_back(std::make_unique<Workbook>());
        EXPECT_TRUE(mReads.back()->open(path, &error)) << error.toStdString();
        Worksheet* sheet = mReads.back()->sheet(QStringLiteral("グループ値"));
        EXPECT_NE(sheet, nullptr);
        return sheet;
    }

    static int chartType(Worksheet* sheet, const QString& name) {
        QString error;
        ChartXml* chart = sheet->chart(name, &error);
        EXPECT_NE(chart, nullptr) << error.toStdString();
        return chart ? chart->chartTypeCode() : 0;
    }

    // Whether the chart's data labels show each point's share of the whole.
    static bool shares(Worksheet* sheet, const QString& name) {
        ChartXml* chart = sheet->chart(name, nullptr);
        return chart && chart->toXml().contains("<c:showPercent val=\"1\"/>");
    }

    std::vector<std::unique_ptr<Workbook>> mReads;
};

// Rows 3 to 8 hold the statistics of groups A to X in C to I; a group nobody falls into (X here,
// the matrix painted with A to E only) shows zeros.
TEST_F(GroupValueSheetTest, GroupRowsHoldTheStatistics) {
    const QString letters[5] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                QStringLiteral("D"), QStringLiteral("E")};
    for (int k = 0; k < 125; ++k)
        mParameterScreen.GroupMatrix[size_t(k)] = letters[k % 5];
    score();
    ASSERT_FALSE(HasFatalFailure());
    const auto& groups = mStatistics.Groups;
    ASSERT_EQ(groups[5].Customers, 0);
    qint64 customers = 0;
    for (const GroupStatistics& g : groups)
        customers += g.Customers;
    ASSERT_EQ(customers, mExtracted);

    Worksheet* sheet = written();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(mRecorded.steps.value(mRecorded.steps.size() - 1),
              QStringLiteral("RFM分析１(グループ値）"));
    EXPECT_EQ(sheet->selectedCell(), QStringLiteral("A1"));
    bool anyAmount = false;
    for (int g = 0; g < 6; ++g) {
        const GroupStatistics& s = groups[size_t(g)];
        const double expected[7] = {
            double(s.Customers), double(s.AmountYen), double(s.Visits),         double(s.Men),
            double(s.Women),     double(s.MailSends), double(s.DirectMailSends)};
        anyAmount = anyAmount || s.AmountYen != 0;
        for (int c = 0; c < 7; ++c) {
            const CellValue cell = sheet->cells().cell(3 + g, 3 + c);
            SCOPED_TRACE(testing::Message() << "group " << g << " column " << c);
            ASSERT_FALSE(cell.isEmpty());
            const double value =
                cell.kind == CellKind::Currency ? cell.currency.toDouble() : cell.number;
            EXPECT_EQ(value, expected[c]);
        }
    }
    EXPECT_TRUE(anyAmount);
}

// The right chart type sets all seven right charts; the left type sets "グラフ 1" alone, type "1"
// leaving the template's chart as it is. Pies and doughnuts label their slices with their shares;
// no other type shows shares.
TEST_F(GroupValueSheetTest, ChartTypesFollowTheSettings) {
    int templateLeft = 0;
    int templateRight = 0;
    {
        Workbook original;
        QString error;
        ASSERT_TRUE(original.open(TemplatePath, &error)) << error.toStdString();
        Worksheet* sheet = original.sheet(QStringLiteral("元Ｇ１"));
        ASSERT_NE(sheet, nullptr);
        templateLeft = chartType(sheet, QStringLiteral("グラフ 1"));
        templateRight = chartType(sheet, RightCharts[0]);
    }
    ASSERT_NE(templateLeft, 0);
    ASSERT_NE(templateLeft, ChartXml::ColumnClustered);
    ASSERT_NE(templateLeft, ChartXml::ColumnStacked100);

    const struct {
        const char16_t* left;
        const char16_t* right;
        int leftCode;
        int rightCode;
        bool shares; // the right charts' labels show percentages
    } cases[] = {
        {u"1", u"1", templateLeft, ChartXml::Pie, true},
        {u"2", u"2", ChartXml::ColumnClustered, ChartXml::ColumnClustered, false},
        {u"3", u"3", ChartXml::ColumnStacked100, ChartXml::BarClustered, false},
        {u"1", u"4", templateLeft, ChartXml::Doughnut, true},
        {u"2", u"5", ChartXml::ColumnClustered, ChartXml::LineMarkers, false},
        {u"3", u"6", ChartXml::ColumnStacked100, ChartXml::CylinderColumnClustered, false},
        // A setting outside the lists leaves the charts as the template has them.
        {u"", u"", templateLeft, templateRight, true},
    };
    for (const auto& c : cases) {
        const QString left = QString::fromUtf16(c.left);
        const QString right = QString::fromUtf16(c.right);
        SCOPED_TRACE((left + u'/' + right).toStdString());
        mParameters.LeftChartType = left;
        mParameters.RightChartType = right;
        Worksheet* sheet = written();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(chartType(sheet, QStringLiteral("グラフ 1")), c.leftCode);
        EXPECT_FALSE(shares(sheet, QStringLiteral("グラフ 1")));
        for (const QString& name : RightCharts) {
            EXPECT_EQ(chartType(sheet, name), c.rightCode) << name.toStdString();
            EXPECT_EQ(shares(sheet, name), c.shares) << name.toStdString();
        }
    }
}

// Without its template sheet the writer shows the sheet's message and leaves the workbook alone.
TEST_F(GroupValueSheetTest, MissingTemplateSheetIsReportedAndSkipped) {
    QString error;
    ASSERT_NE(mBook->copySheet(QStringLiteral("抽出条件"), QStringLiteral("グループ値"), &error),
              nullptr)
        << error.toStdString();
    mParameters.RightChartType = QStringLiteral("4");
    sheetWriters().WriteGroupValueSheet(*mRun);
    ASSERT_EQ(mPrompter.messages().size(), 1);
    EXPECT_TRUE(
        mPrompter.messages()[0].text.endsWith(QStringLiteral("元ブック に 元Ｇ１シートがない")));
    EXPECT_EQ(mRun->Current, nullptr);
    EXPECT_EQ(mBook->sheetNames(), QStringList{QStringLiteral("グループ値")});
}

} // namespace
