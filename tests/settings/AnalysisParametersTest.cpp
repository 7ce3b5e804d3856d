#include "settings/AnalysisParameters.h"

#include "app/RecordFile.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace plw;

namespace {

// Every field holds a value of its own, so that a field written to or read from the wrong place
// shows.
AnalysisParameters DistinctParameters() {
    AnalysisParameters p;
    p.ReservedHead = QByteArray("\x01\xff", 2);
    p.LastVisitFrom = QStringLiteral("20250101");
    p.LastVisitTo = QStringLiteral("20251231");
    p.LastVisitMonths = QStringLiteral(" 12");
    p.BaseDate = QStringLiteral("20260105");
    for (int i = 0; i < 5; ++i) {
        p.RThreshold[i] = QStringLiteral("r%1").arg(i + 1);
        p.FThreshold[i] = QStringLiteral("f%1").arg(i + 1);
        p.MThreshold[i] = QStringLiteral("m%1").arg(i + 1);
    }
    p.PaintGroup = QStringLiteral("4");
    for (int k = 0; k < 125; ++k)
        p.GroupMatrix[k] = QString(QChar(u"ABCDEX"[k % 6]));
    p.OutParameters = QStringLiteral("1");
    p.OutGroupValues = QStringLiteral("0");
    p.LeftChartType = QStringLiteral("3");
    p.RightChartType = QStringLiteral("6");
    p.OutCustomerList = QStringLiteral("1");
    p.OutRCount = QStringLiteral("0");
    p.OutRAmount = QStringLiteral("1");
    p.OutFCount = QStringLiteral("0");
    p.OutFAmount = QStringLiteral("1");
    p.OutMCount = QStringLiteral("0");
    p.OutMAmount = QStringLiteral("1");
    p.ListOrder = QStringLiteral("2");
    p.ListGroupA = QStringLiteral("1");
    p.ListGroupB = QStringLiteral("0");
    p.ListGroupC = QStringLiteral("1");
    p.ListGroupD = QStringLiteral("0");
    p.ListGroupE = QStringLiteral("1");
    p.ListGroupX = QStringLiteral("0");
    p.WorkbookName = QStringLiteral("/home/店/分析.xls");
    p.ListItemCount = QStringLiteral("02");
    for (int i = 0; i < AnalysisParameters::ListItemCapacity; ++i)
        p.ListItems[i] = QStringLiteral("%1:項目").arg(i * 10, 3, 10, QLatin1Char('0'));
    p.DetailPeriodOn = QStringLiteral("1");
    p.LastVisitFromDetail = QStringLiteral("0");
    p.DetailFrom = QStringLiteral("20240101");
    p.DetailTo = QStringLiteral("20241231");
    return p;
}

QByteArray Encoded(const AnalysisParameters& p) {
    RecordWriter writer(ParameterRecordLength);
    EncodeAnalysisParameters(p, writer);
    EXPECT_TRUE(writer.ok()) << writer.error().toStdString();
    return writer.bytes();
}

} // namespace

TEST(AnalysisParameters, StoredOrderAndFieldEncoding) {
    AnalysisParameters p;
    p.LastVisitFrom = QStringLiteral("20250101");
    p.RThreshold[4] = QStringLiteral("30");
    p.GroupMatrix[0] = QStringLiteral("A");
    p.DetailTo = QStringLiteral("20241231");
    const QByteArray bytes = Encoded(p);
    // Never-set head, then four texts, the fifteen thresholds, the paint group.
    EXPECT_EQ(bytes.left(14), QByteArray("\0\0\x08\0"
                                         "20250101"
                                         "\0\0",
                                         14));
    EXPECT_EQ(bytes.mid(14, 4), QByteArray(4, '\0')); // LastVisitMonths, BaseDate
    EXPECT_EQ(bytes.mid(18 + 8, 4), QByteArray("\x02\0"
                                               "30",
                                               4)); // RThreshold(5)
    // After 15 thresholds (one of them "30") and PaintGroup comes GroupMatrix(1).
    EXPECT_EQ(bytes.mid(18 + 30 + 2 + 2, 3), QByteArray("\x01\0A", 3));
    EXPECT_TRUE(bytes.endsWith(QByteArray("\x08\0"
                                          "20241231",
                                          10)));
    // 2 head bytes + 209 texts, four of which hold characters.
    EXPECT_EQ(bytes.size(), 2 + 2 * 209 + 8 + 2 + 1 + 8);

    StoredRecordState state;
    EXPECT_EQ(DecodeAnalysisParameters(bytes, &state), p);
    EXPECT_EQ(state, StoredRecordState::Complete);
}

