// Developer log lines are written without printf for the few conversions
// the log uses; every line must still read exactly as printf writes it.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "base/DevLog.h"

namespace lociview {
namespace {

class LastLine : public LogSink {
public:
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

double fromBits(uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

TEST(DevLogTest, DoublesReadAsPrintfWritesThem) {
    std::vector<double> values = {0.0, -0.0, 0.125, 0.375, 2.5, 3.5, -2.5, 0.0078125, 1e-7, -1e-7, 5e-7, 4.9999999e-7,
                                  9.9999995, 99.995, 185.32000732421875, 150.4, 1e15, 1e20, 1.8e19, 1e300, DBL_MAX,
                                  DBL_MIN, 4.9e-324, -1e22, std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(), std::nan(""), -std::nan(""), 2147483648.5,
                                  8796093022208.25, 123456789.123456789};
    uint64_t state = 88172645463325252ull;  // xorshift: every exponent, every mantissa pattern
    for (int i = 0; i < 20000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        values.push_back(fromBits(state));
        // And plain sizes and heights, where the log spends its time.
        values.push_back(static_cast<double>(state % 40000000) / 100000.0);
    }
    LastLine log;
    for (const double v : values) {
        logf(log, "%lf", v);
        ASSERT_EQ(log.last, printfText("%lf", v)) << std::hexfloat << v;
        logf(log, "%.2lf", v);
        ASSERT_EQ(log.last, printfText("%.2lf", v)) << std::hexfloat << v;
        logf(log, "%.0f|%.9f", v, v);
        ASSERT_EQ(log.last, printfText("%.0f|%.9f", v, v)) << std::hexfloat << v;
    }
}

TEST(DevLogTest, WholeLinesReadAsPrintfWritesThem) {
    LastLine log;
    const std::string longText(700, 'x');
    struct Line {
        std::string got, expected;
    };
    const auto both = [&](std::string got, std::string expected) { return Line{std::move(got), std::move(expected)}; };
#define LINE(...) both((logf(log, __VA_ARGS__), log.last), printfText(__VA_ARGS__))
    const Line lines[] = {
        LINE("marked allele %.2lf in lane %d as %s", 99.996, 12, "DISCARDED"),
        LINE("lane %d doesn't exist", INT_MIN),
        LINE("%d %d %d", INT_MAX, 0, -1),
        LINE("100%% of %s%%", "lanes"),
        LINE("%s", ""),
        LINE("%s and %s", longText.c_str(), "more"),  // longer than the stack line
        LINE("Uses \\n format"),
        LINE("range for getAllelesInLane: inRangeLow: high: withScore:  is borked (%d, %d)", -3, 150),
        // Not written here: widths, flags, other conversions and lengths.
        LINE("%5d|%-4s|%+.1f|%g|%x|%ld|%zu|%e", 42, "ab", 2.25, 0.1, 255u, 7L, size_t{9}, 1e-5),
        LINE("%.10f %.3lf", 1.0 / 3, 2.0005),
    };
#undef LINE
    for (const Line& l : lines) EXPECT_EQ(l.got, l.expected);
}

}  // namespace
}  // namespace lociview
