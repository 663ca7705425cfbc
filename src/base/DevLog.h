#pragma once
// The developer log: an injected line sink plus the one printf-style helper
// every log line is built through, logf(log, "format", args...). Its format
// is checked against the arguments' types when the program is compiled, as
// printf's are, and parsed then too: a scoring run writes a line per peak
// and more, and reading the format afresh for every line cost more than
// writing the line.
#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/LineWriter.h"

namespace lociview {

class LogSink {
public:
    // The longest line, its line feed included, written in place.
    static constexpr size_t kLineRoom = 512;

    virtual ~LogSink() = default;
    // False when nobody reads the log: callers then skip formatting entirely.
    virtual bool enabled() const { return true; }
    virtual void line(std::string_view text) = 0;
    // A line known to hold no character any sink escapes (line feed,
    // carriage return, tab, backslash): a sink may write it as it is.
    virtual void plainLine(std::string_view text) { line(text); }

    // A plain line put together by write(begin, end), which writes it from
    // begin and returns where it ends, or null when it does not fit before
    // end. A sink that gathers its lines lends its buffer, and the line is
    // written straight into it, without a call or a copy: a scoring run
    // writes a line per peak and more. False when write gave up.
    template <class Write>
    bool placePlainLine(Write&& write) {
        if (spaceEnd - spaceAt >= static_cast<std::ptrdiff_t>(kLineRoom)) {
            char* const end = write(spaceAt, spaceAt + kLineRoom - 1);
            if (!end) return false;
            *end = '\n';
            spaceAt = end + 1;
            if (spaceEnd - spaceAt < static_cast<std::ptrdiff_t>(kLineRoom)) spaceLow();
            return true;
        }
        char small[kLineRoom];
        char* const end = write(small, small + sizeof small);
        if (!end) return false;
        plainLine(std::string_view(small, static_cast<size_t>(end - small)));
        return true;
    }
    void writePlainLine(std::string_view text) {
        if (text.size() >= kLineRoom) {
            plainLine(text);
            return;
        }
        placePlainLine([text](char* at, char*) { return std::copy(text.begin(), text.end(), at); });
    }

protected:
    // A sink that gathers its lines lends the free part of its buffer, from
    // at to end; placed lines move at on, each ended by a line feed.
    void lendSpace(char* at, char* end) {
        spaceAt = at;
        spaceEnd = end;
    }
    char* spaceUsedTo() const { return spaceAt; }
    // Less than kLineRoom of the space is left: the sink writes out what it
    // holds and lends its buffer again.
    virtual void spaceLow() {}

private:
    char* spaceAt = nullptr;
    char* spaceEnd = nullptr;
};

// Discards everything; formatting is skipped because enabled() is false.
class NullLog final : public LogSink {
public:
    bool enabled() const override { return false; }
    void line(std::string_view) override {}
};

// printf into a std::string (no truncation).
[[gnu::format(printf, 1, 2)]] std::string format(const char* fmt, ...);
std::string vformat(const char* fmt, va_list args);

namespace logformat {

// An argument as printf reads it, after the promotions of a call with "...".
enum class ArgKind : uint8_t { Int, Unsigned, Long, UnsignedLong, LongLong, UnsignedLongLong, Real, Text, Pointer, Other };

template <typename T>
consteval ArgKind argKind() {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_enum_v<U>) {
        // An unscoped enumeration promotes as its underlying type; a scoped one does not.
        if constexpr (std::is_convertible_v<U, std::underlying_type_t<U>>) return argKind<std::underlying_type_t<U>>();
        else return ArgKind::Other;
    } else if constexpr (std::is_integral_v<U> && sizeof(U) < sizeof(int)) {
        return ArgKind::Int;
    } else if constexpr (std::is_same_v<U, int>) {
        return ArgKind::Int;
    } else if constexpr (std::is_same_v<U, unsigned>) {
        return ArgKind::Unsigned;
    } else if constexpr (std::is_same_v<U, long>) {
        return ArgKind::Long;
    } else if constexpr (std::is_same_v<U, unsigned long>) {
        return ArgKind::UnsignedLong;
    } else if constexpr (std::is_same_v<U, long long>) {
        return ArgKind::LongLong;
    } else if constexpr (std::is_same_v<U, unsigned long long>) {
        return ArgKind::UnsignedLongLong;
    } else if constexpr (std::is_same_v<U, float> || std::is_same_v<U, double>) {
        return ArgKind::Real;
    } else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>) {
        return ArgKind::Text;
    } else if constexpr (std::is_pointer_v<U> || std::is_null_pointer_v<U>) {
        return ArgKind::Pointer;
    } else {
        return ArgKind::Other;
    }
}

