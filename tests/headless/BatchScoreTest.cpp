// lociview-cli: its commands and options, and batch scoring's outcomes and
// exit statuses: which blocks it prints for which files, the dye, files as
// lanes, and the accumulator kept across processes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "accum/RunLog.h"
#include "base/Sha256.h"
#include "support/AbifWriter.h"
#include "support/ScratchDir.h"
#include "cli/BatchScore.h"
#include "cli/Cli.h"

namespace fs = std::filesystem;

namespace lociview::headless {
namespace {

using Args = std::vector<std::string>;

// Two lanes with alleles at 150 and 156 (the progenitors of the runs
// below), each with its stutter peak.
constexpr const char* kBothProgenitors =
    "1A,1 1.0 150.0 800 8000 1\n1A,2 1.0 148.0 200 2000 1\n2A,1 1.0 156.0 700 7000 1\n2A,2 1.0 154.0 250 2500 1\n";

// A sizing table of two samples: blue peaks at both progenitors, one green, one orange.
constexpr const char* kTable =
    "Sizing Table\nDye/Sample Peak\tSample File Name\tSize\tHeight\nB,1\tS1\t150\t800\nB,2\tS1\t148\t200\n"
    "G,1\tS1\t170\t400\nB,1\tS2\t156\t700\nB,2\tS2\t154\t250\nO,1\tS2\t100\t900\n";

struct Result {
    int status;
    std::string out, err;
};

Result cli(const Args& args) {
    std::ostringstream out, err;
    const int status = cliMain(args, out, err);
    return {status, out.str(), err.str()};
}

// ---------------------------------------------------------------------------
// Commands and usage errors, before any file is touched.

struct CliCase {
    Args args;
    int status;
    const char* outStart;  // what standard output starts with; nothing on an error
    const char* errPart;   // found in standard error ("" for none expected)
};

class CliTest : public ::testing::TestWithParam<CliCase> {};

TEST_P(CliTest, Dispatch) {
    const CliCase& c = GetParam();
    const Result r = cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
    if (c.status != 0) {
        EXPECT_EQ(r.out, "");
    }
    if (*c.errPart) EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    else EXPECT_EQ(r.err, "");
    // A usage error of score shows its synopsis.
    if (c.status == 2 && !c.args.empty() && c.args[0] == "score") {
        EXPECT_NE(r.err.find(kScoreUsage), std::string::npos) << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliTest,
    ::testing::Values(CliCase{{"--help"}, 0, "usage: lociview-cli run SCRIPT\n", ""},
                    CliCase{{"--version"}, 0, "lociview-cli 1.", ""},
                    CliCase{{}, 2, "", "usage: lociview-cli run SCRIPT"},
                    CliCase{{"frob"}, 2, "", "unknown command 'frob'"},
                    CliCase{{"run"}, 2, "", "expected exactly one SCRIPT"},
                    CliCase{{"run", "/nonexistent/s.script"}, 2, "", "/nonexistent/s.script:0: "},
                    // The parameters' part comes from the table of scoring fields.
                    CliCase{{"score", "--help"}, 0,
                            "usage: lociview-cli score [OPTION]... FILE...\n"
                            "\n"
                            "Opens and scores each peak file in turn, as a user would at the main\n"
                            "window, and prints the chosen views of the results after each file.\n"
                            "\n"
                            "Parameters (each TEXT is typed into its field; unset ones keep the\n"
                            "start-up values P1 1.0, P2 2.0, low 120.0, high 180.0, shift 0.0,\n"
                            "stutter tolerance 1.5, locus di, Maybes off):\n"
                            "  --p1 TEXT          progenitor 1 size\n"
                            "  --p2 TEXT          progenitor 2 size\n"
                            "  --low TEXT         low bound of the size range\n"
                            "  --high TEXT        high bound of the size range\n"
                            "  --shift TEXT       size shift added to every peak\n"
                            "  --stutter TEXT     stutter tolerance\n"
                            "  --locus CELL       mono, di, tri or penta\n",
                            ""},
                    CliCase{{"score"}, 2, "", "no FILE given"},
                    CliCase{{"score", "--p1"}, 2, "", "--p1: 1 required TEXT missing"},
                    CliCase{{"score", "--locus", "hexa", "f"}, 2, "", "--locus hexa needs --walk-every-locus"},
                    CliCase{{"score", "--walk-every-locus", "--locus", "octa", "f"}, 2, "",
                            "--locus must be mono, di, tri, penta, tetra or hexa, not 'octa'"},
                    CliCase{{"score", "--peak-threshold", "0.2x", "f"}, 2, "", "The peak threshold is not a number"},
                    CliCase{{"score", "--peak-threshold", "-0.01", "f"}, 2, "", "threshold -0.01 lies outside 0 to 1"},
                    CliCase{{"score", "--repeat-unit", "0", "f"}, 2, "", "repeat unit 0 is not a positive number"},
                    CliCase{{"score", "--index-size", "p2", "f"}, 2, "", "--index-size must be own, p1, controls or a size"},
                    CliCase{{"score", "--group", "late", "f"}, 2, "", "--group must be prefix:TEXT or NAME=SAMPLE"},
                    CliCase{{"score", "--locus", "Di", "f"}, 2, "", "--locus must be mono, di, tri or penta, not 'Di'"},
                    CliCase{{"score", "--show", "alleles,bogus", "f"}, 2, "", "unknown block 'bogus' for --show"},
                    CliCase{{"score", "--show", "", "f"}, 2, "", "unknown block '' for --show"},
                    CliCase{{"score", "--saturation", "3e4x", "f"}, 2, "",
                            "--saturation must be a number of RFU, 0 or more, not '3e4x'\n"},
                    CliCase{{"score", "--low-signal", "-1", "f"}, 2, "", "--low-signal must be a number of RFU, 0 or more, not '-1'"},
                    CliCase{{"score", "--bogus", "f"}, 2, "", "The following argument was not expected: --bogus"},
                    // A run log that keeps nothing, or whose path SQLite reads otherwise.
                    CliCase{{"score", "--accumulator", "", "f"}, 2, "", "--accumulator needs the path of a file\n"},
                    CliCase{{"score", "--accumulator", ":memory:", "f"}, 2, "", "keeps the log in memory only"},
                    CliCase{{"score", "--accumulator", "File:x?mode=memory", "f"}, 2, "", "is an SQLite URI"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Output that cannot be written (a full disk) fails the command.
TEST(CliOutput, OutputThatCannotBeWrittenFails) {
    std::ostream nowhere(nullptr);
    std::ostringstream err;
    EXPECT_EQ(cliMain({"--version"}, nowhere, err), 1);
    EXPECT_EQ(err.str(), "lociview-cli: standard output could not be written\n");
}

TEST(BatchScoreOptions, ValuesLandWhereTheyBelong) {
    const auto parsed = parseBatchOptions({"--p1=150", "--p2", "156", "--low", "", "--locus", "penta", "--maybes",
                                           "--show", "sppcr", "--show", "lanes", "--saturation", "5e3", "a.txt", "-",
                                           "--", "--ge", "b.txt"});
    ASSERT_TRUE(std::holds_alternative<BatchOptions>(parsed)) << std::get<std::string>(parsed);
    const BatchOptions& o = std::get<BatchOptions>(parsed);
    // "" is typed, not left alone; after "--" "--ge" is a file name; given blocks replace the default.
    EXPECT_EQ(o.fields, (std::map<std::string, std::string>{{"progenitor1", "150"}, {"progenitor2", "156"}, {"lowrange", ""}}));
    EXPECT_EQ(std::tuple(o.locusCell, o.maybes, o.ge, o.show),
              std::tuple(3, true, std::nullopt, unsigned(ShowSppcr | ShowLanes)));
    EXPECT_EQ(o.files, (Args{"a.txt", "-", "--ge", "b.txt"}));
    EXPECT_EQ(std::tuple(o.saturation, o.lowSignal), std::tuple(5000.0, std::nullopt));
    EXPECT_EQ(std::get<BatchOptions>(parseBatchOptions({"f"})).show, unsigned(ShowAlleles | ShowCounters));
}

// ---------------------------------------------------------------------------
// Batch runs over files written for each test; "@" in arguments and
// expected texts stands for their folder and a slash.

class BatchFiles : public ::testing::Test {
protected:
    void SetUp() override {
        write("both.txt", kBothProgenitors);
        write("lost.txt", "4A,1 1.0 162.0 900 9000 1\n4A,2 1.0 160.0 300 3000 1\n");  // neither progenitor
        write("none.txt", "Lane Size Height\n");
        write("table.txt", kTable);
        write("s1.txt", "B,1\t1\t150\t800\t8000\t1\r\nB,2\t1\t148\t200\t2000\t2");
        write("s2.txt", "B,1\t1\t156\t700\t7000\t1\r\nB,2\t1\t154\t250\t2500\t2\r\nG,1\t1\t170\t400\t10\t3");
        // Lane 3 saturated at 5000 RFU, lane 4 weak, lane 5 tallest outside 140..170.
        write("flags.txt", std::string(kBothProgenitors) +
                               "3A,1 1.0 150.0 6000 9000 1\n4A,1 1.0 156.0 50 500 1\n5A,1 1.0 200.0 9000 9000 1\n"
                               "5A,2 1.0 156.0 300 3000 1\n");
        write("split.txt", std::string(kBothProgenitors) + "1A,3 1.0 149.9 141 1000 1\n1A,4 1.0 150.0 31000 9000 1\n");
        write("nosize.csv", "Sample,Height\nS1,10\n");
        // Both progenitors; one height in no form a number is written in.
        write("skips.csv", "Sample,Size,Height\nS1,150,\"1,800\"\nS1,148,200\nS2,156,700\nS2,154,\"25,0\"\n");
        // A tri locus: T1 around 150 in 3 bp steps (156 exactly at a fifth
        // of the main height, 144 just under), T2's one peak beyond the range.
        write("tri.tsv", "Dye/Sample Peak\tSample File Name\tSize\tHeight\nB,1\tT1\t147\t250\nB,2\tT1\t150\t1000\n"
                         "B,3\tT1\t153\t500\nB,4\tT1\t156\t200\nB,5\tT1\t144\t199\nB,1\tT2\t171\t900\n");
        write("multiplex.csv", "Sample.Name,Marker,Dye,Size.1,Height.1,Size.2,Height.2\nA,D1,B,150,800,148,200\n"
                               "A,D2,B,220,500,,\nB,D1,B,156,700,154,250\nC,D2,B,222,300,,\n");
    }
    void write(const std::string& name, const std::string& text) { scratch.write(name, text); }
    std::string at(std::string text) const {
        for (size_t i = 0; (i = text.find('@', i)) != std::string::npos; i += dir.string().size() + 1)
            text.replace(i, 1, dir.string() + "/");
        return text;
    }
    // The words of a command line, split at blanks, after "score".
    Result score(const std::string& words) {
        Args args = {"score"};
        std::istringstream in(at(words));
        for (std::string w; in >> w;) args.push_back(w);
        return cli(args);
    }

    ScratchDir scratch{"batch"};
    const fs::path& dir = scratch.path;
};

// The progenitors and range the runs score with.
#define SCORING "--p1 150 --p2 156 --low 140 --high 170 "

struct RunCase {
    const char* name;
    const char* words;
    int status;
    std::vector<const char*> out;  // found in this order; their "# " lines are every block header
    const char* err;
};

class BatchRun : public BatchFiles, public ::testing::WithParamInterface<RunCase> {};

std::string headers(const std::string& text) {
    std::string found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("# ", 0) == 0) found += line + "\n";
    return found;
}

TEST_P(BatchRun, PrintsItsBlocksAndStatus) {
    const RunCase& c = GetParam();
    const Result r = score(c.words);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, at(c.err));
    std::string pieces;
    size_t from = 0;
    for (const char* piece : c.out) {
        pieces += at(piece) + "\n";
        from = r.out.find(at(piece), from);
        ASSERT_NE(from, std::string::npos) << "no " << at(piece) << " in order in\n" << r.out;
    }
    EXPECT_EQ(headers(r.out), headers(pieces));
    if (c.out.empty()) {
        EXPECT_EQ(r.out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, BatchRun,
    ::testing::Values(
        // Blocks come in their own order whatever the order asked, tables
        // tab-separated with their titles first.
        RunCase{"BlocksInTheirOrder", SCORING "--show counters,maybes,alleles,lanes @both.txt", 0,
                {"# @both.txt: alleles\nAllele Size\t# of peaks at this size\t% of weighted height\n150\t1\t",
                 "# @both.txt: lanes\nLane number\talle150\talle156\n1\t800\t\n2\t\t700\n",
                 "# @both.txt: counters\nnumemptylanes\t0\nnumones\t2\nnumtwos\t0\n", "# @both.txt: maybes"},
                ""},
        // A file that is not scored fails alone and prints nothing; the
        // confirmation before the next file is the batch's own, not reported.
        RunCase{"UnscoredFileFailsAlone", SCORING "@none.txt @both.txt @both.txt", 1,
                {"# @both.txt: alleles", "# @both.txt: counters", "# @both.txt: alleles", "# @both.txt: counters"},
                "lociview: @none.txt: Your file has no data in it. Try to select a file with data in it next time.\n"
                "lociview: @none.txt: You are not currently working on a file.\n"},
        // Start-up values: P1 1.0 lies below the low range, for every file.
        RunCase{"ParameterAlertStopsEveryFile", "@both.txt @both.txt", 1, {},
                "lociview: @both.txt: Progenitor 1 is smaller than your Low Range value.\n"
                "lociview: @both.txt: Progenitor 1 is smaller than your Low Range value.\n"},
        // Two runs of two lanes each, pooled into one GE row.
        RunCase{"AccumulatesEveryScoredFile", SCORING "--ge 12.5 --show accumulated @both.txt @both.txt", 0,
                {"# accumulated\n7 1 2 150 156 \n150 156\n12.50 4 2 2 \n"}, ""},
        // The run's GE is the one it was added with; the accumulated runs pool both.
        RunCase{"StatisticsFollowEachFile", SCORING "--ge 4 --show accumulated,spectrum,stats,sppcr @both.txt @both.txt", 0,
                {"# @both.txt: sppcr", "# @both.txt: stats\nname\tvalue\tlower\tupper\tnote\nlanes\t2\t",
                 "\nge_per_reaction\t4\t", "# @both.txt: spectrum", "# @both.txt: sppcr", "# @both.txt: stats",
                 "# @both.txt: spectrum", "# accumulated\n",
                 "# accumulated: stats\nname\tvalue\tlower\tupper\tnote\nruns\t2\t",
                 "# accumulated: spectrum\nprogenitor\tchange_units\tsize\tcount\nP1\t0\t150\t2\n"},
                ""},
        // Asked once for adding and once for exporting, whatever the answer;
        // the accumulator outlives the openings.
        RunCase{"DoubleProgenitorLoss", SCORING "--show sppcr,accumulated --ge 2.5 @both.txt @lost.txt", 1,
                {"# @both.txt: sppcr", "# @lost.txt: sppcr\n# accumulated\n7 1 2 150 156 \n150 156\n2.50 2 1 1 \n"},
                "lociview: @lost.txt: You have double Progenitor loss and SPPCR cannot handle that.\n"
                "lociview: @lost.txt: You have double Progenitor loss and SPPCR cannot handle that.\n"},
        RunCase{"DoubleProgenitorLossExportedAnyway",
                "--export-anyway " SCORING "--show sppcr,accumulated --ge 2.5 @both.txt @lost.txt", 0,
                {"# @both.txt: sppcr", "# @lost.txt: sppcr\n7 1 3 150 156 162 \n150 156\n2.50 1 0 0 1 \n"
                                       "# accumulated\n7 1 3 150 156 162 \n150 156\n2.50 3 1 1 1 \n"},
                "lociview: @lost.txt: You have double Progenitor loss and SPPCR cannot handle that.\n"
                "lociview: @lost.txt: You have double Progenitor loss and SPPCR cannot handle that.\n"},
        // A text that is more than one number is read by its leading number,
        // said once on standard error; standard output is that of the number.
        RunCase{"OptionsReadAsTheirLeadingNumber", SCORING "--stutter 1,5 --ge 4x --show counters,stats @both.txt", 0,
                {"# @both.txt: counters\nnumemptylanes\t0\nnumones\t2\nnumtwos\t0\n", "# @both.txt: stats\n",
                 "\nge_per_reaction\t4\t"},
                "lociview: --stutter '1,5' is read as 1\nlociview: --ge '4x' is read as 4\n"},
        // For R and pandas: each kind of block once for every file, a file
        // column first, titles without "#" or blanks, the lanes in long form.
        RunCase{"TidyTablesForAllFiles",
                SCORING "--ge 4 --format tidy --show samples,alleles,lanes,counters,sppcr,spectrum,accumulated "
                        "@both.txt @table.txt",
                0,
                {"file\tlane\tsample\tsample_file\tpeaks\n@table.txt\t1\tS1\t@table.txt\t2\n"
                 "@table.txt\t2\tS2\t@table.txt\t2\n\n"
                 "file\tallele_size\tpeaks\tweight\n@both.txt\t150\t1\t1.265720\n@both.txt\t156\t1\t1.107505\n"
                 "@table.txt\t150\t1\t1.265720\n@table.txt\t156\t1\t1.107505\n\n"
                 "file\tlane\tallele_size\theight\n@both.txt\t1\t150\t800\n@both.txt\t2\t156\t700\n"
                 "@table.txt\t1\t150\t800\n@table.txt\t2\t156\t700\n\n"
                 "file\tnumemptylanes\tnumones\tnumtwos\n@both.txt\t0\t2\t0\n@table.txt\t0\t2\t0\n\n"
                 "file\tsppcr\n@both.txt\t7 1 2 150 156 \n@both.txt\t150 156\n@both.txt\t4.00 2 1 1 \n",
                 "\n\nfile\tprogenitor\tchange_units\tsize\tcount\n@both.txt\tP1\t0\t150\t1\n",
                 "\naccumulated\tP2\t0\t156\t2\n\nfile\taccumulated\naccumulated\t7 1 2 150 156 \n"},
                ""},
        // The lanes' flags and suggested progenitors come also for a file
        // not scored, where nothing else does; the levels are the options'.
        RunCase{"QcAndSuggestBeforeProgenitorsAreKnown",
                "--low 140 --high 170 --saturation 5000 --show qc,suggest,alleles @flags.txt", 1,
                {"# @flags.txt: qc\nlane\tsample\tflag\tdetail\n"
                 "3\t\toff-scale\t1 peak in range at or above 5000 RFU or off scale, the tallest 6000 RFU at 150.00 bp\n"
                 "4\t\tlow-signal\ttallest peak in range 50 RFU at 156.00 bp, below 100 RFU\n"
                 "5\t\toutside-range\ttallest peak 9000 RFU at 200.00 bp, outside 140..170 bp\n"
                 "# @flags.txt: suggest\nprogenitor\tsize\tlanes\tnote\nP1\t150\t2\t\nP2\t156\t3\t\n"},
                "lociview: @flags.txt: Progenitor 1 is smaller than your Low Range value.\n"},
        // A saturated peak merged with its split half by scoring is flagged as read.
        RunCase{"OffScaleThroughAMerge", SCORING "--show qc @split.txt", 0,
                {"# @split.txt: qc\nlane\tsample\tflag\tdetail\n"
                 "1\t\toff-scale\t1 peak in range at or above 30000 RFU or off scale, the tallest 31000 RFU at 150.00 bp\n"},
                ""},
        RunCase{"QcAndSuggestTidy", SCORING "--format tidy --show suggest,counters,qc @flags.txt @both.txt", 0,
                {"file\tnumemptylanes\tnumones\tnumtwos\n@flags.txt\t3\t2\t0\n@both.txt\t0\t2\t0\n\n"
                 "file\tlane\tsample\tflag\tdetail\n@flags.txt\t4\t\tlow-signal\t",
                 "\n@flags.txt\t5\t\toutside-range\ttallest peak 9000 RFU at 200.00 bp, outside 140..170 bp\n\n"
                 "file\tprogenitor\tsize\tlanes\tnote\n@flags.txt\tP1\t150\t2\t\n@flags.txt\tP2\t156\t3\t\n"
                 "@both.txt\tP1\t150\t1\t\n@both.txt\tP2\t156\t1\t\n"},
                ""},
        // A tri locus scores no allele: nothing to accumulate, so that file fails.
        RunCase{"TriLocusScoresNoAllele", SCORING "--locus tri --maybes --ge 1 @both.txt", 1,
                {"# @both.txt: alleles", "# @both.txt: counters\nnumemptylanes\t2\nnumones\t0\nnumtwos\t0\n"},
                "lociview: @both.txt: No peak was scored: the ladder is walked for a di locus only; add "
                "--walk-every-locus to walk this tri locus.\n"
                "lociview: @both.txt: You have not scored this data set yet.\n"},
        // Said once however many files; walked, the tri lane is scored.
        RunCase{"UnwalkedLocusSaidOnce", SCORING "--locus penta --show counters @both.txt @both.txt", 0,
                {"# @both.txt: counters\nnumemptylanes\t2\n", "# @both.txt: counters\nnumemptylanes\t2\n"},
                "lociview: @both.txt: No peak was scored: the ladder is walked for a di locus only; add "
                "--walk-every-locus to walk this penta locus.\n"},
        RunCase{"WalkedTri", SCORING "--walk-every-locus --locus tri --show counters @tri.tsv", 0,
                {"# @tri.tsv: counters\nnumemptylanes\t1\nnumones\t0\nnumtwos\t1\n"}, ""},
        // Controls that name no lane: said, that file fails, nothing printed for it.
        RunCase{"ControlsNamingNoLane", SCORING "--index-size controls --controls T9 --show instability @tri.tsv", 1, {},
                "lociview: @tri.tsv: The control 'T9' names no lane: type a sample name or a lane number of the data "
                "set.\n"},
        // Sizing tables, genotype tables and per-sample files: the default dye, another dye (lane
        // 2 has no green peak: an empty reaction, an empty lane), an absent
        // dye, per-sample files as lanes or each alone, a refused table.
        RunCase{"TableInTheDefaultDye", SCORING "--show samples,counters @table.txt", 0,
                {"# @table.txt: samples\nlane\tsample\tfile\tpeaks\n1\tS1\t@table.txt\t2\n2\tS2\t@table.txt\t2\n"
                 "# @table.txt: counters\nnumemptylanes\t0\nnumones\t2\nnumtwos\t0\n"},
                ""},
        RunCase{"TableInGreen", SCORING "--show samples,counters --dye green @table.txt", 0,
                {"# @table.txt: samples\nlane\tsample\tfile\tpeaks\n1\tS1\t@table.txt\t1\n2\tS2\t@table.txt\t0\n"
                 "# @table.txt: counters\nnumemptylanes\t2\nnumones\t0\nnumtwos\t0\n"},
                ""},
        RunCase{"AbsentDye", SCORING "--show samples,counters --dye Y @table.txt", 1, {},
                "lociview: @table.txt: There are no peaks in dye Y (yellow). The dyes present are B (blue): 4 peaks, G (green): 1 "
                "peak, O (orange): 1 peak.\n"},
        RunCase{"FilesAsLanes", SCORING "--show samples,counters --as-lanes @s1.txt @s2.txt", 0,
                {"# @s1.txt and 1 more: samples\nlane\tsample\tfile\tpeaks\n1\ts1\t@s1.txt\t2\n2\ts2\t@s2.txt\t2\n"
                 "# @s1.txt and 1 more: counters\nnumemptylanes\t0\nnumones\t2\nnumtwos\t0\n"},
                ""},
        RunCase{"FilesEachALane", SCORING "--show samples,counters @s1.txt @s2.txt", 0,
                {"# @s1.txt: samples\nlane\tsample\tfile\tpeaks\n1\ts1\t@s1.txt\t2\n# @s1.txt: counters\n"
                 "numemptylanes\t0\nnumones\t1\nnumtwos\t0\n# @s2.txt: samples\nlane\tsample\tfile\tpeaks\n1\ts2\t"
                 "@s2.txt\t2\n# @s2.txt: counters\nnumemptylanes\t0\nnumones\t1\nnumtwos\t0\n"},
                ""},
        // Rows skipped are said per file; --strict makes them a failure.
        RunCase{"SkippedRowsSaid", SCORING "--show counters @skips.csv", 0,
                {"# @skips.csv: counters\nnumemptylanes\t1\nnumones\t1\nnumtwos\t0\n"},
                "@skips.csv: 1 of 4 rows skipped: height not a number\n"},
        RunCase{"SkippedRowsStrict", SCORING "--strict --show counters @skips.csv @both.txt", 1,
                {"# @both.txt: counters"},
                "@skips.csv: 1 of 4 rows skipped: height not a number\n"},
        // A multiplex table: one marker scored, never all pooled; by default
        // the one with most rows in the dye, said on standard error.
        RunCase{"MarkerByDefault", SCORING "--show samples,counters @multiplex.csv", 0,
                {"# @multiplex.csv: samples\nlane\tsample\tfile\tpeaks\n1\tA\t@multiplex.csv\t2\n2\tB\t@multiplex.csv\t2\n"
                 "# @multiplex.csv: counters\nnumemptylanes\t0\nnumones\t2\nnumtwos\t0\n"},
                "lociview: @multiplex.csv: The Marker column names 2 markers; \"D1\", the one with most rows in the dye, "
                "is scored and the others are left out (choose another to score it).\n"},
        RunCase{"MarkerChosen", "--p1 220 --p2 222 --low 200 --high 240 --show samples,counters --marker D2 @multiplex.csv",
                0,
                {"# @multiplex.csv: samples\nlane\tsample\tfile\tpeaks\n1\tA\t@multiplex.csv\t1\n2\tC\t@multiplex.csv\t1\n"
                 "# @multiplex.csv: counters\n"},
                ""},
        RunCase{"MarkerAbsent", SCORING "--marker D9 @multiplex.csv", 1, {},
                "lociview: @multiplex.csv: There is no marker \"D9\" in the Marker column. The markers there are \"D1\", "
                "\"D2\".\n"},
        // The refused table must not score the last file again.
        RunCase{"RefusedTable", SCORING "--show samples,counters @both.txt @nosize.csv", 1,
                {"# @both.txt: samples\nlane\tsample\tfile\tpeaks\n# @both.txt: counters\nnumemptylanes\t0\n"},
                "lociview: @nosize.csv: The header of \"@nosize.csv\" (line 1) has no Size column. Lociview needs a Size and a "
                "Height column (or pairs Size 1, Height 1, Size 2, Height 2...).\n"}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

// The indices of the hand-worked tri lane read back from the TSV to 1e-12,
// whatever the index size names 150 by; the lane with no peak in range has
// empty cells and says why; the groups compare late with the controls.
TEST_F(BatchFiles, InstabilityBlocksReadBackTheHandWorkedLane) {
    const struct {
        const char* index;
        double expected[6];  // index_size, peaks_kept, instability, expansion, contraction, mean_size
    } cases[] = {{"own", {150, 4, 650.0 / 1950, 900.0 / 1950, 250.0 / 1950, 151}},
                 {"p1", {150, 4, 650.0 / 1950, 900.0 / 1950, 250.0 / 1950, 151}},
                 {"153 --peak-threshold 0.25", {153, 3, -1500.0 / 1750, 0, 1500.0 / 1750, 263250.0 / 1750}},
                 {"141 --repeat-unit 9", {141, 4, 10.0 / 9, 10.0 / 9, 0, 151}}};
    for (const auto& c : cases) {
        const Result r = score(SCORING "--locus tri --show instability --index-size " + std::string(c.index) + " @tri.tsv");
        std::istringstream lines(r.out);
        std::string header, titles, lane1, lane2;
        std::getline(lines, header), std::getline(lines, titles), std::getline(lines, lane1), std::getline(lines, lane2);
        EXPECT_EQ(titles, "lane\tsample\tindex_size\tmain_size\tpeaks_kept\tinstability_index\texpansion_index\t"
                          "contraction_index\tmean_size\tmain_change\tnote");
        std::vector<std::string> cells;
        std::istringstream row(lane1);
        for (std::string cell; std::getline(row, cell, '\t');) cells.push_back(cell);
        ASSERT_GE(cells.size(), 9u) << lane1;
        const size_t columns[] = {2, 4, 5, 6, 7, 8};
        for (size_t i = 0; i < 6; ++i)
            EXPECT_NEAR(std::stod(cells[columns[i]]), c.expected[i], 1e-12 * std::max(1.0, std::abs(c.expected[i])))
                << c.index << " column " << columns[i];
        EXPECT_EQ(lane2, "2\tT2\t\t\t\t\t\t\t\t\tno peak from 140 to 170 bp") << c.index;
    }
    const Result groups = score(SCORING "--show instability-groups --controls T1,2 --group late=T2 @tri.tsv");
    EXPECT_EQ(groups.status, 0) << groups.err;
    // The di locus's step: the changes count 2 bp.
    EXPECT_NE(groups.out.find("\ncontrol\tinstability\t1\t0.5\t"), std::string::npos) << groups.out;
    EXPECT_NE(groups.out.find("\nlate\tinstability\t0\t\t\t\t\t\t\t\t\tnot estimable: no lane with indices\n"),
              std::string::npos)
        << groups.out;
}

// A peak table given in the run log's place (the arguments swapped) is
// refused and left as it was, with nothing made beside it.
TEST_F(BatchFiles, PeakTableGivenAsTheRunLogIsLeftAlone) {
    const auto names = [&] {
        std::set<std::string> all;
        for (const auto& entry : fs::directory_iterator(dir)) all.insert(entry.path().filename().string());
        return all;
    };
    const std::set<std::string> before = names();
    const Result r = score(SCORING "--ge 5 --accumulator @table.txt @both.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, at("lociview: @table.txt is not a run log: it reads as text (a peak table, perhaps), not as an "
                        "SQLite database. It was left as it is.\n"));
    std::ifstream in(dir / "table.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kTable);
    EXPECT_EQ(names(), before);
}

TEST_F(BatchFiles, DeveloperLogOnlyWhenAsked) {
    const Result quiet = score(SCORING "@both.txt"), loud = score(SCORING "--devlog @both.txt");
    EXPECT_EQ(quiet.err, "");
    EXPECT_NE(loud.err.find("locus = di\n"), std::string::npos) << loud.err;
    EXPECT_EQ(std::tuple(loud.status, loud.out), std::tuple(0, quiet.out));
    // A file name with a line break in it stays on its log line.
    write("two\nlines.txt", kBothProgenitors);
    const Result named = cli({"score", "--p1", "150", "--p2", "156", "--devlog", at("@two\nlines.txt")});
    EXPECT_NE(named.err.find("/two\\nlines.txt\n"), std::string::npos) << named.err;
}

// Runs scored by separate processes into one run log export together as
// one process scoring them all; a command run again adds nothing twice.
TEST_F(BatchFiles, SeparateProcessesAccumulateAsOne) {
    write("three.txt", "1A,1 1.0 150.0 900 8000 1\n1A,2 1.0 148.0 200 2000 1\n2A,1 1.0 156.0 650 7000 1\n"
                       "2A,2 1.0 154.0 200 2000 1\n3A,1 1.0 160.0 500 5000 1\n3A,2 1.0 158.0 150 1500 1\n");
    const auto accumulated = [](const std::string& out) { return out.substr(std::min(out.size(), out.find("# accumulated\n"))); };
    const auto inAnotherProcess = [this](const std::string& words) {
        if (fork() == 0) {
            const Result r = score(words);
            std::ofstream(dir / "out", std::ios::binary) << r.out << '\0' << r.err;
            _exit(r.status);
        }
        int status = 0;
        wait(&status);
        std::ifstream in(dir / "out", std::ios::binary);
        const std::string both((std::istreambuf_iterator<char>(in)), {});
        return Result{WEXITSTATUS(status), both.substr(0, both.find('\0')), both.substr(both.find('\0') + 1)};
    };
    // The accumulated statistics too: they need each run's locus from the log.
    const std::string batch = SCORING "--ge 12.5 --show accumulated,stats,spectrum ", log = " --accumulator @runs.sqlite ";
    const struct {
        const char *files, *more, *asOneProcess;  // the files one process without a log accumulates to the same text
        const char* errPart;                      // "" for nothing on standard error
    } steps[] = {{"@both.txt", "", "@both.txt", ""},
                 {"@three.txt", "", "@both.txt @three.txt", ""},
                 {"@both.txt @three.txt", "", "@both.txt @three.txt", "Not added again (--add-again adds it)."},
                 {"@both.txt", "--add-again", "@both.txt @three.txt @both.txt", "Added again."}};
    for (const auto& step : steps) {
        const Result r = inAnotherProcess(batch + step.more + log + step.files);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(accumulated(r.out), accumulated(score(batch + step.asOneProcess).out)) << step.files;
        if (*step.errPart) EXPECT_NE(r.err.find(step.errPart), std::string::npos) << r.err;
        else EXPECT_EQ(r.err, "");
    }
    // Each run names its file's bytes (an imported table's too) and its fields as typed.
    EXPECT_EQ(score(batch + log + "@table.txt").status, 0);
    const RunListing listing = RunLog::open(at("@runs.sqlite")).log->activeRuns();
    ASSERT_EQ(listing.runs.size(), 4u);
    EXPECT_EQ(listing.runs[3].record.fileSha256, sha256Hex(kTable));
    const RunRecord& first = listing.runs[0].record;
    EXPECT_EQ(first.fileSha256, sha256Hex(kBothProgenitors));
    EXPECT_EQ(first.fields, (TypedFields{"150", "156", "140", "170", "0.0", "1.5", "12.5"}));
    EXPECT_EQ(std::tuple(first.lanes, first.emptyLanes, first.oneLanes, first.twoOrMoreLanes), std::tuple(2, 0, 2, 0));
}


// ---------------------------------------------------------------------------
// Trace files: scored as the sizing table "lociview-cli peaks" writes of
// them, with their sizing as a block.

class BatchTraces : public BatchFiles {
protected:
    // A five-dye run, its blue peaks at the sizes (bp) and heights given.
    std::string trace(const std::string& name, std::vector<std::pair<double, double>> blue, std::string sample,
                      bool standard = true) {
        testing::SyntheticRun r;
        r.sample = std::move(sample);
        r.seed = static_cast<uint32_t>(name.size() + blue.size());
        if (!standard) r.standard.clear();
        for (const auto& [size, height] : blue) r.peaks.push_back({0, r.mobility.scan(size), height, 2.0});
        r.peaks.push_back({1, r.mobility.scan(170.0), 400.0, 2.0});  // green, not scored
        write(name, testing::writeRun(r));
        return "@" + name;
    }
    void SetUp() override {
        BatchFiles::SetUp();
        trace("a.fsa", {{150, 800}, {148, 200}}, "S1");
        trace("b.fsa", {{156, 700}, {154, 250}, {166, 600}}, "S2");
    }
    // Standard output without its block headers, which name the files.
    static std::string blocksOnly(const std::string& text) {
        std::string kept;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("# ", 0) != 0) kept += line + "\n";
        return kept;
    }
};

TEST_F(BatchTraces, ScoreAsTheSizingTableOfThem) {
    const Result peaks = cli({"peaks", at("@a.fsa"), at("@b.fsa")});
    ASSERT_EQ(peaks.status, 0) << peaks.err;
    write("peaks.txt", peaks.out);
    const Result table = score(SCORING "--as-lanes --show alleles,lanes,counters,stats @peaks.txt");
    // Trace files given together are one data set without asking.
    const Result traces = score(SCORING "--show alleles,lanes,counters,stats @a.fsa @b.fsa");
    ASSERT_EQ(traces.status, 0) << traces.err;
    EXPECT_EQ(traces.err, "");
    EXPECT_EQ(blocksOnly(traces.out), blocksOnly(table.out));
    EXPECT_NE(traces.out.find("Lane number\talle150\talle156\n1\t802\t\n2\t\t691\n"), std::string::npos) << traces.out;
}

TEST_F(BatchTraces, SizingBlockAndItsChoices) {
    // The sizing block first, then the samples with their blue peaks.
    const Result r = score(SCORING "--as-lanes --show sizing,samples @a.fsa @b.fsa");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string lineA = at("@a.fsa\tS1\tA01\tGS500LIZ\t16\t16\t0.9");
    EXPECT_NE(r.out.find("# " + at("@a.fsa and 1 more: sizing\n") +
                         "file\tsample\twell\tstandard\tmatched\texpected\tworst R-squared\tmessage\n" + lineA),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(at("1\tS1\t@a.fsa\t2\n2\tS2\t@b.fsa\t3\n")), std::string::npos) << r.out;
    // A higher least height leaves out the lower peaks; a standard chosen
    // without 250 expects one fragment less; tidy names the file column.
    const Result chosen =
        score(SCORING "--as-lanes --min-height 300 --size-standard GS500LIZ-250 --show sizing,samples --format tidy "
                      "@a.fsa @b.fsa");
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.out.substr(0, chosen.out.find('\n')),
              "file\ttrace_file\tsample\twell\tstandard\tmatched\texpected\tworst_r_squared\tmessage");
    EXPECT_NE(chosen.out.find(at("@a.fsa and 1 more\t@b.fsa\tS2\tA01\tGS500LIZ-250\t15\t15\t")), std::string::npos)
        << chosen.out;
    EXPECT_NE(chosen.out.find(at("\t1\tS1\t@a.fsa\t1\n@a.fsa and 1 more\t2\tS2\t@b.fsa\t2\n")), std::string::npos)
        << chosen.out;
}

// The flags only traces raise, in the qc block with the others.
TEST_F(BatchTraces, QcFlagsAFailedStandardAndSpikes) {
    trace("c.fsa", {{150, 800}}, "S3", false);
    testing::SyntheticRun r;
    r.sample = "S4";
    r.spike = 4321;
    r.peaks = {{0, r.mobility.scan(152.0), 600.0, 2.0}};
    write("d.fsa", testing::writeRun(r));
    const Result q = score(SCORING "--show qc @a.fsa @c.fsa @d.fsa");
    EXPECT_NE(q.out.find("lane\tsample\tflag\tdetail\n2\tS3\tstandard-failed\tthe size standard GS500LIZ could not "
                         "be matched: 0 of its 16 fragments found among the "),
              std::string::npos)
        << q.out;
    const size_t spike = q.out.find("\n3\tS4\tspike\t1 spike left out, at scan 4321 (");
    ASSERT_NE(spike, std::string::npos) << q.out;
    EXPECT_EQ(q.out.substr(q.out.find(')', spike) - 3, 5), " bp)\n");
}

// A session script sizes with its own choice and shows each file as sized.
TEST_F(BatchTraces, ScriptChoosesTheSizingAndShowsIt) {
    write("text.fsa", "Lane Size Height\n1 150 800\n");
    write("s.script", at("min-height 300\nsize-standard GS500LIZ-250\nopen-lanes @a.fsa @b.fsa\nshow sizing\n"
                         "show samples\nsize-standard auto\nopen-lanes @a.fsa\nshow sizing\n"
                         "open-lanes @a.fsa @text.fsa\nshow sizing\n"));
    const Result r = cli({"run", at("@s.script")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string shown = r.out.substr(r.out.find("sizing: "));
    EXPECT_EQ(shown.substr(0, shown.find("alert: ")),
              at("sizing: @a.fsa\tS1\tA01\tGS500LIZ-250\t15\t15\t0.9997\t\n"
                 "sizing: @b.fsa\tS2\tA01\tGS500LIZ-250\t15\t15\t0.9997\t\n"
                 "sample: 1\tS1\t@a.fsa\t1\nsample: 2\tS2\t@b.fsa\t2\n"));
    // A file that is no trace leaves the data set as it was.
    const size_t second = shown.find(at("sizing: @a.fsa\tS1\tA01\tGS500LIZ\t16\t16\t"));
    ASSERT_NE(second, std::string::npos) << shown;
    const std::string line = shown.substr(second, shown.find('\n', second) - second + 1);
    EXPECT_NE(shown.find(at("alert: Cannot read \"@text.fsa\": it does not begin")), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.rfind("sizing: ")), line);
}

TEST_F(BatchTraces, FilesThatCannotBeSizedOrMixed) {
    trace("blank.fsa", {{150, 800}}, "S3", false);
    write("text.fsa", "Lane Size Height\n1 150 800\n");
    struct Case {
        const char* words;
        int status;
        const char* out;  // found in standard output ("" for none at all)
        const char* err;  // found in standard error
    };
    for (const Case& c : {
             // The lane without a standard is empty; the other is scored.
             Case{"--as-lanes --show samples @a.fsa @blank.fsa", 1, "1\tS1\t@a.fsa\t2\n2\tS3\t@blank.fsa\t0\n",
                  "lociview: In \"@blank.fsa\", "},
             Case{"@blank.fsa", 1, "", "lociview: @blank.fsa: No peak of the trace file could be sized. In \"@blank.fsa\", the size standard"},
             Case{"@text.fsa", 1, "", "@text.fsa: Cannot read \"@text.fsa\": it does not begin with \"ABIF\""},
             Case{"--as-lanes @a.fsa @table.txt", 1, "",
                  "Trace files and peak tables cannot be opened together: \"@a.fsa\" is a trace file, "
                  "\"@table.txt\" is not."},
             // The least height taken as given, however low: noise becomes peaks.
             Case{"--min-height 0.5 --show samples @a.fsa", 0, "1\tS1\t@a.fsa\t", "spikes were left out"},
             Case{"--size-standard 35,50 @a.fsa", 2, "", "--size-standard: "},
             Case{"--min-height -5 @a.fsa", 2, "", "--min-height must be a positive number of RFU, not '-5'"},
         }) {
        const Result r = score(SCORING + std::string(c.words));
        EXPECT_EQ(r.status, c.status) << c.words;
        if (*c.out) EXPECT_NE(r.out.find(at(c.out)), std::string::npos) << r.out;
        else EXPECT_EQ(r.out, "") << c.words;
        EXPECT_NE(r.err.find(at(c.err)), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace lociview::headless
