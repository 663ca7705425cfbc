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

namespace {

// The length of the group mark at text[i], 0 when there is none: a blank
// is a space or UTF-8's no-break space (C2 A0) or narrow one (E2 80 AF).
size_t groupMarkAt(std::string_view text, size_t i, char group) {
    if (group != ' ') return text[i] == group ? 1 : 0;
    if (text[i] == ' ') return 1;
    if (text.compare(i, 2, "\xC2\xA0") == 0) return 2;
    if (text.compare(i, 3, "\xE2\x80\xAF") == 0) return 3;
    return 0;
}

}  // namespace

bool plainNumber(std::string_view cell, NumberForm form, std::string& scratch, std::string_view& plain) {
    if (form == NumberForm{}) {
        plain = cell;
        return true;
    }
    scratch.clear();
    size_t i = 0;
    if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) scratch += cell[i++];
    // The whole part: groups of three after a first of one to three.
    size_t run = 0;
    bool grouped = false;
    while (i < cell.size()) {
        if (cell[i] >= '0' && cell[i] <= '9') {
            scratch += cell[i++];
            ++run;
            continue;
        }
        const size_t mark = form.group ? groupMarkAt(cell, i, form.group) : 0;
        if (mark == 0) break;
        if (run == 0 || run > 3 || (grouped && run != 3)) return false;
        grouped = true;
        run = 0;
        i += mark;
    }
    if (grouped && run != 3) return false;
    // The rest: the decimal mark once, as a point; no other mark.
    bool decimal = false;
    for (; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c == form.decimal && !decimal) {
            scratch += '.';
            decimal = true;
        } else if (c == '.' || c == ',') {
            return false;
        } else {
            scratch += c;
        }
    }
    plain = scratch;
    return true;
}

std::string numberFormWords(NumberForm form) {
    const bool comma = form.decimal == ',';
    const char* between = form.group == ',' ? "commas" : form.group == '.' ? "points" : "blanks";
    if (form.group == 0) return comma ? "a decimal comma" : "";
    return std::string(comma ? "a decimal comma and " : "") + between + " between thousands";
}

}  // namespace lociview
