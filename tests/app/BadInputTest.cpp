// Every bad input a lab can hand the program, through the session player:
// hostile peak files and hostile texts typed into every number field, over
// the example plate scored with P1 150 and P2 156 and added to the
// accumulator with GE 10. Each case states what the user sees; the shared
// state rules (support/Invariants.h) hold after every line, a refused
// action leaves everything as it was, and opening a file replaces only the
// data set. docs/bad-input.md lists the same cases as a table.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"
#include "support/Invariants.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace lociview {
namespace {

using Lines = std::vector<std::string>;

const char* const kNoData = "Your file has no data in it. Try to select a file with data in it next time.";
const char* const kP1Small = "Progenitor 1 is smaller than your Low Range value.";
const char* const kP1Large = "Progenitor 1 is larger than your High Range value.";
const char* const kRangeLarge = "Your range is too large to count the alleles in it.";
const char* const kShiftLarge = "Your shift is too large.";
const char* const kSorry = "Your progenitors are different from the ones you have been accumulating.";

// The scored session every case starts from.
struct Scored {
    std::ostringstream out;
    headless::Session s{out};
    StateWatch watch;

    Scored() {
        play("set progenitor1 150\nset progenitor2 156\nopen " LOCIVIEW_EXAMPLES_DIR
             "/di-locus-plate.txt\ndo scoreData:\nset accumgeforun 10\ndo preAddToAccumulator:\ndo addToAccumulator:");
        EXPECT_EQ(s.controller.accumulator().records().size(), 16u);
        s.tk.dialogs.shown.clear();
    }
    // Plays script lines, checking the state rules after each; answers their trace.
    std::string play(const std::string& lines) {
        out.str("");
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);) {
            EXPECT_EQ(s.play(line), std::nullopt) << line;
            EXPECT_EQ(watch.broken(s.controller, s.tk, line), "") << line;
        }
        return out.str();
    }
    Lines alerts() const {
        Lines messages;
        for (const auto& a : s.tk.dialogs.shown) messages.push_back(a.message);
        return messages;
    }
    // Whether the text of a field is this.
    bool holds(const std::string& field, const std::string& text) {
        return play("show fields").find("field: " + field + " " + text + "\n") != std::string::npos;
    }
};

// What a user could lose, as the views print it.
const std::string kEverything = "show title\nshow state\nshow store\nshow lanes\nshow data\nshow results\n"
                                "show counters\nshow log\nshow sppcr\nshow accum\nshow windows\nshow chart";
const std::string kResults = "show results\nshow log\nshow accum";

// ---------------------------------------------------------------------------
// Hostile texts in the number fields.

// The actions a field is read by, as script lines; a removal by lane or by
// allele leaves the other field empty.
const std::map<std::string, std::string> kActs = {
    {"Score", "do scoreData:"},
    {"LessThan", "do cleanUpWindow:\ndo cleanUpLessThan:"},
    {"GreaterThan", "do cleanUpWindow:\ndo cleanUpGreaterThan:"},
    {"ByLane", "set cuwallelefield\ndo cleanUpWindow:\ndo cleanUpLaneAndOrAllele:"},
    {"ByAllele", "set cuwlanefield\ndo cleanUpWindow:\ndo cleanUpLaneAndOrAllele:"},
    {"Export", "do exportSPPCRData:\ndo exportSPPCR2:"},
    {"Accumulate", "do preAddToAccumulator:\ndo addToAccumulator:"},
};

const Lines kTexts = {"", " ", "text", "1e400", "-2147483649", "nan", "inf", std::string(10000, '9')};
const char* const kTextNames[] = {"Empty", "Blank", "Text", "Exp400", "BelowInt", "Nan", "Inf", "Long"};

// How one text in one field turns out. readsAs: the plain number it is
// taken for (the outcome, trace included, must equal typing that number);
// none when the action refuses it with the alert.
struct Outcome {
    const char* readsAs;
    const char* alert;
    bool endsRun = false;  // the alert ends a run that already emptied the results
};

struct FieldCase {
    std::string field, act;
    size_t text;  // in kTexts
    Outcome outcome;
};

