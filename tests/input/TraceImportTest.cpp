// Sized traces as a data set: a lane per file in the order given, dyes
// lettered by position, the standard's peaks under its own letter, unsized
// peaks left out; refusals; the review per file; what lanes take from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "input/TraceImport.h"
#include "input/TraceLanes.h"
#include "support/AbifWriter.h"

namespace lociview {
namespace {

using testing::SyntheticRun;

SizedTrace sized(int dyes, const std::string& sample, const std::string& file, std::vector<double> standard) {
    SyntheticRun run;
    run.dyes = dyes;
    run.sample = sample;
    run.standard = std::move(standard);
    for (int d = 0; d + 1 < dyes; ++d) run.peaks.push_back({d, run.mobility.scan(150.0 + 10 * d), 700.0, 2.0});
    return sizeTrace(testing::writeRun(run), file, SizingOptions{});
}

TEST(TraceImport, ALanePerFileDyesByPosition) {
    const std::vector<SizedTrace> traces = {sized(4, "A", "runs/a.fsa", testing::kGs500Sizes),
                                            sized(6, "", "runs/b.fsa", testing::kGs500Sizes),
                                            sized(5, "C", "c.fsa", {})};  // its standard fails
    NullLog log;
    const PeakImport im = importTraces(traces, log);
    ASSERT_EQ(im.status, ImportStatus::Imported) << im.message;
    EXPECT_EQ(im.layout, PeakLayout::Traces);
    EXPECT_EQ(sampleTableText(im, 'B'), "lane\tsample\tfile\tpeaks\n1\tA\truns/a.fsa\t1\n2\tb\truns/b.fsa\t1\n3\tC\tc.fsa\t0\n");
    std::string dyes;
    for (const DyeCount& d : im.dyes) dyes += std::string(1, d.dye) + std::to_string(d.peaks) + " ";
    // Four dyes: B G Y and the standard R; six: B G Y R P and the standard O.
    EXPECT_EQ(dyes, "B2 G2 Y2 R17 O16 P1 ");
    EXPECT_EQ(defaultDye(im), 'B');
    EXPECT_EQ(sizeStandardDye(im), 'O');
    const std::vector<PeakRow> rows = classicRows(im, 'P');
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "2");
    EXPECT_NEAR(std::stod(std::string(rows[0][4])), 190.0, 0.05);
    // The failed standard and the unsized primer peaks are said.
    std::string notes;
    for (const std::string& n : im.notes) notes += n + "\n";
    EXPECT_NE(notes.find("In \"c.fsa\", the size standard GS500LIZ could not be matched"), std::string::npos) << notes;
    EXPECT_NE(notes.find("peaks outside the size standard's range, or in a file whose standard could not be matched, "
                         "have no size and are left out."),
              std::string::npos)
        << notes;

    std::vector<std::string> lines;
    const std::string text = traceReviewText(traces);
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "file\tsample\twell\tstandard\tmatched\texpected\tworst R-squared\tmessage");
    EXPECT_EQ(lines[1].rfind("runs/a.fsa\tA\tA01\tGS500ROX\t16\t16\t0.99", 0), 0u) << lines[1];
    EXPECT_EQ(lines[1].back(), '\t');  // no message
    EXPECT_EQ(lines[3].rfind("c.fsa\tC\tA01\tGS500LIZ\t0\t16\t\tIn \"c.fsa\", the size standard", 0), 0u) << lines[3];
    const std::vector<TraceReviewRow> review = traceReview(traces);
    ASSERT_EQ(review.size(), 3u);
    EXPECT_TRUE(review[0].sized && !review[2].sized);
    EXPECT_EQ(review[1].peaks.size(), 6u);
    EXPECT_EQ(review[2].peaks.size(), 0u);
}

