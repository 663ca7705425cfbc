#include "input/PeakTableReader.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

#include "base/NumberText.h"
#include "input/NumberForms.h"

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

// Digits of a number the scanner reads exactly with one division.
constexpr size_t kQuickDigits = quickDigits<float>;

// The names the tossed-out messages give the nine items, in line order.
constexpr const char* kItemNames[9] = {"initial decimal", "letter",      "a comma",
                                       "dataID decimal",  "first float", "second float",
                                       "first integer",   "third float", "last float"};

// Where an item lies in the text.
struct Span {
    size_t begin = 0, end = 0;
};

// The items of one line: texts as spans, numbers as read.
struct LineItems {
    Span lane, letters, dataId;
    float numbers[4] = {};
    int32_t height = 0;
};

// Scans the items of segments of one decoded text. Unit is the storage of
// one code point: a Latin-1 byte or a decoded UTF-16 code point.
template <class Unit>
class LineScanner {
public:
    explicit LineScanner(const Unit* text) : text(text), classes(latin1Classes()) {}

    // Scans the segment from item `first` (0, or 1 for a line without its
    // lane); the index of the first item that is not there, or -1.
    int scan(size_t begin, size_t end, int first, LineItems& items) {
        pos = begin;
        stop = end;
        if (first == 0 && !scanRun(kDigit, items.lane)) return 0;
        if (!scanRun(kLetter, items.letters)) return 1;
        if (Span comma; !scanRun(kPunct, comma)) return 2;
        if (!scanRun(kDigit, items.dataId)) return 3;
        if (!scanFloat(items.numbers[0])) return 4;
        if (!scanFloat(items.numbers[1])) return 5;
        if (!scanInt(items.height)) return 6;
        if (!scanFloat(items.numbers[2])) return 7;
        if (!scanFloat(items.numbers[3])) return 8;
        return -1;
    }

    // Nothing but white space.
    bool blank(size_t begin, size_t end) {
        pos = begin;
        stop = end;
        skipSpace();
        return pos == stop;
    }

    void appendSpan(std::string& out, const Span& span) const {
        out.reserve(span.end - span.begin);
        for (size_t i = span.begin; i < span.end; ++i) appendUtf8(out, at(i));
    }

    // The span as UTF-8: a view of the text itself when it is 8-bit and
    // all ASCII, as a plate's items are (ASCII is its own UTF-8), else
    // appendSpan's text in out.
    std::string_view spanText(const Span& span, std::string& out) const {
        if constexpr (sizeof(Unit) == 1) {
            const Unit* begin = text + span.begin;
            const Unit* end = text + span.end;
            if (std::all_of(begin, end, [](Unit c) { return c < 0x80; }))
                return std::string_view(reinterpret_cast<const char*>(begin), span.end - span.begin);
        }
        out.clear();
        appendSpan(out, span);
        return out;
    }

private:
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
    const std::array<CharClass, 256>& classes;
    size_t pos = 0;
    size_t stop = 0;
    std::string scratch;
};

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

struct LineEnds {
    size_t lineFeeds = 0, returns = 0;
};

// Both line ends counted in one pass. 8-bit text is taken in blocks of 255
// units whose byte-wide tallies cannot overflow: the compiler compares a
// whole vector of bytes at a time, several times quicker than a search per
// line or a count per kind.
template <class Unit>
LineEnds countLineEnds(const Unit* from, const Unit* end) {
    LineEnds n;
    if constexpr (sizeof(Unit) == 1) {
        for (; end - from >= 255; from += 255) {
            uint8_t lineFeeds = 0, returns = 0;
            for (int i = 0; i < 255; ++i) {
                lineFeeds += from[i] == Unit('\n');
                returns += from[i] == Unit('\r');
            }
            n.lineFeeds += lineFeeds;
            n.returns += returns;
        }
    }
    for (; from != end; ++from) {
        n.lineFeeds += *from == Unit('\n');
        n.returns += *from == Unit('\r');
    }
    return n;
}

// How a text splits into segments: whichever line end splits it into more
// pieces wins; ties go to CR.
template <class Unit>
struct Segments {
    Unit separator;
    size_t count;  // segments, the empty one after a final line end included
};

template <class Unit>
Segments<Unit> splitOf(const Unit* text, size_t length) {
    const LineEnds ends = countLineEnds(text, text + length);
    if (ends.lineFeeds > ends.returns) return {Unit('\n'), ends.lineFeeds + 1};
    return {Unit('\r'), ends.returns + 1};
}

// Calls visit(begin, end, line) for every segment in order; stops early when
// visit returns false.
template <class Unit, class Visit>
void forEachSegment(const Unit* text, size_t length, Unit separator, Visit&& visit) {
    const Unit* end = text + length;
    size_t begin = 0;
    for (size_t line = 0;; ++line) {
        const Unit* found = findUnit(text + begin, end, separator);
        const size_t segmentEnd = static_cast<size_t>(found - text);
        if (!visit(begin, segmentEnd, line) || found == end) return;
        begin = segmentEnd + 1;
    }
}

