// FormatNumber: notation switches, rounding and the digit clamp; the shortest text of a float.
#include "core/format.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

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

// ShortestFloatText: a coordinate kept in single precision comes back as it was typed.
struct FloatRow {
    float value;
    const char* text;
};

class ShortestFloatTable : public ::testing::TestWithParam<FloatRow> {};

TEST_P(ShortestFloatTable, WritesTheFewestDigitsThatReadBack) {
    EXPECT_EQ(vorn::core::ShortestFloatText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, ShortestFloatTable,
    ::testing::Values(FloatRow{1.41421356237f, "1.4142135"}, FloatRow{0.1f, "0.1"},
                      FloatRow{1.0f / 3, "0.33333334"}, FloatRow{-273.15f, "-273.15"},
                      FloatRow{1234567.8f, "1234567.8"}, FloatRow{3, "3"},
                      // Integers beyond 2^24 keep the float's own value.
                      FloatRow{123456789.0f, "123456790"}, FloatRow{16777217.0f, "16777216"}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

// Notation as the full-precision FormatNumber writes it: fixed while 0.D x 10^E has E in -3..15.
INSTANTIATE_TEST_SUITE_P(Notation, ShortestFloatTable,
                         ::testing::Values(FloatRow{1e10f, "10000000000"}, FloatRow{1e15f, "1E15"},
                                           FloatRow{1e16f, "1E16"}, FloatRow{1e-4f, "0.0001"},
                                           FloatRow{9.999999e-4f, "0.0009999999"},
                                           FloatRow{1.5e-7f, "1.5E-7"}),
                         [](const auto& info) {
                             return vorn::test::RowName(info.index, info.param.text);
                         });

INSTANTIATE_TEST_SUITE_P(
    Limits, ShortestFloatTable,
    ::testing::Values(FloatRow{0.0f, "0"}, FloatRow{-0.0f, "0"},
                      FloatRow{std::numeric_limits<float>::max(), "3.4028235E38"},
                      FloatRow{-std::numeric_limits<float>::max(), "-3.4028235E38"},
                      FloatRow{std::numeric_limits<float>::min(), "1.1754944E-38"},
                      FloatRow{std::numeric_limits<float>::denorm_min(), "1E-45"},
                      FloatRow{std::numeric_limits<float>::infinity(), "INF"},
                      FloatRow{-std::numeric_limits<float>::infinity(), "-INF"},
                      FloatRow{std::numeric_limits<float>::quiet_NaN(), "NAN"}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

// Every finite float, sampled over its whole bit range, reads back as a double stored as float
// (the way the dialogs read a field) to itself, in at most nine digits.
TEST(ShortestFloatText, EveryFloatReadsBackToItself) {
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 40503) {
        const auto b = static_cast<std::uint32_t>(bits);
        float f;
        std::memcpy(&f, &b, sizeof f);
        if (!std::isfinite(f)) continue;
        const std::string text = vorn::core::ShortestFloatText(f);
        double back = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
        ASSERT_EQ(static_cast<float>(back), f) << text << " bits " << b;
        std::string digits;
        for (const char c : text.substr(0, text.find('E')))
            if (c >= '0' && c <= '9' && (c != '0' || !digits.empty())) digits += c;
        ASSERT_LE(digits.find_last_not_of('0') + 1, 9u) << text;
    }
}