// A piece of a parsed format: literal text, then one conversion (none after
// the last piece). Four bytes, as a line's format is handed over with every
// call, the log read or not.
struct Piece {
    uint8_t start = 0, length = 0;  // of the text within the format
    char conversion = 0;            // 'd', 'u' (of an int), 'D', 'U' (of a long or long long), 'f', 's', '%' or 0
    uint8_t precision = 6;          // of 'f'
};
inline constexpr size_t kMaxPieces = 5;

// What parsing a format against its arguments' kinds found.
struct Parsed {
    std::array<Piece, kMaxPieces> pieces{};
    // In one byte, so that a format with its text's address is 32 bytes.
    uint8_t count : 3 = 0;
    bool matches : 1 = false;  // every conversion has an argument of its type, and no argument is left
    bool quick : 1 = false;    // written by writeQuick, without printf
    bool plain : 1 = true;     // no character a sink escapes in the format (its texts are looked at when written)
    bool typed : 1 = false;    // quick and plain, a conversion per argument in turn and no "%%": writeTyped's
};
static_assert(kMaxPieces < 8 && sizeof(Parsed) == kMaxPieces * sizeof(Piece) + 1);

// Whether an argument of the kind fits a conversion with that length modifier.
constexpr bool fits(char conversion, char size, ArgKind kind) {
    using K = ArgKind;
    switch (conversion) {
        case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': case 'c':
            // Signedness may differ, as printf's own check lets it.
            if (conversion == 'c' && size != 0) return false;
            switch (size) {
                case 0: case 'h': case 'H': return kind == K::Int || kind == K::Unsigned;
                case 'l': case 'j': case 'z': case 't': return kind == K::Long || kind == K::UnsignedLong;
                case 'L': return kind == K::LongLong || kind == K::UnsignedLongLong;
                default: return false;
            }
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
            return (size == 0 || size == 'l') && kind == K::Real;
        case 's': return size == 0 && kind == K::Text;
        case 'p': return size == 0 && (kind == K::Pointer || kind == K::Text);
        default: return false;
    }
}

