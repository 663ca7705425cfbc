#pragma once
// Splits tab-, comma- or semicolon-separated text into records of fields
// without copying it. A field that starts with a double quote may hold the
// delimiter, line breaks and doubled quotes; records end at LF, CR LF or CR.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lociview {

struct Field {
    std::string_view raw;  // as in the text, blanks and quotes included
    bool quoted = false;   // raw opens with a quote
};

// The value of a field: blanks around it and inside its quotes trimmed,
// the quotes removed and doubled quotes made single. A view of the text
// when no quote had to be taken from inside, else of scratch.
std::string_view fieldValue(const Field& field, std::string& scratch);

// Without the spaces and tabs around it; other control characters are kept.
inline std::string_view trimBlanks(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(begin, end - begin);
}

class RecordScanner {
public:
    // Scans text from offset `from`, which starts physical line `line`.
    RecordScanner(std::string_view text, char delimiter, size_t from = 0, int64_t line = 1);

    // Reads the next record into fields, its first `limit` fields only (the
    // rest are passed over, so a line of a million cells costs no memory);
    // false at the end of the text, or when a quote is never closed
    // (quoteNeverClosed() then says where).
    bool next(std::vector<Field>& fields, size_t limit = SIZE_MAX);

    // The line the record just read starts on (1 for the first).
    int64_t recordLine() const { return startLine; }
    // The line of a quote that opens and is never closed, else 0.
    int64_t quoteNeverClosed() const { return openQuoteLine; }

private:
    // Counts the line breaks of text[from, to) into line.
    void countLines(size_t from, size_t to);
    // Where the line holding text[i] ends.
    size_t lineEndFrom(size_t i) const;

    std::string_view text;
    char delimiter;
    size_t pos;
    int64_t line;
    int64_t startLine = 0;
    int64_t openQuoteLine = 0;
    bool hasReturns;  // a text without CR looks for LF only
};

// The first lines of a text as views, without their line ends (LF, CR LF or
// CR), at most `limit` of them.
std::vector<std::string_view> firstLines(std::string_view text, size_t limit);

}  // namespace lociview