// A whole-number field: blank, text, nan and inf read as 0, 1e400 as 1,
// and the rest saturate; alert goes with every text, atMost with the nines.
// changes replaces the outcomes at these positions of kTexts.
std::vector<Outcome> asInt(const char* alert, const char* atMost,
                           std::initializer_list<std::pair<size_t, Outcome>> changes = {}) {
    std::vector<Outcome> outcomes = {{"0", alert}, {"0", alert}, {"0", alert}, {"1", alert},
                                     {"-2147483648", alert}, {"0", alert}, {"0", alert}, {"2147483647", atMost}};
    for (const auto& [at, outcome] : changes) outcomes.at(at) = outcome;
    return outcomes;
}

std::vector<FieldCase> fieldCases() {
    const Outcome tooLarge{nullptr, kRangeLarge, true}, shiftLarge{nullptr, kShiftLarge}, infinite{"1e999", nullptr},
        nothing{nullptr, "Nothing was deleted"};
    const char* const p2Small = "Progenitor 2 is smaller than your Low Range value.";
    const struct {
        const char *field, *act;
        std::vector<Outcome> outcomes;
    } rows[] = {
        {"progenitor1", "Score", asInt(kP1Small, kP1Large)},
        {"progenitor2", "Score", asInt(p2Small, "Progenitor 2 is larger than your High Range value.")},
        {"lowrange", "Score", asInt(nullptr, kP1Small, {{3, tooLarge}, {4, tooLarge}})},
        {"highrange", "Score", asInt(kP1Large, nullptr, {{7, tooLarge}})},
        {"shift", "Score", asInt(nullptr, nullptr, {{3, shiftLarge}, {4, shiftLarge}, {7, shiftLarge}})},
        {"stuttertol", "Score", asInt("Your stutter tolerance is too low.", nullptr, {{3, infinite}, {7, infinite}})},
        {"progenitor1", "Accumulate", asInt(kSorry, kSorry)},
        {"progenitor2", "Accumulate", asInt(kSorry, kSorry)},
        {"progenitor1", "Export", asInt(nullptr, nullptr)},
        // A number beyond the range of doubles reads as infinity.
        {"geforun", "Export", asInt(nullptr, nullptr, {{3, infinite}, {7, infinite}})},
        {"accumgeforun", "Accumulate", asInt(nullptr, nullptr, {{3, infinite}, {4, {"-2147483649.0", nullptr}}, {7, infinite}})},
        {"cuwlessthanfield", "LessThan", asInt(nullptr, nullptr)},
        {"cuwgreaterthanfield", "GreaterThan", asInt(nullptr, nullptr)},
        {"cuwlanefield", "ByLane", asInt(nullptr, nullptr, {{0, nothing}})},
        {"cuwallelefield", "ByAllele", asInt(nullptr, nullptr, {{0, nothing}})},
    };
    std::vector<FieldCase> cases;
    for (const auto& row : rows)
        for (size_t i = 0; i < kTexts.size(); ++i) cases.push_back({row.field, row.act, i, row.outcomes.at(i)});
    return cases;
}

class BadFieldText : public testing::TestWithParam<FieldCase> {};

TEST_P(BadFieldText, ReadsAsItsNumberOrIsRefused) {
    const FieldCase& c = GetParam();
    const std::string& typed = kTexts[c.text];
    Scored h;
    const std::string before = h.play(kEverything);
    const std::string trace = h.play("set " + c.field + " " + typed + "\n" + kActs.at(c.act));
    EXPECT_EQ(h.alerts(), c.outcome.alert ? Lines{c.outcome.alert} : Lines{});

    if (c.outcome.readsAs) {
        // Typing the plain number instead does and shows the same.
        Scored plain;
        plain.play(kEverything);
        EXPECT_EQ(plain.play("set " + c.field + " " + c.outcome.readsAs + "\n" + kActs.at(c.act)), trace);
        EXPECT_EQ(h.play(kEverything), plain.play(kEverything));
    } else {
        // Refused, the text still in its field: everything as it was, or
        // for a run that ends at its alert after the store was put back, the
        // last results gone as with a count of 0.
        EXPECT_TRUE(h.holds(c.field, typed));
        if (c.outcome.endsRun) EXPECT_FALSE(h.s.controller.result().scored() || !h.s.controller.result().tbllane.empty());
        else EXPECT_EQ(h.play(kEverything), before);
    }
}

INSTANTIATE_TEST_SUITE_P(AllFields, BadFieldText, testing::ValuesIn(fieldCases()),
                         [](const testing::TestParamInfo<FieldCase>& info) {
                             return info.param.field + info.param.act + kTextNames[info.param.text];
                         });

// The refusals that mend what used to slip through.
TEST(BadFieldTextMends, RangeTooLargeEndsTheRunLikeACountOfZero) {
    // The swap is made (the user agreed to it); the range is refused at the
    // count, after the restore, as a count of 0 is: the results are emptied.
    Scored h;
    h.play("set progenitor1 160\nset progenitor2 150\nset lowrange -2147483649\ndo scoreData:");
    EXPECT_EQ(h.alerts(), (Lines{"By convenience, Progenitor 2 needs to be equal to or larger than progenitor 1",
                                 kRangeLarge}));
    EXPECT_TRUE(h.holds("progenitor1", "150") && h.holds("progenitor2", "160"));
    EXPECT_FALSE(h.s.controller.result().scored());
}

TEST(BadFieldTextMends, LargestShiftIsGivenBackExactly) {
    Scored h;
    const std::string unshifted = h.play("show store\nshow results");
    h.play("set shift 2147483647\ndo scoreData:\nset shift -2147483647\ndo scoreData:\nset shift 0\ndo scoreData:");
    EXPECT_EQ(h.alerts(), Lines{});
    EXPECT_EQ(h.play("show store\nshow results"), unshifted);
    // One past the largest is refused and moves nothing.
    h.play("set shift 2147483648\ndo scoreData:");
    EXPECT_EQ(h.alerts(), Lines{kShiftLarge});
    EXPECT_EQ(h.s.controller.shiftValue(), 0.0);
}

// Whatever the user does after adding a run (refused scorings, counts
// driven below zero, refused additions, exports, table and chart, files
// that give nothing), the state holds and the accumulated runs stay as they
// were until the reset.
TEST(HostileSession, KeepsTheAccumulatedRunsUntilTheReset) {
    Scored h;
    h.play("set lowrange abc\ndo scoreData:\nset lowrange 120\nset highrange 1e400\ndo scoreData:\nset highrange 180\n"
           "set shift nan\ndo scoreData:\nlocus none\ndo scoreData:\nlocus di\nset shift 0\ndo scoreData:\n"
           "set cuwallelefield 150\nset cuwlanefield 3\ndo cleanUpLaneAndOrAllele:\ndo cleanUpLaneAndOrAllele:\n"
           "do cleanUpLaneAndOrAllele:\nset cuwlanefield\ndo cleanUpLaneAndOrAllele:\nset cuwlessthanfield 2147483647\n"
           "do cleanUpLessThan:\nset cuwgreaterthanfield -2147483648\ndo cleanUpGreaterThan:\nshow table\n"
           "set progenitor2 157\ndo addToAccumulator:\nset progenitor1 1\nset progenitor2 2\nanswer default\n"
           "do addToAccumulator:\ndo exportSPPCRData:\ndo exportSPPCR2:\ndo exportAccumulatedSPPCRData:\n"
           "state toggleTable on\ndo toggleTable:\nselect 0 1 2 99999999999999999999\ndo graphSelections:\nshow chart\n"
           "state Maybes on\ndo toggleMaybes:\ndo printMyWindow:\ndo preAddToAccumulator:\nset stuttertol 0\n"
           "do scoreData:\nlocus mono\ndo scoreData:\nopen /nonexistent/lociview/peaks.txt\ndo scoreData:\n"
           "open " LOCIVIEW_GOLDEN_DIR "/data\nopen " LOCIVIEW_GOLDEN_DIR "/data/empty.txt\nanswer default\nopen\n"
           "do openData:\ndo scoreData:");
    EXPECT_EQ(h.s.controller.accumulator().records().size(), 16u);
    h.play("do resetAccumulator:");
}

// ---------------------------------------------------------------------------
// Hostile peak files, opened with "Open Another" over the scored session.
// The plate's records hold keys 0 to 67, so the file's records start at 68.

using Maker = std::function<std::string(const ScratchDir&)>;

