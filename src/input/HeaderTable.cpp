#include "input/HeaderTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <iterator>
#include <unordered_map>

#include "base/DevLog.h"
#include "base/NumberText.h"
#include "input/DelimitedText.h"
#include "input/NumberForms.h"

namespace lociview {

namespace {

constexpr size_t kHeaderSearchLines = 50;
// Cells of a line looked at for column names; a header has far fewer.
constexpr size_t kHeaderCells = 4096;

// What a column is for, and the names that say so; of two names for one
// role the lower rank wins ("Sample File Name" over "Sample Name").
enum Role { kSampleRole, kSizeRole, kHeightRole, kAreaRole, kLaneRole, kDyeRole, kMarkerRole, kRoles };

struct KnownName {
    std::string_view name;  // as normalName gives it
    Role role;
    int rank;
};

constexpr KnownName kKnownNames[] = {
    {"sample file name", kSampleRole, 0}, {"sample name", kSampleRole, 1}, {"sample file", kSampleRole, 2},
    {"sample", kSampleRole, 3},           {"size", kSizeRole, 0},          {"height", kHeightRole, 0},
    {"peak height", kHeightRole, 1},      {"area", kAreaRole, 0},          {"area in point", kAreaRole, 1},
    {"peak area", kAreaRole, 2},          {"lane", kLaneRole, 0},          {"dye sample peak", kDyeRole, 0},
    {"dye", kDyeRole, 1},                 {"marker", kMarkerRole, 0}};

// The numbered columns of genotype tables: "Size 1", "Height 1", "Area 1"...
enum class PairPart { None, Size, Height, Area };

struct Named {
    const KnownName* known = nullptr;
    PairPart part = PairPart::None;
    int number = 0;  // of a pair part