// Parses fmt (printf's grammar) against the kinds of its arguments.
constexpr Parsed parse(std::string_view fmt, std::span<const ArgKind> kinds) {
    Parsed out;
    out.quick = fmt.size() <= 0xFF;
    size_t arg = 0, at = 0, start = 0;
    const auto digit = [&fmt](size_t i) { return i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9'; };
    const auto take = [&](ArgKind wanted, char conversion, char size) {
        if (arg >= kinds.size()) return false;
        const ArgKind kind = kinds[arg++];
        return conversion ? fits(conversion, size, kind) : kind == wanted;
    };
    const auto piece = [&](size_t end, char conversion, char size, uint8_t precision) {
        if (out.count == kMaxPieces || !out.quick) {
            out.quick = false;
            return;
        }
        if (size != 0 && (conversion == 'd' || conversion == 'i' || conversion == 'u'))
            conversion = conversion == 'u' ? 'U' : 'D';
        out.pieces[out.count++] = {static_cast<uint8_t>(start), static_cast<uint8_t>(end - start), conversion, precision};
    };
    while (at < fmt.size()) {
        if (fmt[at] != '%') {
            const char c = fmt[at++];
            if (lineText::escapedBySomeKind(c)) out.plain = false;
            continue;
        }
        const size_t percent = at++;
        if (at < fmt.size() && fmt[at] == '%') {
            piece(percent, '%', 0, 0);
            start = ++at;
            continue;
        }
        bool bare = true;  // no flag, width or precision but a single digit of 'f'
        while (at < fmt.size() && (fmt[at] == '-' || fmt[at] == '+' || fmt[at] == ' ' || fmt[at] == '#' || fmt[at] == '0')) {
            bare = false;
            ++at;
        }
        if (at < fmt.size() && fmt[at] == '*') {
            bare = false;
            ++at;
            if (!take(ArgKind::Int, 0, 0)) return out;
        }
        while (digit(at)) {
            bare = false;
            ++at;
        }
        int precision = -1;
        if (at < fmt.size() && fmt[at] == '.') {
            ++at;
            precision = 0;
            if (at < fmt.size() && fmt[at] == '*') {
                bare = false;
                ++at;
                if (!take(ArgKind::Int, 0, 0)) return out;
            }
            const size_t first = at;
            while (digit(at)) precision = precision * 10 + (fmt[at++] - '0');
            if (at - first > 1) bare = false;
        }
        char size = 0;
        if (at < fmt.size() && (fmt[at] == 'h' || fmt[at] == 'l' || fmt[at] == 'z' || fmt[at] == 'j' || fmt[at] == 't')) {
            size = fmt[at++];
            if (at < fmt.size() && fmt[at] == size && (size == 'h' || size == 'l')) {
                size = size == 'l' ? 'L' : 'H';
                ++at;
            }
        } else if (at < fmt.size() && fmt[at] == 'L') {
            return out;  // long double: never an argument here
        }
        if (at == fmt.size()) return out;
        const char conversion = fmt[at++];
        if (!take(ArgKind::Other, conversion, size)) return out;
        if (conversion == 'c') out.plain = false;
        const bool integer = conversion == 'd' || conversion == 'i' || conversion == 'u';
        if (!bare || !((integer && precision < 0 && size != 'H' && size != 'h' && size != 'j' && size != 't') ||
                        conversion == 'f' || (conversion == 's' && precision < 0)))
            out.quick = false;
        piece(percent, conversion, size, static_cast<uint8_t>(precision < 0 ? 6 : precision));
        start = at;
    }
    piece(fmt.size(), 0, 0, 0);
    out.matches = arg == kinds.size();
    out.typed = out.matches && out.quick && out.plain && out.count == kinds.size() + 1;
    for (uint8_t i = 0; i < out.count; ++i) out.typed = out.typed && out.pieces[i].conversion != '%';
    return out;
}

// Called only where a log format does not match its arguments: a format
// checked when compiling stops the build here.
void logFormatDoesNotMatchItsArguments();

// One argument as writeQuick reads it: an integer's bits sign- or
// zero-extended as printf promotes it, a floating-point number, a text.
struct Arg {
    union {
        uint64_t bits;
        double real;
        const char* text;
        const void* pointer;
    };
    Arg() : bits(0) {}
    template <typename T>
        requires std::is_integral_v<T> || std::is_enum_v<T>
    Arg(T v) : bits(static_cast<uint64_t>(v)) {}
    Arg(double v) : real(v) {}
    Arg(const char* s) : text(s) {}
    Arg(const void* p) : pointer(p) {}
    Arg(std::nullptr_t) : pointer(nullptr) {}
};

// The line into the log without printf; false (nothing written) when it
// does not fit a line on the stack or a text is null: printf writes those.
bool writeQuick(LogSink& log, const char* fmt, const Parsed& parsed, const Arg* args);
// The line through vsnprintf.
void writePrintf(LogSink& log, const char* fmt, ...);

// A typed format's line, its pieces and arguments in turn, put together
// in the sink's buffer by code made for the argument types: the commonest
// lines of a run go this way, and a loop over the pieces deciding each
// conversion afresh took twice as long. False (nothing written) for what
// writeQuick or printf writes instead.
template <typename... Args>
bool writeTyped(LogSink& log, const char* fmt, const Parsed& parsed, Args... args) {
    return log.placePlainLine([&](char* begin, char* end) -> char* {
        LineWriter out(begin, end);
        size_t i = 0;
        [[maybe_unused]] const auto next = [&](auto arg) {  // (none in a line without arguments)
            const Piece& p = parsed.pieces[i++];
            return out.text(fmt + p.start, p.length) && out.put(p.conversion, p.precision, arg);
        };
        const Piece& last = parsed.pieces[sizeof...(Args)];
        return (next(args) && ...) && out.text(fmt + last.start, last.length) ? out.written() : nullptr;
    });
}

// One line by the quickest way its format allows. Out of line: a call
// site only checks that the log is read and makes the call.
template <typename... Args>
[[gnu::noinline]] void writeLine(LogSink& log, const char* fmt, const Parsed& parsed, Args... args) {
    if constexpr (sizeof...(Args) < kMaxPieces)
        if (parsed.typed && writeTyped(log, fmt, parsed, args...)) return;
    if (parsed.quick) {
        const Arg values[] = {Arg(args)..., Arg()};
        if (writeQuick(log, fmt, parsed, values)) return;
    }
    writePrintf(log, fmt, args...);
}

}  // namespace logformat

// A log format as a string literal, parsed and checked against the
// argument types while compiling.
template <typename... Args>
class LogFormat {
public:
    consteval LogFormat(const char* fmt)
        : text(fmt), parsed(logformat::parse(std::string_view(fmt), kinds())) {
        if (!parsed.matches) logformat::logFormatDoesNotMatchItsArguments();
    }
    const char* text;
    logformat::Parsed parsed;

private:
    static consteval std::array<logformat::ArgKind, sizeof...(Args)> kinds() { return {logformat::argKind<Args>()...}; }
};

// Writes one developer log line built from a printf format.
template <typename... Args>
void logf(LogSink& log, const LogFormat<std::type_identity_t<Args>...>& fmt, Args... args) {
    if (!log.enabled()) return;
    logformat::writeLine(log, fmt.text, fmt.parsed, args...);
}

}  // namespace lociview
