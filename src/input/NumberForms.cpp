#include "input/NumberForms.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "base/NumberText.h"

namespace lociview {

// Independent of the C locale's decimal point, ties to even. Every file
// number goes through here, so values below 2^43 (all sizes, heights and
// areas a plate holds) are done in integers; the rest go to to_chars.
std::string floatText(float value) {
    char buf[64];
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 23 & 0xFFu);
    // |value| = mantissa / 2^shift, the mantissa below 2^24.
    const uint64_t mantissa = biased == 0 ? (bits & 0x7FFFFFu) : (bits & 0x7FFFFFu) | 0x800000u;
    const int shift = biased == 0 ? 149 : 150 - biased;
    if (biased != 0xFF && shift >= -19) {
        const uint64_t scaled = mantissa * 1000000u;  // below 2^44
        uint64_t micros;  // |value| * 10^6, rounded
        if (shift <= 0) {
            micros = scaled << -shift;
        } else if (shift >= 64) {
            micros = 0;  // below 2^-20: rounds to 0
        } else {
            micros = scaled >> shift;
            const uint64_t rest = scaled & ((uint64_t{1} << shift) - 1);
            const uint64_t half = uint64_t{1} << (shift - 1);
            if (rest > half || (rest == half && (micros & 1u))) ++micros;
        }
        // Written backwards two digits at a time: six decimals, the point,
        // then the whole part.
        static constexpr char kPairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        char* p = buf + sizeof buf;
        uint32_t fraction = static_cast<uint32_t>(micros % 1000000u);
        uint64_t whole = micros / 1000000u;
        for (int i = 0; i < 3; ++i, fraction /= 100) {
            p -= 2;
            std::memcpy(p, kPairs + 2 * (fraction % 100), 2);
        }
        *--p = '.';
        while (whole >= 100) {
            p -= 2;
            std::memcpy(p, kPairs + 2 * (whole % 100), 2);
            whole /= 100;
        }
        if (whole >= 10) {
            p -= 2;
            std::memcpy(p, kPairs + 2 * whole, 2);
        } else {
            *--p = static_cast<char>('0' + whole);
        }
        if (std::signbit(value)) *--p = '-';
        return std::string(p, buf + sizeof buf);
    }
    const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::fixed, 6);
    return std::string(buf, res.ptr);
}

std::string intText(int32_t value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

}  // namespace lociview
