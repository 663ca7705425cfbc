#include "input/PeakTableReader.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "base/NumberText.h"

namespace lociview {

namespace {

// What a character can be in a peak line.
enum CharClass : uint8_t { kOther, kSpace, kDigit, kLetter, kPunct };

CharClass classifyWithIcu(char32_t c) {
    // Tab, LF..CR and NEL are control characters, yet they separate items.
    if (c == 0x09 || (c >= 0x0A && c <= 0x0D) || c == 0x85) return kSpace;
    switch (u_charType(static_cast<UChar32>(c))) {
        case U_SPACE_SEPARATOR:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
            return kSpace;
        case U_DECIMAL_DIGIT_NUMBER:
            return kDigit;
        case U_UPPERCASE_LETTER:
        case U_LOWERCASE_LETTER:
        case U_TITLECASE_LETTER:
        case U_MODIFIER_LETTER:
        case U_OTHER_LETTER:
        case U_NON_SPACING_MARK:
        case U_ENCLOSING_MARK:
        case U_COMBINING_SPACING_MARK:
            return kLetter;
        case U_CONNECTOR_PUNCTUATION:
        case U_DASH_PUNCTUATION:
        case U_START_PUNCTUATION:
        case U_END_PUNCTUATION:
        case U_INITIAL_PUNCTUATION:
        case U_FINAL_PUNCTUATION:
        case U_OTHER_PUNCTUATION:
            return kPunct;
        default:
            return kOther;
    }
}

// Latin-1 files never leave this table; UTF-16 files mostly stay in it.
const std::array<CharClass, 256>& latin1Classes() {
    static const std::array<CharClass, 256> table = [] {
        std::array<CharClass, 256> t{};
        for (char32_t c = 0; c < 256; ++c) t[c] = classifyWithIcu(c);
        return t;
    }();
    return table;
}

inline CharClass classOf(char32_t c, const std::array<CharClass, 256>& table) {
    return c < 256 ? table[c] : classifyWithIcu(c);
}

inline bool isAsciiDigit(char32_t c) { return c >= '0' && c <= '9'; }
inline bool isAsciiSign(char32_t c) { return c == '+' || c == '-'; }

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Digits of a number the scanner reads exactly with one division.
constexpr size_t kQuickDigits = quickDigits<float>;

// "%f" of the value, but independent of the C locale's decimal point: the
// exact binary value rounded to six decimals, ties to even. Every file
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

// The names the tossed-out messages give the nine items, in line order.
constexpr const char* kItemNames[9] = {"initial decimal", "letter",      "a comma",
                                       "dataID decimal",  "first float", "second float",
                                       "first integer",   "third float", "last float"};

// Parses the segments of one decoded text. Unit is the storage of one code
// point: a Latin-1 byte or a decoded UTF-16 code point.
template <class Unit>
class SegmentParser {
public:
    SegmentParser(const Unit* text, std::vector<PeakRow>& rows, LogSink& log)
        : text(text), rows(rows), log(log), classes(latin1Classes()) {}

    void parse(size_t begin, size_t end, int32_t lineNumber) {
        pos = begin;
        stop = end;
        Span lane, letters, dataId;
        float numbers[4] = {};
        int32_t height = 0;
        int failed = -1;
        if (!scanRun(kDigit, lane)) {
            failed = 0;
        } else if (!scanRun(kLetter, letters)) {
            failed = 1;
        } else if (Span comma; !scanRun(kPunct, comma)) {
            failed = 2;
        } else if (!scanRun(kDigit, dataId)) {
            failed = 3;
        } else if (!scanFloat(numbers[0])) {
            failed = 4;
        } else if (!scanFloat(numbers[1])) {
            failed = 5;
        } else if (!scanInt(height)) {
            failed = 6;
        } else if (!scanFloat(numbers[2])) {
            failed = 7;
        } else if (!scanFloat(numbers[3])) {
            failed = 8;
        }
        if (failed >= 0) {
            logf(log, "failed trying to scan %s on line %d. Entire line tossed out.", kItemNames[failed], lineNumber);
            return;
        }
        PeakRow row(8);
        appendSpan(row[0], lane);
        appendSpan(row[1], letters);
        appendSpan(row[2], dataId);
        row[3] = floatText(numbers[0]);
        row[4] = floatText(numbers[1]);
        row[5] = intText(height);
        row[6] = floatText(numbers[2]);
        row[7] = floatText(numbers[3]);
        rows.push_back(std::move(row));
    }

private:
    struct Span {
        size_t begin = 0, end = 0;
    };

