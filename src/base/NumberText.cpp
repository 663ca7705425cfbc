#include "base/NumberText.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace lociview {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    return text.substr(i);
}

// The "C" locale, so a decimal point is a point whatever the user's locale.
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// How the number texts write a double that is not finite.
std::string nonFiniteText(double value) { return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf"); }

}  // namespace

int32_t intValue(std::string_view text) {
    text = skipBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    bool saturated = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (saturated) continue;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{1} << 32) saturated = true;
    }
    if (negative) value = -value;
    if (saturated || value > std::numeric_limits<int32_t>::max())
        return negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

size_t decimalNumberLength(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

template <typename T>
T decimalQuotient(uint64_t digits, int decimals) {
    static constexpr T kTens[] = {T(1e0),  T(1e1),  T(1e2),  T(1e3),  T(1e4),  T(1e5),  T(1e6),  T(1e7),
                                  T(1e8),  T(1e9),  T(1e10), T(1e11), T(1e12), T(1e13), T(1e14), T(1e15)};
    return static_cast<T>(digits) / kTens[decimals];
}

template <typename T>
bool quickDecimal(std::string_view text, T& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > static_cast<size_t>(quickDigits<T>) + 1) return false;
    uint64_t digits = 0;
    int count = 0;
    int decimals = -1;
    for (const char c : text) {
        if (isDigit(c)) {
            digits = digits * 10 + static_cast<uint64_t>(c - '0');
            ++count;
            if (decimals >= 0) ++decimals;
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (count == 0 || count > quickDigits<T>) return false;
    value = decimalQuotient<T>(digits, decimals < 0 ? 0 : decimals);
    if (negative) value = -value;
    return true;
}

template float decimalQuotient<float>(uint64_t, int);
template double decimalQuotient<double>(uint64_t, int);
template bool quickDecimal<float>(std::string_view, float&);
template bool quickDecimal<double>(std::string_view, double&);

double parseDouble(std::string_view number) {
    if (double value = 0.0; quickDecimal(number, value)) return value;
    // from_chars rounds exactly as strtod does, without a copy or a locale;
    // it takes no plus sign, and leaves overflow and underflow (and any
    // other spelling) to strtod.
    std::string_view text = number;
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) text = {};
    }
    if (!text.empty()) {
        double value = 0.0;
        const char* end = text.data() + text.size();
        const auto res = std::from_chars(text.data(), end, value);
        if (res.ec == std::errc() && res.ptr == end) return value;
    }
    const std::string s(number);
    return strtod_l(s.c_str(), nullptr, cLocale());
}

float parseFloat(std::string_view number) {
    if (float value = 0.0f; quickDecimal(number, value)) return value;
    // As parseDouble: from_chars rounds exactly, strtof settles the rest.
    std::string_view magnitude = number;
    const bool negative = !magnitude.empty() && magnitude.front() == '-';
    if (!magnitude.empty() && (magnitude.front() == '+' || magnitude.front() == '-')) magnitude.remove_prefix(1);
    if (!magnitude.empty() && magnitude.front() != '+' && magnitude.front() != '-') {
        float value = 0.0f;
        const char* end = magnitude.data() + magnitude.size();
        const auto res = std::from_chars(magnitude.data(), end, value, std::chars_format::general);
        if (res.ec == std::errc() && res.ptr == end) return negative ? -value : value;
    }
    const std::string s(number);
    return strtof_l(s.c_str(), nullptr, cLocale());
}

double doubleValue(std::string_view text) {
    text = skipBlanks(text);
    // A field that is one plain decimal (every number text of a peak row)
    // needs no search for where its number ends.
    if (double value = 0.0; quickDecimal(text, value)) return value;
    const size_t n = decimalNumberLength(text);
    return n == 0 ? 0.0 : parseDouble(text.substr(0, n));
}

std::optional<double> wholeNumberValue(std::string_view text) {
    text = skipBlanks(text);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.empty() || decimalNumberLength(text) != text.size()) return std::nullopt;
    return parseDouble(text);
}

float floatValue(std::string_view text) { return static_cast<float>(doubleValue(text)); }

int32_t clampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t clampedCount(size_t count) {
    return count > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                              : static_cast<int32_t>(count);
}

int32_t saturatingInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string formatDoubleField(double value) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string s(buf, res.ptr);
    if (s.find('.') == std::string::npos) s += ".0";
    return s;
}

std::string shortestNumber(double value) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value + 0.0);
    return std::string(buf, res.ptr);
}

std::string fixedText(double value, int decimals) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    char buf[512];  // the largest double in full with a few decimals
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string();
}

std::string formatIntField(int32_t value) { return std::to_string(value); }

}  // namespace lociview
