#include "trace/TraceSizing.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "base/DevLog.h"
#include "base/OutOfMemory.h"
#include "trace/StandardMatch.h"

namespace lociview {

namespace {

// Standard peaks are looked for down to this height even when the user's
// minimum height for the sample peaks is higher.
constexpr double kStandardFloor = 50.0;

// Peaks like fragments that the standard leaves unmatched are allowed up
// to this many, or a fifth of its fragments; fragments missing between
// found ones up to one, or an eighth of them. More say the standard, or
// its place, is not the one in the dye.
constexpr int kUnexplained = 2;
constexpr int kGaps = 1;

// A fragment's top is split when another maximum of the standard dye, at
// least this share of its height, lies within its width at half height.
constexpr double kSplitTopShare = 0.8;

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

std::string dyeLabel(const SizedTrace& t, int dye) {
    const std::string& name = t.dyeNames[static_cast<size_t>(dye)];
    return name.empty() ? format("dye %d", dye + 1) : format("dye %d (%s)", dye + 1, name.c_str());
}

// One standard tried on the standard dye's peaks.
struct Attempt {
    const SizeStandard* standard = nullptr;
    StandardMatch match;
    std::vector<StandardFragment> fragments;
    std::vector<SizingPoint> points;
    int expected = 0, matched = 0;
    double worstRSquared = 0.0;

    int gaps = 0;  // used fragments missing between the first and last found

    bool enoughFound() const {
        return matched >= static_cast<int>(kMinStandardSizes) &&
               matched >= static_cast<int>(std::ceil(kMatchedShare * expected - 1e-9));
    }
    bool fewUnexplained() const { return match.unexplained <= std::max(kUnexplained, expected / 5); }
    bool fewGaps() const { return gaps <= std::max(kGaps, expected / 8); }
    bool enough() const { return enoughFound() && fewUnexplained() && fewGaps(); }
    double share() const { return expected > 0 ? static_cast<double>(matched) / expected : 0.0; }
};

// Better: enough before not enough, then the larger share found, then
// more fragments found (the kit whole before the kit less 250), then the
// better fit.
bool better(const Attempt& a, const Attempt& b) {
    if (a.enough() != b.enough()) return a.enough();
    if (a.share() != b.share()) return a.share() > b.share();
    if (a.matched != b.matched) return a.matched > b.matched;
    return a.worstRSquared > b.worstRSquared;
}

class StandardTrials {
public:
    explicit StandardTrials(const std::vector<StandardCandidate>& candidates) : candidates(candidates) {}