    char32_t at(size_t i) const { return static_cast<char32_t>(text[i]); }

    void skipSpace() {
        while (pos < stop && classOf(at(pos), classes) == kSpace) ++pos;
    }

    // The longest run of one character class, after white space.
    bool scanRun(CharClass cls, Span& span) {
        skipSpace();
        span.begin = pos;
        while (pos < stop && classOf(at(pos), classes) == cls) ++pos;
        span.end = pos;
        return span.end > span.begin;
    }

    void appendSpan(std::string& out, const Span& span) const {
        out.reserve(span.end - span.begin);
        for (size_t i = span.begin; i < span.end; ++i) appendUtf8(out, at(i));
    }

    size_t countDigits(size_t& i) const {
        const size_t from = i;
        while (i < stop && isAsciiDigit(at(i))) ++i;
        return i - from;
    }

    // Sign, digits with an optional point and fraction (one digit at least),
    // and an exponent only when digits follow the e and its sign.
    bool scanFloat(float& value) {
        skipSpace();
        size_t i = pos;
        const bool negative = i < stop && at(i) == '-';
        if (i < stop && isAsciiSign(at(i))) ++i;
        // The digits are gathered while they are counted, for the quick
        // exact path without a second pass.
        uint32_t mantissa = 0;
        const size_t whole = gatherDigits(i, mantissa);
        size_t decimals = 0;
        if (i < stop && at(i) == '.') {
            ++i;
            decimals = gatherDigits(i, mantissa);
        }
        const size_t digits = whole + decimals;
        if (digits == 0) return false;
        bool exponent = false;
        if (i < stop && (at(i) == 'e' || at(i) == 'E')) {
            size_t j = i + 1;
            if (j < stop && isAsciiSign(at(j))) ++j;
            if (countDigits(j) > 0) {
                i = j;
                exponent = true;
            }
        }
        if (!exponent && digits <= kQuickDigits) {
            const float v = decimalQuotient<float>(mantissa, static_cast<int>(decimals));
            value = negative ? -v : v;
        } else {
            value = parseFloat(asciiText(pos, i));
        }
        pos = i;
        return true;
    }

    // countDigits that also accumulates the digits (while they are few
    // enough for the quick path).
    size_t gatherDigits(size_t& i, uint32_t& mantissa) const {
        const size_t from = i;
        for (; i < stop && isAsciiDigit(at(i)); ++i)
            if (i - from < kQuickDigits) mantissa = mantissa * 10 + static_cast<uint32_t>(at(i) - '0');
        return i - from;
    }

    // Sign and digits, saturating at the 32-bit limits.
    bool scanInt(int32_t& value) {
        skipSpace();
        size_t i = pos;
        bool negative = false;
        if (i < stop && isAsciiSign(at(i))) {
            negative = at(i) == '-';
            ++i;
        }
        const size_t first = i;
        constexpr int64_t kLimit = int64_t{1} << 31;  // magnitude of INT32_MIN
        int64_t magnitude = 0;
        for (; i < stop && isAsciiDigit(at(i)); ++i)
            magnitude = std::min(magnitude * 10 + static_cast<int64_t>(at(i) - '0'), kLimit);
        if (i == first) return false;
        if (negative)
            value = static_cast<int32_t>(-magnitude);
        else
            value = static_cast<int32_t>(std::min<int64_t>(magnitude, std::numeric_limits<int32_t>::max()));
        pos = i;
        return true;
    }

