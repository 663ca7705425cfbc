// Batch scoring: its options, its exit statuses, and which blocks it prints
// for which files.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "accum/RunLog.h"
#include "base/Sha256.h"
#include "headless/BatchScore.h"
#include "headless/Cli.h"

namespace fs = std::filesystem;

namespace lociview::headless {
namespace {

using Args = std::vector<std::string>;

// Two lanes with alleles at 150 and 156 (the progenitors of the runs
// below), each with its stutter peak, and a file whose one allele is far
// from both.
constexpr const char* kBothProgenitors =
    "1A,1 1.0 150.0 800 8000 1\n"
    "1A,2 1.0 148.0 200 2000 1\n"
    "2A,1 1.0 156.0 700 7000 1\n"
    "2A,2 1.0 154.0 250 2500 1\n";
constexpr const char* kNoProgenitor =
    "4A,1 1.0 162.0 900 9000 1\n"
    "4A,2 1.0 160.0 300 3000 1\n";
constexpr const char* kNoRows = "Lane Size Height\n";

class BatchFiles : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("lociview-batch-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        write("both.txt", kBothProgenitors);
        write("lost.txt", kNoProgenitor);
        write("none.txt", kNoRows);
    }
    void TearDown() override { fs::remove_all(dir); }

    void write(const std::string& name, const char* text) { std::ofstream(dir / name, std::ios::binary) << text; }
    std::string path(const std::string& name) const { return (dir / name).string(); }

