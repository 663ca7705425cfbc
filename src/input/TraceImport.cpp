#include "input/TraceImport.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "base/NumberText.h"
#include "base/OutOfMemory.h"

namespace lociview {

namespace {

// Fixed decimals whatever the C locale says a decimal point is.
std::string fixed(double value, int decimals) {
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return res.ec == std::errc() ? std::string(buf, res.ptr) : std::string("0");
}

bool endsWithCaseless(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        char c = name[name.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

PeakImport traceRefused(std::string message, LogSink& log) {
    logf(log, "Trace import refused: %s", message.c_str());
    return refusedImport(std::move(message));
}

PeakImport importSized(const std::vector<SizedTrace>& traces, LogSink& log) {
    PeakImport out;
    if (traces.empty()) return out;
    for (const SizedTrace& t : traces) {
        if (t.problem.empty()) continue;
        const size_t more = static_cast<size_t>(
            std::count_if(traces.begin(), traces.end(), [](const SizedTrace& o) { return !o.problem.empty(); }));
        std::string message = t.problem;
        if (more > 1) message += format(" %zu more file%s cannot be read either.", more - 1, more == 2 ? "" : "s");
        return traceRefused(std::move(message), log);
    }
    if (traces.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return traceRefused("There are more files than lanes Lociview can number.", log);

    std::array<int64_t, 256> perDye{};
    int64_t unsized = 0;
    for (size_t i = 0; i < traces.size(); ++i) {
        const SizedTrace& t = traces[i];
        out.files.push_back(t.file);
        SampleLane lane{static_cast<int32_t>(i + 1), t.sample, static_cast<uint32_t>(i), 0};
        const int dyes = static_cast<int>(t.dyeNames.size());
        for (const SizedPeak& p : t.peaks) {
            if (!p.sized()) {
                ++unsized;
                continue;
            }
            ImportedPeak peak;
            peak.lane = lane.lane;
            peak.sample = static_cast<uint32_t>(i);
            peak.dye = traceDyeLetter(dyes, p.peak.dye);
            peak.size = parseFloat(traceSizeText(p.size));
            peak.height = saturatingInt(parseDouble(traceHeightText(p.peak.height)));
            peak.area = parseFloat(traceAreaText(p.peak.area));
            out.peaks.push_back(peak);
            ++lane.peaks;
            ++perDye[static_cast<unsigned char>(peak.dye)];
        }
        out.samples.push_back(std::move(lane));
        logf(log, "%s: trace of %d dyes, %d scans, standard %s: %d of %d fragments, worst R-squared %.4f; %lld peaks sized",
             t.file.c_str(), dyes, t.scans, t.standard.empty() ? "none" : t.standard.c_str(), t.matched, t.expected,
             t.worstRSquared, static_cast<long long>(lane.peaks));
        for (const std::string& m : t.messages) out.notes.push_back(m);
    }
    if (out.peaks.empty()) {
        std::string message = traces.size() == 1 ? "No peak of the trace file could be sized."
                                                 : format("No peak of the %zu trace files could be sized.", traces.size());
        for (const std::string& note : out.notes) message += " " + note;
        return traceRefused(std::move(message), log);
    }
    if (unsized > 0)
        out.notes.push_back(format("%lld peak%s outside the size standard's range, or in a file whose standard could "
                                   "not be matched, %s no size and %s left out.",
                                   static_cast<long long>(unsized), unsized == 1 ? "" : "s", unsized == 1 ? "has" : "have",
                                   unsized == 1 ? "is" : "are"));
    out.status = ImportStatus::Imported;
    out.layout = PeakLayout::Traces;
    out.layoutName = "Trace files, sized against the size standard";
    out.dataRows = static_cast<int64_t>(out.peaks.size());
    out.dyes = dyesInChannelOrder(perDye);
    for (const std::string& note : out.notes) logf(log, "%s", note.c_str());
    return out;
}

}  // namespace

std::optional<double> minHeightOption(const std::string& text) {
    const double height = decimalNumberLength(text) == text.size() && !text.empty() ? parseDouble(text) : -1.0;
    if (!(height > 0) || !std::isfinite(height)) return std::nullopt;
    return height;
}

bool isTraceFile(std::string_view name, std::string_view bytes) {
    return endsWithCaseless(name, ".fsa") || endsWithCaseless(name, ".hid") || bytes.substr(0, 4) == "ABIF";
}

char traceDyeLetter(int dyes, int dye) {
    static constexpr const char* kByCount[] = {"", "B", "BG", "BGY", "BGYR", "BGYRO", "BGYRPO"};
    if (dyes < 1 || dyes > 6 || dye < 0 || dye >= dyes) return kNoDye;
    return kByCount[dyes][dye];
}

std::string traceSizeText(double size) { return fixed(size, 2); }
std::string traceHeightText(double height) { return fixed(height, 0); }
std::string traceAreaText(double area) { return fixed(area, 0); }

PeakImport importTraces(const std::vector<SizedTrace>& traces, LogSink& log) {
    return unlessOutOfMemory([&] { return importSized(traces, log); },
                             [&] { return traceRefused("The trace files are too large to read into memory.", log); });
}

std::vector<TraceReviewRow> traceReview(const std::vector<SizedTrace>& traces) {
    std::vector<TraceReviewRow> rows;
    for (const SizedTrace& t : traces) {
        TraceReviewRow row{t.file, t.sample, t.well, t.standard, t.matched, t.expected, t.worstRSquared, t.sized, {}, {}};
        if (!t.problem.empty()) {
            row.messages = {t.problem};
            rows.push_back(std::move(row));
            continue;
        }
        std::array<int64_t, 256> perDye{};
        for (const SizedPeak& p : t.peaks)
            if (p.sized()) ++perDye[static_cast<unsigned char>(traceDyeLetter(static_cast<int>(t.dyeNames.size()), p.peak.dye))];
        row.peaks = dyesInChannelOrder(perDye);
        row.messages = t.messages;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> traceReviewTitles() {
    return {"file", "sample", "well", "standard", "matched", "expected", "worst R-squared", "message"};
}

std::vector<std::vector<std::string>> traceReviewCells(const std::vector<TraceReviewRow>& rows) {
    const auto clean = [](std::string text) {
        for (char& c : text)
            if (c == '\t' || c == '\n' || c == '\r') c = ' ';
        return text;
    };
    std::vector<std::vector<std::string>> out;
    for (const TraceReviewRow& r : rows) {
        std::string message;
        for (const std::string& m : r.messages) message += (message.empty() ? "" : " ") + m;
        out.push_back({clean(r.file), clean(r.sample), clean(r.well), clean(r.standard), std::to_string(r.matched),
                       std::to_string(r.expected), r.sized ? fixed(r.worstRSquared, 4) : std::string(),
                       clean(message)});
    }
    return out;
}

std::string traceReviewText(const std::vector<TraceReviewRow>& rows) {
    std::string out;
    std::vector<std::vector<std::string>> lines = traceReviewCells(rows);
    lines.insert(lines.begin(), traceReviewTitles());
    for (const auto& line : lines)
        for (size_t i = 0; i < line.size(); ++i) out += line[i] + (i + 1 < line.size() ? '\t' : '\n');
    return out;
}

std::string traceReviewText(const std::vector<SizedTrace>& traces) { return traceReviewText(traceReview(traces)); }

}  // namespace lociview
