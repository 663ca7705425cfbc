// lociview-cli peaks: its options and exit statuses, and the sizing table it
// writes, which Lociview reads back to the data set the traces give.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "input/FileBytes.h"
#include "input/NumberForms.h"
#include "input/TraceImport.h"
#include "support/AbifWriter.h"
#include "support/ScratchDir.h"

namespace lociview::headless {
namespace {

using testing::SyntheticRun;

struct Result {
    int status;
    std::string out, err;
};

Result cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cliMain(args, out, err);
    return {status, out.str(), err.str()};
}

std::string run(int dyes, std::optional<double> normalization, std::vector<double> standard, uint32_t seed,
                std::string sample = {}) {
    SyntheticRun r;
    r.dyes = dyes;
    r.seed = seed;
    r.sample = sample.empty() ? "S" + std::to_string(seed) : sample;
    r.normalization = normalization;
    r.standard = std::move(standard);
    for (int d = 0; d + 1 < dyes; ++d)
        for (int i = 0; i < 5; ++i) r.peaks.push_back({d, 1500.0 + 1003.7 * i + 91 * d, 300.0 + 200.0 * i, 2.0});
    return testing::writeRun(r);
}

TEST(PeaksCommand, UsageErrors) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out;
        const char* err;
    };
    for (const Case& c : {Case{{"peaks"}, 2, "", "lociview-cli peaks: no FILE given"},
                          Case{{"peaks", "--min-height", "0", "a.fsa"}, 2, "", "--min-height must be a positive number"},
                          Case{{"peaks", "--min-height", "50 RFU", "a.fsa"}, 2, "", "not '50 RFU'"},
                          Case{{"peaks", "--size-standard", "35,50", "a.fsa"}, 2, "", "needs at least 4 sizes"},
                          Case{{"peaks", "--size-standard", "ILS600", "a.fsa"}, 2, "", "is neither a size standard"},
                          Case{{"peaks", "--help"}, 0, "usage: lociview-cli peaks [--size-standard NAME|SIZES]", ""},
                          Case{{"peaks", "--min-height", "0.5", "/nonexistent/a.fsa"}, 1, "Dye/Sample Peak\t",
                               "lociview: Cannot read \"/nonexistent/a.fsa\": it could not be opened"}}) {
        const Result r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

// The table read back gives the lanes, dyes and numbers of the traces'
// own import; the unsized rows are the skipped ones.
TEST(PeaksCommand, TableReadsBackToTheSameDataSet) {
    const ScratchDir dir("peaks");
    const std::vector<std::string> files = {dir.write("a.fsa", run(4, std::nullopt, testing::kGs500Sizes, 1)),
                                            dir.write("b.fsa", run(5, 3.0, testing::kGs500Sizes, 2)),
                                            dir.write("c.fsa", run(6, std::nullopt, testing::kGs500Sizes, 3))};
    std::vector<std::string> args = {"peaks"};
    args.insert(args.end(), files.begin(), files.end());
    const Result r = cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "Dye/Sample Peak\tSample File Name\tSample Name\tSize\tHeight\tArea\tData Point\tOff Scale");

    NullLog log;
    const PeakImport table = importPeakTables({{"peaks.txt", r.out}}, log);
    std::vector<std::string> bytes;
    std::vector<TraceSource> sources;
    for (const std::string& f : files) bytes.push_back(*readWholeFile(f));
    for (size_t i = 0; i < files.size(); ++i) sources.push_back({files[i], bytes[i]});
    const PeakImport traces = importTraces(sizeTraces(sources, SizingOptions{}), log);
    ASSERT_EQ(table.status, ImportStatus::Imported) << table.message;
    ASSERT_EQ(traces.status, ImportStatus::Imported) << traces.message;

    ASSERT_EQ(table.samples.size(), 3u);
    for (size_t s = 0; s < 3; ++s) {
        EXPECT_EQ(table.samples[s].lane, traces.samples[s].lane);
        EXPECT_EQ(table.samples[s].peaks, traces.samples[s].peaks);
        EXPECT_EQ(table.samples[s].sample, files[s]);  // the table names samples by Sample File Name
    }
    ASSERT_EQ(table.dyes.size(), traces.dyes.size());
    for (size_t d = 0; d < table.dyes.size(); ++d) {
        EXPECT_EQ(table.dyes[d].dye, traces.dyes[d].dye);
        EXPECT_EQ(table.dyes[d].peaks, traces.dyes[d].peaks);
        EXPECT_EQ(classicRows(table, table.dyes[d].dye), classicRows(traces, traces.dyes[d].dye));
    }
    EXPECT_EQ(defaultDye(table), 'B');
    const int64_t unsized = table.skipped[static_cast<size_t>(SkipReason::SizeEmpty)];
    EXPECT_GT(unsized, 0);  // the primer peaks
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + static_cast<long>(traces.peaks.size()) + unsized);
}

TEST(PeaksCommand, WritesWhatItCanAndFailsForTheRest) {
    const ScratchDir dir("peaks");
    // A tab or a line break in a sample name would break the table.
    const std::string good = dir.write("good.fsa", run(5, std::nullopt, testing::kGs500Sizes, 1, "S\t1\r2"));
    const std::string noStandard = dir.write("blank.fsa", run(5, std::nullopt, {}, 2));
    const std::string text = dir.write("notes.fsa", "Sample\tSize\tHeight\n");
    const Result r = cli({"peaks", "--min-height", "400", good, dir.path.string() + "/missing.fsa", noStandard, text});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("lociview: Cannot read \"" + dir.path.string() + "/missing.fsa\": it could not be opened"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("lociview: Cannot read \"" + text + "\": it does not begin with \"ABIF\""), std::string::npos);
    EXPECT_NE(r.err.find("lociview: In \"" + noStandard + "\", the size standard GS500LIZ could not be matched"),
              std::string::npos);
    // At 400 RFU the sample peaks of 300 RFU are left out; the blank's
    // peaks are written without sizes.
    std::istringstream rows(r.out);
    std::string row;
    std::getline(rows, row);
    while (std::getline(rows, row)) {
        std::vector<std::string> cells;
        std::istringstream split(row);
        for (std::string c; std::getline(split, c, '\t');) cells.push_back(c);
        ASSERT_EQ(cells.size(), 8u) << row;
        EXPECT_GE(std::stoi(cells[4]), 400) << row;
    }
    EXPECT_NE(r.out.find("B,1\t" + good + "\tS 1 2\t"), std::string::npos);
    EXPECT_NE(r.out.find("\t" + noStandard + "\tS2\t\t"), std::string::npos);
    EXPECT_EQ(cli({"peaks", noStandard}).status, 1);  // read, but not sized
    EXPECT_EQ(cli({"peaks", good}).status, 0);
}

}  // namespace
}  // namespace lociview::headless
