#pragma once
// Tables as text files a spreadsheet, R or Python reads: a commented header
// naming what the table comes from, the column titles, then the rows, as
// CSV (RFC 4180 quoting) or TSV. Values in, text out.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lociview {

// A table of texts: the column titles and the rows, each as wide as the titles.
struct TextTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;

    bool operator==(const TextTable&) const = default;
};

enum class Delimiter { Comma, Tab };

// One cell. CSV: quoted when it holds a comma, a quote, a line break, a
// "#" or blanks at either end, its quotes doubled. TSV, which has no quoting:
// tabs and line breaks become spaces.
std::string delimitedCell(std::string_view text, Delimiter delimiter);

// The title row and the rows, each line ended by a line feed.
std::string delimitedText(const TextTable& table, Delimiter delimiter);

// What an exported table comes from, one "# " line each: the program and
// version with what the table is, the date, then name: value facts (file,
// SHA-256, every field as typed, locus, Maybes...). Line breaks inside a
// value become spaces, so every header line starts with "# ".
struct ExportHeader {
    std::string what;  // "by-allele table"
    std::string date;  // ISO 8601 local time
    std::vector<std::pair<std::string, std::string>> facts;
};

std::string headerText(const ExportHeader& header);

// The header, then the table.
std::string exportText(const ExportHeader& header, const TextTable& table, Delimiter delimiter);

// The table cut into tables of at most maxColumns columns, each repeating
// the first column (the row's name) so every part reads on its own. A table
// that fits is the only part.
std::vector<TextTable> splitColumns(const TextTable& table, size_t maxColumns);

}  // namespace lociview
