// FormatNumber: notation switches, rounding and the digit clamp.
#include "core/format.h"
#include "row_name.h"

#include <gtest/gtest.h>

using vorn::core::FormatNumber;

struct FormatRow {
    long double value;
    int digits;
    bool full;
    const char* text;
};

class FormatNumberTable : public ::testing::TestWithParam<FormatRow> {};

TEST_P(FormatNumberTable, WritesExpectedText) {
    const FormatRow& r = GetParam();
    EXPECT_EQ(FormatNumber(r.full, r.value, r.digits), r.text) << static_cast<double>(r.value);
}

INSTANTIATE_TEST_SUITE_P(
    Notation, FormatNumberTable,
    ::testing::Values(
        // Examples at six digits.
        FormatRow{123456, 6, false, "123456"}, FormatRow{1234567, 6, false, "1.23457E6"},
        FormatRow{0.5L, 6, false, "0.5"}, FormatRow{0.0001L, 6, false, "0.0001"},
        FormatRow{0.00001L, 6, false, "1E-5"}, FormatRow{-2.25L, 6, false, "-2.25"},
        FormatRow{1.0L / 3, 6, false, "0.333333"}, FormatRow{0, 6, false, "0"},
        // Exponent at the edge of fixed notation: E = p stays fixed, E = p + 1 switches.
        FormatRow{999999, 6, false, "999999"}, FormatRow{9999996, 6, false, "1E7"},
        FormatRow{1000000, 6, false, "1E6"}, FormatRow{100000, 6, false, "100000"},
        // E = -3 is fixed, E = -4 scientific.
        FormatRow{0.000123L, 6, false, "0.000123"}, FormatRow{0.0000123L, 6, false, "1.23E-5"},
        // Rounding carries into a new digit.
        FormatRow{0.99999951L, 6, false, "1"}, FormatRow{-0.000099999999L, 6, false, "-0.0001"},
        FormatRow{2.5e10L, 6, false, "2.5E10"}, FormatRow{-1.5e-7L, 6, false, "-1.5E-7"}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

INSTANTIATE_TEST_SUITE_P(
    DigitClamp, FormatNumberTable,
    ::testing::Values(FormatRow{3.14159L, 0, false, "3.1"}, FormatRow{3.14159L, 1, false, "3.1"},
                      FormatRow{3.14159L, 2, false, "3.1"}, FormatRow{3.14159L, 3, false, "3.14"},
                      FormatRow{123, 2, false, "1.2E2"}, FormatRow{12, 2, false, "12"},
                      // Full precision ignores the digits setting.
                      FormatRow{3.14159265358979323846L, 2, true, "3.14159265358979"},
                      FormatRow{0.1L, 16, false, "0.1"},
                      FormatRow{2.0L / 3, 18, false, "0.666666666666666667"},
                      FormatRow{2.0L / 3, 40, false, "0.666666666666666667"}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });
