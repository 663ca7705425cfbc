#include "base/DevLog.h"

#include <array>
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
// line. The formats parsed as quick (DevLog.h) are written here, with the
// same text printf writes; a line with anything else goes to vsnprintf.
__extension__ typedef unsigned __int128 Wide;  // a mantissa times 10^9 and more

class LineWriter {
public:
    LineWriter(char* buf, size_t size) : at(buf), end(buf + size) {}

    bool text(const char* s, size_t n) {
        if (static_cast<size_t>(end - at) < n) return false;
        // A format's pieces are a few words long: copied as two overlapping
        // words, as a call to memcpy costs more than the copy.
        const auto both = [&](auto word) {
            constexpr size_t w = sizeof word;
            std::memcpy(&word, s, w);
            decltype(word) last;
            std::memcpy(&last, s + n - w, w);
            std::memcpy(at, &word, w);
            std::memcpy(at + n - w, &last, w);
        };
        if (n >= 16 && n <= 32) {
            both(std::array<uint64_t, 2>{});
        } else if (n >= 8 && n < 16) {
            both(uint64_t{});
        } else if (n >= 4 && n < 8) {
            both(uint32_t{});
        } else if (n < 4) {
            for (size_t i = 0; i < n; ++i) at[i] = s[i];
        } else {
            std::memcpy(at, s, n);
        }
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
    // "%.*f": the exact binary value rounded to the precision, ties to even.
    // "%lf" and "%.2lf" are nearly every line's: with the precision a
    // constant, its divisions are multiplications and its digit loop unrolled.
    bool fixed(double v, int precision) {
        if (precision == 6) return fixedTo<6>(v, 6);
        if (precision == 2) return fixedTo<2>(v, 2);
        return fixedTo<-1>(v, precision);
    }
    template <int Constant>
    bool fixedTo(double v, int precision) {
        if constexpr (Constant >= 0) precision = Constant;
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
        const uint64_t ten = kTens[precision];
        const uint64_t whole = static_cast<uint64_t>(q) / ten;
        uint64_t fraction = static_cast<uint64_t>(q) % ten;
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

}  // namespace

namespace logformat {

bool writeQuick(LogSink& log, const char* fmt, const Parsed& parsed, const Arg* args) {
    char small[512];
    LineWriter out(small, sizeof small);
    for (uint8_t i = 0; i < parsed.count; ++i) {
        const Piece& p = parsed.pieces[i];
        if (!out.text(fmt + p.start, p.length)) return false;
        bool written = true;
        switch (p.conversion) {
            case 0: break;
            case '%': written = out.text("%", 1); break;
            case 'f': written = out.fixed((args++)->real, p.precision); break;
            case 's':
                if (!args->text) return false;
                written = out.text(args->text, std::strlen(args->text));
                ++args;
                break;
            case 'u': written = out.digits(static_cast<unsigned>((args++)->bits)); break;
            case 'U': written = out.digits(static_cast<unsigned long long>((args++)->bits)); break;
            case 'D': written = out.digits(static_cast<long long>((args++)->bits)); break;
            default: written = out.digits(static_cast<int>(static_cast<int64_t>((args++)->bits))); break;  // 'd'

        }
        if (!written) return false;
    }
    const std::string_view text(small, out.length(small));
    if (parsed.plain) log.plainLine(text);
    else log.line(text);
    return true;
}

void writePrintf(LogSink& log, const char* fmt, ...) {
    va_list args;
    char small[512];
    va_start(args, fmt);
    const int n = std::vsnprintf(small, sizeof small, fmt, args);
    va_end(args);
    // Most lines fit on the stack: no allocation per line.
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        log.line(std::string_view(small, static_cast<size_t>(n)));
        return;
    }
    va_start(args, fmt);
    const std::string s = vformat(fmt, args);
    va_end(args);
    log.line(s);
}

}  // namespace logformat

}  // namespace lociview
