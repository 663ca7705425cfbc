#pragma once
// Developer log lines put together without printf, with the same text
// printf writes: the formats parsed as quick (DevLog.h).
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "base/LineText.h"

namespace lociview::logformat {

// A run writes a log line or more per peak, most with a size in "%lf":
// printf's exact decimal expansion of a double is the costliest part of a
// line. The formats parsed as quick (DevLog.h) are written here, with the
// same text printf writes; a line with anything else goes to vsnprintf.
__extension__ typedef unsigned __int128 Wide;  // a mantissa times 10^9 and more

class LineWriter {
    // "00" to "99", two characters each.
    static constexpr std::array<char, 200> kPairDigits = [] {
        std::array<char, 200> pairs{};
        for (int i = 0; i < 100; ++i) {
            pairs[2 * i] = static_cast<char>('0' + i / 10);
            pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
        return pairs;
    }();
    static constexpr const char* kPairs = kPairDigits.data();
    static constexpr uint64_t kTens[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

    // n bytes, from one to two words, as the first and the last word.
    template <typename Word>
    [[gnu::always_inline]] static void overlapping(char* to, const char* from, size_t n) {
        Word first, last;
        std::memcpy(&first, from, sizeof first);
        std::memcpy(&last, from + n - sizeof last, sizeof last);
        std::memcpy(to, &first, sizeof first);
        std::memcpy(to + n - sizeof last, &last, sizeof last);
    }

public:
    LineWriter(char* begin, char* end) : at(begin), end(end) {}

    [[gnu::always_inline]] bool text(const char* s, size_t n) {
        if (static_cast<size_t>(end - at) < n) return false;
        // A format's pieces are a few words long: copied as two overlapping
        // words, as a call to memcpy costs more than the copy.
        if (n >= 16 && n <= 32) {
            overlapping<std::array<uint64_t, 2>>(at, s, n);
        } else if (n >= 8 && n < 16) {
            overlapping<uint64_t>(at, s, n);
        } else if (n >= 4 && n < 8) {
            overlapping<uint32_t>(at, s, n);
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
    [[gnu::always_inline]] bool digits(Integer v) {
        // (A negative number is no small one as an unsigned.)
        if (static_cast<std::make_unsigned_t<Integer>>(v) < 10000) return small(static_cast<uint64_t>(v));
        return anyDigits(v);
    }
    template <typename Integer>
    [[gnu::noinline]] bool anyDigits(Integer v) {
        const auto res = std::to_chars(at, end, v);
        if (res.ec != std::errc()) return false;
        at = res.ptr;
        return true;
    }
    // Below 10,000, as a size's whole part and most heights and lanes are:
    // to_chars's call and its loop for the length cost more than the digits.
    [[gnu::always_inline]] bool small(uint64_t v) {
        const int n = v < 10 ? 1 : v < 100 ? 2 : v < 1000 ? 3 : 4;
        if (end - at < n) return false;
        char* p = at + n;
        if (n > 2) {
            p -= 2;
            std::memcpy(p, kPairs + v % 100 * 2, 2);
            v /= 100;
        }
        if (v >= 10) std::memcpy(p - 2, kPairs + v * 2, 2);
        else p[-1] = static_cast<char>('0' + v);
        at += n;
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
        // A size read as single precision ends in 29 zero bits: without them
        // the scaled mantissa fits a word, and the rounding is done there.
        if (exponent < 0 && mantissa != 0) {
            const int zeros = std::min(std::countr_zero(mantissa), -exponent);
            const int shift = -exponent - zeros;
            uint64_t scaled = 0;
            if (shift < 64 && !__builtin_mul_overflow(mantissa >> zeros, kTens[precision], &scaled)) {
                return wholeAndFraction(shift > 0 ? shiftedRounded(scaled, shift) : scaled, bits >> 63, precision);
            }
        }
        const Wide scaled = static_cast<Wide>(mantissa) * kTens[precision];  // < 2^83
        Wide q;
        if (exponent >= 0) {
            if (exponent > 40) return printfFixed(v, precision);
            q = scaled << exponent;
        } else if (exponent <= -128) {
            q = 0;  // below 2^-45: less than half of the last place
        } else {
            q = shiftedRounded(scaled, -exponent);
        }
        if (q >> 64) return printfFixed(v, precision);
        return wholeAndFraction(static_cast<uint64_t>(q), bits >> 63, precision);
    }
    // scaled / 2^shift, 0 < shift < its width, to the nearest, ties to even;
    // without a branch, as which way a number rounds is anybody's guess.
    template <typename Unsigned>
    static Unsigned shiftedRounded(Unsigned scaled, int shift) {
        const Unsigned q = scaled >> shift;
        const Unsigned rest = scaled - (q << shift);
        const Unsigned half = static_cast<Unsigned>(1) << (shift - 1);
        return q + static_cast<Unsigned>((rest > half) | ((rest == half) & static_cast<bool>(q & 1)));
    }
    // q, the number in units of the last place, with the sign and point.
    [[gnu::always_inline]] bool wholeAndFraction(uint64_t q, bool negative, int precision) {
        const uint64_t ten = kTens[precision];
        const uint64_t whole = q / ten;
        uint64_t fraction = q % ten;
        if (negative && !text("-", 1)) return false;
        if (!digits(whole)) return false;
        if (precision == 0) return true;
        if (end - at < precision + 1) return false;
        at[0] = '.';
        // Two digits a step from the last: half the chain of divisions.
        int i = precision;
        for (; i > 1; i -= 2, fraction /= 100) std::memcpy(at + i - 1, kPairs + fraction % 100 * 2, 2);
        if (i == 1) at[1] = static_cast<char>('0' + fraction);
        at += precision + 1;
        return true;
    }
    // An argument of a quick conversion: 'f' of a number, 'd' or 'u' of an
    // int, 'D' or 'U' of a long or long long, 's' of a text with nothing a
    // sink escapes. False for anything else, which the caller writes its
    // checked way.
    template <typename T>
    bool put(char conversion, uint8_t precision, T v) {
        if constexpr (std::is_floating_point_v<T>) {
            return fixed(static_cast<double>(v), precision);
        } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
            const auto promoted = +v;  // as printf receives it
            using Promoted = decltype(promoted);
            if (conversion == 'u' || conversion == 'U') return digits(static_cast<std::make_unsigned_t<Promoted>>(promoted));
            return digits(static_cast<std::make_signed_t<Promoted>>(promoted));
        } else if constexpr (std::is_convertible_v<T, const char*>) {
            const char* const s = v;
            if (!s) return false;
            const std::string_view t(s);
            return plainText(t) && text(t.data(), t.size());
        } else {
            return false;
        }
    }
    char* written() const { return at; }

    // Whether a text holds no character some sink escapes.
    static bool plainText(std::string_view text) { return std::none_of(text.begin(), text.end(), lineText::escapedBySomeKind); }

private:
    bool printfFixed(double v, int precision);

    char* at;
    char* end;
};

}  // namespace lociview::logformat
