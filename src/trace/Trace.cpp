#include "trace/Trace.h"

#include <algorithm>
#include <cmath>

#include "base/DevLog.h"
#include "base/NumberText.h"
#include "trace/Abif.h"

namespace lociview {

namespace {

// A height factor beyond any instrument's: the item is taken as damaged.
constexpr double kMaxNormalization = 1000.0;

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    size_t start = 0;
    while (start < text.size() && blank(text[start])) ++start;
    return text.substr(start);
}

std::string textItem(const AbifDirectory& dir, std::string_view tag, int32_t number) {
    const AbifItem* item = dir.find(tag, number);
    if (!item) return {};
    return trimmed(abifText(dir, *item).value_or(std::string()));
}

std::optional<std::vector<double>> numbersItem(const AbifDirectory& dir, std::string_view tag, int32_t number) {
    const AbifItem* item = dir.find(tag, number);
    if (!item) return std::nullopt;
    return abifNumbers(dir, *item);
}

// RUND (year as 16 bits, month, day) and RUNT (hour, minute, second,
// hundredths) as "YYYY-MM-DD HH:MM:SS".
std::string runStart(const AbifDirectory& dir) {
    const AbifItem* date = dir.find("RUND", 1);
    const AbifItem* time = dir.find("RUNT", 1);
    if (!date || date->type != kAbifDate || date->data.size() < 4 || !abifItemProblem(dir, *date).empty())
        return {};
    const auto* d = reinterpret_cast<const unsigned char*>(date->data.data());
    std::string out = format("%04d-%02d-%02d", d[0] << 8 | d[1], d[2], d[3]);
    if (time && time->type == kAbifTime && time->data.size() >= 4 && abifItemProblem(dir, *time).empty()) {
        const auto* t = reinterpret_cast<const unsigned char*>(time->data.data());
        out += format(" %02d:%02d:%02d", t[0], t[1], t[2]);
    }
    return out;
}

std::vector<InstrumentPeak> instrumentPeaks(const AbifDirectory& dir) {
    const auto dye = numbersItem(dir, "Peak", 1), scan = numbersItem(dir, "Peak", 2),
               height = numbersItem(dir, "Peak", 7), area = numbersItem(dir, "Peak", 10),
               size = numbersItem(dir, "Peak", 12);
    if (!dye || !scan || !height || !area || !size) return {};
    const size_t n = dye->size();
    if (scan->size() != n || height->size() != n || area->size() != n || size->size() != n) return {};
    std::vector<InstrumentPeak> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = {saturatingInt((*dye)[i]), saturatingInt((*scan)[i]), (*height)[i], (*area)[i], (*size)[i]};
    return out;
}

// Why the dye's signal cannot be read, or "" with `out` filled.
std::string readSignal(const AbifDirectory& dir, int dye, std::vector<int16_t>& out) {
    const AbifItem* item = dir.find("DATA", dyeItemNumber(dye));
    if (!item) return format("it has no signal for dye %d (DATA.%d)", dye, dyeItemNumber(dye));
    if (std::string problem = abifItemProblem(dir, *item); !problem.empty()) return problem;
    if (item->type >= 28 && item->type <= 34 && item->elementSize != 2)
        return format("its signals are stored in a form Lociview cannot read (%s: element type %d, %d-byte "
                      "elements); open the run's .fsa files instead",
                      item->name().c_str(), item->type, item->elementSize);
    std::optional<std::vector<int16_t>> signal = abifShorts(dir, *item);
    if (!signal)
        return format("%s is not a 16-bit signal (element type %d, %d-byte elements)", item->name().c_str(),
                      item->type, item->elementSize);
    out = std::move(*signal);
    return {};
}

std::string problemOf(const AbifDirectory& dir, Trace& trace) {
    if (!dir.problem.empty()) return dir.problem;
    int dyes = 0;
    if (const auto count = numbersItem(dir, "Dye#", 1); count && !count->empty()) {
        const double n = count->front();
        if (!(n >= 1 && n <= kMaxDyes))
            return format("it gives a dye count of %g; Lociview reads files of 1 to %d dyes", n, kMaxDyes);
        dyes = static_cast<int>(n);
    } else {
        // No dye count: the channels there are, in order.
        while (dyes < kMaxDyes && dir.find("DATA", dyeItemNumber(dyes + 1))) ++dyes;
        if (dyes == 0) return "it holds no dye signals (no DATA.1)";
    }
    trace.signals.resize(static_cast<size_t>(dyes));
    for (int d = 1; d <= dyes; ++d) {
        if (std::string problem = readSignal(dir, d, trace.signals[static_cast<size_t>(d - 1)]); !problem.empty())
            return problem;
        if (trace.signals[static_cast<size_t>(d - 1)].size() != trace.signals.front().size())
            return format("its dye signals differ in length (DATA.%d has %zu scans, DATA.%d has %zu)",
                          dyeItemNumber(1), trace.signals.front().size(), dyeItemNumber(d),
                          trace.signals[static_cast<size_t>(d - 1)].size());
    }
    if (trace.signals.front().empty()) return "its dye signals are empty";
    return {};
}

}  // namespace

int32_t dyeItemNumber(int dye) { return dye <= 4 ? dye : 100 + dye; }

TraceRead readTrace(std::string_view bytes, std::string_view fileName) {
    TraceRead read;
    const AbifDirectory dir = readAbifDirectory(bytes);
    Trace trace;
    if (std::string problem = problemOf(dir, trace); !problem.empty()) {
        read.problem = format("Cannot read \"%.*s\": %s.", static_cast<int>(fileName.size()), fileName.data(),
                              problem.c_str());
        return read;
    }
    trace.sample = textItem(dir, "SpNm", 1);
    trace.well = textItem(dir, "TUBE", 1);
    trace.instrument = textItem(dir, "MCHN", 1);
    trace.model = textItem(dir, "MODL", 1);
    trace.standardName = textItem(dir, "StdF", 1);
    trace.runStarted = runStart(dir);
    for (int d = 1; d <= trace.dyes(); ++d) trace.dyeNames.push_back(textItem(dir, "DyeN", d));
    if (const auto factor = numbersItem(dir, "NrmS", 1);
        factor && !factor->empty() && factor->front() > 0 && factor->front() <= kMaxNormalization)
        trace.normalization = factor->front();
    if (const auto scans = numbersItem(dir, "OfSc", 1)) {
        for (const double s : *scans)
            if (s >= 0 && s < static_cast<double>(trace.scans())) trace.offScale.push_back(static_cast<int32_t>(s));
        std::sort(trace.offScale.begin(), trace.offScale.end());
    }
    trace.instrumentPeaks = instrumentPeaks(dir);
    read.trace = std::move(trace);
    return read;
}

}  // namespace lociview