// What a lane takes from its trace: the scored dye's signal sized scan by
// scan, the standard's fit (or why it failed) with its own dye's signal and
// stray peaks, the spikes, and the mark of the peaks that saturated.
TEST(TraceImport, LanesTakeWhatOnlyTheirTracesGive) {
    SyntheticRun run;
    run.peaks = {{0, run.mobility.scan(150.0), 700.0, 2.0}, {0, run.mobility.scan(200.0), 40000.0, 3.0}};
    run.spike = 4321;
    run.standard.erase(std::find(run.standard.begin(), run.standard.end(), 340.0));  // a fragment the ladder lacks
    const std::vector<SizedTrace> traces = {sizeTrace(testing::writeRun(run), "a.fsa", SizingOptions{}),
                                            sized(5, "C", "c.fsa", {})};
    const std::vector<LaneData> parts = traceLaneParts(traces, 'B', builtInStandards());
    ASSERT_EQ(parts.size(), 2u);

    const LaneData& a = parts[0];
    EXPECT_EQ(std::tuple(a.lane, a.sample), std::tuple(1, std::string("S01")));
    ASSERT_TRUE(a.signal && a.standard && a.standard->signal);
    EXPECT_EQ(a.signal->rfu, traces[0].signals[0]);
    ASSERT_EQ(a.signal->size.size(), a.signal->rfu.size());
    EXPECT_TRUE(std::isnan(a.signal->size[100]));  // before the first fragment
    EXPECT_NEAR(a.signal->size[static_cast<size_t>(std::lround(run.mobility.scan(150.0)))], 150.0, 0.3);
    // Sized in one sweep as scan by scan.
    for (size_t scan = 0; scan < a.signal->size.size(); ++scan) {
        const std::optional<double> size = localSouthernSize(traces[0].sizing, static_cast<double>(scan));
        if (size) ASSERT_EQ(a.signal->size[scan], static_cast<float>(*size)) << scan;
        else ASSERT_TRUE(std::isnan(a.signal->size[scan])) << scan;
    }
    const StandardFit& fit = *a.standard;
    EXPECT_FALSE(fit.failed());
    EXPECT_GT(fit.worstRSquared.value_or(0.0), 0.998);
    std::vector<double> expected;
    for (const StandardPeak& p : fit.peaks) {
        expected.push_back(p.expectedSize);
        EXPECT_EQ(p.matched, p.expectedSize != 340.0) << p.expectedSize;
        EXPECT_TRUE(p.used);
        if (!p.matched) continue;
        EXPECT_NEAR(p.scan, run.mobility.scan(p.expectedSize), 1.0);
        EXPECT_LT(std::abs(p.residual), 0.5);
    }
    EXPECT_EQ(expected, testing::kGs500Sizes);  // the one not found too
    EXPECT_EQ(*fit.signal, traces[0].signals[4]);
    ASSERT_FALSE(fit.stray.empty());  // the primer peak
    EXPECT_LT(fit.stray[0].scan, run.mobility.scan(35.0));
    ASSERT_EQ(a.spikes.size(), 1u);
    EXPECT_EQ(a.spikes[0].scan, 4321);
    EXPECT_NEAR(a.spikes[0].size.value_or(0.0), run.mobility.size(4321), 0.5);
    ASSERT_EQ(a.peaks.size(), 1u);  // the saturated peak only
    EXPECT_NEAR(a.peaks[0].size, 200.0, 0.3);

    const LaneData& c = parts[1];
    ASSERT_TRUE(c.standard && c.signal);
    EXPECT_EQ(c.standard->failure.rfind("the size standard GS500LIZ could not be matched: 0 of its 16", 0), 0u)
        << c.standard->failure;
    EXPECT_FALSE(c.standard->worstRSquared);
    EXPECT_TRUE(std::all_of(c.signal->size.begin(), c.signal->size.end(), [](float s) { return std::isnan(s); }));

    // The lanes read from the records take them on, the saturated peak by
    // its size as the records read it back; a lane of no trace stays as it is.
    std::vector<LaneData> lanes(3);
    lanes[0].lane = 1;
    const auto peak = [](double size, int32_t height) { return LanePeak{size, height, 0, UNMARKED, false, -1}; };
    lanes[0].peaks = {peak(150.0, 700), peak(a.peaks[0].size + 0.004, a.peaks[0].height), peak(a.peaks[0].size, 12)};
    lanes[2].lane = 3;
    lanes[2].peaks = lanes[0].peaks;
    addTraceParts(lanes, parts);
    EXPECT_EQ(lanes[0].signal, a.signal);
    EXPECT_EQ(lanes[0].spikes.size(), 1u);
    EXPECT_EQ(std::vector<bool>({lanes[0].peaks[0].offScale, lanes[0].peaks[1].offScale, lanes[0].peaks[2].offScale}),
              std::vector<bool>({false, true, false}));
    EXPECT_TRUE(!lanes[2].signal && !lanes[2].standard && !lanes[2].peaks[1].offScale);
}

TEST(TraceImport, RefusesWhatCannotBeRead) {
    NullLog log;
    const SizedTrace good = sized(5, "A", "a.fsa", testing::kGs500Sizes);
    const SizedTrace text = sizeTrace("Size\tHeight\n150\t800\n", "notes.fsa", SizingOptions{});
    const SizedTrace cut = sizeTrace(testing::writeRun(SyntheticRun{}).substr(0, 1000), "cut.fsa", SizingOptions{});
    PeakImport im = importTraces({good, text, cut}, log);
    EXPECT_EQ(im.status, ImportStatus::Refused);
    EXPECT_EQ(im.message, "Cannot read \"notes.fsa\": it does not begin with \"ABIF\", so it is not an instrument "
                          "trace file. 1 more file cannot be read either.");
    EXPECT_TRUE(im.peaks.empty());
    im = importTraces({sized(5, "A", "a.fsa", {}), sized(4, "B", "b.fsa", {35, 50})}, log);
    EXPECT_EQ(im.status, ImportStatus::Refused);
    EXPECT_EQ(im.message.rfind("No peak of the 2 trace files could be sized. In \"a.fsa\", the size standard", 0), 0u)
        << im.message;
}

TEST(TraceImport, TellsTracesByNameOrBytes) {
    EXPECT_TRUE(isTraceFile("A01.FSA", "Size\tHeight"));
    EXPECT_TRUE(isTraceFile("x.hid", ""));
    EXPECT_TRUE(isTraceFile("x.txt", "ABIF\x00\x65"));
    EXPECT_FALSE(isTraceFile("fsa", "ABI"));
    EXPECT_EQ(std::string({traceDyeLetter(4, 3), traceDyeLetter(5, 4), traceDyeLetter(6, 4), traceDyeLetter(6, 5),
                           traceDyeLetter(2, 1), traceDyeLetter(5, 5), traceDyeLetter(7, 0)}),
              std::string("ROPOG??"));
    EXPECT_EQ(traceSizeText(150.0051), "150.01");
    EXPECT_EQ(fileStem("plate\\A01.fsa"), "A01");
    EXPECT_EQ(fileStem("runs/a.b.fsa"), "a.b");
    EXPECT_EQ(fileStem("runs/.fsa"), ".fsa");
    EXPECT_EQ(traceHeightText(1234.5001), "1235");
}

}  // namespace
}  // namespace lociview
