// Numbers the program writes into fields must read back as themselves, and
// integer readings stay inside the 32-bit range whatever the text holds.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/NumberText.h"

namespace lociview {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

struct IntCase {
    const char* text;
    int32_t value;
};

class FieldTextIntLimits : public testing::TestWithParam<IntCase> {};

TEST_P(FieldTextIntLimits, SaturatesAtTheRange) {
    EXPECT_EQ(intValue(GetParam().text), GetParam().value);
    EXPECT_EQ(intValue(formatIntField(GetParam().value)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FieldTextIntLimits,
    testing::Values(IntCase{"2147483647", kMax}, IntCase{"2147483648", kMax}, IntCase{"-2147483648", kMin},
                    IntCase{"-2147483649", kMin}, IntCase{"4294967296", kMax}, IntCase{"-4294967297", kMin},
                    IntCase{"00000000000000000000002147483647", kMax}, IntCase{"-000000000000000000000000012", -12},
                    IntCase{"99999999999999999999999999999999999999", kMax},
                    IntCase{"-99999999999999999999999999999999999999", kMin}, IntCase{"+", 0}, IntCase{"-", 0},
                    IntCase{" \t\n-7x", -7}, IntCase{"1e3", 1}, IntCase{"", 0}));

class FieldTextDoubleRoundTrip : public testing::TestWithParam<double> {};

TEST_P(FieldTextDoubleRoundTrip, WrittenFieldReadsBack) {
    const double d = GetParam();
    const std::string text = formatDoubleField(d);
    EXPECT_NE(text.find('.'), std::string::npos) << text;
    EXPECT_EQ(decimalNumberLength(text), text.size()) << text;
    EXPECT_EQ(doubleValue(text), d) << text;
}

INSTANTIATE_TEST_SUITE_P(Values, FieldTextDoubleRoundTrip,
                         testing::Values(0.0, -0.0, 1.0, 0.1, 120.0, 185.32000732421875, -1.5,
                                         std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                                         std::numeric_limits<double>::min(),
                                         std::numeric_limits<double>::denorm_min(), 9007199254740993.0,
                                         2147483648.5, 1e-7, 123456789012345680000.0));

struct TruncCase {
    double value;
    int32_t expected;
};

class FieldTextSaturatingInt : public testing::TestWithParam<TruncCase> {};

TEST_P(FieldTextSaturatingInt, TruncatesOrSaturates) { EXPECT_EQ(saturatingInt(GetParam().value), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Values, FieldTextSaturatingInt,
    testing::Values(TruncCase{std::nan(""), 0}, TruncCase{-std::nan(""), 0},
                    TruncCase{std::numeric_limits<double>::infinity(), kMax},
                    TruncCase{-std::numeric_limits<double>::infinity(), kMin}, TruncCase{2147483647.0, kMax},
                    TruncCase{2147483646.99, 2147483646}, TruncCase{2147483648.0, kMax},
                    TruncCase{-2147483648.0, kMin}, TruncCase{-2147483648.9, kMin},
                    TruncCase{-2147483647.5, -2147483647}, TruncCase{-0.9, 0}, TruncCase{120.9, 120},
                    TruncCase{1e300, kMax}, TruncCase{-1e300, kMin}));

TEST(FieldTextReaders, NumberLengthStaysInsideTheText) {
    for (const char* text : {"1.", "1.e", "1.e+", "-.5e-3x", "+", "-.", ".e1", "1e+9999999999999", "0x1p3"}) {
        const std::string_view t(text);
        const size_t n = decimalNumberLength(t);
        EXPECT_LE(n, t.size()) << text;
        if (n > 0) {
            EXPECT_EQ(decimalNumberLength(t.substr(0, n)), n) << text;
        }
    }
    EXPECT_EQ(doubleValue("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(floatValue("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_FALSE(std::isnan(doubleValue("nan")));
}

}  // namespace
}  // namespace lociview
