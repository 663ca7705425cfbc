// Calling and sizing synthetic runs whose truth is known: sample peaks at
// whole scans of a smooth non-linear mobility, a standard with the primer
// peak, blobs, noise, spikes, missing, weak or wrongly named; then the
// pieces: peak calling, Local Southern and the size standards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/AbifWriter.h"
#include "trace/StandardMatch.h"
#include "trace/TraceSizing.h"

namespace lociview {
namespace {

using testing::RunPeak;
using testing::SyntheticRun;

struct Truth {
    int dye;
    int32_t scan;
    double size, height;
};

// Sample peaks in every dye but the standard's, centred on whole scans.
std::vector<Truth> addSamplePeaks(SyntheticRun& run) {
    std::vector<Truth> truth;
    const double sizes[] = {80.4, 151.2, 237.9, 301.5, 388.6, 466.1};
    for (int d = 0; d + 1 < run.dyes; ++d)
        for (size_t i = 0; i < std::size(sizes); ++i) {
            const int32_t scan = static_cast<int32_t>(std::lround(run.mobility.scan(sizes[i] + 3.3 * d)));
            const double height = 300.0 + 450.0 * static_cast<double>((i + static_cast<size_t>(d)) % 6);
            run.peaks.push_back({d, static_cast<double>(scan), height, 2.0});
            truth.push_back({d, scan, run.mobility.size(scan), height});
        }
    return truth;
}

const std::vector<double> kGs600 = {20,  40,  60,  80,  100, 114, 120, 140, 160, 180, 200, 214,
                                    220, 240, 250, 260, 280, 300, 314, 320, 340, 360, 380, 400,
                                    414, 420, 440, 460, 480, 500, 514, 520, 540, 560, 580, 600};

struct SizingCase {
    const char* name;
    std::function<void(SyntheticRun&, SizingOptions&)> setUp;
    bool sized;
    const char* standard;
    int matched, expected;
    const char* message;  // found in one of the messages; "" when there must be none
};

class TraceSizing : public ::testing::TestWithParam<SizingCase> {};

TEST_P(TraceSizing, SizesWithinAFiftiethOfABasePair) {
    const SizingCase& c = GetParam();
    SyntheticRun run;
    SizingOptions options;
    c.setUp(run, options);
    const std::vector<Truth> truth = addSamplePeaks(run);
    const SizedTrace t = sizeTrace(testing::writeRun(run), "run.fsa", options);
    ASSERT_EQ(t.problem, "");
    EXPECT_EQ(t.sized, c.sized);
    EXPECT_EQ(t.standard, c.standard);
    EXPECT_EQ(t.matched, c.matched);
    EXPECT_EQ(t.expected, c.expected);
    EXPECT_EQ(t.standardDye, run.dyes - 1);
    std::string said;
    for (const std::string& m : t.messages) said += m + "\n";
    if (*c.message) EXPECT_NE(said.find(c.message), std::string::npos) << said;
    else EXPECT_EQ(said, "");
    for (const std::string& m : t.messages) EXPECT_EQ(m.rfind("In \"run.fsa\", ", 0), 0u) << m;

    const double factor = run.normalization.value_or(1.0);
    int sampleSized = 0;
    for (const SizedPeak& p : t.peaks) {
        EXPECT_TRUE(c.sized || !p.sized());
        if (p.peak.dye != t.standardDye && p.sized()) ++sampleSized;
    }
    if (!c.sized) return;
    // Every sample peak found at its scan, sized and measured; nothing else
    // sized in the sample dyes (not the primer, the spike or the noise).
    EXPECT_EQ(sampleSized, static_cast<int>(truth.size()));
    for (const Truth& want : truth) {
        const auto found = std::find_if(t.peaks.begin(), t.peaks.end(), [&](const SizedPeak& p) {
            return p.peak.dye == want.dye && p.peak.scan == want.scan;
        });
        ASSERT_NE(found, t.peaks.end()) << "dye " << want.dye << " scan " << want.scan;
        EXPECT_NEAR(found->size, want.size, 0.05) << "dye " << want.dye << " scan " << want.scan;
        EXPECT_NEAR(found->peak.height, want.height * factor, (0.02 * want.height + 10) * factor);
    }
    for (const StandardFragment& f : t.fragments)
        EXPECT_NEAR(f.scan, run.mobility.scan(f.size), 1.0) << f.size << " bp matched to another peak";
}

void storedAs(SyntheticRun& run, const char* name) { run.storedStandard = name; }

INSTANTIATE_TEST_SUITE_P(
    Runs, TraceSizing,
    ::testing::Values(
        SizingCase{"FiveDyes", [](SyntheticRun&, SizingOptions&) {}, true, "GS500LIZ", 16, 16, ""},
        SizingCase{"FourDyesRoxInDyeFour", [](SyntheticRun& r, SizingOptions&) { r.dyes = 4; storedAs(r, "GS500ROX"); },
                   true, "GS500ROX", 16, 16, ""},
        SizingCase{"SixDyes", [](SyntheticRun& r, SizingOptions&) { r.dyes = 6; }, true, "GS500LIZ", 16, 16, ""},
        SizingCase{"NormalizedHeights", [](SyntheticRun& r, SizingOptions&) { r.normalization = 3.0; }, true,
                   "GS500LIZ", 16, 16, ""},
        SizingCase{"StoredWithout250", [](SyntheticRun& r, SizingOptions&) { storedAs(r, "GSLIZ500-250POP6.szs"); },
                   true, "GS500LIZ-250", 15, 15, ""},
        SizingCase{"FirstAndLastFragmentMissing",
                   [](SyntheticRun& r, SizingOptions&) { r.standard = {50, 75, 100, 139, 150, 160, 200, 250, 300, 340, 350, 400, 450, 490}; },
                   true, "GS500LIZ", 14, 16, ""},
        SizingCase{"TwoFragmentsMissingBetween",
                   [](SyntheticRun& r, SizingOptions&) { r.standard = {35, 50, 75, 100, 139, 150, 160, 250, 300, 340, 400, 450, 490, 500}; },
                   true, "GS500LIZ", 14, 16, ""},
        SizingCase{"NoiseAndBleedThroughInTheStandardDye",
                   [](SyntheticRun& r, SizingOptions&) {
                       for (int i = 0; i < 14; ++i)
                           r.peaks.push_back({r.dyes - 1, 1300.0 + 517.0 * i, 120.0 + 40.0 * (i % 5), 2.0});
                       // Bleed-through of a tall sample peak near 200 bp: near, but not of the fragments' height.
                       r.peaks.push_back({r.dyes - 1, 4020.0, 4000.0, 2.0});
                   },
                   true, "GS500LIZ", 16, 16, ""},
        // More peaks than matching tries: the fragments are among the tallest.
        SizingCase{"DyeFullOfNoise",
                   [](SyntheticRun& r, SizingOptions&) {
                       r.primer = false;
                       r.peaks.push_back({r.dyes - 1, 600.0, 70.0, 2.0});
                       for (int i = 0; i < 120; ++i)
                           r.peaks.push_back({r.dyes - 1, 1040.0 + 61.3 * i, 100.0 + 10.0 * (i % 16), 2.0});
                   },
                   true, "GS500LIZ", 16, 16, ""},
        SizingCase{"WeakStandard", [](SyntheticRun& r, SizingOptions&) { r.standardHeight = 110; r.noise = 12; }, true,
                   "GS500LIZ", 16, 16, ""},
        SizingCase{"Spike", [](SyntheticRun& r, SizingOptions&) { r.spike = 4321; }, true, "GS500LIZ", 16, 16,
                   "1 spike was left out (scan 4321)"},
        SizingCase{"StoredNameUnknown", [](SyntheticRun& r, SizingOptions&) { storedAs(r, "Promega_ILS"); }, true,
                   "GS500LIZ", 16, 16, "\"Promega_ILS\" is not one Lociview knows: sized with GS500LIZ"},
        SizingCase{"StoredNameWrong", [](SyntheticRun& r, SizingOptions&) { storedAs(r, "GS600LIZ"); }, true,
                   "GS500LIZ", 16, 16, "\"GS600LIZ\" does not fit: sized with GS500LIZ"},
        SizingCase{"ChosenGs600",
                   [](SyntheticRun& r, SizingOptions& o) {
                       r.standard = kGs600;
                       r.scans = 10000;
                       storedAs(r, "");
                       o.standard = *standardNamed("GS600LIZ", o.standards);
                   },
                   true, "GS600LIZ", 36, 36, ""},
        SizingCase{"ChosenSizesWithout250",
                   [](SyntheticRun&, SizingOptions& o) {
                       o.standard = chooseStandard("35,50,75,100,139,150,160,200,300,340,350,400,450,490,500", {}).standard;
                   },
                   true, "35-500 (15 sizes)", 15, 15, ""},
        SizingCase{"NoStandard", [](SyntheticRun& r, SizingOptions&) { r.standard = {}; }, false, "GS500LIZ", 0, 16,
                   "the size standard GS500LIZ could not be matched: 0 of its 16 fragments found among the 1 peak "
                   "of dye 5 (LIZ). No sizes are given."},
        SizingCase{"TooFewStandardPeaks", [](SyntheticRun& r, SizingOptions&) { r.standard = {100, 200, 300}; },
                   false, "GS500LIZ", 3, 16, "could not be matched: 3 of its 16 fragments"},
        // A ladder going on past the standard's last fragment is another
        // standard; so is one with fragments missing between those found:
        // nothing is sized rather than wrongly.
        SizingCase{"LadderGoingOnPastTheStandard",
                   [](SyntheticRun& r, SizingOptions&) {
                       for (int s = 525; s <= 700; s += 25) r.standard.push_back(s);
                       r.scans = 11000;
                   },
                   false, "GS500LIZ", 16, 16,
                   "does not fit dye 5 (LIZ): 16 of its 16 fragments were found, but 8 more peaks look like fragments"},
        SizingCase{"ThreeFragmentsMissingBetween",
                   [](SyntheticRun& r, SizingOptions&) { r.standard = {35, 50, 100, 139, 150, 160, 200, 300, 340, 350, 450, 490, 500}; },
                   false, "GS500LIZ", 13, 16, "13 of its 16 fragments were found, but 3 fragments between them are missing"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TraceSizing, OffScalePeaksAreMarked) {
    SyntheticRun run;
    run.peaks = {{0, 3000, 40000, 2.5}, {1, 5000, 900, 2.0}};
    run.offScale = {5001};
    const SizedTrace t = sizeTrace(testing::writeRun(run), "run.fsa", SizingOptions{});
    std::vector<std::pair<int32_t, bool>> sample;
    for (const SizedPeak& p : t.peaks)
        if (p.peak.dye < 2 && p.sized()) sample.emplace_back(p.peak.scan, p.peak.offScale);
    // The clipped peak's apex is the middle of its flat top.
    EXPECT_EQ(sample, (std::vector<std::pair<int32_t, bool>>{{3000, true}, {5000, true}}));
}

TEST(TraceSizing, TheStandardDyeCanBeChosen) {
    SyntheticRun run;
    addSamplePeaks(run);
    const std::string bytes = testing::writeRun(run);
    SizingOptions options;
    options.standardDye = 0;
    SizedTrace t = sizeTrace(bytes, "run.fsa", options);
    EXPECT_EQ(t.standardDye, 0);
    EXPECT_FALSE(t.sized);
    ASSERT_FALSE(t.messages.empty());
    EXPECT_NE(t.messages.back().find("of dye 1 (6-FAM)"), std::string::npos) << t.messages.back();
    options.standardDye = 5;  // there is none: the last dye's
    t = sizeTrace(bytes, "run.fsa", options);
    EXPECT_EQ(t.standardDye, 4);
    EXPECT_TRUE(t.sized);
}

TEST(TraceSizing, ManyFilesSideBySideGiveWhatOneByOneGives) {
    std::vector<std::string> bytes;
    std::vector<TraceSource> files;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SyntheticRun run;
        run.seed = seed;
        run.standard = seed == 4 ? std::vector<double>{} : testing::kGs500Sizes;
        addSamplePeaks(run);
        bytes.push_back(testing::writeRun(run));
    }
    bytes.push_back("not a trace");
    for (size_t i = 0; i < bytes.size(); ++i) files.push_back({"f" + std::to_string(i), bytes[i]});
    const std::vector<SizedTrace> together = sizeTraces(files, SizingOptions{}, 3);
    ASSERT_EQ(together.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const SizedTrace alone = sizeTrace(files[i].bytes, files[i].name, SizingOptions{});
        EXPECT_EQ(together[i].file, files[i].name);
        EXPECT_EQ(together[i].problem, alone.problem);
        EXPECT_EQ(together[i].messages, alone.messages);
        ASSERT_EQ(together[i].peaks.size(), alone.peaks.size());
        for (size_t p = 0; p < alone.peaks.size(); ++p)
            EXPECT_TRUE(together[i].peaks[p].peak.scan == alone.peaks[p].peak.scan &&
                        (together[i].peaks[p].size == alone.peaks[p].size || !alone.peaks[p].sized()));
    }
}

// ---------------------------------------------------------------------------
// The pieces.

double gauss(double x, double centre, double height) { return height * std::exp(-0.5 * (x - centre) * (x - centre) / 4.0); }

TEST(PeakCalling, ApexAtTheHighestScanWithoutSmoothing) {
    std::vector<int16_t> raw;
    for (int s = 0; s < 800; ++s) {
        const double v = 100 + gauss(s, 200, 1000) + gauss(s, 207, 500) + gauss(s, 300, 800) + gauss(s, 400, 40000) +
                         gauss(s, 600, 20);
        raw.push_back(static_cast<int16_t>(std::min(32767.0, std::round(v))));
    }
    const std::vector<float> y = baselineCorrected(raw, 2.0);
    const std::vector<int32_t> listed = {299};
    const std::vector<CalledPeak> peaks = callPeaks(y, raw, 3, 50.0, listed);
    ASSERT_EQ(peaks.size(), 4u);  // not the one at 600, 40 RFU high
    EXPECT_EQ(peaks[0].scan, 200);
    EXPECT_EQ(peaks[0].dye, 3);
    EXPECT_NEAR(peaks[0].height, 2000, 4);
    EXPECT_EQ(peaks[0].begin, 192);
    EXPECT_EQ(peaks[0].end, 204);  // the valley before the shoulder peak
    EXPECT_FALSE(peaks[0].offScale);
    EXPECT_EQ(peaks[1].scan, 207);  // a shoulder seven scans on stays a peak of its own
    EXPECT_NEAR(peaks[1].height, 2 * 502.2, 4);
    // Half height between whole scans, interpolated: 2.378 scans each side.
    EXPECT_EQ(peaks[2].scan, 300);
    EXPECT_NEAR(peaks[2].width, 4.756, 0.01);
    EXPECT_TRUE(peaks[2].offScale);  // listed off scale
    EXPECT_EQ(peaks[3].scan, 400);   // the middle of the clipped top
    EXPECT_TRUE(peaks[3].offScale);
    double area = 0;
    for (int s = peaks[3].begin; s <= peaks[3].end; ++s) area += y[static_cast<size_t>(s)];
    EXPECT_DOUBLE_EQ(peaks[3].area, area);
}

// A top flat at whole scans (a peak centred between two, one clipped at the
// ceiling whatever the baseline's slope, one the file lists off scale
// whose top wobbles) is one peak with its apex in the middle.
TEST(PeakCalling, FlatTopsHaveTheirApexInTheMiddle) {
    struct Case {
        const char* name;
        std::function<double(int)> signal;
        std::vector<int32_t> listed;
        std::vector<int32_t> apexes;
    };
    const double wobble[] = {7590, 7600, 7605, 7592, 7585, 7598, 7603, 7597, 7590};
    for (const Case& c : {
             Case{"BetweenTwoScans", [](int s) { return 100 + gauss(s, 300.5, 600); }, {}, {300}},
             Case{"ClippedOnARisingBaseline", [](int s) { return 100 + 0.3 * s + gauss(s, 400, 60000); }, {}, {400}},
             Case{"ClippedOnAFallingBaseline", [](int s) { return 100 + 0.3 * (800 - s) + gauss(s, 400, 60000); }, {}, {400}},
             Case{"ListedOffScale",
                  [&](int s) { return s >= 2925 && s <= 2933 ? wobble[s - 2925] : 100 + gauss(s, 2929, 7500 * 4); },
                  {2925, 2926, 2927, 2928, 2929, 2930, 2931, 2932, 2933},
                  {2929}}}) {
        std::vector<int16_t> raw;
        for (int s = 0; s < 3400; ++s)
            raw.push_back(static_cast<int16_t>(std::clamp(std::round(c.signal(s)), -32768.0, 32767.0)));
        std::vector<int32_t> apexes;
        for (const CalledPeak& p : callPeaks(baselineCorrected(raw, 1.0), raw, 0, 50.0, c.listed)) apexes.push_back(p.scan);
        EXPECT_EQ(apexes, c.apexes) << c.name;
    }
}

TEST(LocalSouthern, ReproducesACurveOfItsOwnForm) {
    const auto size = [](double x) { return 700.0 - 2.0e6 / (x + 2000.0); };
    std::vector<SizingPoint> points;
    for (const double x : {1000, 1400, 2000, 2600, 3500, 4700, 6000, 8000}) points.push_back({x, size(x)});
    for (double x = 1000; x <= 8000; x += 37.5) EXPECT_NEAR(*localSouthernSize(points, x), size(x), 1e-9) << x;
    EXPECT_FALSE(localSouthernSize(points, 999.9));
    EXPECT_FALSE(localSouthernSize(points, 8000.1));
    EXPECT_FALSE(localSouthernSize(std::span(points).first(2), 1200));
    for (size_t i = 0; i < points.size(); ++i) EXPECT_NEAR(*leaveOneOutResidual(points, i), 0.0, 1e-6) << i;
    points[3].size += 2.0;  // a fragment running 2 bp off
    EXPECT_NEAR(*leaveOneOutResidual(points, 3), 2.0, 1e-9);
    // Straight points fit perfectly; a bend of 2 bp among 40 does not.
    EXPECT_DOUBLE_EQ(worstThreePointRSquared(std::vector<SizingPoint>{{0, 0}, {10, 1}, {20, 2}, {30, 3}}), 1.0);
    EXPECT_NEAR(worstThreePointRSquared(std::vector<SizingPoint>{{0, 0}, {10, 1}, {20, 2}, {30, 3.2}}), 0.99725, 1e-5);
}

TEST(SizeStandards, StoredNamesAsInstrumentsWriteThem) {
    struct Case {
        const char* stored;
        const char* dye;
        const char* name;  // "" for none
        size_t used;
    };
    for (const Case& c : {Case{"GS600LIZ(60-600)+Normalization", "LIZ", "GS600LIZ(60-600)", 34},
                          Case{"GSLIZ500-250POP6.szs", "LIZ", "GS500LIZ-250", 15},
                          Case{"GSLIZ500-250POP6.szs", "ROX", "GS500ROX-250", 15},
                          Case{"GS500ROX", "", "GS500ROX", 16},
                          Case{"gs600liz", "", "GS600LIZ", 36},
                          Case{"Promega_CC5_ILS", "", "", 0},
                          Case{"", "", "", 0}}) {
        const std::optional<SizeStandard> s = standardFromStoredName(c.stored, c.dye);
        EXPECT_EQ(s ? s->name : "", c.name) << c.stored;
        EXPECT_EQ(s ? s->usedSizes().size() : 0, c.used) << c.stored;
    }
}

TEST(SizeStandards, ChosenByNameOrSizes) {
    struct Case {
        const char* text;
        const char* name;     // "" when refused
        const char* problem;  // found in the refusal
    };
    for (const Case& c : {Case{"gs500 liz-250", "GS500LIZ-250", ""},
                          Case{" 100, 35,50 ,75", "35-100 (4 sizes)", ""},
                          Case{"35,50,75", "", "needs at least 4 sizes, not 3"},
                          Case{"35,50,,75,100", "", "a size is missing between two commas"},
                          Case{"35,50,75,100 bp", "", "\"100 bp\" is not a size in bp"},
                          Case{"0,35,50,75", "", "0 is not a positive size"},
                          Case{"35,50,75,50", "", "50 bp is given twice"},
                          Case{"ILS600", "", "\"ILS600\" is neither a size standard Lociview knows (GS500LIZ, "
                                             "GS500LIZ-250, GS500ROX, GS500ROX-250, GS600LIZ) nor a list of sizes"}}) {
        const StandardChoice choice = chooseStandard(c.text, builtInStandards());
        EXPECT_EQ(choice.standard ? choice.standard->name : "", c.name) << c.text;
        EXPECT_NE(choice.problem.find(c.problem), std::string::npos) << c.text << ": " << choice.problem;
    }
}

}  // namespace
}  // namespace lociview