struct FileCase {
    const char* name;
    Maker make;                      // makes the file (or whatever stands at the path) and answers its path
    const char* then = "";           // lines played after opening, which raise no alert
    const char* expected = nullptr;  // what they print; nothing: the file gives no rows, the no-data alert
};

Maker file(const std::string& bytes) {
    return [=](const ScratchDir& d) { return d.write("peaks.txt", bytes); };
}
Maker at(const std::string& path) {
    return [=](const ScratchDir&) { return path; };
}
const Maker kNoFile = [](const ScratchDir& d) { return (d.path / "no-such-file.txt").string(); };

// A few lanes with a stutter ladder each, the given heights from 146 up.
std::string ladder(const std::vector<int>& heights) {
    std::string text;
    for (int lane = 1; lane <= 3; ++lane)
        for (size_t i = 0; i < heights.size(); ++i)
            text += std::to_string(lane) + "A,1 1.0 " + std::to_string(146 + 2 * i) + " " + std::to_string(heights[i]) +
                    " 1.0 1.0\n";
    return text;
}

const std::string kLine = "1A,1 1.0 150.0 1000 2000.0 3.0\n";
const std::u16string kPeak = u"A,1 1.0 150.0 1000 2000.0 3.0\n";  // after a lane label

// UTF-16LE with its byte-order mark.
std::string utf16(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}
const std::string kNul(1, '\0');
const std::string kBig = "1" + std::string(400, '0');
const std::string kMillion(1000000, ' ');

