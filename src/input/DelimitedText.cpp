#include "input/DelimitedText.h"

#include <algorithm>
#include <cstring>

namespace lociview {

namespace {

bool isPadding(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view fieldValue(const Field& field, std::string& scratch) {
    const std::string_view value = trimBlanks(field.raw);
    if (!field.quoted) return value;
    // The usual quoted field, "B, 12": one pair of quotes around the value.
    if (value.size() >= 2 && value.back() == '"' && value.find('"', 1) == value.size() - 1)
        return trimBlanks(value.substr(1, value.size() - 2));
    // Doubled quotes inside, or text after the closing quote (kept as it is).
    scratch.clear();
    size_t i = 1;
    for (; i < value.size(); ++i) {
        if (value[i] != '"') {
            scratch += value[i];
        } else if (i + 1 < value.size() && value[i + 1] == '"') {
            scratch += '"';
            ++i;
        } else {
            ++i;
            break;
        }
    }
    scratch.append(value.substr(std::min(i, value.size())));
    return trimBlanks(scratch);
}

RecordScanner::RecordScanner(std::string_view text, char delimiter, size_t from, int64_t line)
    : text(text),
      delimiter(delimiter),
      pos(from),
      line(line),
      hasReturns(std::memchr(text.data(), '\r', text.size()) != nullptr) {}

void RecordScanner::countLines(size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    }
}

size_t RecordScanner::lineEndFrom(size_t i) const {
    const char* s = text.data();
    const size_t n = text.size();
    const void* lf = std::memchr(s + i, '\n', n - i);
    size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - s) : n;
    if (hasReturns) {
        if (const void* cr = std::memchr(s + i, '\r', end - i)) end = static_cast<size_t>(static_cast<const char*>(cr) - s);
    }
    return end;
}

bool RecordScanner::next(std::vector<Field>& fields, size_t limit) {
    fields.clear();
    if (pos >= text.size() || openQuoteLine != 0) return false;
    startLine = line;
    const size_t n = text.size();
    const char* const s = text.data();
    size_t lineEnd = lineEndFrom(pos);
    for (;;) {
        const size_t start = pos;
        size_t i = pos;
        while (i < lineEnd && s[i] != delimiter && isPadding(s[i])) ++i;
        const bool quoted = i < lineEnd && s[i] == '"';
        if (quoted) {
            const int64_t opened = line;
            ++i;
            for (;;) {
                const void* found = std::memchr(s + i, '"', n - i);
                if (!found) {
                    openQuoteLine = opened;
                    pos = n;
                    return false;
                }
                const size_t close = static_cast<size_t>(static_cast<const char*>(found) - s);
                countLines(i, close);
                i = close + 1;
                if (i < n && s[i] == '"') {
                    ++i;  // a doubled quote
                    continue;
                }
                break;
            }
            // The quotes may have held line breaks.
            if (i > lineEnd) lineEnd = lineEndFrom(i);
        }
        while (i < lineEnd && s[i] != delimiter) ++i;
        if (fields.size() < limit) fields.push_back({text.substr(start, i - start), quoted});
        if (i >= n) {
            pos = n;
            return true;
        }
        if (s[i] == delimiter) {
            pos = i + 1;
            continue;
        }
        pos = i + (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n' ? 2 : 1);
        ++line;
        return true;
    }
}

std::vector<std::string_view> firstLines(std::string_view text, size_t limit) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size() && lines.size() < limit) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

}  // namespace lociview