    // The characters of a number, all ASCII, as 8-bit text.
    std::string_view asciiText(size_t begin, size_t end) {
        if constexpr (sizeof(Unit) == 1) {
            return std::string_view(reinterpret_cast<const char*>(text + begin), end - begin);
        } else {
            scratch.clear();
            for (size_t i = begin; i < end; ++i) scratch += static_cast<char>(at(i));
            return scratch;
        }
    }

    const Unit* text;
    std::vector<PeakRow>& rows;
    LogSink& log;
    const std::array<CharClass, 256>& classes;
    size_t pos = 0;
    size_t stop = 0;
    std::string scratch;
};

int32_t lineNumberOf(size_t index) {
    return index > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                              : static_cast<int32_t>(index);
}

// Line ends are looked for with memchr in 8-bit text, which is much
// quicker on a whole plate than a loop over every byte.
template <class Unit>
const Unit* findUnit(const Unit* from, const Unit* end, Unit unit) {
    if constexpr (sizeof(Unit) == 1) {
        const void* found = std::memchr(from, static_cast<int>(unit), static_cast<size_t>(end - from));
        return found ? static_cast<const Unit*>(found) : end;
    } else {
        return std::find(from, end, unit);
    }
}

template <class Unit>
size_t countUnits(const Unit* from, const Unit* end, Unit unit) {
    size_t n = 0;
    for (const Unit* p = findUnit(from, end, unit); p != end; p = findUnit(p + 1, end, unit)) ++n;
    return n;
}

template <class Unit>
void parseText(const Unit* text, size_t length, std::vector<PeakRow>& rows, LogSink& log) {
    const Unit* end = text + length;
    // Whichever line end splits the text into more pieces wins; ties go to CR.
    const size_t lineFeeds = countUnits(text, end, Unit('\n'));
    const size_t returns = countUnits(text, end, Unit('\r'));
    Unit separator;
    if (lineFeeds > returns) {
        separator = Unit('\n');
        logf(log, "Uses \\n format");
    } else {
        separator = Unit('\r');
        logf(log, "Uses \\r format");
    }
    // A row per line at most: no regrowing of the rows on a big plate.
    rows.reserve(rows.size() + std::max(lineFeeds, returns) + 1);
    SegmentParser<Unit> parser(text, rows, log);
    size_t begin = 0;
    for (size_t line = 0;; ++line) {
        const Unit* found = findUnit(text + begin, end, separator);
        const size_t segmentEnd = static_cast<size_t>(found - text);
        parser.parse(begin, segmentEnd, lineNumberOf(line));
        if (found == end) break;
        begin = segmentEnd + 1;
    }
}

std::u32string decodeUtf16(std::string_view bytes, bool littleEndian) {
    const auto unit = [&](size_t i) -> char32_t {
        const auto lo = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    std::u32string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t next = unit(i + 2);
            if (next >= 0xDC00 && next < 0xE000) {
                out += 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00);
                i += 2;
                continue;
            }
        }
        // A lone surrogate stays as it is: it belongs to no item and is no space.
        out += u;
    }
    return out;
}

}  // namespace

TextEncoding detectEncoding(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        const bool le = b0 == 0xFF && b1 == 0xFE;
        const bool be = b0 == 0xFE && b1 == 0xFF;
        if (le || be) {
            if (bytes.size() % 2 != 0) return TextEncoding::None;
            return le ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        }
    }
    return TextEncoding::Latin1;
}

void readPeakTable(std::optional<std::string_view> bytes, std::vector<PeakRow>& rows, LogSink& log) {
    const TextEncoding encoding = bytes ? detectEncoding(*bytes) : TextEncoding::None;
    switch (encoding) {
        case TextEncoding::None:
            // No text has no segments at all: the CR split is chosen and
            // nothing is parsed.
            logf(log, "Uses \\r format");
            return;
        case TextEncoding::Latin1:
            parseText(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size(), rows, log);
            return;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const std::u32string text = decodeUtf16(*bytes, encoding == TextEncoding::Utf16LE);
            parseText(text.data(), text.size(), rows, log);
            return;
        }
    }
}

}  // namespace lociview
