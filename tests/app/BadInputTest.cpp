// Every bad input a lab can hand the program, through the headless front
// end: hostile peak files and hostile texts typed into every number field.
// Each case states what the user sees and checks that nothing else is lost:
// a refused action leaves the data set, the results and the accumulator as
// they were; opening a file replaces only the data set. docs/bad-input.md
// lists the same cases as a table.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/ControllerHarness.h"
#include "chart/ChartGeometry.h"

namespace fs = std::filesystem;

namespace lociview {
namespace {

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

const char* const kNoData = "Your file has no data in it. Try to select a file with data in it next time.";
const char* const kConfirm = "Are you sure you wish to stop scoring this data?";
const std::string kPlate = std::string(LOCIVIEW_EXAMPLES_DIR) + "/di-locus-plate.txt";

// A folder of its own for one test, removed with everything in it.
struct ScratchDir {
    fs::path path;
    ScratchDir() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("lociview-bad-") + std::to_string(::getpid()) + "-" + test->name();
        for (char& c : name)
            if (c == '/') c = '_';
        path = fs::temp_directory_path() / name;
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    fs::path write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
        return path / name;
    }
};

void openPath(ControllerHarness& h, const std::string& path) {
    h.tk.dialogs.setOpenAnswer(path);
    h.controller.openData();
    h.tk.dialogs.setOpenAnswer(std::nullopt);
}

std::vector<std::string> alertMessages(const ControllerHarness& h) {
    std::vector<std::string> out;
    for (const auto& a : h.tk.dialogs.shown) out.push_back(a.message);
    return out;
}

// The example plate, scored with P1 150 and P2 156 and added to the
// accumulator with GE 10: the state every case starts from.
void scoredSession(ControllerHarness& h) {
    h.tk.progenitor1.setText("150");
    h.tk.progenitor2.setText("156");
    openPath(h, kPlate);
    h.controller.scoreData();
    h.tk.accumgeforun.setText("10");
    h.controller.preAddToAccumulator();
    h.controller.addToAccumulator();
    ASSERT_EQ(alleleSizes(h.controller.result().alleles), (std::vector<int32_t>{146, 150, 156, 158, 162}));
    ASSERT_EQ(h.controller.accumulator().records().size(), 16u);
    h.tk.dialogs.shown.clear();
    h.takeTrace();
}

// Values of a list, each followed by a blank.
template <class List>
std::string joined(const List& list) {
    std::ostringstream s;
    for (const auto& v : list) s << v << ' ';
    return s.str();
}

std::string keysOf(const AlleleList& list) {
    std::ostringstream s;
    for (const auto& a : list) s << a->getKey() << ' ';
    return s.str();
}

// What a user could lose, as text, so a difference shows where it is.
std::string dataSetState(const ControllerHarness& h) {
    const GeneController& c = h.controller;
    std::ostringstream s;
    s << "title " << h.tk.window.title() << " working " << c.workingOnFile() << " rows " << c.rows().size()
      << " scored " << int{c.scoredFlag()} << " shift " << c.shiftValue() << " locus " << c.locusType() << "\nlanes "
      << joined(c.lanes()) << "\nsizes " << c.alleleCount() << ": " << joined(c.alleleSizes()) << "\nkey "
      << c.store().nextKey() << " working " << keysOf(c.store().workingList()) << '\n';
    for (const auto& a : c.store().backupList())
        s << a->getKey() << ' ' << a->getSize() << ' ' << a->getHeight() << ' ' << a->getArea() << ' '
          << a->getLane() << ' ' << a->getScore() << '\n';
    return s.str();
}

// Opening a file blanks the empty-lane counter; withEmptyLanes false leaves
// it out.
std::string resultsState(const ControllerHarness& h, bool withEmptyLanes = true) {
    const GeneController& c = h.controller;
    return joined(alleleSizes(c.result().alleles)) + "| " + joined(alleleCounts(c.result().alleles)) + "| " + joined(alleleWeights(c.result().alleles)) + "| " +
           joined(c.result().tbllane) + "| " + (withEmptyLanes ? h.tk.numemptylanes.text() : "-") + ' ' +
           h.tk.numones.text() + ' ' + h.tk.numtwos.text() + " | log " + std::to_string(h.tk.datatext.text().size());
}

std::string accumulatorState(const ControllerHarness& h) {
    const accumdb& a = h.controller.accumulator();
    std::ostringstream s;
    s << "run " << a.currentRun() << " p " << a.getP1() << ' ' << a.getP2() << " sizes " << joined(a.getAlleleSizes());
    for (const auto& r : a.records()) s << " (" << r.getSize() << ' ' << r.getRun() << ' ' << r.getGE() << ' ' << r.getReps() << ')';
    return s.str();
}

std::string shownState(const ControllerHarness& h) {
    std::ostringstream s;
    s << "export [" << h.tk.sppcrtext.text() << "] windows " << h.tk.sppcrwindow.isVisible()
      << h.tk.gewindow.isVisible() << h.tk.accwindow.isVisible() << h.tk.cleanupwindow.isVisible() << " chart "
      << keysOf(h.tk.chart.peaks()) << " range " << h.tk.chart.getLow() << ' ' << h.tk.chart.getHigh();
    return s.str();
}

std::string wholeState(const ControllerHarness& h) {
    return dataSetState(h) + resultsState(h) + "\n" + accumulatorState(h) + "\n" + shownState(h);
}

// The three by-allele lists stay parallel whatever the input.
::testing::AssertionResult listsParallel(const GeneController& c) {
    if (alleleCounts(c.result().alleles).size() == alleleSizes(c.result().alleles).size() && alleleWeights(c.result().alleles).size() == alleleSizes(c.result().alleles).size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "by-allele lists out of step";
}

// ---------------------------------------------------------------------------
// Hostile texts in the number fields.

enum class Act { Score, LessThan, GreaterThan, ByLane, ByAllele, Export, Accumulate };

void perform(ControllerHarness& h, Act act) {
    GeneController& c = h.controller;
    switch (act) {
        case Act::Score: c.scoreData(); break;
        case Act::LessThan: c.cleanUpWindow(); c.cleanUpLessThan(); break;
        case Act::GreaterThan: c.cleanUpWindow(); c.cleanUpGreaterThan(); break;
        case Act::ByLane:
        case Act::ByAllele: c.cleanUpWindow(); c.cleanUpLaneAndOrAllele(); break;
        case Act::Export: c.exportSPPCRData(); c.exportSPPCR2(); break;
        case Act::Accumulate: c.preAddToAccumulator(); c.addToAccumulator(); break;
    }
}

headless::Field& fieldNamed(ControllerHarness& h, const std::string& name) {
    for (auto& [n, f] : h.tk.fieldsByName())
        if (n == name) return *f;
    throw std::runtime_error("no field " + name);
}

void type(ControllerHarness& h, const std::string& field, Act act, const std::string& text) {
    // A removal by lane or by allele leaves the other field empty.
    if (act == Act::ByLane) h.tk.cuwallelefield.setText("");
    if (act == Act::ByAllele) h.tk.cuwlanefield.setText("");
    fieldNamed(h, field).setText(text);
}

const std::string kLong(10000, '9');
const std::vector<std::string> kTexts = {"", " ", "text", "1e400", "-2147483649", "nan", "inf", kLong};

// How one text in one field turns out. readsAs: the plain number it is
// taken for (the outcome must equal typing that number); none when the
// action refuses it (the alert, and everything as it was) or, with no alert
// either, when it is used as typed.
struct Outcome {
    const char* readsAs;
    const char* alert;
    bool endsRun = false;  // the alert ends a run that already emptied the results
};

struct FieldCase {
    std::string field;
    Act act;
    std::string text;
    Outcome outcome;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << c.field << " \"" << (c.text.size() > 20 ? c.text.substr(0, 20) + "..." : c.text) << "\"";
}

const char* const kP1Small = "Progenitor 1 is smaller than your Low Range value.";
const char* const kP2Small = "Progenitor 2 is smaller than your Low Range value.";
const char* const kP1Large = "Progenitor 1 is larger than your High Range value.";
const char* const kP2Large = "Progenitor 2 is larger than your High Range value.";
const char* const kStutter = "Your stutter tolerance is too low.";
const char* const kRangeLarge = "Your range is too large to count the alleles in it.";
const char* const kShiftLarge = "Your shift is too large.";
const char* const kSorry = "Your progenitors are different from the ones you have been accumulating.";
const char* const kNothing = "Nothing was deleted";

// A whole-number field: blank, text, nan and inf read as 0, 1e400 as 1,
// and the rest saturate. alert goes with every text, atMost with the nines.
std::vector<Outcome> asInt(const char* alert, const char* atMost) {
    return {{"0", alert}, {"0", alert}, {"0", alert}, {"1", alert}, {"-2147483648", alert},
            {"0", alert}, {"0", alert}, {"2147483647", atMost}};
}

// outcomes with the ones at the given positions (in the order of kTexts:
// empty, blank, text, 1e400, -2147483649, nan, inf, 10,000 nines) replaced.
std::vector<Outcome> but(std::vector<Outcome> outcomes, std::initializer_list<std::pair<size_t, Outcome>> changes) {
    for (const auto& [at, outcome] : changes) outcomes.at(at) = outcome;
    return outcomes;
}

// One row per field and action.
std::vector<FieldCase> fieldCases() {
    const Outcome tooLarge{nullptr, kRangeLarge, true}, shiftLarge{nullptr, kShiftLarge}, infinite{"1e999", nullptr};
    const struct {
        const char* field;
        Act act;
        std::vector<Outcome> outcomes;
    } rows[] = {
        {"progenitor1", Act::Score, asInt(kP1Small, kP1Large)},
        {"progenitor2", Act::Score, asInt(kP2Small, kP2Large)},
        {"lowrange", Act::Score, but(asInt(nullptr, kP1Small), {{3, tooLarge}, {4, tooLarge}})},
        {"highrange", Act::Score, but(asInt(kP1Large, nullptr), {{7, tooLarge}})},
        {"shift", Act::Score, but(asInt(nullptr, nullptr), {{3, shiftLarge}, {4, shiftLarge}, {7, shiftLarge}})},
        {"stuttertol", Act::Score, but(asInt(kStutter, nullptr), {{3, {nullptr, nullptr}}, {7, {nullptr, nullptr}}})},
        {"progenitor1", Act::Accumulate, asInt(kSorry, kSorry)},
        {"progenitor2", Act::Accumulate, asInt(kSorry, kSorry)},
        {"progenitor1", Act::Export, asInt(nullptr, nullptr)},
        // A GE beyond the number range reads as infinity and is written so.
        {"geforun", Act::Export, but(asInt(nullptr, nullptr), {{3, infinite}, {7, infinite}})},
        {"accumgeforun", Act::Accumulate,
         but(asInt(nullptr, nullptr), {{3, infinite}, {4, {"-2147483649.0", nullptr}}, {7, infinite}})},
        {"cuwlessthanfield", Act::LessThan, asInt(nullptr, nullptr)},
        {"cuwgreaterthanfield", Act::GreaterThan, asInt(nullptr, nullptr)},
        {"cuwlanefield", Act::ByLane, but(asInt(nullptr, nullptr), {{0, {nullptr, kNothing}}})},
        {"cuwallelefield", Act::ByAllele, but(asInt(nullptr, nullptr), {{0, {nullptr, kNothing}}})},
    };
    std::vector<FieldCase> cases;
    for (const auto& row : rows)
        for (size_t i = 0; i < kTexts.size(); ++i) cases.push_back({row.field, row.act, kTexts[i], row.outcomes.at(i)});
    return cases;
}

class BadFieldText : public ::testing::TestWithParam<FieldCase> {};

TEST_P(BadFieldText, ReadsAsItsNumberOrIsRefused) {
    const FieldCase& c = GetParam();
    ControllerHarness h;
    scoredSession(h);
    const std::string before = wholeState(h);
    const long reloads = h.tk.tabl.reloadCount();

    type(h, c.field, c.act, c.text);
    perform(h, c.act);
    const std::vector<std::string> alerts = alertMessages(h);
    EXPECT_EQ(alerts, c.outcome.alert ? std::vector<std::string>{c.outcome.alert} : std::vector<std::string>{});
    EXPECT_TRUE(listsParallel(h.controller));

    if (c.outcome.readsAs) {
        // Typing the plain number instead gives the same alerts and state.
        ControllerHarness plain;
        scoredSession(plain);
        type(plain, c.field, c.act, c.outcome.readsAs);
        perform(plain, c.act);
        EXPECT_EQ(alertMessages(plain), alerts);
        EXPECT_EQ(wholeState(h), wholeState(plain));
    } else if (c.outcome.endsRun) {
        // The run ends at its alert after the store was put back: the last
        // results are gone, as with a count of 0, and nothing else changes.
        EXPECT_TRUE(alleleSizes(h.controller.result().alleles).empty());
        EXPECT_TRUE(h.controller.result().tbllane.empty());
        EXPECT_EQ(fieldNamed(h, c.field).text(), c.text);
    } else if (c.outcome.alert) {
        // Refused: everything as it was, the text still in its field.
        EXPECT_EQ(wholeState(h), before);
        EXPECT_EQ(fieldNamed(h, c.field).text(), c.text);
    } else {
        // Used as typed: a scoring run that rebuilt the results.
        EXPECT_EQ(h.tk.tabl.reloadCount(), reloads + 1);
        EXPECT_EQ(h.controller.result().tbllane.size(), 12u);
        for (const double w : alleleWeights(h.controller.result().alleles)) EXPECT_TRUE(std::isfinite(w));
    }
}

std::string fieldCaseName(const ::testing::TestParamInfo<FieldCase>& info) {
    static const char* const texts[] = {"Empty", "Blank", "Text", "Exp400", "BelowInt", "Nan", "Inf", "Long"};
    static const char* const acts[] = {"Score", "LessThan", "GreaterThan", "ByLane", "ByAllele", "Export", "Accumulate"};
    const FieldCase& c = info.param;
    const auto at = std::find(kTexts.begin(), kTexts.end(), c.text) - kTexts.begin();
    return c.field + acts[static_cast<int>(c.act)] + texts[at];
}

INSTANTIATE_TEST_SUITE_P(AllFields, BadFieldText, ::testing::ValuesIn(fieldCases()), fieldCaseName);

// The refusals that mend what used to slip through.
TEST(BadFieldTextMends, RangeTooLargeEndsTheRunLikeACountOfZero) {
    // The swap is made (the user agreed to it); the range is refused at the
    // count, after the restore, as a count of 0 is: the results are emptied.
    ControllerHarness h;
    scoredSession(h);
    const std::string results = resultsState(h);
    h.tk.progenitor1.setText("160");
    h.tk.progenitor2.setText("150");
    h.tk.lowrange.setText("-2147483649");
    h.controller.scoreData();
    EXPECT_EQ(alertMessages(h),
              (std::vector<std::string>{"By convenience, Progenitor 2 needs to be equal to or larger than progenitor 1",
                                        kRangeLarge}));
    EXPECT_EQ(h.tk.progenitor1.text(), "150");
    EXPECT_EQ(h.tk.progenitor2.text(), "160");
    EXPECT_NE(resultsState(h), results);
    EXPECT_TRUE(alleleSizes(h.controller.result().alleles).empty());
}

TEST(BadFieldTextMends, LargestShiftIsGivenBackExactly) {
    ControllerHarness h;
    h.openText("1A,1 1.0 150.32 1000 1.0 1.0\n1A,1 1.0 152.71 800 1.0 1.0\n2A,1 1.0 148.05 900 1.0 1.0\n");
    std::vector<double> read;
    for (const auto& a : h.controller.store().backupList()) read.push_back(a->getSize());
    h.tk.progenitor1.setText("150");
    h.tk.progenitor2.setText("150");
    for (const char* shift : {"2147483647", "-2147483647", "0"}) {
        h.tk.shift.setText(shift);
        h.controller.scoreData();
        EXPECT_TRUE(h.tk.dialogs.shown.empty()) << shift;
    }
    std::vector<double> after;
    for (const auto& a : h.controller.store().backupList()) after.push_back(a->getSize());
    EXPECT_EQ(after, read);
    // One past the largest is refused and moves nothing.
    h.tk.shift.setText("2147483648");
    h.controller.scoreData();
    EXPECT_EQ(alertMessages(h), std::vector<std::string>{kShiftLarge});
    EXPECT_EQ(h.controller.shiftValue(), 0.0);
}

// ---------------------------------------------------------------------------
// Hostile peak files, opened with "Open Another" over the scored session.

struct FileCase {
    const char* name;
    // Makes the file (or whatever stands at the path) and returns its path.
    std::function<std::string(const ScratchDir&)> make;
    bool noData;  // the file gives no rows: the no-data alert
    std::function<void(ControllerHarness&)> check;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

const std::string kLine = "1A,1 1.0 150.0 1000 2000.0 3.0\n";

// A few lanes with a stutter ladder each, the given heights from 146 up.
std::string ladder(const std::vector<int>& heights, const std::string& size0 = "146") {
    std::string text;
    for (int lane = 1; lane <= 3; ++lane)
        for (size_t i = 0; i < heights.size(); ++i)
            text += std::to_string(lane) + "A,1 1.0 " + std::to_string(std::stod(size0) + 2.0 * i) + " " +
                    std::to_string(heights[i]) + " 1.0 1.0\n";
    return text;
}

// Scores the opened file, which must pass without an alert.
void scoreQuietly(ControllerHarness& h, const char* p1 = "150", const char* p2 = "156", const char* low = "120",
                  const char* high = "180") {
    h.tk.progenitor1.setText(p1);
    h.tk.progenitor2.setText(p2);
    h.tk.lowrange.setText(low);
    h.tk.highrange.setText(high);
    h.tk.dialogs.shown.clear();
    h.controller.scoreData();
    EXPECT_TRUE(h.tk.dialogs.shown.empty());
}

// A file of these bytes; a path as it is.
std::function<std::string(const ScratchDir&)> file(const std::string& name, const std::string& bytes) {
    return [=](const ScratchDir& d) { return d.write(name, bytes).string(); };
}
std::function<std::string(const ScratchDir&)> at(const std::string& path) {
    return [=](const ScratchDir&) { return path; };
}
std::function<void(ControllerHarness&)> logs(const std::string& line) {
    return [=](ControllerHarness& h) { EXPECT_NE(h.takeTrace().find(line), std::string::npos) << line; };
}

const std::string kNul(1, '\0');
const std::string kBig = "1" + std::string(400, '0');

std::vector<FileCase> fileCases() {
    return {
        {"Missing", [](const ScratchDir& d) { return (d.path / "no-such-file.txt").string(); }, true, nullptr},
        {"Folder",
         [](const ScratchDir& d) {
             fs::create_directories(d.path / "a-folder");
             return (d.path / "a-folder").string();
         },
         true, nullptr},
        // A pipe with no writer would block a plain open for ever.
        {"Fifo",
         [](const ScratchDir& d) {
             const fs::path p = d.path / "pipe";
             EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
             return p.string();
         },
         true, nullptr},
        // A device that never ends, and one that is always empty.
        {"EndlessDevice", at("/dev/zero"), true, nullptr},
        {"NullDevice", at("/dev/null"), true, nullptr},
        // A terabyte (sparse, so it takes no disk): larger than memory, it
        // cannot be read whole and is refused before any of it is held.
        {"TerabyteFile",
         [](const ScratchDir& d) {
             const fs::path p = d.write("disk-image.bin", "");
             std::error_code ec;
             fs::resize_file(p, uintmax_t{1} << 40, ec);
             EXPECT_FALSE(ec) << "no sparse terabyte here: " << ec.message();
             return p.string();
         },
         true, nullptr},
        {"Empty", file("empty.txt", ""), true, logs("failed trying to scan initial decimal on line 0.")},
        {"BinaryNoise",
         [](const ScratchDir& d) {
             std::string bytes(1 << 16, '\0');
             uint32_t state = 12345;
             for (char& b : bytes) {
                 state = state * 1664525u + 1013904223u;
                 b = static_cast<char>(state >> 24);
             }
             return d.write("noise.bin", bytes).string();
         },
         true, nullptr},
        {"OddLengthUtf16",
         [](const ScratchDir& d) {
             std::string bytes = "\xFF\xFE";
             for (char c : kLine) bytes += std::string{c, '\0'};
             return d.write("odd.txt", bytes + "x").string();
         },
         true, nullptr},
        {"ByteOrderMarkAlone", file("bom.txt", "\xFF\xFE"), true, logs("failed trying to scan initial decimal on line 0.")},
        {"BigEndianMarkAlone", file("bom.txt", "\xFE\xFF"), true, nullptr},
        {"NulBytes",
         file("nul.txt", "1A,1" + kNul + " 1.0 150.0 1000 2000.0 3.0\n" + kNul + kNul + kNul + "\n" +
                             "2A,1 1.0 152.0 900 2000.0 3.0" + kNul + "\n" + kLine),
         false,
         [](ControllerHarness& h) {
             // A NUL inside a line tosses it; one after the last item is ignored.
             EXPECT_EQ(h.controller.rows().size(), 2u);
             EXPECT_EQ(h.controller.lanes(), (std::vector<int32_t>{1, 2}));
             EXPECT_NE(h.takeTrace().find("failed trying to scan first float on line 0."), std::string::npos);
         }},
        {"FourHundredDigits",
         file("digits.txt", kBig + "A,1 1.0 " + kBig + " " + kBig + " " + kBig + " 3.0\n" + "2A,1 1.0 " + kBig + " -" +
                                kBig + " -" + kBig + " 3.0\n"),
         false,
         [](ControllerHarness& h) {
             const auto& r = h.controller.store().workingList();
             ASSERT_EQ(r.size(), 2u);
             // Lane and height saturate; a size or area beyond single
             // precision is stored as "inf", which reads back as 0.
             EXPECT_EQ(r[0]->getLane(), kIntMax);
             EXPECT_EQ(r[0]->getSize(), 0.0);
             EXPECT_EQ(r[0]->getHeight(), kIntMax);
             EXPECT_EQ(r[0]->getArea(), 0);
             EXPECT_EQ(r[1]->getHeight(), kIntMin);
             EXPECT_EQ(r[1]->getArea(), 0);
             EXPECT_EQ(h.controller.lanes(), (std::vector<int32_t>{2, kIntMax}));
         }},
        {"InfiniteSizes",
         file("inf.txt", "1A,1 1.0 1e999 1000 1e999 3.0\n1A,1 1.0 -1e999 800 1.0 3.0\n1A,1 1.0 0.2 600 1.0 3.0\n"),
         false,
         [](ControllerHarness& h) {
             // Infinite sizes and areas are stored as "inf" and read back as
             // 0: peaks at 0 bp that scoring handles like any other.
             const auto& r = h.controller.store().workingList();
             ASSERT_EQ(r.size(), 3u);
             EXPECT_EQ(r[0]->getSize(), 0.0);
             EXPECT_EQ(r[0]->getArea(), 0);
             EXPECT_EQ(r[1]->getSize(), 0.0);
             scoreQuietly(h, "0", "0", "-10", "10");
             EXPECT_EQ(alleleSizes(h.controller.result().alleles).size(), alleleCounts(h.controller.result().alleles).size());
         }},
        // Lane labels in other scripts' digits are kept as text, but a lane
        // number is read from ASCII digits only, so they read as lane 0.
        {"UnicodeDigitLanes",
         [](const ScratchDir& d) {
             // UTF-16LE of the labels 1 (Arabic-Indic), 2 (Devanagari),
             // 12 (fullwidth 1, ASCII 2), 400 Arabic-Indic nines, and 7
             // three ways (ASCII, with a leading zero, Arabic-Indic).
             std::u16string text = u"\uFEFF";
             for (const std::u16string& label :
                  {std::u16string(u"\u0661"), std::u16string(u"\u0968"), std::u16string(u"\uFF112"),
                   std::u16string(400, u'\u0669'), std::u16string(u"7"), std::u16string(u"07"),
                   std::u16string(u"\u0667")})
                 text += label + u"A,1 1.0 150.0 1000 2000.0 3.0\n";
             std::string bytes;
             for (const char16_t unit : text) {
                 bytes += static_cast<char>(unit & 0xFF);
                 bytes += static_cast<char>(unit >> 8);
             }
             return d.write("digits.txt", bytes).string();
         },
         false,
         [](ControllerHarness& h) {
             // Labels of one value that differ as text are entries of their
             // own, as written; that lane is scored once per entry.
             const std::vector<int32_t> ascending = {0, 0, 0, 0, 0, 7, 7};
             EXPECT_EQ(h.controller.lanes(), ascending);
             std::vector<int32_t> lanes;
             for (const auto& a : h.controller.store().workingList()) lanes.push_back(a->getLane());
             EXPECT_EQ(lanes, (std::vector<int32_t>{0, 0, 0, 0, 7, 7, 0}));
             scoreQuietly(h);
             EXPECT_EQ(h.controller.result().tbllane, ascending);
         }},
        {"NegativeZero", file("zero.txt", "1A,1 -0 -0 -0 -0 -0\n"), false,
         [](ControllerHarness& h) {
             const Allele& a = *h.controller.store().workingList().at(0);
             EXPECT_EQ(a.getSize(), 0.0);
             EXPECT_TRUE(std::signbit(a.getSize()));
             EXPECT_EQ(a.getHeight(), 0);
             EXPECT_EQ(a.getArea(), 0);
         }},
        {"NegativeSizesAndHeights",
         file("neg.txt", ladder({-300, -600, 1000, -200, 300, 900}) +
                             "4A,1 1.0 -150.0 -1000 -2000.0 3.0\n4A,1 1.0 150.0 -5 1.0 1.0\n"),
         false,
         [](ControllerHarness& h) {
             scoreQuietly(h);
             EXPECT_TRUE(listsParallel(h.controller));
             EXPECT_EQ(h.controller.result().tbllane, (std::vector<int32_t>{1, 2, 3, 4}));
             for (const auto& a : h.controller.store().workingList()) EXPECT_GE(a->getSize(), 120.0);
             for (const double w : alleleWeights(h.controller.result().alleles)) EXPECT_TRUE(std::isfinite(w));
         }},
        {"ZeroHeights",
         file("zeros.txt", ladder({0, 0, 0, 0, 0, 0})), false,
         [](ControllerHarness& h) {
             scoreQuietly(h);
             EXPECT_TRUE(listsParallel(h.controller));
             ASSERT_FALSE(alleleWeights(h.controller.result().alleles).empty());
             for (const double w : alleleWeights(h.controller.result().alleles)) EXPECT_EQ(w, 0.0);
             // The chart draws flat curves rather than dividing by 0.
             h.tk.tabl.select({0, 1, 2});
             h.controller.graphSelections();
             const ChartFrame f = ChartGeometry::frame(h.tk.chart);
             ASSERT_FALSE(f.curves.empty());
             for (const auto& curve : f.curves) EXPECT_EQ(curve.amplitude, 0);
         }},
        {"MillionCharacterLines",
         [](const ScratchDir& d) {
             const std::string million(1000000, ' ');
             std::string text = std::string(1000000, '9') + "A,1 1.0 150.0 1000 2000.0 3.0\n";
             text += "2" + std::string(1000000, 'A') + ",1 1.0 150.0 1000 2000.0 3.0\n";
             text += "3A,1" + million + "1.0" + million + "150.0 1000 2000.0 3.0\n";
             text += "4A,1 1.0 150." + std::string(1000000, '0') + "1 1000 2000.0 3.0\n";
             text += std::string(1000000, 'x') + "\n";
             text += "5A,1 1.0 150.0 1000 2000.0 " + std::string(1000000, '7') + "\n";
             return d.write("long.txt", text).string();
         },
         false,
         [](ControllerHarness& h) {
             EXPECT_EQ(h.controller.lanes(), (std::vector<int32_t>{2, 3, 4, 5, kIntMax}));
             for (const auto& a : h.controller.store().workingList()) EXPECT_EQ(a->getSize(), 150.0);
             EXPECT_EQ(h.controller.rows().at(1)[1].size(), 1000000u);
             scoreQuietly(h);
             EXPECT_EQ(h.controller.result().tbllane.size(), 5u);
         }},
    };
}

class BadPeakFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(BadPeakFile, ReplacesOnlyTheDataSet) {
    const FileCase& c = GetParam();
    ScratchDir dir;
    ControllerHarness h;
    scoredSession(h);
    const std::string results = resultsState(h, false);
    const std::string accumulator = accumulatorState(h);

    const std::string path = c.make(dir);
    openPath(h, path);
    std::vector<std::string> expected = {kConfirm};
    if (c.noData) expected.push_back(kNoData);
    EXPECT_EQ(alertMessages(h), expected);
    EXPECT_EQ(h.tk.window.title(), "Lociview: " + fs::path(path).filename().string());
    EXPECT_TRUE(h.tk.chart.peaks().empty());
    EXPECT_EQ(h.tk.numemptylanes.text(), "");
    // Opening keeps the last results until the next scoring, and the runs.
    EXPECT_EQ(resultsState(h, false), results);
    EXPECT_EQ(accumulatorState(h), accumulator);
    if (c.noData) {
        EXPECT_EQ(h.controller.workingOnFile(), 0);
        EXPECT_EQ(h.controller.store().count(), 0);
        EXPECT_TRUE(h.controller.store().backupList().empty());
        EXPECT_TRUE(h.controller.lanes().empty());
        // With no data set a scoring is refused and the results stay.
        h.tk.dialogs.shown.clear();
        h.controller.scoreData();
        EXPECT_EQ(alertMessages(h), std::vector<std::string>{"You are not currently working on a file."});
        EXPECT_EQ(resultsState(h, false), results);
    } else {
        EXPECT_EQ(h.controller.workingOnFile(), 1);
        EXPECT_EQ(h.controller.store().count(), static_cast<int32_t>(h.controller.rows().size()));
    }
    if (c.check) c.check(h);
}

INSTANTIATE_TEST_SUITE_P(Files, BadPeakFile, ::testing::ValuesIn(fileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Permission bits: the suite usually runs as root, whom they do not stop,
// so the file then simply reads.
TEST(BadPeakFileAccess, UnreadableFileGivesNoDataUnlessRootReadsIt) {
    ScratchDir dir;
    const fs::path path = dir.write("locked.txt", kLine);
    fs::permissions(path, fs::perms::none);
    ControllerHarness h;
    openPath(h, path.string());
    if (::geteuid() == 0) {
        EXPECT_TRUE(h.tk.dialogs.shown.empty());
        EXPECT_EQ(h.controller.store().count(), 1);
    } else {
        EXPECT_EQ(alertMessages(h), std::vector<std::string>{kNoData});
        EXPECT_EQ(h.controller.workingOnFile(), 0);
    }
}

}  // namespace
}  // namespace lociview