    bool any() const { return known || part != PairPart::None; }
    bool operator==(const Named& o) const { return known == o.known && part == o.part && number == o.number; }
};

// Lower case, quotes dropped, dots, underscores and slashes read as spaces
// (R writes "Sample.Name", "Dye.Sample.Peak"), blanks collapsed and trimmed.
std::string normalName(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    for (const char c : cell) {
        if (c == '"') continue;
        const bool blank = c == ' ' || c == '\t' || c == '.' || c == '_' || c == '/';
        if (blank) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

Named nameOf(std::string_view cell) {
    const std::string name = normalName(cell);
    for (const KnownName& known : kKnownNames)
        if (name == known.name) return {&known};
    for (const auto& [prefix, part] : {std::pair<std::string_view, PairPart>{"size ", PairPart::Size},
                                       {"height ", PairPart::Height}, {"area ", PairPart::Area}}) {
        const std::string_view rest = std::string_view(name).substr(std::min(name.size(), prefix.size()));
        if (name.compare(0, prefix.size(), prefix) != 0 || rest.empty() || rest.size() > 6) continue;
        if (std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return {nullptr, part, std::stoi(std::string(rest))};
    }
    return {};
}

struct Pair {
    int number = 0;
    int size = -1, height = -1, area = -1;
};

// The columns a header names, by index.
struct Columns {
    int sample = -1, lane = -1, dye = -1, size = -1, height = -1, area = -1, marker = -1;
    std::vector<Pair> pairs;  // genotype tables, by number

    // One past the last column read.
    size_t count() const {
        int last = std::max({sample, lane, dye, size, height, area, marker});
        for (const Pair& p : pairs) last = std::max({last, p.size, p.height, p.area});
        return static_cast<size_t>(last + 1);
    }
};

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string headerPlace(const std::string& fileName, int64_t line) {
    return format("The header of %s (line %lld)", quoted(fileName).c_str(), static_cast<long long>(line));
}

// Sorts out the named cells of a header; a refusal message when they cannot
// be read as a table.
std::string columnsOf(const std::vector<Field>& cells, const std::string& fileName, int64_t line, Columns& out) {
    std::vector<std::pair<Named, int>> named;  // with the column index
    std::string scratch;
    for (size_t i = 0; i < cells.size(); ++i) {
        const Named n = nameOf(fieldValue(cells[i], scratch));
        if (!n.any()) continue;
        for (const auto& [other, column] : named) {
            if (other == n)
                return format("%s names the column %s twice (columns %d and %d). Rename one of them and open "
                              "the file again.",
                              headerPlace(fileName, line).c_str(),
                              quoted(std::string(fieldValue(cells[i], scratch))).c_str(), column + 1,
                              static_cast<int>(i) + 1);
        }
        named.emplace_back(n, static_cast<int>(i));
    }
    int role[kRoles], rank[kRoles] = {};
    std::fill(std::begin(role), std::end(role), -1);
    for (const auto& [n, column] : named) {
        if (n.known) {
            const Role r = n.known->role;
            if (role[r] < 0 || n.known->rank < rank[r]) {
                role[r] = column;
                rank[r] = n.known->rank;
            }
            continue;
        }
        const int number = n.number;  // clang before 16 cannot capture a structured binding
        auto it = std::find_if(out.pairs.begin(), out.pairs.end(), [&](const Pair& p) { return p.number == number; });
        if (it == out.pairs.end()) it = out.pairs.insert(out.pairs.end(), Pair{number});
        (n.part == PairPart::Size ? it->size : n.part == PairPart::Height ? it->height : it->area) = column;
    }
    out.sample = role[kSampleRole];
    out.size = role[kSizeRole];
    out.height = role[kHeightRole];
    out.area = role[kAreaRole];
    out.lane = role[kLaneRole];
    out.dye = role[kDyeRole];
    out.marker = role[kMarkerRole];

    const bool anySizeN = std::any_of(out.pairs.begin(), out.pairs.end(), [](const Pair& p) { return p.size >= 0; });
    if (out.size < 0 && !anySizeN)
        return headerPlace(fileName, line) + " has no Size column. Lociview needs a Size and a Height column (or "
                                             "pairs Size 1, Height 1, Size 2, Height 2...).";
    if (out.size >= 0) {
        if (out.height < 0)
            return headerPlace(fileName, line) + " has a Size column but no Height column. Lociview needs both.";
        out.pairs.clear();
        return {};
    }
    out.pairs.erase(std::remove_if(out.pairs.begin(), out.pairs.end(), [](const Pair& p) { return p.size < 0; }),
                    out.pairs.end());
    std::sort(out.pairs.begin(), out.pairs.end(), [](const Pair& a, const Pair& b) { return a.number < b.number; });
    for (const Pair& p : out.pairs)
        if (p.height < 0)
            return format("%s has a Size %d column but no Height %d column. Lociview needs both.",
                          headerPlace(fileName, line).c_str(), p.number, p.number);
    return {};
}

enum class CellNumber { Empty, NotNumber, Number };

bool isEmptyCell(std::string_view v) {
    return v.empty() || (v.size() == 2 && (v[0] == 'N' || v[0] == 'n') && (v[1] == 'A' || v[1] == 'a'));
}

// A cell's number text in its column's form: empty and NA cells are empty.
CellNumber numberText(std::string_view value, NumberForm form, std::string& scratch, std::string_view& number) {
    if (isEmptyCell(value)) return CellNumber::Empty;
    std::string_view plain;
    if (!plainNumber(value, form, scratch, plain) || decimalNumberLength(plain) != plain.size())
        return CellNumber::NotNumber;
    number = plain;
    return CellNumber::Number;
}

// A cell that another form than the plain one may read otherwise: a comma,
// a blank or no-break space inside, or points between groups.
bool otherFormCell(std::string_view value) {
    if (value.find_first_of(", \xC2\xE2") != std::string_view::npos) return true;
    const size_t point = value.find('.');
    return point != std::string_view::npos && value.find('.', point + 1) != std::string_view::npos;
}

// The columns that hold numbers: size, height, area, and those of the pairs.
std::vector<int> numberColumns(const Columns& columns) {
    std::vector<int> out;
    for (const int c : {columns.size, columns.height, columns.area})
        if (c >= 0) out.push_back(c);
    for (const Pair& p : columns.pairs)
        for (const int c : {p.size, p.height, p.area})
            if (c >= 0) out.push_back(c);
    return out;
}

// Each number column's form: the one that reads most of its cells. Of
// forms that read as many, the file's decimal mark comes first (the one
// the columns that tell have most often; else a comma in semicolon-
// separated files, a point in others), then no mark between thousands,
// then the other mark, then a blank. A comma is a decimal mark only where
// it cannot be the delimiter.
std::vector<NumberForm> decideForms(std::string_view text, size_t from, int64_t line, char delimiter,
                                    const Columns& columns) {
    std::vector<NumberForm> candidates = {{'.', 0}, {'.', ','}, {'.', ' '}};
    if (delimiter != ',') candidates.insert(candidates.end(), {{',', 0}, {',', '.'}, {',', ' '}});
    const std::vector<int> numbers = numberColumns(columns);
    std::vector<std::vector<int64_t>> read(numbers.size(), std::vector<int64_t>(candidates.size(), 0));
    // A column of whole numbers without marks has nothing to decide.
    std::vector<bool> marked(numbers.size(), false);
    std::vector<Field> fields;
    std::string scratch, plainScratch;
    RecordScanner records(text, delimiter, from, line);
    while (records.next(fields, columns.count())) {
        for (size_t n = 0; n < numbers.size(); ++n) {
            const size_t column = static_cast<size_t>(numbers[n]);
            if (column >= fields.size()) continue;
            const std::string_view value = fieldValue(fields[column], scratch);
            std::string_view number;
            // A cell without marks reads alike in every form.
            if (value.find_first_of(",. \xC2\xE2") == std::string_view::npos) {
                if (numberText(value, NumberForm{}, plainScratch, number) == CellNumber::Number)
                    for (int64_t& count : read[n]) ++count;
                continue;
            }
            marked[n] = true;
            for (size_t f = 0; f < candidates.size(); ++f)
                read[n][f] += numberText(value, candidates[f], plainScratch, number) == CellNumber::Number;
        }
    }
    // The columns whose best forms all have one decimal mark vote for it.
    int pointVotes = 0, commaVotes = 0;
    for (size_t n = 0; n < numbers.size(); ++n) {
        if (!marked[n]) continue;
        const std::vector<int64_t>& counts = read[n];
        const int64_t best = *std::max_element(counts.begin(), counts.end());
        bool point = false, comma = false;
        for (size_t f = 0; f < candidates.size(); ++f)
            if (counts[f] == best) (candidates[f].decimal == '.' ? point : comma) = true;
        pointVotes += point && !comma;
        commaVotes += comma && !point;
    }
    const char decimal = pointVotes != commaVotes ? (pointVotes > commaVotes ? '.' : ',') : delimiter == ';' ? ',' : '.';
    std::vector<NumberForm> forms(columns.count());
    for (size_t n = 0; n < numbers.size(); ++n) {
        if (!marked[n]) continue;
        const std::vector<int64_t>& counts = read[n];
        const int64_t best = *std::max_element(counts.begin(), counts.end());
        // Candidates are listed with no mark between thousands first.
        size_t chosen = candidates.size();
        for (size_t f = 0; f < candidates.size(); ++f)
            if (counts[f] == best && (chosen == candidates.size() || (candidates[f].decimal == decimal &&
                                                                       candidates[chosen].decimal != decimal)))
                chosen = f;
        forms[static_cast<size_t>(numbers[n])] = candidates[chosen];
    }
    return forms;
}

// A lane number: digits only, within 32 bits.
int64_t laneNumber(std::string_view value) {
    if (value.empty() || value.size() > 10) return FileSamples::kNoLane;
    int64_t n = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') return FileSamples::kNoLane;
        n = n * 10 + (c - '0');
    }
    return n <= std::numeric_limits<int32_t>::max() ? n : FileSamples::kNoLane;
}

// The samples of a file by name: open addressing over 32-bit hashes, so a
// table of a million samples stays quick and small (8 bytes a slot).
class SampleIndex {
public:
    // The index of the name in names, appended when it is new.
    uint32_t find(std::string_view name, std::vector<std::string>& names) {
        if ((names.size() + 1) * 10 > slots.size() * 7) grow();
        const uint32_t hash = hashOf(name);
        for (size_t i = hash & (slots.size() - 1);; i = (i + 1) & (slots.size() - 1)) {
            Slot& slot = slots[i];
            if (slot.index == 0) {
                names.emplace_back(name);
                slot = {hash, static_cast<uint32_t>(names.size())};
                return slot.index - 1;
            }
            if (slot.hash == hash && names[slot.index - 1] == name) return slot.index - 1;
        }
    }

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t index = 0;  // of the name, plus 1; 0: empty
    };

    static uint32_t hashOf(std::string_view name) {
        const uint64_t h = std::hash<std::string_view>{}(name);
        return static_cast<uint32_t>(h ^ (h >> 32));
    }

    void grow() {
        std::vector<Slot> old = std::move(slots);
        slots.assign(std::max<size_t>(64, old.size() * 2), Slot{});
        for (const Slot& slot : old) {
            if (slot.index == 0) continue;
            size_t i = slot.hash & (slots.size() - 1);
            while (slots[i].index != 0) i = (i + 1) & (slots.size() - 1);
            slots[i] = slot;
        }
    }

    std::vector<Slot> slots;
};

// Reads the rows below a header, each number column in its form.
class RowReader {
public:
    RowReader(const Columns& columns, char delimiter, const std::vector<NumberForm>& forms, FileSamples& out)
        : columns(columns), out(out), delimiter(delimiter), forms(forms) {}

    // Single-sample files: their one sample exists before any row.
    void addSample(const std::string& name) { sampleIndex(name); }

    // Whether a number cell was seen that another form may read otherwise.
    bool otherFormSeen() const { return otherForm; }

    // The row's fields up to the last column read.
    void read(const std::vector<Field>& fields) {
        const int64_t before = skips;
        readRow(fields);
        if (skips > before) ++out.skippedRows;
    }

private:
    // A number cell and its column's form.
    struct NumberCell {
        std::string_view text;
        NumberForm form;
    };

    void readRow(const std::vector<Field>& fields) {
        // A row with nothing in the columns read is no data row (a blank
        // line, a note in a column of its own).
        if (std::all_of(fields.begin(), fields.end(), [](const Field& f) { return trimBlanks(f.raw).empty(); }))
            return;
        ++out.dataRows;
        if (holdsSize(fields)) ++out.sizedRows;
        const auto cell = [&](int column, std::string& scratch) -> std::string_view {
            return column >= 0 && static_cast<size_t>(column) < fields.size()
                       ? fieldValue(fields[static_cast<size_t>(column)], scratch)
                       : std::string_view();
        };
        const auto number = [&](int column, std::string& scratch) {
            return NumberCell{cell(column, scratch), column >= 0 ? forms[static_cast<size_t>(column)] : NumberForm{}};
        };
        // The sample: its Sample cell, else its Lane cell, else the file's one.
        uint32_t sample = 0;
        const int sampleColumn = columns.sample >= 0 ? columns.sample : columns.lane;
        if (sampleColumn >= 0) {
            const std::string_view name = cell(sampleColumn, sampleScratch);
            if (name.empty()) return skip(SkipReason::NoSample);
            sample = sampleIndex(name);
        }
        if (columns.lane >= 0) noteLane(sample, laneNumber(cell(columns.lane, laneScratch)));
        if (columns.marker >= 0) {
            marker = markerIndex(cell(columns.marker, markerScratch));
            if (out.sampleMarkers.empty() || out.sampleMarkers.back() != std::pair{sample, marker})
                out.sampleMarkers.emplace_back(sample, marker);
        }
        char dye = kNoDye;
        if (columns.dye >= 0) dye = dyeLetter(cell(columns.dye, dyeScratch));
        if (columns.pairs.empty()) {
            std::optional<SkipReason> why = peak(number(columns.size, sizeScratch), number(columns.height, heightScratch),
                                                 number(columns.area, areaScratch), sample, dye);
            if (why) skip(*why);
            return;
        }
        const int64_t before = count();
        for (const Pair& p : columns.pairs) {
            const NumberCell size = number(p.size, sizeScratch), height = number(p.height, heightScratch);
            if (isEmptyCell(size.text) && isEmptyCell(height.text)) continue;  // an unfilled pair
            if (std::optional<SkipReason> why = peak(size, height, number(p.area, areaScratch), sample, dye)) skip(*why);
        }
        if (count() == before) skip(SkipReason::NoPairFilled);
    }

    bool sizeIsNumber(const std::vector<Field>& fields, int column) {
        if (column < 0 || static_cast<size_t>(column) >= fields.size()) return false;
        std::string_view text;
        return numberText(fieldValue(fields[static_cast<size_t>(column)], sizeScratch), forms[static_cast<size_t>(column)],
                          numberScratch, text) == CellNumber::Number;
    }

    // The size columns: the Size column, or each pair's. Asked of every row,
    // so walked where they are rather than gathered into a list per row.
    template <typename F>
    bool anySizeColumn(F&& test) const {
        if (columns.pairs.empty()) return test(columns.size);
        return std::any_of(columns.pairs.begin(), columns.pairs.end(), [&](const Pair& p) { return test(p.size); });
    }

    bool holdsSize(const std::vector<Field>& fields) {
        if (anySizeColumn([&](int column) { return sizeIsNumber(fields, column); })) return true;
        // Too few cells for the size column: the row may be split by another
        // delimiter than the header.
        int least = columns.size;
        if (!columns.pairs.empty()) {
            least = columns.pairs.front().size;
            for (const Pair& p : columns.pairs) least = std::min(least, p.size);
        }
        if (static_cast<size_t>(least) < fields.size()) return false;
        const std::string_view line(fields.front().raw.data(),
                                    static_cast<size_t>(fields.back().raw.data() + fields.back().raw.size() -
                                                        fields.front().raw.data()));
        std::vector<Field> cells;
        for (const char other : {'\t', ',', ';'}) {
            if (other == delimiter) continue;
            RecordScanner resplit(line, other);
            if (!resplit.next(cells)) continue;
            if (anySizeColumn([&](int column) { return sizeIsNumber(cells, column); })) return true;
        }
        return false;
    }

    int64_t count() const {
        int64_t n = static_cast<int64_t>(out.peaks.size());
        for (const int64_t s : out.skipped) n += s;
        return n;
    }

    void skip(SkipReason reason) {
        ++out.skipped[static_cast<size_t>(reason)];
        ++skips;
    }

    std::optional<SkipReason> peak(NumberCell sizeCell, NumberCell heightText, NumberCell areaCell, uint32_t sample,
                                   char dye) {
        float size = 0.0f;
        switch (floatCell(sizeCell, size)) {
            case CellNumber::Empty: return SkipReason::SizeEmpty;
            case CellNumber::NotNumber: return SkipReason::SizeNotNumber;
            case CellNumber::Number: break;
        }
        if (!std::isfinite(size)) return SkipReason::SizeOutOfRange;
        double height = 0.0;
        switch (heightCell(heightText, height)) {
            case CellNumber::Empty: return SkipReason::HeightEmpty;
            case CellNumber::NotNumber: return SkipReason::HeightNotNumber;
            case CellNumber::Number: break;
        }
        if (!std::isfinite(height)) return SkipReason::HeightOutOfRange;
        if (dye == 0) return SkipReason::DyeUnknown;
        float area = 0.0f;
        if (floatCell(areaCell, area) != CellNumber::Number || !std::isfinite(area)) area = 0.0f;
        out.peaks.push_back({0, sample, dye, size, saturatingInt(height), area, marker});
        return std::nullopt;
    }

    // The index of a marker name, given when new; more markers than an
    // index holds share the last (a refusal says so).
    uint16_t markerIndex(std::string_view name) {
        if (!out.markers.empty() && out.markers[marker] == name) return marker;
        const auto [at, fresh] = markerIndexes.try_emplace(std::string(name), out.markers.size());
        if (fresh) {
            if (out.markers.size() > kMostMarkers) {
                out.refusal = format("There are more than %zu markers in the Marker column.", kMostMarkers + 1);
                at->second = kMostMarkers;
            } else {
                out.markers.emplace_back(name);
            }
        }
        return static_cast<uint16_t>(at->second);
    }

    // Sizes and areas: single precision exactly as the classic reader reads
    // them, by its quick path for the usual plain decimals.
    CellNumber floatCell(NumberCell cell, float& number) {
        if (cell.form == NumberForm{} && quickDecimal(cell.text, number)) return CellNumber::Number;
        otherForm = otherForm || otherFormCell(cell.text);
        std::string_view text;
        const CellNumber kind = numberText(cell.text, cell.form, numberScratch, text);
        if (kind == CellNumber::Number) number = parseFloat(text);
        return kind;
    }

    // Heights: whole numbers as they are, others read exactly and truncated
    // later toward zero.
    CellNumber heightCell(NumberCell cell, double& number) {
        const std::string_view value = cell.text;
        if (!value.empty() && value.size() <= 9 &&
            std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            int32_t whole = 0;
            for (const char c : value) whole = whole * 10 + (c - '0');
            number = whole;
            return CellNumber::Number;
        }
        otherForm = otherForm || otherFormCell(value);
        std::string_view text;
        const CellNumber kind = numberText(value, cell.form, numberScratch, text);
        if (kind == CellNumber::Number) number = parseDouble(text);
        return kind;
    }

    uint32_t sampleIndex(std::string_view name) {
        // Rows of one sample usually come together.
        if (last < out.names.size() && out.names[last] == name) return static_cast<uint32_t>(last);
        const size_t before = out.names.size();
        last = index.find(name, out.names);
        if (out.names.size() != before) out.laneOf.push_back(kUnset);
        return static_cast<uint32_t>(last);
    }

    void noteLane(uint32_t sample, int64_t lane) {
        int64_t& known = out.laneOf[sample];
        if (known == kUnset)
            known = lane;
        else if (known != lane)
            known = FileSamples::kNoLane;
    }

    static constexpr int64_t kUnset = -2;
    static constexpr size_t kMostMarkers = 65535;

    const Columns& columns;
    FileSamples& out;
    char delimiter;
    const std::vector<NumberForm>& forms;  // by column
    bool otherForm = false;
    int64_t skips = 0;
    SampleIndex index;
    size_t last = static_cast<size_t>(-1);
    std::string sampleScratch, laneScratch, dyeScratch, sizeScratch, heightScratch, areaScratch, numberScratch,
        markerScratch;
    uint16_t marker = 0;  // of the row read now
    std::unordered_map<std::string, size_t> markerIndexes;
};

size_t lineCount(std::string_view text) {
    size_t n = 0;
    for (const char end : {'\n', '\r'}) {
        for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, end, text.data() + text.size() - p)));
             ++p)
            ++n;
        if (n > 0) return n;
    }
    return n;
}

