#include "settings/SampleParameters.h"

namespace plw {

namespace {

std::array<QString, 5> Thresholds(const char* t5, const char* t4, const char* t3, const char* t2) {
    const QString two = QString::fromLatin1(t2);
    return {two, two, QString::fromLatin1(t3), QString::fromLatin1(t4), QString::fromLatin1(t5)};
}

} // namespace

SampleThresholdSet SampleThresholds() {
    return {Thresholds("30", "60", "90", "180"), Thresholds("50", "30", "10", "2"),
            Thresholds("100", "50", "20", "10")};
}

std::array<QString, 125> SampleGroupMatrix() {
    // Blocks R = 5 to 1; in each, rows M = 5 to 1; in each row, F = 5 to 1: the cell order.
    // clang-format off
    static const char Letters[] = "AAABB" "AAABC" "BBBCC" "CCCCD" "CCCCD"
                                  "AAABC" "BBBCC" "BBCCD" "BCCDD" "CCDDE"
                                  "AABCD" "BBCDD" "BCDDD" "CDDEE" "DDDEE"
                                  "ABCDD" "BCDDE" "CDDEE" "DDEEE" "DDEEE"
                                  "BDEEE" "DEEEE" "EEEEE" "EEEXX" "EEEXX";
    // clang-format on
    static_assert(sizeof(Letters) == 126);
    std::array<QString, 125> matrix;
    for (size_t k = 0; k < matrix.size(); ++k)
        matrix[k] = QString(QLatin1Char(Letters[k]));
    return matrix;
}

} // namespace plw
