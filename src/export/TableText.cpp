#include "export/TableText.h"

#include <algorithm>

#include "base/Version.h"

namespace lociview {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string oneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return line;
}

}  // namespace

std::string delimitedCell(std::string_view text, Delimiter delimiter) {
    if (delimiter == Delimiter::Tab) {
        std::string cell(text);
        std::replace_if(cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
        return cell;
    }
    // Readers trim unquoted blanks at the ends, and readers told that "#"
    // starts a comment (for the header) cut a line there: quoted, a name
    // keeps both.
    const bool quoted = text.find_first_of(",\"\r\n#") != std::string_view::npos ||
                        (!text.empty() && (isBlank(text.front()) || isBlank(text.back())));
    if (!quoted) return std::string(text);
    std::string cell = "\"";
    for (const char c : text) {
        if (c == '"') cell += '"';
        cell += c;
    }
    return cell + '"';
}

std::string delimitedText(const TextTable& table, Delimiter delimiter) {
    const char separator = delimiter == Delimiter::Comma ? ',' : '\t';
    std::string text;
    const auto line = [&](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) text += separator;
            text += delimitedCell(cells[i], delimiter);
        }
        text += '\n';
    };
    line(table.columns);
    for (const auto& row : table.rows) line(row);
    return text;
}

std::string headerText(const ExportHeader& header) {
    std::string text = "# Lociview " + std::string(kVersion) + ", " + oneLine(header.what) + '\n';
    text += "# date: " + oneLine(header.date) + '\n';
    for (const auto& [name, value] : header.facts) text += "# " + oneLine(name) + ": " + oneLine(value) + '\n';
    return text;
}

std::string exportText(const ExportHeader& header, const TextTable& table, Delimiter delimiter) {
    return headerText(header) + delimitedText(table, delimiter);
}

std::vector<TextTable> splitColumns(const TextTable& table, size_t maxColumns) {
    if (table.columns.size() <= maxColumns || maxColumns < 2) return {table};
    std::vector<TextTable> parts;
    for (size_t first = 1; first < table.columns.size(); first += maxColumns - 1) {
        const size_t last = std::min(table.columns.size(), first + maxColumns - 1);
        TextTable part;
        part.columns.push_back(table.columns.front());
        part.columns.insert(part.columns.end(), table.columns.begin() + static_cast<std::ptrdiff_t>(first),
                            table.columns.begin() + static_cast<std::ptrdiff_t>(last));
        for (const auto& row : table.rows) {
            std::vector<std::string> cells = {row.empty() ? std::string() : row.front()};
            for (size_t c = first; c < last; ++c) cells.push_back(c < row.size() ? row[c] : std::string());
            part.rows.push_back(std::move(cells));
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

}  // namespace lociview