TEST(AnalysisParameters, FileRoundTripKeepsEveryFieldAndOtherBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.PRM"));
    // A longer earlier file: its bytes after the record's fields stay as they were.
    test::WriteBytes(path, QByteArray(3000, 'z'));
    const AnalysisParameters p = DistinctParameters();
    QString error;
    ASSERT_TRUE(WriteParameterFile(path, p, &error)) << error.toStdString();
    const QByteArray bytes = test::ReadBytes(path);
    ASSERT_EQ(bytes.size(), 3000);
    const QByteArray fields = Encoded(p);
    EXPECT_EQ(bytes.left(fields.size()), fields);
    EXPECT_EQ(bytes.mid(fields.size()), QByteArray(3000 - fields.size(), 'z'));

    AnalysisParameters read;
    ASSERT_TRUE(ReadParameterFile(path, read));
    EXPECT_EQ(read, p);
}

TEST(AnalysisParameters, RecordThatWouldNotFitIsRefusedAndFileKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.PRM"));
    const AnalysisParameters before = DistinctParameters();
    QString error;
    ASSERT_TRUE(WriteParameterFile(path, before, &error));
    const QByteArray kept = test::ReadBytes(path);

    AnalysisParameters tooLong = before;
    tooLong.WorkbookName = QString(2000, QChar(u'長')); // 4000 bytes in CP932
    EXPECT_FALSE(WriteParameterFile(path, tooLong, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("2560"))) << error.toStdString();
    AnalysisParameters unencodable = before;
    unencodable.RThreshold[0] = QStringLiteral("😀");
    EXPECT_FALSE(WriteParameterFile(path, unencodable, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("😀"))) << error.toStdString();
    EXPECT_EQ(test::ReadBytes(path), kept);
}

TEST(AnalysisParameters, OnlyACompleteRecordIsReadAndEveryOtherFileSaysWhatItIs) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PLWAN40.PRM"));
    const AnalysisParameters sample = DistinctParameters();
    const QByteArray full = Encoded(sample);

    // A file may end right after the last field.
    test::WriteBytes(path, full);
    AnalysisParameters read;
    ASSERT_TRUE(ReadParameterFile(path, read));
    EXPECT_EQ(read, sample);

    using State = StoredFileRead::State;
    struct Case {
        const char* what;
        std::optional<QByteArray> bytes; // nullopt: no file; a folder for "folder"
        State state;
        const char* cause;
    };
    QByteArray lengthPastRecord = full;
    lengthPastRecord[2] = '\xff';
    lengthPastRecord[3] = '\x7f';
    QByteArray notCp932 = full;
    notCp932[4] = '\x81'; // a lead byte followed by a digit
    notCp932[5] = '\x01';
    const Case cases[] = {
        {"missing", std::nullopt, State::Missing, ""},
        {"empty", QByteArray(), State::Empty, ""},
        {"cut after the first R threshold", full.left(2 + 10 + 10 + 5 + 10 + 4), State::Damaged,
         "記録が途中で切れています"},
        {"the last 30 bytes cut", full.chopped(30), State::Damaged, "記録が途中で切れています"},
        {"length past the record", lengthPastRecord, State::Damaged,
         "パラメータの記録ではありません"},
        {"no CP932 text", notCp932, State::Damaged, "パラメータの記録ではありません"},
        {"noise", test::PseudoRandomBytes(2560, 7), State::Damaged,
         "パラメータの記録ではありません"},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        if (c.bytes)
            test::WriteBytes(path, *c.bytes);
        read = sample;
        const StoredFileRead result = ReadParameterFile(path, read);
        EXPECT_EQ(result.Outcome, c.state) << c.what;
        EXPECT_EQ(result.Cause, QString::fromUtf8(c.cause)) << c.what;
        EXPECT_EQ(read, sample) << c.what; // nothing taken from a file that cannot be used
    }
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_EQ(ReadParameterFile(path, read).Cause, QStringLiteral("ファイルではなくフォルダです"));
}