std::vector<FileCase> fileCases() {
    return {
        {"Missing", kNoFile},
        {"Folder", [](const ScratchDir& d) { return d.path.string(); }},
        // A pipe with no writer would block a plain open for ever.
        {"Fifo",
         [](const ScratchDir& d) {
             EXPECT_EQ(::mkfifo((d.path / "pipe").c_str(), 0600), 0);
             return (d.path / "pipe").string();
         }},
        // A device that never ends, and one that is always empty.
        {"EndlessDevice", at("/dev/zero")},
        {"NullDevice", at("/dev/null")},
        // A terabyte (sparse, so it takes no disk): larger than memory, it
        // cannot be read whole and is refused before any of it is held.
        {"TerabyteFile",
         [](const ScratchDir& d) {
             const std::string p = d.write("disk-image.bin", "");
             std::error_code ec;
             fs::resize_file(p, uintmax_t{1} << 40, ec);
             EXPECT_FALSE(ec) << "no sparse terabyte here: " << ec.message();
             return p;
         }},
        {"Empty", file("")},
        {"BinaryNoise",
         [](const ScratchDir& d) {
             std::string bytes(1 << 16, '\0');
             uint32_t state = 12345;
             for (char& b : bytes) b = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
             return d.write("noise.bin", bytes);
         }},
        {"OddLengthUtf16", file(utf16(u"1A,1 1.0 150.0 1000 2000.0 3.0\n") + "x")},
        {"ByteOrderMarkAlone", file("\xFF\xFE")},
        {"BigEndianMarkAlone", file("\xFE\xFF")},
        // A NUL inside a line tosses it; one after the last item is ignored.
        {"NulBytes",
         file("1A,1" + kNul + " 1.0 150.0 1000 2000.0 3.0\n" + kNul + kNul + kNul + "\n2A,1 1.0 152.0 900 2000.0 3.0" +
              kNul + "\n" + kLine),
         "show lanes", "lanelist: 1 2\n"},
        // Lane and height saturate; a size or area beyond single precision
        // is stored as "inf", which reads back as 0.
        {"FourHundredDigits",
         file(kBig + "A,1 1.0 " + kBig + " " + kBig + " " + kBig + " 3.0\n2A,1 1.0 " + kBig + " -" + kBig + " -" + kBig +
              " 3.0\n"),
         "show store\nshow lanes",
         "store: working 2 backup 2 key 70\nallele: 68 0.000000 2147483647 0 2147483647 UNMARKED\n"
         "allele: 69 0.000000 -2147483648 0 2 UNMARKED\nlanelist: 2 2147483647\n"},
        // Infinite sizes and areas are stored as "inf" and read back as 0:
        // peaks at 0 bp that scoring handles like any other.
        {"InfiniteSizes", file("1A,1 1.0 1e999 1000 1e999 3.0\n1A,1 1.0 -1e999 800 1.0 3.0\n1A,1 1.0 0.2 600 1.0 3.0\n"),
         "show store\nset progenitor1 0\nset progenitor2 0\nset lowrange -10\nset highrange 10\ndo scoreData:\nshow results",
         "store: working 3 backup 3 key 71\nallele: 68 0.000000 1000 0 1 UNMARKED\nallele: 69 0.000000 800 1 1 UNMARKED\n"
         "allele: 70 0.200000 600 1 1 UNMARKED\ntblallele:\ntblallelecount:\ntblweight:\ntbllane: 1\n"},
        // Lane labels 1 (Arabic-Indic), 2 (Devanagari), 12 (fullwidth 1, ASCII
        // 2), 400 Arabic-Indic nines read as lane 0: lanes are ASCII digits.
        // 7, 07 and Arabic-Indic 7 differ as text, so each is an entry of the
        // lane list, as written, and that lane is scored once per entry.
        {"UnicodeDigitLanes",
         file(utf16(u"\u0661" + kPeak + u"\u0968" + kPeak + u"\uFF112" + kPeak + std::u16string(400, u'\u0669') + kPeak +
                    u"7" + kPeak + u"07" + kPeak + u"\u0667" + kPeak)),
         "show store\nshow lanes\ndo scoreData:\nshow results",
         "store: working 7 backup 7 key 75\nallele: 68 150.000000 1000 2000 0 UNMARKED\n"
         "allele: 69 150.000000 1000 2000 0 UNMARKED\nallele: 70 150.000000 1000 2000 0 UNMARKED\n"
         "allele: 71 150.000000 1000 2000 0 UNMARKED\nallele: 72 150.000000 1000 2000 7 UNMARKED\n"
         "allele: 73 150.000000 1000 2000 7 UNMARKED\nallele: 74 150.000000 1000 2000 0 UNMARKED\n"
         "lanelist: 0 0 0 0 0 7 7\ntblallele:\ntblallelecount:\ntblweight:\ntbllane: 0 0 0 0 0 7 7\n"},
        // A lane's rows need not come together: each label is one entry.
        {"LanesInterleaved", file("2A,1 1 150 10 1 1\n1A,1 1 151 20 1 1\n02A,1 1 152 30 1 1\n1A,1 1 153 40 1 1\n"),
         "show store\nshow lanes",
         "store: working 4 backup 4 key 72\nallele: 68 150.000000 10 1 2 UNMARKED\nallele: 69 151.000000 20 1 1 UNMARKED\n"
         "allele: 70 152.000000 30 1 2 UNMARKED\nallele: 71 153.000000 40 1 1 UNMARKED\nlanelist: 1 2 2\n"},
        {"NegativeZero", file("1A,1 -0 -0 -0 -0 -0\n"), "show store",
         "store: working 1 backup 1 key 69\nallele: 68 -0.000000 0 0 1 UNMARKED\n"},
        // Read as written: the range filter removes sizes below the low
        // bound, negative heights are weighed as written.
        {"NegativeSizesAndHeights",
         file(ladder({-300, -600, 1000, -200, 300, 900}) + "4A,1 1.0 -150.0 -1000 -2000.0 3.0\n4A,1 1.0 150.0 -5 1.0 1.0\n"),
         "do scoreData:\nshow results", "tblallele: 156\ntblallelecount: 3\ntblweight: 1.042105\ntbllane: 1 2 3 4\n"},
        // Every weight is 0, and the chart draws flat curves rather than
        // dividing by 0.
        {"ZeroHeights", file(ladder({0, 0, 0, 0, 0, 0})),
         "set lowrange 144\nset highrange 158\ndo scoreData:\nselect 0\ndo graphSelections:\nshow results\nshow chart",
         "tblallele: 156\ntblallelecount: 3\ntblweight: 0.000000\ntbllane: 1 2 3\nchart: low 144 high 158 maybes 0 "
         "locus 2 peaks 3\npeak: 73 156.000000 0 SCORED\npeak: 79 156.000000 0 SCORED\npeak: 85 156.000000 0 SCORED\n"
         "label: 144 89.889\nlabel: 146 179.778\nlabel: 148 269.667\nlabel: 150 359.556\nlabel: 152 449.444\n"
         "label: 154 539.333\nlabel: 156 629.222\nlabel: 158 719.111\ncurve: 73 617.222 0 93.266 32.226 black\n"
         "curve: 79 617.222 0 93.266 32.226 black\ncurve: 85 617.222 0 93.266 32.226 black\naxis: black\n"},
        {"MillionCharacterLines",
         file(std::string(1000000, '9') + "A,1 1.0 150.0 1000 2000.0 3.0\n2" + std::string(1000000, 'A') +
              ",1 1.0 150.0 1000 2000.0 3.0\n3A,1" + kMillion + "1.0" + kMillion + "150.0 1000 2000.0 3.0\n4A,1 1.0 150." +
              std::string(1000000, '0') + "1 1000 2000.0 3.0\n" + std::string(1000000, 'x') +
              "\n5A,1 1.0 150.0 1000 2000.0 " + std::string(1000000, '7') + "\n"),
         "show store\ndo scoreData:\nshow results",
         "store: working 5 backup 5 key 73\nallele: 68 150.000000 1000 2000 2147483647 UNMARKED\n"
         "allele: 69 150.000000 1000 2000 2 UNMARKED\nallele: 70 150.000000 1000 2000 3 UNMARKED\n"
         "allele: 71 150.000000 1000 2000 4 UNMARKED\nallele: 72 150.000000 1000 2000 5 UNMARKED\n"
         "tblallele:\ntblallelecount:\ntblweight:\ntbllane: 2 3 4 5 2147483647\n"},
    };
}

