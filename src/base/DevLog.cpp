#include "base/DevLog.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace lociview {

std::string vformat(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = vformat(fmt, args);
    va_end(args);
    return s;
}

namespace {

// A run writes a log line or more per peak, most with a size in "%lf":
// printf's exact decimal expansion of a double is the costliest part of a
// line. The formats of the developer log use only %d, %s, %f and %.Nf (with
// or without l), and %%; those are written here, with the same text printf
// writes, and a line with anything else goes to vsnprintf whole.
__extension__ typedef unsigned __int128 Wide;  // a mantissa times 10^9 and more

class LineWriter {
public:
    LineWriter(char* buf, size_t size) : at(buf), end(buf + size) {}

    bool text(const char* s, size_t n) {
        if (static_cast<size_t>(end - at) < n) return false;
        std::memcpy(at, s, n);
        at += n;
        return true;
    }
    // Numbers are written in place, not gathered and then copied.
    template <typename Integer>
    bool digits(Integer v) {
        const auto res = std::to_chars(at, end, v);
        if (res.ec != std::errc()) return false;
        at = res.ptr;
        return true;
    }
    bool integer(long long v) { return digits(v); }
    // "%.*f": the exact binary value rounded to the precision, ties to even.
    bool fixed(double v, int precision) {
        uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        const int biased = static_cast<int>(bits >> 52 & 0x7FF);
        uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
        if (biased == 0x7FF) return printfFixed(v, precision);  // inf, nan
        int exponent = -1074;                                    // v = mantissa * 2^exponent
        if (biased != 0) {
            mantissa |= uint64_t{1} << 52;
            exponent = biased - 1075;
        }
        static constexpr uint64_t kTens[] = {1,      10,      100,      1000,      10000,
                                             100000, 1000000, 10000000, 100000000, 1000000000};
        const Wide scaled = static_cast<Wide>(mantissa) * kTens[precision];  // < 2^83
        Wide q;
        if (exponent >= 0) {
            if (exponent > 40) return printfFixed(v, precision);
            q = scaled << exponent;
        } else if (exponent <= -128) {
            q = 0;  // below 2^-45: less than half of the last place
        } else {
            const int shift = -exponent;
            q = scaled >> shift;
            const Wide rest = scaled - (q << shift);
            const Wide half = static_cast<Wide>(1) << (shift - 1);
            if (rest > half || (rest == half && (q & 1))) ++q;
        }
        if (q >> 64) return printfFixed(v, precision);
        // "%lf" and "%.2lf" are nearly every line's: a constant divisor is a
        // multiplication, a variable one a division.
        const auto split = [&q](uint64_t ten) {
            return std::pair(static_cast<uint64_t>(q) / ten, static_cast<uint64_t>(q) % ten);
        };
        auto [whole, fraction] = precision == 6 ? split(1000000) : precision == 2 ? split(100) : split(kTens[precision]);
        if ((bits >> 63) && !text("-", 1)) return false;
        if (!digits(whole)) return false;
        if (precision == 0) return true;
        if (end - at < precision + 1) return false;
        at[0] = '.';
        for (int i = precision; i > 0; --i, fraction /= 10) at[i] = static_cast<char>('0' + fraction % 10);
        at += precision + 1;
        return true;
    }
    size_t length(const char* start) const { return static_cast<size_t>(at - start); }

private:
    bool printfFixed(double v, int precision) {
        char out[400];
        const int n = std::snprintf(out, sizeof out, "%.*f", precision, v);
        return n >= 0 && static_cast<size_t>(n) < sizeof out && text(out, static_cast<size_t>(n));
    }

    char* at;
    char* end;
};

// The line for fmt into buf; -1 when the format holds anything else than
// the conversions above, or the line does not fit.
int quickFormat(char* buf, size_t size, const char* fmt, va_list args) {
    LineWriter out(buf, size);
    const char* p = fmt;
    while (*p) {
        const char* percent = std::strchr(p, '%');
        const size_t plain = percent ? static_cast<size_t>(percent - p) : std::strlen(p);
        if (!out.text(p, plain)) return -1;
        if (!percent) break;
        p = percent + 1;
        if (*p == '%') {
            if (!out.text("%", 1)) return -1;
            ++p;
            continue;
        }
        int precision = 6;
        if (*p == '.') {
            ++p;
            if (*p < '0' || *p > '9') return -1;
            precision = *p++ - '0';
            if (*p >= '0' && *p <= '9') return -1;
        }
        const bool longArg = *p == 'l';
        if (longArg) ++p;
        const char conversion = *p++;
        if (conversion == 'f') {
            if (!out.fixed(va_arg(args, double), precision)) return -1;
        } else if (precision != 6 || longArg) {
            return -1;
        } else if (conversion == 'd') {
            if (!out.integer(va_arg(args, int))) return -1;
        } else if (conversion == 's') {
            const char* s = va_arg(args, const char*);
            if (!s || !out.text(s, std::strlen(s))) return -1;
        } else {
            return -1;
        }
    }
    const size_t n = out.length(buf);
    return n < size ? static_cast<int>(n) : -1;
}

}  // namespace

void logf(LogSink& log, const char* fmt, ...) {
    if (!log.enabled()) return;
    // The arguments are walked afresh for each try rather than copied
    // beforehand: a copy of the list costs more than a plain line's text.
    va_list args;
    char small[512];
    va_start(args, fmt);
    int n = quickFormat(small, sizeof small, fmt, args);
    va_end(args);
    if (n < 0) {
        // Most other lines still fit on the stack: no allocation per line.
        va_start(args, fmt);
        n = std::vsnprintf(small, sizeof small, fmt, args);
        va_end(args);
    }
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        log.line(std::string_view(small, static_cast<size_t>(n)));
        return;
    }
    va_start(args, fmt);
    const std::string s = vformat(fmt, args);
    va_end(args);
    log.line(s);
}

}  // namespace lociview
