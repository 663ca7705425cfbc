// Number texts: how fields and peak files read as numbers, how numbers are
// written back into fields, and the developer log's lines, each checked
// against what the C library makes of the same text or the same number.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "base/DevLog.h"
#include "base/NumberText.h"

namespace lociview {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Random {  // xorshift: every exponent and mantissa pattern
    uint64_t state = 88172645463325252ull;
    uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    size_t below(size_t n) { return static_cast<size_t>(next() % n); }
};

// Edge values, every exponent and mantissa pattern, and plain sizes and
// heights, where the program spends its time.
std::vector<double> someDoubles() {
    std::vector<double> values = {0.0, -0.0, 0.1, 0.375, 2.5, -2.5, 0.0078125, 1e-7, 5e-7, 4.9999999e-7, 9.9999995, 99.995,
                                  185.32000732421875, 150.4, 1e15, 1e20, 1.8e19, 1e300, DBL_MAX, -DBL_MAX, DBL_MIN, 4.9e-324,
                                  -1e22, 2147483647.0, 2147483646.99, 2147483648.0, 2147483648.5, -2147483648.0, -2147483648.9,
                                  -2147483647.5, -0.9, 9007199254740993.0, 8796093022208.25, kInf, -kInf, NAN, -NAN};
    Random r;
    for (int i = 0; i < 20000; ++i) values.insert(values.end(), {std::bit_cast<double>(r.next()), double(r.next() % 40000000) / 1e5});
    return values;
}

// Sign, digits, point, fraction and exponent in any mix, some of them broken.
std::string numberText(Random& r) {
    const auto digits = [&](size_t most) {
        std::string s(r.below(most + 1), '0');
        for (char& c : s) c = static_cast<char>('0' + (r.below(3) == 0 ? 9 : r.below(10)));
        return s;
    };
    std::string t = std::string(" \t").substr(0, r.below(3)) + std::string("+-").substr(r.below(2), r.below(3));
    t += digits(r.below(4) == 0 ? 25 : 8);
    if (r.below(2)) t += "." + digits(r.below(4) == 0 ? 25 : 8);
    if (r.below(3) == 0) t += std::string(r.below(2) ? "e" : "E") + std::string("+-").substr(0, r.below(3)) + digits(3);
    return t + std::string("z.e").substr(0, r.below(4));
}

TEST(NumberText, ReadsAsTheCLibraryReads) {
    Random r;
    for (int i = 0; i < 30000; ++i) {
        const std::string t = numberText(r);
        char* end = nullptr;
        const double d = std::strtod(t.c_str(), &end);
        EXPECT_EQ(std::bit_cast<uint64_t>(doubleValue(t)), std::bit_cast<uint64_t>(d)) << t;
        const long long ll = std::strtoll(t.c_str(), nullptr, 10);
        EXPECT_EQ(intValue(t), static_cast<int32_t>(std::clamp<long long>(ll, INT32_MIN, INT32_MAX))) << t;
        const size_t from = std::min(t.find_first_not_of(" \t"), t.size()), n = decimalNumberLength(std::string_view(t).substr(from));
        EXPECT_EQ(n, end == t.c_str() ? 0 : static_cast<size_t>(end - t.c_str()) - from) << t;
        if (n == 0) continue;
        const std::string number = t.substr(from, n);
        EXPECT_EQ(std::bit_cast<uint32_t>(parseFloat(number)), std::bit_cast<uint32_t>(std::strtof(number.c_str(), nullptr)))
            << number;
        EXPECT_EQ(parseDouble(number), std::strtod(number.c_str(), nullptr)) << number;
    }
    // Not numbers here, whatever strtod says; overflow is infinite.
    EXPECT_EQ(doubleValue("nan") + doubleValue("inf") + doubleValue("0x1p3"), 0.0);
    EXPECT_EQ(floatValue("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(intValue(" \n\v-00000000000000000000000000012x"), -12);
}

// The quick path takes plain decimals of few enough digits, exactly as
// strtof and strtod read them, and leaves every other text to the full reader.
TEST(NumberText, QuickPathTakesPlainDecimalsOnly) {
    for (const auto& [text, floatQuick, doubleQuick] :
         std::vector<std::tuple<const char*, bool, bool>>{{"185.32", true, true}, {"-5.5", true, true}, {"+7.25", true, true},
                                                          {"5.", true, true}, {".5", true, true}, {"1234567", true, true},
                                                          {"12345678", false, true}, {"0.0000001", false, true},
                                                          {"123456789012345", false, true}, {"1234567890123456", false, false},
                                                          {"1..5", false, false}, {"1e5", false, false}, {".", false, false},
                                                          {"-", false, false}, {"--5", false, false}, {"", false, false}}) {
        float f = -1.0f;
        double d = -1.0;
        EXPECT_EQ(quickDecimal(std::string_view(text), f), floatQuick) << text;
        EXPECT_EQ(quickDecimal(std::string_view(text), d), doubleQuick) << text;
        if (floatQuick) {
            EXPECT_EQ(f, std::strtof(text, nullptr)) << text;
        }
        if (doubleQuick) {
            EXPECT_EQ(d, std::strtod(text, nullptr)) << text;
        }
    }
}

TEST(NumberText, FieldsReadBackAndSaturate) {
    for (const double v : someDoubles()) {
        const int32_t whole = std::isnan(v) ? 0 : static_cast<int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
        EXPECT_EQ(saturatingInt(v), whole) << v;
        EXPECT_EQ(intValue(formatIntField(whole)), whole);
        if (!std::isfinite(v)) continue;
        const std::string text = formatDoubleField(v);
        EXPECT_NE(text.find('.'), std::string::npos) << text;
        EXPECT_EQ(decimalNumberLength(text), text.size()) << text;
        EXPECT_EQ(std::bit_cast<uint64_t>(doubleValue(text)), std::bit_cast<uint64_t>(v)) << text;
    }
    EXPECT_EQ(clampToInt32(int64_t{1} << 40) + clampToInt32(-(int64_t{1} << 40)), -1);
    EXPECT_EQ(clampedCount(size_t{1} << 40), INT32_MAX);
}

struct LastLine : LogSink {
    void line(std::string_view text) override { last = text; }
    std::string last;
};

[[gnu::format(printf, 1, 2)]] std::string printfText(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    char buf[2048];
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

// The log writes the conversions it uses without printf; they must read
// exactly as printf writes them.
TEST(DevLog, LinesReadAsPrintfWritesThem) {
    LastLine log;
    for (const double v : someDoubles()) {
        logf(log, "%lf|%.2lf", v, v);
        ASSERT_EQ(log.last, printfText("%lf|%.2lf", v, v)) << std::hexfloat << v;
        logf(log, "%.0f|%.9f", v, v);
        ASSERT_EQ(log.last, printfText("%.0f|%.9f", v, v)) << std::hexfloat << v;
        logf(log, "%.1f|%.4f", v, v);
        ASSERT_EQ(log.last, printfText("%.1f|%.4f", v, v)) << std::hexfloat << v;
        const double single = static_cast<float>(v);  // a size as read
        logf(log, "%lf|%.2lf", single, single);
        ASSERT_EQ(log.last, printfText("%lf|%.2lf", single, single)) << std::hexfloat << single;
    }
    const std::string longText(700, 'x');
#define SAME(...)                                     \
    do {                                              \
        logf(log, __VA_ARGS__);                       \
        EXPECT_EQ(log.last, printfText(__VA_ARGS__)); \
    } while (0)
    SAME("%d %d %d %d", INT_MIN, INT_MAX, 0, -1);
    SAME("100%% of %s%%", "lanes");
    SAME("%s", "");
    SAME("%lld %zu %u %ld %i", LLONG_MIN, SIZE_MAX, UINT_MAX, LONG_MIN, -7);
    SAME("%lld %zu %u", LLONG_MIN, SIZE_MAX, UINT_MAX);
    for (const int v : {0, 9, 10, 99, 100, 999, 1000, 9999, 10000, 123456, -1, -9999})
        SAME("%d|%u|%lld|%zu", v, static_cast<unsigned>(v), static_cast<long long>(v), static_cast<size_t>(v));
    SAME("%s and %s", longText.c_str(), "more");  // longer than the stack line
    SAME("%s", (longText + "\n").c_str());        // and with a line break to escape
    SAME("%lld%% of %zu %d", LLONG_MIN, SIZE_MAX, 7);
    EXPECT_EQ(format("%s", longText.substr(0, 256).c_str()), longText.substr(0, 256));
    for (size_t pad = 495; pad < 512; ++pad)       // a number that ends at the stack line's end
        SAME("%s%lf", longText.substr(0, pad).c_str(), 123.25);
    // Not written here: widths, flags, other conversions and lengths.
    SAME("%5d|%-4s|%+.1f|%g|%x|%ld|%zu|%e", 42, "ab", 2.25, 0.1, 255u, 7L, size_t{9}, 1e-5);
    SAME("%.10f %.3lf", 1.0 / 3, 2.0005);
#undef SAME
}

}  // namespace
}  // namespace lociview