template <class Unit>
void parseText(const Unit* text, size_t length, std::vector<PeakRow>& rows, LogSink& log) {
    const Segments<Unit> segments = splitOf(text, length);
    if (segments.separator == Unit('\n'))
        logf(log, "Uses \\n format");
    else
        logf(log, "Uses \\r format");
    // A row per line at most: no regrowing of the rows on a big plate.
    rows.reserve(rows.size() + segments.count);
    LineScanner<Unit> scanner(text);
    LineItems items;
    std::string lane, letters, dataId;
    forEachSegment(text, length, segments.separator, [&](size_t begin, size_t end, size_t line) {
        const int failed = scanner.scan(begin, end, 0, items);
        if (failed >= 0) {
            logf(log, "failed trying to scan %s on line %d. Entire line tossed out.", kItemNames[failed],
                 clampedCount(line));
            return true;
        }
        rows.emplace_back(scanner.spanText(items.lane, lane), scanner.spanText(items.letters, letters),
                          scanner.spanText(items.dataId, dataId),
                          PeakNumbers{items.numbers[0], items.numbers[1], items.height, items.numbers[2],
                                      items.numbers[3]});
        return true;
    });
}

template <class Unit>
bool anyRow(const Unit* text, size_t length) {
    LineScanner<Unit> scanner(text);
    LineItems items;
    bool found = false;
    forEachSegment(text, length, splitOf(text, length).separator, [&](size_t begin, size_t end, size_t) {
        found = scanner.scan(begin, end, 0, items) < 0;
        return !found;
    });
    return found;
}

template <class Unit>
void readLaneless(const Unit* text, size_t length, SamplePeakLines& out) {
    LineScanner<Unit> scanner(text);
    LineItems items;
    forEachSegment(text, length, splitOf(text, length).separator, [&](size_t begin, size_t end, size_t) {
        if (scanner.scan(begin, end, 1, items) >= 0) {
            if (!scanner.blank(begin, end)) ++out.tossed;
            return true;
        }
        SamplePeakLine& line = out.lines.emplace_back();
        scanner.appendSpan(line.letters, items.letters);
        line.size = items.numbers[1];
        line.height = items.height;
        line.area = items.numbers[2];
        return true;
    });
}

// Runs read(text, length) on the decoded text of the bytes; false when they
// have no text.
template <class Read>
bool withText(std::optional<std::string_view> bytes, Read&& read) {
    const TextEncoding encoding = bytes ? detectEncoding(*bytes) : TextEncoding::None;
    switch (encoding) {
        case TextEncoding::None:
            return false;
        case TextEncoding::Latin1:
            read(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size());
            return true;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const std::u32string text = decodeUtf16(*bytes, encoding == TextEncoding::Utf16LE);
            read(text.data(), text.size());
            return true;
        }
    }
    return false;
}

}  // namespace

PeakRow::PeakRow(const std::array<std::string_view, kFields>& fields) {
    size_t length = 0;
    for (const std::string_view f : fields) length += f.size();
    text.reserve(length);
    for (size_t i = 0; i < kFields; ++i) {
        text += fields[i];
        ends[i] = static_cast<uint32_t>(text.size());
    }
}

PeakRow::PeakRow(std::string_view lane, std::string_view letters, std::string_view dataId,
                 const PeakNumbers& numbers)
    : numbers(numbers) {
    const std::string_view texts[] = {lane, letters, dataId};
    text.reserve(lane.size() + letters.size() + dataId.size());
    for (size_t i = 0; i < 3; ++i) {
        text += texts[i];
        ends[i] = static_cast<uint32_t>(text.size());
    }
}

std::string_view PeakRow::stored(size_t i) const {
    const uint32_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(text).substr(begin, ends[i] - begin);
}

std::string PeakRow::operator[](size_t i) const {
    if (i < 3 || !numbers) return std::string(stored(i));
    switch (i) {
        case 3: return floatText(numbers->minutes);
        case 4: return floatText(numbers->size);
        case 5: return intText(numbers->height);
        case 6: return floatText(numbers->area);
        default: return floatText(numbers->dataPoint);
    }
}

float PeakRow::number(size_t i) const {
    if (numbers) {
        // A float of magnitude 16 or more is more than a millionth from its
        // neighbours, so its six-decimal text reads back as itself; an int
        // below 2^24 is a float exactly. Others go through their text.
        const auto same = [](float x) { return std::isfinite(x) && (x == 0.0f || std::fabs(x) >= 16.0f); };
        const float x = i == 3 ? numbers->minutes : i == 4 ? numbers->size : i == 6 ? numbers->area
                                                                                   : numbers->dataPoint;
        if (i == 5) {
            if (numbers->height > -(1 << 24) && numbers->height < (1 << 24)) return static_cast<float>(numbers->height);
        } else if (same(x)) {
            return x;
        }
    }
    return floatValue((*this)[i]);
}

bool PeakRow::operator==(const PeakRow& other) const {
    for (size_t i = 0; i < kFields; ++i)
        if ((*this)[i] != other[i]) return false;
    return true;
}

void readPeakTable(std::optional<std::string_view> bytes, std::vector<PeakRow>& rows, LogSink& log) {
    const bool hasText = withText(bytes, [&](const auto* text, size_t length) { parseText(text, length, rows, log); });
    // No text has no segments at all: the CR split is chosen and nothing
    // is parsed.
    if (!hasText) logf(log, "Uses \\r format");
}

bool peakTableHasRows(std::optional<std::string_view> bytes) {
    bool found = false;
    withText(bytes, [&](const auto* text, size_t length) { found = anyRow(text, length); });
    return found;
}

SamplePeakLines readSamplePeakLines(std::optional<std::string_view> bytes) {
    SamplePeakLines out;
    withText(bytes, [&](const auto* text, size_t length) { readLaneless(text, length, out); });
    return out;
}

}  // namespace lociview