class BadPeakFile : public testing::TestWithParam<FileCase> {};

// A trace without the developer log and what only scoring runs print.
std::string withoutLog(const std::string& trace) {
    std::string kept;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("log: ", 0) && line.rfind("progress: ", 0) && line.rfind("stdout: ", 0) && line.rfind("reload: ", 0))
            kept += line + "\n";
    return kept;
}

TEST_P(BadPeakFile, ReplacesOnlyTheDataSet) {
    const FileCase& c = GetParam();
    ScratchDir dir;
    Scored h;
    const std::string kept = h.play(kResults);
    const std::string path = c.make(dir);
    h.play("open " + path);
    const GeneController& g = h.s.controller;
    EXPECT_EQ(h.s.tk.window.title(), "Lociview: " + fs::path(path).filename().string());
    EXPECT_TRUE(h.s.tk.chart.peaks().empty());
    EXPECT_EQ(h.s.tk.numemptylanes.text(), "");
    EXPECT_EQ(g.store().count(), static_cast<int32_t>(g.rows().size()));
    // Opening keeps the last results until the next scoring, and the runs.
    EXPECT_EQ(h.play(kResults), kept);
    if (c.expected) {
        EXPECT_TRUE(g.workingOnFile());
        EXPECT_EQ(withoutLog(h.play(c.then)), c.expected);
        EXPECT_EQ(h.alerts(), Lines{"Are you sure you wish to stop scoring this data?"});
    } else {
        // No data set: nothing to score, and the results stay.
        EXPECT_EQ(withoutLog(h.play("do scoreData:\nshow store\nshow lanes")),
                  "alert: You are not currently working on a file. [Okie Dokie] -> Okie Dokie\n"
                  "store: working 0 backup 0 key 68\nlanelist:\n");
        EXPECT_EQ(h.alerts(), (Lines{"Are you sure you wish to stop scoring this data?", kNoData,
                                     "You are not currently working on a file."}));
        EXPECT_EQ(h.play(kResults), kept);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadPeakFile, testing::ValuesIn(fileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Permission bits: the suite usually runs as root, whom they do not stop,
// so the file then simply reads.
TEST(BadPeakFileAccess, UnreadableFileGivesNoDataUnlessRootReadsIt) {
    ScratchDir dir;
    const std::string path = dir.write("locked.txt", kLine);
    fs::permissions(path, fs::perms::none);
    Scored h;
    h.play("open " + path);
    EXPECT_EQ(h.alerts().size(), ::geteuid() == 0 ? 1u : 2u);
    EXPECT_EQ(h.s.controller.store().count(), ::geteuid() == 0 ? 1 : 0);
}

}  // namespace
}  // namespace lociview