    Attempt attempt(const SizeStandard& standard) {
        Attempt a;
        a.standard = &standard;
        // Standards that share a kit (GS500 with and without 250) share its match.
        const auto known = std::find_if(matches.begin(), matches.end(),
                                        [&](const auto& m) { return m.first == standard.sizes; });
        a.match = known != matches.end()
                      ? known->second
                      : matches.emplace_back(standard.sizes, matchStandard(candidates, standard.sizes)).second;
        const std::vector<double> used = standard.usedSizes();
        a.expected = static_cast<int>(used.size());
        for (size_t k = 0; k < standard.sizes.size(); ++k) {
            const int peak = a.match.peakOf[k];
            if (peak < 0) continue;
            const StandardCandidate& c = candidates[static_cast<size_t>(peak)];
            const bool isUsed = std::find(used.begin(), used.end(), standard.sizes[k]) != used.end();
            a.fragments.push_back({standard.sizes[k], c.scan, c.height, isUsed, NAN});
            if (isUsed) a.points.push_back({static_cast<double>(c.scan), standard.sizes[k]});
        }
        a.matched = static_cast<int>(a.points.size());
        if (!a.points.empty())
            a.gaps = static_cast<int>(std::count_if(used.begin(), used.end(), [&](double size) {
                return size > a.points.front().size && size < a.points.back().size &&
                       std::none_of(a.points.begin(), a.points.end(), [&](const SizingPoint& p) { return p.size == size; });
            }));
        a.worstRSquared = worstThreePointRSquared(a.points);
        size_t i = 0;
        for (StandardFragment& f : a.fragments)
            if (f.used) f.residual = leaveOneOutResidual(a.points, i++).value_or(NAN);
        return a;
    }

private:
    const std::vector<StandardCandidate>& candidates;
    std::vector<std::pair<std::vector<double>, StandardMatch>> matches;
};

// The fragments whose tops noise has split into several maxima: their
// apex scans are uncertain by the distance between the maxima.
int splitTops(const std::vector<StandardFragment>& fragments, const std::vector<CalledPeak>& peaks) {
    int split = 0;
    for (const StandardFragment& f : fragments) {
        const auto own = std::find_if(peaks.begin(), peaks.end(), [&](const CalledPeak& p) { return p.scan == f.scan; });
        if (own == peaks.end()) continue;
        const double reach = std::max(2.0, own->width);
        split += std::any_of(peaks.begin(), peaks.end(), [&](const CalledPeak& p) {
            return p.scan != f.scan && std::abs(p.scan - f.scan) <= reach && p.height >= kSplitTopShare * f.height;
        });
    }
    return split;
}

// The standard to size with, and what to tell the user about the choice.
Attempt chooseStandard(SizedTrace& t, StandardTrials& trials, const SizingOptions& options,
                       std::optional<SizeStandard>& stored) {
    if (options.standard) return trials.attempt(*options.standard);
    stored = standardFromStoredName(t.storedStandard, t.dyeNames[static_cast<size_t>(t.standardDye)]);
    std::optional<Attempt> named;
    if (stored) {
        named = trials.attempt(*stored);
        if (named->enough()) return *named;
    }
    // The best of the standards known, those of the standard dye's
    // chemistry (LIZ, ROX) first, so that of equal fits theirs is named.
    const std::string& dyeName = t.dyeNames[static_cast<size_t>(t.standardDye)];
    std::vector<const SizeStandard*> order;
    for (const SizeStandard& s : options.standards)
        if (!dyeName.empty() && s.name.find(dyeName) != std::string::npos) order.push_back(&s);
    for (const SizeStandard& s : options.standards)
        if (std::find(order.begin(), order.end(), &s) == order.end()) order.push_back(&s);
    std::optional<Attempt> best = named;
    for (const SizeStandard* s : order) {
        Attempt a = trials.attempt(*s);
        if (!best || better(a, *best)) best = std::move(a);
    }
    if (!best) return Attempt{};
    // When nothing fits, the failure reported is that of the standard named.
    if (!best->enough() && named) return *named;
    if (best->enough() && (!named || best->standard != named->standard)) {
        if (stored)
            t.messages.push_back(format("In %s, the stored size standard \"%s\" does not fit: sized with %s, "
                                        "which fits best.",
                                        quoted(t.file).c_str(), t.storedStandard.c_str(), best->standard->name.c_str()));
        else if (!t.storedStandard.empty())
            t.messages.push_back(format("In %s, the stored size standard \"%s\" is not one Lociview knows: sized with "
                                        "%s, which fits best.",
                                        quoted(t.file).c_str(), t.storedStandard.c_str(), best->standard->name.c_str()));
    }
    return *best;
}

void sizeOne(SizedTrace& t, std::string_view bytes, const SizingOptions& options) {
    TraceRead read = readTrace(bytes, t.file);
    if (!read.trace) {
        t.problem = std::move(read.problem);
        return;
    }
    Trace& trace = *read.trace;
    t.sample = trace.sample.empty() ? fileStem(t.file) : trace.sample;
    t.well = trace.well;
    t.instrument = trace.instrument;
    t.model = trace.model;
    t.runStarted = trace.runStarted;
    t.storedStandard = trace.standardName;
    t.dyeNames = trace.dyeNames;
    t.normalization = trace.normalization;
    t.scans = static_cast<int32_t>(trace.scans());
    t.instrumentPeaks = std::move(trace.instrumentPeaks);
    t.standardDye = options.standardDye && *options.standardDye >= 0 && *options.standardDye < trace.dyes()
                        ? *options.standardDye
                        : trace.dyes() - 1;

    const double minHeight = std::max(options.minHeight, 1e-9);
    const double standardHeight = std::min(minHeight, kStandardFloor);
    std::vector<std::vector<CalledPeak>> called(static_cast<size_t>(trace.dyes()));
    t.signals.resize(static_cast<size_t>(trace.dyes()));
    for (int d = 0; d < trace.dyes(); ++d) {
        const std::vector<int16_t>& raw = trace.signals[static_cast<size_t>(d)];
        std::vector<float> corrected = baselineCorrected(raw, trace.normalization);
        called[static_cast<size_t>(d)] = callPeaks(corrected, raw, d, d == t.standardDye ? standardHeight : minHeight,
                                                   trace.offScale);
        if (options.keepSignals) t.signals[static_cast<size_t>(d)] = std::move(corrected);
    }
    if (!options.keepSignals) t.signals.clear();
    t.spikes = removeSpikes(called);
    if (!t.spikes.empty()) {
        std::string scans;
        for (const int32_t s : t.spikes) scans += (scans.empty() ? "" : ", ") + std::to_string(s);
        t.messages.push_back(format("In %s, %zu spike%s left out (scan %s).", quoted(t.file).c_str(),
                                    t.spikes.size(), t.spikes.size() == 1 ? " was" : "s were", scans.c_str()));
    }

    std::vector<StandardCandidate> candidates;
    for (const CalledPeak& p : called[static_cast<size_t>(t.standardDye)])
        candidates.push_back({p.scan, p.height, p.width});
    t.standardPeaks = static_cast<int>(candidates.size());
    StandardTrials trials(candidates);
    std::optional<SizeStandard> stored;
    const Attempt chosen = chooseStandard(t, trials, options, stored);
    if (chosen.standard) {
        t.standard = chosen.standard->name;
        t.expected = chosen.expected;
        t.matched = chosen.matched;
        t.worstRSquared = chosen.worstRSquared;
        t.sized = chosen.enough();
    }
    // A standard so weak that noise splits the tops of most of its
    // fragments places none of them to a scan: no size would be certain.
    const int split = t.sized ? splitTops(chosen.fragments, called[static_cast<size_t>(t.standardDye)]) : 0;
    if (2 * split > t.matched) {
        t.sized = false;
        double tallest = 0.0;
        for (const StandardFragment& f : chosen.fragments) tallest = std::max(tallest, f.height);
        t.standardProblem = format("the size standard %s is too weak to size with: %d of its %d fragments found in %s "
                                   "have no single top (the tallest is %.0f RFU), so their places, and every size, "
                                   "would be uncertain.",
                                   t.standard.c_str(), split, t.matched, dyeLabel(t, t.standardDye).c_str(), tallest);
    } else if (t.sized) {
        t.fragments = chosen.fragments;
        t.sizing = chosen.points;
        const auto offScale = [&](const StandardFragment& f) {
            const auto& peaks = called[static_cast<size_t>(t.standardDye)];
            return std::any_of(peaks.begin(), peaks.end(), [&](const CalledPeak& p) { return p.scan == f.scan && p.offScale; });
        };
        if (const auto clipped = std::count_if(t.fragments.begin(), t.fragments.end(), offScale); clipped > 0)
            t.messages.push_back(format("In %s, %d of the size standard's fragments are off scale: where their tops are "
                                        "cut off, the sizes are less certain.",
                                        quoted(t.file).c_str(), static_cast<int>(clipped)));
        if (t.poorFit())
            t.messages.push_back(format("In %s, the size standard %s fits poorly: the worst three-point R-squared is "
                                        "%.4f, below %.3f.",
                                        quoted(t.file).c_str(), t.standard.c_str(), t.worstRSquared,
                                        kPoorFitRSquared));
    } else if (split > 0) {
        // Said above.
    } else if (chosen.standard && chosen.enoughFound() && !chosen.fewUnexplained()) {
        t.standardProblem = format("the size standard %s does not fit %s: %d of its %d fragments were found, but %d "
                                   "more peaks look like fragments and match none of its sizes.",
                                   t.standard.c_str(), dyeLabel(t, t.standardDye).c_str(), t.matched, t.expected,
                                   chosen.match.unexplained);
    } else if (chosen.standard && chosen.enoughFound()) {
        t.standardProblem = format("the size standard %s does not fit %s: %d of its %d fragments were found, but %d "
                                   "fragments between them are missing.",
                                   t.standard.c_str(), dyeLabel(t, t.standardDye).c_str(), t.matched, t.expected,
                                   chosen.gaps);
    } else {
        t.standardProblem = format("the size standard %s could not be matched: %d of its %d fragments found among "
                                   "the %d peak%s of %s.",
                                   t.standard.c_str(), t.matched, t.expected, t.standardPeaks,
                                   t.standardPeaks == 1 ? "" : "s", dyeLabel(t, t.standardDye).c_str());
    }
    if (!t.standardProblem.empty())
        t.messages.push_back(format("In %s, %s No sizes are given.", quoted(t.file).c_str(), t.standardProblem.c_str()));

    // Sized here, on the sizing's threads, for drawing the signals.
    if (options.keepSignals && t.sized) t.scanSizes = localSouthernSizes(t.sizing, trace.scans());

    size_t total = 0;
    for (const auto& peaks : called) total += peaks.size();
    t.peaks.reserve(total);
    for (int d = 0; d < trace.dyes(); ++d)
        for (const CalledPeak& p : called[static_cast<size_t>(d)]) {
            if (d == t.standardDye && p.height < minHeight) continue;
            SizedPeak& sized = t.peaks.emplace_back();
            sized.peak = p;
            if (t.sized) sized.size = localSouthernSize(t.sizing, p.scan).value_or(NAN);
        }
}

}  // namespace

std::string fileStem(std::string_view name) {
    const size_t slash = name.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const size_t dot = base.rfind('.');
    if (dot != std::string_view::npos && dot > 0) base = base.substr(0, dot);
    return std::string(base.empty() ? name : base);
}

std::optional<double> SizedTrace::sizeAt(double scan) const {
    if (!sized) return std::nullopt;
    return localSouthernSize(sizing, scan);
}

SizedTrace sizeTrace(std::string_view bytes, std::string_view fileName, const SizingOptions& options) {
    return unlessOutOfMemory(
        [&] {
            SizedTrace t;
            t.file = std::string(fileName);
            sizeOne(t, bytes, options);
            return t;
        },
        [&] {
            SizedTrace t;
            t.file = std::string(fileName);
            t.problem = format("Cannot read %s: there is not enough memory to hold it.", quoted(fileName).c_str());
            return t;
        });
}

std::vector<SizedTrace> sizeTraces(std::span<const TraceSource> files, const SizingOptions& options,
                                   unsigned threads) {
    std::vector<SizedTrace> out(files.size());
    unsigned workers = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
    workers = static_cast<unsigned>(std::min<size_t>(workers, files.size()));
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i; (i = next.fetch_add(1)) < files.size();)
            out[i] = sizeTrace(files[i].bytes, files[i].name, options);
    };
    if (workers <= 1) {
        work();
        return out;
    }
    std::vector<std::thread> pool;
    pool.reserve(workers - 1);
    try {
        for (unsigned w = 1; w < workers; ++w) pool.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: those started and this one do the rest.
    }
    work();
    for (std::thread& thread : pool) thread.join();
    return out;
}

}  // namespace lociview