    struct Result {
        int status;
        std::string out;
        std::string err;
    };
    Result run(Args args) {
        std::ostringstream out, err;
        const int status = runBatchScore(args, out, err);
        return {status, out.str(), err.str()};
    }
    // The progenitors and range every run below scores with.
    Args scoring(Args more) {
        Args args = {"--p1", "150", "--p2", "156", "--low", "140", "--high", "170"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    fs::path dir;
};

std::vector<std::string> headers(const std::string& out) {
    std::vector<std::string> found;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("# ", 0) == 0) found.push_back(line);
    return found;
}

struct ParseCase {
    Args args;
    const char* error;  // nullptr: parses
};

class BatchScoreOptions : public testing::TestWithParam<ParseCase> {};

TEST_P(BatchScoreOptions, UsageErrors) {
    const auto parsed = parseBatchOptions(GetParam().args);
    if (GetParam().error) {
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_EQ(std::get<std::string>(parsed), GetParam().error);
        // The command fails with status 2 and its usage, before any file is touched.
        std::ostringstream out, err;
        EXPECT_EQ(runBatchScore(GetParam().args, out, err), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_NE(err.str().find(GetParam().error), std::string::npos);
        EXPECT_NE(err.str().find(kScoreUsage), std::string::npos);
    } else {
        EXPECT_TRUE(std::holds_alternative<BatchOptions>(parsed)) << std::get<std::string>(parsed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Args, BatchScoreOptions,
    testing::Values(ParseCase{{}, "no FILE given"}, ParseCase{{"--maybes"}, "no FILE given"},
                    ParseCase{{"--p1"}, "--p1: 1 required TEXT missing"},
                    ParseCase{{"f", "--ge"}, "--ge: 1 required TEXT missing"},
                    ParseCase{{"--locus", "hexa", "f"}, "--locus must be mono, di, tri or penta, not 'hexa'"},
                    ParseCase{{"--locus", "Di", "f"}, "--locus must be mono, di, tri or penta, not 'Di'"},
                    ParseCase{{"--show", "alleles,bogus", "f"}, "unknown block 'bogus' for --show"},
                    ParseCase{{"--show", "", "f"}, "unknown block '' for --show"},
                    ParseCase{{"--bogus", "f"}, "The following argument was not expected: --bogus"},
                    ParseCase{{"-x", "f"}, "The following argument was not expected: -x"},
                    ParseCase{{"--p1=150", "f"}, nullptr}, ParseCase{{"--", "--p1"}, nullptr},
                    ParseCase{{"-"}, nullptr}, ParseCase{{"--help"}, nullptr}));

TEST(BatchScoreOptionsParse, ValuesLandWhereTheyBelong) {
    const auto parsed = parseBatchOptions({"--p1=150", "--p2", "156", "--low", "", "--locus", "penta", "--maybes",
                                           "--show", "sppcr", "--show", "lanes", "a.txt", "--", "--ge", "b.txt"});
    ASSERT_TRUE(std::holds_alternative<BatchOptions>(parsed)) << std::get<std::string>(parsed);
    const BatchOptions& o = std::get<BatchOptions>(parsed);
    EXPECT_EQ(o.p1, "150");
    EXPECT_EQ(o.p2, "156");
    EXPECT_EQ(o.low, "");  // typed as an empty text, not left alone
    EXPECT_FALSE(o.high.has_value());
    EXPECT_EQ(o.locusCell, 3);
    EXPECT_TRUE(o.maybes);
    EXPECT_FALSE(o.ge.has_value());  // after "--" it is a file name
    EXPECT_EQ(o.show, unsigned(ShowSppcr | ShowLanes));  // given blocks replace the default
    EXPECT_EQ(o.files, (Args{"a.txt", "--ge", "b.txt"}));

    const auto defaults = parseBatchOptions({"f"});
    EXPECT_EQ(std::get<BatchOptions>(defaults).show, unsigned(ShowAlleles | ShowCounters));
}

TEST_F(BatchFiles, BlocksComeInTheirOwnOrderWhateverTheOrderAsked) {
    const Result r = run(scoring({"--show", "counters,maybes,alleles,lanes", path("both.txt")}));
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string f = path("both.txt");
    EXPECT_EQ(headers(r.out),
              (std::vector<std::string>{"# " + f + ": alleles", "# " + f + ": lanes", "# " + f + ": counters",
                                        "# " + f + ": maybes"}));
    // Tables are tab-separated with their titles first.
    EXPECT_NE(r.out.find("alleles\nAllele Size\t# of peaks at this size\t% of weighted height\n150\t1\t"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("lanes\nLane number\talle150\talle156\n1\t800\t\n2\t\t700\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("counters\nnumemptylanes\t0\nnumones\t2\nnumtwos\t0\n"), std::string::npos) << r.out;
}

TEST_F(BatchFiles, AFileThatIsNotScoredFailsAloneAndPrintsNothing) {
    const Result r = run(scoring({path("none.txt"), path("both.txt"), path("both.txt")}));
    EXPECT_EQ(r.status, 1);
    const std::string f = path("both.txt");
    // The confirmation before the next file is the batch's own: answered, not reported.
    EXPECT_EQ(headers(r.out), (std::vector<std::string>{"# " + f + ": alleles", "# " + f + ": counters",
                                                        "# " + f + ": alleles", "# " + f + ": counters"}));
    EXPECT_EQ(r.err,
              "lociview: Your file has no data in it. Try to select a file with data in it next time.\n"
              "lociview: You are not currently working on a file.\n");
}

TEST_F(BatchFiles, ParameterAlertsStopEveryFile) {
    // Start-up values: P1 1.0 lies below the low range.
    const Result r = run({path("both.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "lociview: Progenitor 1 is smaller than your Low Range value.\n");
}

TEST_F(BatchFiles, AccumulatesEveryScoredFile) {
    const Result r = run(scoring({"--ge", "12.5", "--show", "accumulated", path("both.txt"), path("both.txt")}));
    EXPECT_EQ(r.status, 0) << r.err;
    // Two runs of two lanes each, pooled into one GE row.
    EXPECT_EQ(r.out, "# accumulated\n7 1 2 150 156 \n150 156\n12.50 4 2 2 \n");
}

TEST_F(BatchFiles, StatisticsFollowEachFileAndTheAccumulatedText) {
    const Result r = run(scoring({"--ge", "4", "--show", "accumulated,spectrum,stats,sppcr", path("both.txt"),
                                  path("both.txt")}));
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string f = "# " + path("both.txt") + ": ";
    EXPECT_EQ(headers(r.out), (std::vector<std::string>{f + "sppcr", f + "stats", f + "spectrum", f + "sppcr",
                                                        f + "stats", f + "spectrum", "# accumulated",
                                                        "# accumulated: stats", "# accumulated: spectrum"}));
    // The run's GE is the one it was added with; the accumulated runs pool both.
    EXPECT_NE(r.out.find("stats\nname\tvalue\tlower\tupper\tnote\nlanes\t2\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nge_per_reaction\t4\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("accumulated: stats\nname\tvalue\tlower\tupper\tnote\nruns\t2\t"), std::string::npos);
    EXPECT_NE(r.out.find("accumulated: spectrum\nprogenitor\tchange_units\tsize\tcount\nP1\t0\t150\t2\n"),
              std::string::npos)
        << r.out;
}

TEST_F(BatchFiles, DoubleProgenitorLossNeedsExportAnyway) {
    struct Case {
        bool anyway;
        int status;
        std::string lostSppcr;    // the single-run block of the lost file
        std::string accumulated;  // both files in one batch: the accumulator outlives openings
    };
    const std::vector<Case> cases = {
        {false, 1, "", "7 1 2 150 156 \n150 156\n2.50 2 1 1 \n"},
        {true, 0, "7 1 3 150 156 162 \n150 156\n2.50 1 0 0 1 \n", "7 1 3 150 156 162 \n150 156\n2.50 3 1 1 1 \n"},
    };
    for (const auto& c : cases) {
        Args args = scoring({"--show", "sppcr,accumulated", "--ge", "2.5", path("both.txt"), path("lost.txt")});
        if (c.anyway) args.insert(args.begin(), "--export-anyway");
        const Result r = run(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        const std::string lostHeader = "# " + path("lost.txt") + ": sppcr\n";
        const size_t at = r.out.find(lostHeader);
        const size_t acc = r.out.find("# accumulated\n");
        ASSERT_NE(at, std::string::npos) << r.out;
        ASSERT_NE(acc, std::string::npos) << r.out;
        EXPECT_EQ(r.out.substr(at + lostHeader.size(), acc - at - lostHeader.size()), c.lostSppcr);
        EXPECT_EQ(r.out.substr(acc + 14), c.accumulated);
        // Asked once for adding and once for exporting, whatever the answer.
        const std::string lossAlert = "lociview: You have double Progenitor loss and SPPCR cannot handle that.\n";
        EXPECT_EQ(r.err, lossAlert + lossAlert);
    }
}

// Runs scored by separate processes into one run log export together as
// one process scoring them all; a command run again adds nothing twice.
TEST_F(BatchFiles, SeparateProcessesAccumulateAsOne) {
    write("three.txt", "1A,1 1.0 150.0 900 8000 1\n1A,2 1.0 148.0 200 2000 1\n2A,1 1.0 156.0 650 7000 1\n"
                       "2A,2 1.0 154.0 200 2000 1\n3A,1 1.0 160.0 500 5000 1\n3A,2 1.0 158.0 150 1500 1\n");
    const auto inAnotherProcess = [this](const Args& args) {
        if (fork() == 0) {
            const Result r = run(args);
            std::ofstream(dir / "out", std::ios::binary) << r.out << '\0' << r.err;
            _exit(r.status);
        }
        int status = 0;
        wait(&status);
        std::ifstream in(dir / "out", std::ios::binary);
        const std::string both((std::istreambuf_iterator<char>(in)), {});
        const size_t nul = both.find('\0');
        return Result{WEXITSTATUS(status), both.substr(0, nul), both.substr(nul + 1)};
    };
    const auto batch = [&](Args files, Args more = {}) {
        more.insert(more.end(), {"--ge", "12.5", "--show", "accumulated"});
        for (const std::string& f : files) more.push_back(path(f));
        return scoring(more);
    };
    struct Step {
        Args files, more;
        Args asOneProcess;    // the files one process without a log accumulates to the same text
        const char* errPart;  // "" for nothing on standard error
    };
    const std::string log = (dir / "runs.sqlite").string();
    for (const Step& step : {Step{{"both.txt"}, {}, {"both.txt"}, ""},
                             Step{{"three.txt"}, {}, {"both.txt", "three.txt"}, ""},
                             Step{{"both.txt", "three.txt"}, {}, {"both.txt", "three.txt"},
                                  "Not added again (--add-again adds it)."},
                             Step{{"both.txt"}, {"--add-again"}, {"both.txt", "three.txt", "both.txt"}, "Added again."}}) {
        Args more = step.more;
        more.insert(more.begin(), {"--accumulator", log});
        const Result r = inAnotherProcess(batch(step.files, more));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, run(batch(step.asOneProcess)).out) << step.files.size();
        if (*step.errPart) EXPECT_NE(r.err.find(step.errPart), std::string::npos) << r.err;
        else EXPECT_EQ(r.err, "");
    }
    // Each run names its file's bytes and its fields as typed.
    const RunListing listing = RunLog::open(log).log->activeRuns();
    ASSERT_EQ(listing.runs.size(), 3u);
    const RunRecord& first = listing.runs[0].record;
    EXPECT_EQ(first.fileSha256, sha256Hex(kBothProgenitors));
    EXPECT_EQ(first.fields, (TypedFields{"150", "156", "140", "170", "0.0", "1.5", "12.5"}));
    EXPECT_EQ(std::tuple(first.lanes, first.emptyLanes, first.oneLanes, first.twoOrMoreLanes), std::tuple(2, 0, 2, 0));
}

TEST_F(BatchFiles, DeveloperLogOnlyWhenAsked) {
    const Result quiet = run(scoring({path("both.txt")}));
    EXPECT_EQ(quiet.err, "");
    const Result loud = run(scoring({"--devlog", path("both.txt")}));
    EXPECT_EQ(loud.status, 0);
    EXPECT_NE(loud.err.find("data acquired. Converting...\n"), std::string::npos);
    EXPECT_NE(loud.err.find("locus = di\n"), std::string::npos);
    EXPECT_EQ(loud.out, quiet.out);
}

TEST_F(BatchFiles, LocusAndMaybesAreClicked) {
    // A tri locus scores no allele: nothing to accumulate, so that file fails.
    const Result r = run(scoring({"--locus", "tri", "--maybes", "--ge", "1", "--devlog", path("both.txt")}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("locus = tri\n"), std::string::npos);
    EXPECT_NE(r.err.find("lociview: You have not scored this data set yet.\n"), std::string::npos);
    EXPECT_NE(r.out.find("numemptylanes\t2\nnumones\t0\nnumtwos\t0\n"), std::string::npos) << r.out;
}

// Peak tables in today's layouts: the dye, several files as lanes, the
// samples block, and a refused table that must not score the last file again.
TEST_F(BatchFiles, PeakTablesByDyeAndAsLanes) {
    write("table.txt",
          "Sizing Table\nDye/Sample Peak\tSample File Name\tSize\tHeight\n"
          "B,1\tS1\t150\t800\nB,2\tS1\t148\t200\nG,1\tS1\t170\t400\nB,1\tS2\t156\t700\nB,2\tS2\t154\t250\n"
          "O,1\tS2\t100\t900\n");
    write("s1.txt", "B,1\t1\t150\t800\t8000\t1\r\nB,2\t1\t148\t200\t2000\t2");
    write("s2.txt", "B,1\t1\t156\t700\t7000\t1\r\nB,2\t1\t154\t250\t2500\t2\r\nG,1\t1\t170\t400\t10\t3");
    write("nosize.csv", "Sample,Height\nS1,10\n");
    const std::string table = path("table.txt"), s1 = path("s1.txt"), s2 = path("s2.txt");
    struct Case {
        Args args;
        int status;
        std::string out;  // the whole standard output
        std::string err;
    };
    const std::string twoLanes = "numemptylanes\t0\nnumones\t2\nnumtwos\t0\n";
    const std::vector<Case> cases = {
        {{table}, 0,
         "# " + table + ": samples\nlane\tsample\tfile\tpeaks\n1\tS1\t" + table + "\t2\n2\tS2\t" + table +
             "\t2\n# " + table + ": counters\n" + twoLanes,
         ""},
        // Green: one peak in lane 1, far from both progenitors; lane 2 has no
        // green peak, an empty reaction, and counts as an empty lane too.
        {{"--dye", "green", table}, 0,
         "# " + table + ": samples\nlane\tsample\tfile\tpeaks\n1\tS1\t" + table + "\t1\n2\tS2\t" + table +
             "\t0\n# " + table + ": counters\nnumemptylanes\t2\nnumones\t0\nnumtwos\t0\n",
         ""},
        {{"--dye", "Y", table}, 1, "",
         "lociview: There are no peaks in dye Y (yellow). The dyes present are B (blue): 4 peaks, G (green): 1 "
         "peak, O (orange): 1 peak.\n"},
        {{"--as-lanes", s1, s2}, 0,
         "# " + s1 + " and 1 more: samples\nlane\tsample\tfile\tpeaks\n1\ts1\t" + s1 + "\t2\n2\ts2\t" + s2 +
             "\t2\n# " + s1 + " and 1 more: counters\n" + twoLanes,
         ""},
        // Without --as-lanes each per-sample file is a data set of one lane.
        {{s1, s2}, 0,
         "# " + s1 + ": samples\nlane\tsample\tfile\tpeaks\n1\ts1\t" + s1 + "\t2\n# " + s1 +
             ": counters\nnumemptylanes\t0\nnumones\t1\nnumtwos\t0\n# " + s2 +
             ": samples\nlane\tsample\tfile\tpeaks\n1\ts2\t" + s2 + "\t2\n# " + s2 +
             ": counters\nnumemptylanes\t0\nnumones\t1\nnumtwos\t0\n",
         ""},
        {{path("both.txt"), path("nosize.csv")}, 1,
         "# " + path("both.txt") + ": samples\nlane\tsample\tfile\tpeaks\n# " + path("both.txt") +
             ": counters\n" + twoLanes,
         "lociview: The header of \"" + path("nosize.csv") +
             "\" (line 1) has no Size column. Lociview needs a Size and a Height column (or pairs Size 1, Height 1, "
             "Size 2, Height 2...).\n"},
    };
    for (const Case& c : cases) {
        Args args = scoring({"--show", "samples,counters"});
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result r = run(args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.out, c.out) << c.args.back();
        EXPECT_EQ(r.err, c.err) << c.args.back();
    }
}

struct CliCase {
    Args args;
    int status;
    const char* outStart;  // what standard output starts with
    const char* errPart;   // found in standard error ("" for none expected)
};

class CliTest : public testing::TestWithParam<CliCase> {};

TEST_P(CliTest, Dispatch) {
    std::ostringstream out, err;
    EXPECT_EQ(cliMain(GetParam().args, out, err), GetParam().status);
    EXPECT_EQ(out.str().rfind(GetParam().outStart, 0), 0u) << out.str();
    if (*GetParam().errPart) EXPECT_NE(err.str().find(GetParam().errPart), std::string::npos) << err.str();
    else EXPECT_EQ(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliTest,
    testing::Values(CliCase{{"--help"}, 0, "usage: lociview-cli run SCRIPT\n", ""},
                    CliCase{{"--version"}, 0, "lociview-cli 1.", ""},
                    CliCase{{}, 2, "", "usage: lociview-cli run SCRIPT"},
                    CliCase{{"frob"}, 2, "", "unknown command 'frob'"},
                    CliCase{{"run"}, 2, "", "expected exactly one SCRIPT"},
                    CliCase{{"run", "a", "b"}, 2, "", "expected exactly one SCRIPT"},
                    CliCase{{"run", "/nonexistent/s.script"}, 2, "", "/nonexistent/s.script:0: "},
                    CliCase{{"score", "--help"}, 0, "usage: lociview-cli score", ""},
                    CliCase{{"score"}, 2, "", "no FILE given"}));

}  // namespace
}  // namespace lociview::headless
