// Bytes in -> the field text readers, each checked against a plain
// reference: integers saturate at the 32-bit limits, number lengths stay
// inside the text, and every number the program writes reads back as itself.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/NumberText.h"

using namespace lociview;
using namespace lociview::fuzz;

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

// The leading whole number by digit counting: more than ten significant
// digits is always beyond the range.
int32_t referenceInt(std::string_view text) {
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    size_t n = 0;
    while (n < text.size() && isDigit(text[n])) ++n;
    std::string_view digits = text.substr(0, n);
    while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
    if (digits.size() > 10) return negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string show(double d) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

bool sameDouble(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

void checkDoubleRoundTrip(double d) {
    const std::string field = formatDoubleField(d);
    if (std::isfinite(d)) {
        check(field.find('.') != std::string::npos, "double field without a point", field);
        check(decimalNumberLength(field) == field.size(), "double field is not a number", field);
        check(sameDouble(doubleValue(field), d), "double field does not read back", field + " from " + show(d));
    }
    const int32_t i = saturatingInt(d);
    if (std::isnan(d)) {
        check(i == 0, "NaN does not give 0");
    } else if (d >= 2147483647.0) {
        check(i == std::numeric_limits<int32_t>::max(), "large double does not saturate", show(d));
    } else if (d <= -2147483648.0) {
        check(i == std::numeric_limits<int32_t>::min(), "small double does not saturate", show(d));
    } else {
        check(static_cast<double>(i) == std::trunc(d), "double not truncated toward zero", show(d));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const int32_t i = intValue(text);
    check(i == referenceInt(text), "intValue differs from the reference", std::to_string(i));
    check(intValue(formatIntField(i)) == i, "integer field does not read back", std::to_string(i));

    const size_t n = decimalNumberLength(text);
    check(n <= text.size(), "number longer than its text");
    if (n > 0) {
        check(isDigit(text[n - 1]) || text[n - 1] == '.', "number does not end in a digit or point");
        check(decimalNumberLength(text.substr(0, n)) == n, "number shorter on its own");
        // The exactly rounded value, independent of the C library's reader.
        std::string_view number = text.substr(0, n);
        if (number.front() == '+') number.remove_prefix(1);
        double expected = 0;
        const auto r = std::from_chars(number.data(), number.data() + number.size(), expected);
        if (r.ec == std::errc() && r.ptr == number.data() + number.size()) {
            check(parseDouble(text.substr(0, n)) == expected, "parseDouble not exactly rounded", std::string(number));
            float expectedFloat = 0;
            const auto rf = std::from_chars(number.data(), number.data() + number.size(), expectedFloat);
            if (rf.ec == std::errc())
                check(parseFloat(text.substr(0, n)) == expectedFloat, "parseFloat not exactly rounded",
                      std::string(number));
        }
    }

    const std::string_view afterBlanks = skipBlanks(text);
    const size_t m = decimalNumberLength(afterBlanks);
    const double d = doubleValue(text);
    check(m > 0 || d == 0.0, "no number but a value", show(d));
    check(!std::isnan(d), "doubleValue gave NaN");
    if (m > 0) check(d == parseDouble(afterBlanks.substr(0, m)), "doubleValue differs from its number");
    checkDoubleRoundTrip(d);

    const float f = floatValue(text);
    check(sameDouble(f, static_cast<float>(d)), "floatValue differs from doubleValue rounded");
    checkDoubleRoundTrip(static_cast<double>(f));

    // The raw bytes as a double: NaNs, infinities and subnormals too.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkDoubleRoundTrip(raw);
    }
    return 0;
}