char delimiterOf(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(',') != std::string_view::npos) return ',';
    return ';';
}

}  // namespace

bool readHeaderTable(std::string_view text, const std::string& fileName, const std::string& sampleName,
                     FileSamples& out) {
    std::vector<Field> fields;
    std::string scratch;
    const std::vector<std::string_view> lines = firstLines(text, kHeaderSearchLines);
    for (size_t k = 0; k < lines.size(); ++k) {
        const char delimiter = delimiterOf(lines[k]);
        RecordScanner cells(lines[k], delimiter);
        if (!cells.next(fields, kHeaderCells)) continue;
        int known = 0;
        for (const Field& f : fields) known += nameOf(fieldValue(f, scratch)).any();
        if (known < 2) continue;

        out.delimiter = delimiter;
        out.headerLine = static_cast<int64_t>(k) + 1;
        Columns columns;
        out.refusal = columnsOf(fields, fileName, out.headerLine, columns);
        if (!out.refusal.empty()) return true;
        const bool samples = columns.sample >= 0 || columns.lane >= 0;
        out.layout = !samples ? PeakLayout::PerSampleFile
                     : columns.pairs.empty() ? PeakLayout::SizingTable
                                             : PeakLayout::GenotypeTable;
        out.laneColumn = columns.lane >= 0;

        // The rows start after the header's line end.
        size_t from = static_cast<size_t>(lines[k].data() - text.data()) + lines[k].size();
        if (from < text.size()) from += text.compare(from, 2, "\r\n") == 0 ? 2 : 1;
        // A peak per line, mostly: no regrowing of the peaks.
        out.peaks.reserve(lineCount(text.substr(std::min(from, text.size()))) + 1);
        // Read as plain decimals, until a cell that another form may read
        // otherwise: then each number column's form is decided and the rows
        // are read from the start in those forms.
        std::vector<NumberForm> forms(columns.count());
        const auto readRows = [&](bool untilOtherForm) {
            RowReader rows(columns, delimiter, forms, out);
            if (!samples) rows.addSample(sampleName);
            RecordScanner records(text, delimiter, from, out.headerLine + 1);
            while (records.next(fields, columns.count())) {
                rows.read(fields);
                if (untilOtherForm && rows.otherFormSeen()) return std::pair(true, int64_t{0});
            }
            return std::pair(false, records.quoteNeverClosed());
        };
        auto [otherForm, quoteLine] = readRows(true);
        if (otherForm) {
            forms = decideForms(text, from, out.headerLine + 1, delimiter, columns);
            out.names.clear();
            out.laneOf.clear();
            out.peaks.clear();
            out.skipped = {};
            out.dataRows = out.sizedRows = out.skippedRows = 0;
            quoteLine = readRows(false).second;
            std::vector<Field> header;
            RecordScanner(lines[k], delimiter).next(header, kHeaderCells);
            for (const int column : numberColumns(columns))
                if (forms[static_cast<size_t>(column)] != NumberForm{})
                    out.forms.push_back({std::string(fieldValue(header[static_cast<size_t>(column)], scratch)),
                                         forms[static_cast<size_t>(column)]});
        }
        if (const int64_t line = quoteLine; line != 0) {
            out.refusal = format("In %s, the quote that opens on line %lld is never closed. Close it, or remove "
                                 "it, and open the file again.",
                                 quoted(fileName).c_str(), static_cast<long long>(line));
        }
        for (int64_t& lane : out.laneOf)
            if (lane < 0) lane = FileSamples::kNoLane;
        return true;
    }
    return false;
}

}  // namespace lociview
