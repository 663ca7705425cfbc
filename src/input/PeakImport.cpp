#include "input/PeakImport.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "base/OutOfMemory.h"
#include "input/HeaderTable.h"
#include "input/NumberForms.h"
#include "input/TextDecoding.h"

namespace lociview {

namespace {

std::string inQuotes(const std::string& name) { return "\"" + name + "\""; }

long long ll(int64_t n) { return static_cast<long long>(n); }

// The sample a single-sample file holds: its name without folders and
// extension.
std::string stemOf(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    return base.empty() ? name : base;
}

// A per-sample file's peak lines as its one sample; false when no line fits.
bool readPerSampleLines(std::string_view bytes, const std::string& sampleName, FileSamples& out) {
    SamplePeakLines read = readSamplePeakLines(bytes);
    if (read.lines.empty()) return false;
    out.layout = PeakLayout::PerSampleFile;
    out.names = {sampleName};
    out.laneOf = {FileSamples::kNoLane};
    out.dataRows = static_cast<int64_t>(read.lines.size() + read.tossed);
    out.skipped[static_cast<size_t>(SkipReason::NotAPeakLine)] = static_cast<int64_t>(read.tossed);
    out.peaks.reserve(read.lines.size());
    for (const SamplePeakLine& line : read.lines) {
        const char dye = dyeLetter(line.letters);
        if (!std::isfinite(line.size))
            ++out.skipped[static_cast<size_t>(SkipReason::SizeOutOfRange)];
        else if (dye == 0 || dye == kNoDye)
            ++out.skipped[static_cast<size_t>(SkipReason::DyeUnknown)];
        else
            out.peaks.push_back({0, 0, dye, line.size, line.height, std::isfinite(line.area) ? line.area : 0.0f, 0});
    }
    out.skippedRows = out.dataRows - static_cast<int64_t>(out.peaks.size());
    return true;
}

const char* layoutWords(PeakLayout layout) {
    switch (layout) {
        case PeakLayout::Classic: return "a peak table with lane numbers";
        case PeakLayout::SizingTable: return "a sizing table";
        case PeakLayout::GenotypeTable: return "a genotype table of Size/Height pairs";
        case PeakLayout::PerSampleFile: return "a per-sample peak file";
        case PeakLayout::Traces: return "a trace file";
    }
    return "";
}

const char* delimiterWord(char delimiter) {
    return delimiter == '\t' ? "tab" : delimiter == ',' ? "comma" : "semicolon";
}

std::string layoutName(PeakLayout layout, const std::vector<FileSamples>& files) {
    std::string name = layout == PeakLayout::SizingTable     ? "Sizing table"
                       : layout == PeakLayout::GenotypeTable ? "Genotype table of Size/Height pairs"
                       : layout == PeakLayout::PerSampleFile ? "Per-sample peak files, one lane each"
                                                             : "Peak table with lane numbers";
    if (layout != PeakLayout::SizingTable && layout != PeakLayout::GenotypeTable) return name;
    const char delimiter = files.front().delimiter;
    const bool same = std::all_of(files.begin(), files.end(), [&](const FileSamples& f) { return f.delimiter == delimiter; });
    return name + (same ? format(" (%s-separated)", delimiterWord(delimiter)) : std::string(" (mixed separators)"));
}

std::string refusedNoPeaks(const ImportFile& file, const FileSamples& read, const PeakImport& counts) {
    std::string why = skippedSummary(counts);
    if (!why.empty()) why = " " + why;
    if (read.headerLine == 0)
        return format("No peak could be read from %s: none of its %lld peak lines has a dye letter and a size in "
                      "range.%s",
                      inQuotes(file.name).c_str(), ll(read.dataRows), why.c_str());
    if (read.dataRows == 0)
        return format("No peak could be read from %s: its header is on line %lld, and no row follows it.",
                      inQuotes(file.name).c_str(), ll(read.headerLine));
    return format("No peak could be read from %s: its header is on line %lld (%s-separated), but none of its %lld "
                  "rows has a usable size and height.%s Check that the rows are separated like the header.",
                  inQuotes(file.name).c_str(), ll(read.headerLine), delimiterWord(read.delimiter), ll(read.dataRows),
                  why.c_str());
}

// "Numbers in "eu.csv": Size with a decimal comma; Height with a decimal
// comma and points between thousands."
std::string formsNote(const std::string& file, const std::vector<std::pair<std::string, NumberForm>>& forms) {
    std::vector<std::pair<std::string, NumberForm>> grouped;  // columns named together, by form
    for (const auto& [column, form] : forms) {
        const NumberForm f = form;  // clang before 16 cannot capture a structured binding
        auto it = std::find_if(grouped.begin(), grouped.end(), [&](const auto& g) { return g.second == f; });
        if (it == grouped.end()) grouped.push_back({inQuotes(column), form});
        else it->first += " and " + inQuotes(column);
    }
    std::string note = "Numbers in " + inQuotes(file) + ": ";
    for (size_t i = 0; i < grouped.size(); ++i)
        note += (i ? "; " : "") + grouped[i].first + " with " + numberFormWords(grouped[i].second);
    return note + ".";
}

// 22016 as "22,016".
std::string countText(int64_t n) {
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > (digits[0] == '-' ? 1 : 0); i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

PeakImport refused(std::string message, LogSink& log) {
    logf(log, "Peak import refused: %s", message.c_str());
    return refusedImport(std::move(message));
}

// Whether the Lane column of the one table read can give the lanes: every
// sample has one number, and no two share it. The reason when not.
std::string laneColumnProblem(const FileSamples& read) {
    std::unordered_map<int64_t, size_t> owner;
    for (size_t i = 0; i < read.names.size(); ++i) {
        if (read.laneOf[i] < 0)
            return format("sample %s has no single lane number", inQuotes(read.names[i]).c_str());
        const auto [it, fresh] = owner.emplace(read.laneOf[i], i);
        if (!fresh)
            return format("samples %s and %s share lane %lld", inQuotes(read.names[it->second]).c_str(),
                          inQuotes(read.names[i]).c_str(), ll(read.laneOf[i]));
    }
    return {};
}

constexpr char kChannelOrder[] = "BGYROP";

}  // namespace

const char* skipReasonText(SkipReason reason) {
    switch (reason) {
        case SkipReason::NoSample: return "no sample name";
        case SkipReason::SizeEmpty: return "size empty or NA";
        case SkipReason::SizeNotNumber: return "size not a number";
        case SkipReason::SizeOutOfRange: return "size out of range";
        case SkipReason::HeightEmpty: return "height empty or NA";
        case SkipReason::HeightNotNumber: return "height not a number";
        case SkipReason::HeightOutOfRange: return "height out of range";
        case SkipReason::DyeUnknown: return "dye not recognised";
        case SkipReason::NoPairFilled: return "no Size/Height pair filled";
        case SkipReason::NotAPeakLine: return "not a peak line";
    }
    return "";
}

namespace {

PeakImport importFiles(const std::vector<ImportFile>& files, LogSink& log) {
    PeakImport result;
    if (files.empty()) return result;
    const bool several = files.size() > 1;

    std::vector<FileSamples> read(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const ImportFile& file = files[i];
        if (!file.bytes) {
            if (!several) return result;
            return refused(inQuotes(file.name) + " could not be read.", log);
        }
        if (peakTableHasRows(file.bytes)) {
            if (!several) {
                result.status = ImportStatus::Classic;
                result.layout = PeakLayout::Classic;
                return result;
            }
            return refused(inQuotes(file.name) + " is a peak table with lane numbers; open it on its own.", log);
        }
        const Utf8Text text = Utf8Text::decode(*file.bytes);
        const std::string sample = stemOf(file.name);
        bool recognised = text.readable() && readHeaderTable(text.text(), file.name, sample, read[i]);
        if (recognised && !read[i].refusal.empty()) return refused(read[i].refusal, log);
        // Column titles with no row below that holds a size: the file holds
        // no data, and ends as any file without data does.
        if (recognised && !several && read[i].peaks.empty() && read[i].sizedRows == 0) return result;
        if (!recognised) recognised = readPerSampleLines(*file.bytes, sample, read[i]);
        if (!recognised) {
            if (!several) return result;
            return refused(inQuotes(file.name) +
                               " is not a peak table Lociview reads: no header naming Size and Height columns in "
                               "its first 50 lines, and no peak lines.",
                           log);
        }
        if (read[i].layout != read.front().layout)
            return refused(format("%s is %s and %s is %s. Open files of one layout together.",
                                  inQuotes(files.front().name).c_str(), layoutWords(read.front().layout),
                                  inQuotes(file.name).c_str(), layoutWords(read[i].layout)),
                           log);
    }

    int64_t peakCount = 0;
    size_t sampleCount = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const FileSamples& f = read[i];
        peakCount += static_cast<int64_t>(f.peaks.size());
        sampleCount += f.names.size();
        for (size_t r = 0; r < kSkipReasons; ++r) result.skipped[r] += f.skipped[r];
        result.dataRows += f.dataRows;
        result.fileRows.push_back({f.dataRows, f.skippedRows, f.skipped});
        if (!f.forms.empty()) result.notes.push_back(formsNote(files[i].name, f.forms));
        if (f.headerLine > 0)
            logf(log, "%s: %s, header on line %lld, %s-separated: %lld rows, %lld peaks, %zu samples",
                 files[i].name.c_str(), layoutWords(f.layout), ll(f.headerLine), delimiterWord(f.delimiter),
                 ll(f.dataRows), ll(static_cast<int64_t>(f.peaks.size())), f.names.size());
        else
            logf(log, "%s: %s: %lld lines, %lld peaks", files[i].name.c_str(), layoutWords(f.layout),
                 ll(f.dataRows), ll(static_cast<int64_t>(f.peaks.size())));
    }
    if (peakCount == 0) {
        // Say why about the file that has rows, or the first.
        size_t worst = 0;
        for (size_t i = 0; i < read.size(); ++i)
            if (read[i].dataRows > read[worst].dataRows) worst = i;
        return refused(refusedNoPeaks(files[worst], read[worst], result), log);
    }
    if (sampleCount > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return refused("There are more samples than lanes Lociview can number.", log);

    // Lanes: the one table's Lane column when it numbers every sample once,
    // else 1, 2, 3... in order of appearance across the files.
    std::string laneProblem;
    const bool anyLaneColumn = std::any_of(read.begin(), read.end(), [](const FileSamples& f) { return f.laneColumn; });
    if (anyLaneColumn) {
        laneProblem = several ? std::string("several files are numbered together") : laneColumnProblem(read.front());
        if (!laneProblem.empty())
            result.notes.push_back("The Lane column was not used (" + laneProblem +
                                   "): samples are numbered 1, 2, 3... in order of appearance.");
    }
    const bool laneColumnLanes = anyLaneColumn && laneProblem.empty();
    result.lanesFromColumn = laneColumnLanes;

    // The markers of every file as one list, each file's indexes onto it.
    std::vector<std::vector<uint16_t>> markerOf(read.size());
    std::unordered_map<std::string, uint16_t> markerIndex;
    for (size_t i = 0; i < read.size(); ++i)
        for (std::string& name : read[i].markers) {
            const auto [at, fresh] = markerIndex.try_emplace(name, static_cast<uint16_t>(result.markers.size()));
            if (fresh) {
                if (result.markers.size() > std::numeric_limits<uint16_t>::max())
                    return refused("There are more markers in the Marker columns than Lociview can tell apart.", log);
                result.markers.push_back({std::move(name), {}});
            }
            markerOf[i].push_back(at->second);
        }

    struct Placed {
        size_t file;
        size_t local;
        int32_t lane;
    };
    std::vector<Placed> order;
    order.reserve(sampleCount);
    for (size_t i = 0; i < read.size(); ++i)
        for (size_t s = 0; s < read[i].names.size(); ++s)
            order.push_back({i, s,
                             laneColumnLanes ? static_cast<int32_t>(read[i].laneOf[s])
                                             : static_cast<int32_t>(order.size() + 1)});
    if (laneColumnLanes)
        std::stable_sort(order.begin(), order.end(), [](const Placed& a, const Placed& b) { return a.lane < b.lane; });

    // Where each file's samples went, then the peaks in that order (a
    // counting sort keeps each sample's peaks in file order).
    std::vector<std::vector<uint32_t>> position(read.size());
    for (size_t i = 0; i < read.size(); ++i) position[i].resize(read[i].names.size());
    result.samples.reserve(order.size());
    for (const Placed& p : order) {
        position[p.file][p.local] = static_cast<uint32_t>(result.samples.size());
        result.samples.push_back({p.lane, std::move(read[p.file].names[p.local]), static_cast<uint32_t>(p.file), 0});
    }
    // Which samples have rows of which markers, by the samples' places. A
    // file without a Marker column among files with one names no marker.
    for (size_t i = 0; i < read.size() && !result.markers.empty(); ++i) {
        if (!markerOf[i].empty()) continue;
        const auto [at, fresh] = markerIndex.try_emplace(std::string(), static_cast<uint16_t>(result.markers.size()));
        if (fresh) result.markers.push_back({std::string(), {}});
        markerOf[i].push_back(at->second);
        for (uint32_t s = 0; s < read[i].names.size(); ++s) read[i].sampleMarkers.emplace_back(s, 0);
    }
    for (size_t i = 0; i < read.size(); ++i)
        for (const auto& [sample, marker] : read[i].sampleMarkers)
            result.sampleMarkers.emplace_back(position[i][sample], markerOf[i][marker]);
    std::sort(result.sampleMarkers.begin(), result.sampleMarkers.end());
    result.sampleMarkers.erase(std::unique(result.sampleMarkers.begin(), result.sampleMarkers.end()),
                               result.sampleMarkers.end());
    for (size_t i = 0; i < read.size(); ++i) {
        if (markerOf[i].empty()) continue;
        for (ImportedPeak& peak : read[i].peaks) peak.marker = markerOf[i][peak.marker];
    }
    std::array<int64_t, 256> perDye{};
    const auto inPlace = [&] {
        if (read.size() != 1) return false;
        for (size_t s = 0; s < position[0].size(); ++s)
            if (position[0][s] != s) return false;
        return std::is_sorted(read[0].peaks.begin(), read[0].peaks.end(),
                              [](const ImportedPeak& a, const ImportedPeak& b) { return a.sample < b.sample; });
    };
    if (inPlace()) {
        // One table whose samples come one after another, in lane order: the
        // usual export, kept without a copy.
        result.peaks = std::move(read[0].peaks);
        for (ImportedPeak& peak : result.peaks) {
            SampleLane& sample = result.samples[peak.sample];
            peak.lane = sample.lane;
            ++sample.peaks;
            ++perDye[static_cast<unsigned char>(peak.dye)];
        }
    } else {
        std::vector<int64_t> start(result.samples.size() + 1, 0);
        for (size_t i = 0; i < read.size(); ++i)
            for (const ImportedPeak& peak : read[i].peaks) ++start[position[i][peak.sample] + 1];
        for (size_t s = 0; s < result.samples.size(); ++s) {
            result.samples[s].peaks = start[s + 1];
            start[s + 1] += start[s];
        }
        result.peaks.resize(static_cast<size_t>(peakCount));
        for (size_t i = 0; i < read.size(); ++i) {
            for (const ImportedPeak& peak : read[i].peaks) {
                const uint32_t s = position[i][peak.sample];
                ImportedPeak& placed = result.peaks[static_cast<size_t>(start[s]++)];
                placed = peak;
                placed.sample = s;
                placed.lane = result.samples[s].lane;
                ++perDye[static_cast<unsigned char>(peak.dye)];
            }
            read[i].peaks = {};
        }
    }
    result.dyes = dyesInChannelOrder(perDye);
    if (!result.markers.empty()) {
        std::vector<std::array<int64_t, 256>> perMarker(result.markers.size(), std::array<int64_t, 256>{});
        for (const ImportedPeak& peak : result.peaks) ++perMarker[peak.marker][static_cast<unsigned char>(peak.dye)];
        for (size_t m = 0; m < result.markers.size(); ++m)
            for (const DyeCount& d : result.dyes)
                if (const int64_t n = perMarker[m][static_cast<unsigned char>(d.dye)]; n > 0)
                    result.markers[m].dyes.push_back({d.dye, n});
    }

    for (const ImportFile& f : files) result.files.push_back(f.name);
    result.status = ImportStatus::Imported;
    result.layout = read.front().layout;
    result.layoutName = layoutName(result.layout, read);
    for (const std::string& note : result.notes) logf(log, "%s", note.c_str());
    if (const std::string summary = skippedSummary(result); !summary.empty()) logf(log, "%s", summary.c_str());
    return result;
}

}  // namespace

PeakImport importPeakTables(const std::vector<ImportFile>& files, LogSink& log) {
    // Peaks or samples too many to hold: refused rather than ending the
    // program.
    return unlessOutOfMemory([&] { return importFiles(files, log); },
                             [&] { return refused("The peak tables are too large to read into memory.", log); });
}

PeakImport refusedImport(std::string message) {
    PeakImport out;
    out.status = ImportStatus::Refused;
    out.message = std::move(message);
    return out;
}

std::vector<DyeCount> dyesInChannelOrder(const std::array<int64_t, 256>& perDye) {
    std::vector<DyeCount> dyes;
    for (const char* c = kChannelOrder; *c; ++c)
        if (perDye[static_cast<unsigned char>(*c)]) dyes.push_back({*c, perDye[static_cast<unsigned char>(*c)]});
    for (char c = 'A'; c <= 'Z'; ++c)
        if (perDye[static_cast<unsigned char>(c)] && std::string_view(kChannelOrder).find(c) == std::string_view::npos)
            dyes.push_back({c, perDye[static_cast<unsigned char>(c)]});
    if (perDye[static_cast<unsigned char>(kNoDye)]) dyes.push_back({kNoDye, perDye[static_cast<unsigned char>(kNoDye)]});
    return dyes;
}

std::string defaultMarker(const PeakImport& import, char dye) {
    const MarkerCount* best = nullptr;
    int64_t most = -1;
    for (const MarkerCount& m : import.markers) {
        int64_t rows = 0;
        for (const DyeCount& d : m.dyes)
            if (d.dye == dye) rows = d.peaks;
        // Rows that name no marker are no locus of their own: last choice.
        const bool better = !best || (best->name.empty() && !m.name.empty()) ||
                            (best->name.empty() == m.name.empty() && rows > most);
        if (better) {
            best = &m;
            most = rows;
        }
    }
    return best ? best->name : std::string();
}

std::string selectMarker(PeakImport& import, std::string_view requested, char dye) {
    if (import.markers.empty()) return {};
    const std::string name = requested.empty() ? defaultMarker(import, dye ? dye : defaultDye(import))
                                               : std::string(requested);
    const auto chosen = std::find_if(import.markers.begin(), import.markers.end(),
                                     [&](const MarkerCount& m) { return m.name == name; });
    if (chosen == import.markers.end()) {
        std::string names;
        for (const MarkerCount& m : import.markers)
            names += (names.empty() ? "" : ", ") + (m.name.empty() ? std::string("(none)") : inQuotes(m.name));
        return format("There is no marker %s in the Marker column. The markers there are %s.",
                      inQuotes(name).c_str(), names.c_str());
    }
    const uint16_t marker = static_cast<uint16_t>(chosen - import.markers.begin());
    if (requested.empty() && import.markers.size() > 1) {
        import.markerNote = format("The Marker column names %zu markers; %s, the one with most rows in the dye, is "
                                   "scored and the others are left out (choose another to score it).",
                                   import.markers.size(), inQuotes(name).c_str());
        import.notes.push_back(import.markerNote);
    }

    // The samples with a row of the marker, renumbered unless the Lane
    // column numbers them.
    std::vector<uint32_t> kept(import.samples.size(), std::numeric_limits<uint32_t>::max());
    std::vector<SampleLane> samples;
    for (const auto& [sample, m] : import.sampleMarkers) {
        if (m != marker || kept[sample] != std::numeric_limits<uint32_t>::max()) continue;
        kept[sample] = 0;
    }
    for (size_t s = 0; s < import.samples.size(); ++s) {
        if (kept[s] == std::numeric_limits<uint32_t>::max()) continue;
        kept[s] = static_cast<uint32_t>(samples.size());
        SampleLane lane = std::move(import.samples[s]);
        if (!import.lanesFromColumn) lane.lane = static_cast<int32_t>(samples.size() + 1);
        lane.peaks = 0;
        samples.push_back(std::move(lane));
    }
    std::array<int64_t, 256> perDye{};
    std::vector<ImportedPeak> peaks;
    for (const ImportedPeak& peak : import.peaks) {
        if (peak.marker != marker || kept[peak.sample] == std::numeric_limits<uint32_t>::max()) continue;
        ImportedPeak& p = peaks.emplace_back(peak);
        p.sample = kept[peak.sample];
        p.lane = samples[p.sample].lane;
        p.marker = 0;
        ++samples[p.sample].peaks;
        ++perDye[static_cast<unsigned char>(p.dye)];
    }
    std::vector<DyeCount> dyes;
    for (const DyeCount& d : import.dyes)
        if (perDye[static_cast<unsigned char>(d.dye)] > 0) dyes.push_back({d.dye, perDye[static_cast<unsigned char>(d.dye)]});
    import.samples = std::move(samples);
    import.peaks = std::move(peaks);
    import.dyes = std::move(dyes);
    import.marker = name;
    import.markers.clear();
    import.sampleMarkers.clear();
    return {};
}

std::vector<PeakRow> classicRows(const PeakImport& import, char dye) {
    std::vector<PeakRow> rows;
    int64_t count = 0;
    for (const DyeCount& d : import.dyes)
        if (d.dye == dye) count = d.peaks;
    rows.reserve(static_cast<size_t>(count));
    const std::string letter(1, dye);
    int32_t number = 0;
    uint32_t sample = std::numeric_limits<uint32_t>::max();
    for (const ImportedPeak& peak : import.peaks) {
        if (peak.dye != dye) continue;
        number = peak.sample == sample ? number + 1 : 1;
        sample = peak.sample;
        rows.emplace_back(intText(peak.lane), letter, intText(number),
                          PeakNumbers{0.0f, peak.size, peak.height, peak.area, 0.0f});
    }
    return rows;
}

std::vector<SampleLane> sampleLanes(const PeakImport& import, char dye) {
    std::vector<SampleLane> out = import.samples;
    for (SampleLane& s : out) s.peaks = 0;
    for (const ImportedPeak& peak : import.peaks)
        if (peak.dye == dye) ++out[peak.sample].peaks;
    return out;
}

std::string sampleOfLane(const std::vector<SampleLane>& samples, int32_t lane) {
    // Ascending lanes: a search, not a walk, for every cell of a big plate.
    const auto at = std::lower_bound(samples.begin(), samples.end(), lane,
                                     [](const SampleLane& s, int32_t l) { return s.lane < l; });
    return at != samples.end() && at->lane == lane ? at->sample : std::string();
}

std::string sampleTableText(const PeakImport& import, char dye) {
    return sampleTableText(sampleLanes(import, dye), import.files);
}

std::string sampleTableText(const std::vector<SampleLane>& samples, const std::vector<std::string>& files) {
    const auto clean = [](std::string text) {
        for (char& c : text)
            if (c == '\t' || c == '\n' || c == '\r' || c == '\0') c = ' ';
        return text;
    };
    std::string out = "lane\tsample\tfile\tpeaks\n";
    for (const SampleLane& s : samples)
        out += format("%d\t%s\t%s\t%lld\n", s.lane, clean(s.sample).c_str(),
                      clean(s.file < files.size() ? files[s.file] : std::string()).c_str(), ll(s.peaks));
    return out;
}

std::string skippedRowsText(const FileRows& rows) {
    if (rows.skippedRows == 0) return {};
    std::string why;
    size_t reasons = 0;
    for (size_t r = 0; r < kSkipReasons; ++r) {
        if (rows.skipped[r] == 0) continue;
        why += format("%s%s %s", reasons++ ? ", " : "", countText(rows.skipped[r]).c_str(),
                      skipReasonText(static_cast<SkipReason>(r)));
    }
    if (reasons == 1) why = why.substr(why.find(' ') + 1);  // the one reason says it all
    return countText(rows.skippedRows) + " of " + countText(rows.rows) + " rows skipped: " + why;
}

std::string skippedSummary(const PeakImport& import) {
    std::string out;
    for (size_t r = 0; r < kSkipReasons; ++r) {
        if (import.skipped[r] == 0) continue;
        out += format("%s%lld %s", out.empty() ? "Skipped: " : ", ", ll(import.skipped[r]),
                      skipReasonText(static_cast<SkipReason>(r)));
    }
    return out.empty() ? out : out + ".";
}

}  // namespace lociview
