#pragma once
// Text that goes out a line at a time: splitting text into its lines, and
// the one escaping rule of each kind of line the program writes, so that
// every entry stays one line and a reader can tell the entries apart.
//
//   kind of line                              rule
//   developer log on standard error           line feed -> \n, carriage return -> \r
//   trace lines ("log: ...")                  as above, and backslash -> \\ (so they read back)
//   trace "sppcr:" line (the export text)     line feed -> \n
//   messages on standard error                line feed, carriage return -> space
//   cells of tab-separated output             tab, line feed, carriage return -> space
#include <cstddef>
#include <string>
#include <string_view>

namespace lociview {

// Calls fn(line) for each line of text, without its line feed; a last line
// without one counts, and an empty text has no line.
template <class Fn>
void forEachLine(std::string_view text, Fn&& fn) {
    for (size_t start = 0; start < text.size();) {
        const size_t nl = text.find('\n', start);
        const size_t end = nl == std::string_view::npos ? text.size() : nl;
        fn(text.substr(start, end - start));
        start = end + 1;
    }
}

enum class LineKind { DevLog, Trace, TraceExport, Message, Cell };

namespace lineText {

// What c becomes in a line of the kind; c itself when it stays.
inline std::string_view replacement(char c, LineKind kind, const char& self) {
    switch (c) {
        case '\n':
            return kind == LineKind::Message || kind == LineKind::Cell ? " " : "\\n";
        case '\r':
            if (kind == LineKind::TraceExport) break;
            return kind == LineKind::Message || kind == LineKind::Cell ? " " : "\\r";
        case '\\':
            if (kind == LineKind::Trace) return "\\\\";
            break;
        case '\t':
            if (kind == LineKind::Cell) return " ";
            break;
        default:
            break;
    }
    return std::string_view(&self, 1);
}

// Whether some kind of line replaces c: a text without any such character
// is written as it is in every kind.
constexpr bool escapedBySomeKind(char c) { return c == '\n' || c == '\r' || c == '\\' || c == '\t'; }

// Whether text holds a character its kind of line replaces: a memchr pass
// for each, where find_first_of would look up every character.
inline bool needsEscaping(std::string_view text, LineKind kind) {
    const auto has = [text](char c) { return text.find(c) != std::string_view::npos; };
    return has('\n') || (kind != LineKind::TraceExport && has('\r')) || (kind == LineKind::Trace && has('\\')) ||
           (kind == LineKind::Cell && has('\t'));
}

}  // namespace lineText

// Appends text to out by the rule of its kind of line; escaped answers it.
// (Inline: the developer log escapes every line it writes.)
inline void appendEscaped(std::string& out, std::string_view text, LineKind kind) {
    if (!lineText::needsEscaping(text, kind)) {
        out.append(text);
        return;
    }
    for (const char& c : text) out.append(lineText::replacement(c, kind, c));
}

inline std::string escaped(std::string_view text, LineKind kind) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text, kind);
    return out;
}

}  // namespace lociview
