// The readers of every stored settings file fed mutations of the sample installation's own files
// (bit flips, cuts, random bytes, lead bytes without their trail byte, huge length fields,
// oversized files): each must answer -- read, or refuse with a cause -- and never crash or read
// outside its buffer (the suite also runs under the address and undefined-behaviour sanitizers).

#include "app/MF0SysCmPLW.h"
#include "app/ReturnProgram.h"
#include "app/ScreenFrame.h"
#include "extract/Classifications.h"
#include "extract/ConditionRecord.h"
#include "settings/AnalysisParameters.h"
#include "settings/TemplateFiles.h"
#include "tests/support/Files.h"
#include "tools/sample/SampleInstallation.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace plw;

namespace {

QByteArray Mutate(const QByteArray& original, std::mt19937& random) {
    QByteArray bytes = original;
    const auto below = [&](qsizetype n) {
        return n <= 0 ? qsizetype(0) : qsizetype(random() % quint32(n));
    };
    switch (random() % 6) {
    case 0: // a few bits flipped
        for (int i = 0, n = 1 + int(random() % 8); i < n && !bytes.isEmpty(); ++i)
            bytes[below(bytes.size())] ^= char(1 << (random() % 8));
        break;
    case 1: // cut anywhere
        bytes.truncate(below(bytes.size() + 1));
        break;
    case 2: // random bytes of any length up to twice the original
        bytes = QByteArray(below(2 * original.size() + 2), '\0');
        for (char& byte : bytes)
            byte = char(random());
        break;
    case 3: // CP932 lead bytes without their trail byte
        for (qsizetype at = below(bytes.size()), end = std::min(bytes.size(), at + 16); at < end;
             ++at)
            bytes[at] = char(random() % 2 ? 0x81 : 0xFC);
        break;
    case 4: // a length-like field made huge
        if (bytes.size() >= 2) {
            const qsizetype at = below(bytes.size() - 1);
            bytes[at] = char(0xFF);
            bytes[at + 1] = char(0xFF);
        }
        break;
    default: // far longer than any record
        bytes.append(QByteArray(64 * 1024 + below(64 * 1024), char(random())));
        break;
    }
    return bytes;
}

// A reader over one file: a refusal must carry its cause.
struct Reader {
    const char* file; // relative to the installation's root
    std::function<void(const QString& path)> read;
};

void ExpectCause(const StoredFileRead& read) {
    if (read.Outcome == StoredFileRead::State::Damaged) {
        EXPECT_FALSE(read.Cause.isEmpty());
    }
}

void ExpectCause(bool ok, const QString& error) {
    if (!ok) {
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SettingsReadersFuzz, EveryReaderAnswersEveryMutationOfItsFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    sample::SampleOptions options;
    options.folder = dir.path() + QStringLiteral("/inst");
    options.customers = 12;
    QString error;
    sample::SampleSummary summary;
    ASSERT_TRUE(sample::WriteSampleInstallation(options, &error, &summary)) << error.toStdString();

    const Reader readers[] = {
        {"PLW/WORK/PLWAN40.PRM",
         [](const QString& path) {
             AnalysisParameters parameters;
             ExpectCause(ReadParameterFile(path, parameters));
         }},
        {"PLW/WORK/PLWAN40.JKN",
         [](const QString& path) {
             ConditionRecord record;
             ExpectCause(ReadConditionFile(path, record));
         }},
        {"PLW/WORK/女性のみ.T01",
         [](const QString& path) {
             ConditionRecord record;
             QString cause;
             ExpectCause(ReadConditionTemplate(path, record, &cause), cause);
         }},
        {"PLW/WORK/標準.F01",
         [](const QString& path) {
             std::array<QString, 125> letters;
             QString cause;
             ExpectCause(ReadGroupTemplate(path, letters, &cause), cause);
         }},
        {"PLW/WORK/標準.F02",
         [](const QString& path) {
             ThresholdTexts thresholds;
             QString cause;
             ExpectCause(ReadThresholdTemplate(path, thresholds, &cause), cause);
         }},
        {"PLW/DATA/S3BUNRU.DAT",
         [](const QString& path) {
             LoadClassifications(path);
         }},
        {"PLW/F0SysCmPLW.TWS",
         [](const QString& path) {
             DecodeSystemDescription(test::ReadBytes(path));
         }},
        {"PLW/WORK/MODORI.DAT",
         [](const QString& path) {
             FindReturnProgramInRecord(test::ReadBytes(path), QStringLiteral("001"));
         }},
        {"PLW/INI/KIKISYU.SYS",
         [](const QString& path) {
             DecodeDeviceType(test::ReadBytes(path));
         }},
    };

    std::mt19937 random(40); // fixed: a failure comes back on every run
    constexpr int MutationsPerFile = 40;
    for (const Reader& reader : readers) {
        const QString path = options.folder + u'/' + QString::fromUtf8(reader.file);
        const QByteArray original = test::ReadBytes(path);
        ASSERT_FALSE(original.isEmpty()) << reader.file;
        for (int i = 0; i < MutationsPerFile; ++i) {
            SCOPED_TRACE(std::string(reader.file) + " mutation " + std::to_string(i));
            test::WriteBytes(path, Mutate(original, random));
            reader.read(path);
        }
        test::WriteBytes(path, original);
    }
}

} // namespace
