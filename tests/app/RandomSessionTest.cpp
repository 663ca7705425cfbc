// Thousands of random sessions played line by line through the session
// player (random small peak files, sound and hostile field texts, locus
// cells, switches, selections, alert answers and every action, from a fixed
// seed), every line followed by the shared state rules
// (support/Invariants.h). A failure prints its session as a script for
// lociview-cli run, with the seed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/NullStream.h"
#include "base/NumberText.h"
#include "headless/SessionScript.h"
#include "support/Invariants.h"
#include "support/ScratchDir.h"
#include "support/SlowBuild.h"

namespace lociview {
namespace {

using Lines = std::vector<std::string>;

uint64_t fromEnvironment(const char* name, uint64_t otherwise) {
    const char* text = std::getenv(name);
    const unsigned long long value = text ? std::strtoull(text, nullptr, 10) : 0;
    return value > 0 ? value : otherwise;
}

// A small generator of our own, so a seed means the same session everywhere.
class Rng {
public:
    explicit Rng(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 16);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    std::string pick(const Lines& from) { return from[static_cast<size_t>(below(static_cast<int>(from.size())))]; }

private:
    uint64_t state;
};

// A peak table as a lab might write one: lanes with alleles and their
// stutter ladders, split peaks, noise, headers, junk and odd line ends.
std::string randomPeakFile(Rng& r) {
    const std::string end = r.pick({"\n", "\n", "\r\n", "\r"});
    std::string text = r.chance(40) ? "Sample,Peak\tMinutes\tSize\tHeight\tArea\tData Point" + end : "";
    for (int l = r.between(1, 7); l > 0; --l) {
        const std::string label = (r.chance(10) ? "0" : "") + std::to_string(r.between(1, 12));
        int id = 1;
        const auto peak = [&](double size, int height) {
            text += label + "B," + std::to_string(id++) + "\t" + format("%.2f", 10.0 + size / 10.0) + "\t" +
                    format("%.2f", size) + "\t" + std::to_string(height) + "\t" + format("%.1f", height * 7.5) +
                    "\t" + std::to_string(r.between(1000, 3000)) + end;
        };
        for (int a = r.between(0, 3); a > 0; --a) {
            const double size = r.between(118, 182) + r.below(100) / 100.0;
            const int height = r.chance(5) ? r.between(-500, 0) : r.between(50, 4000);
            for (int k = r.between(0, 3); k >= 1; --k) peak(size - 2.0 * k, height / (k + 1) + r.between(-20, 20));
            peak(size, height);
            if (r.chance(20)) peak(size + 0.2, height / 2);  // a split peak
            if (r.chance(30)) peak(size + 2.0, height / r.between(2, 12));
        }
        for (int n = r.between(0, 3); n > 0; --n) peak(r.between(60, 260) + r.below(100) / 100.0, r.between(0, 300));
        if (r.chance(5))
            text += label + "B,99\t1.0\t" + r.pick({"1e999", "-1e999", "-0"}) + "\t" +
                    r.pick({"0", "-7", std::string(40, '9')}) + "\t1e999\t1" + end;
        if (r.chance(10)) text += "junk line" + end;
        if (r.chance(10)) text += end;
    }
    return text;
}

const Lines kHostile = {"", " ", "text", "1e400", "-2147483649", "nan", "inf", std::string(300, '9'), "-0", "2147483648"};

// Sound texts of each field, by the field's script name.
const Lines kProgenitors = {"150", "156", "148", "152", "160.5", "120", "180", "140", "100", "179.9"},
            kGE = {"10", "12.5", "0", "25", "-5"}, kHeights = {"0", "100", "500", "1000", "3000"};
const std::vector<std::pair<std::string, Lines>> kFieldTexts = {
    {"progenitor1", kProgenitors}, {"progenitor2", kProgenitors},
    {"lowrange", {"120", "100", "140", "150", "119.5", "0", "130.7"}},
    {"highrange", {"180", "200", "160", "150", "170.2", "1e9", "2147483647"}},
    {"shift", {"0", "0", "0.5", "-1", "2", "-3.25", "0.0"}}, {"stuttertol", {"1.5", "1", "0.9", "3", "1.2"}},
    {"geforun", kGE}, {"accumgeforun", kGE}, {"cuwlessthanfield", kHeights}, {"cuwgreaterthanfield", kHeights},
    {"cuwlanefield", {"1", "2", "3", "7", "12", "", " "}}, {"cuwallelefield", {"150", "156", "148", "160", "", " "}},
};

// Most sessions start as a user would: progenitors, a file, a scoring.
// One random step of a user, as script lines added to lines.
void step(Rng& r, const Lines& files, Lines& lines) {
    static Lines actions, often = {"scoreData:", "scoreData:", "cleanUpLessThan:", "cleanUpLaneAndOrAllele:",
                                   "addToAccumulator:", "exportSPPCR2:"};
    if (actions.empty())
        for (const auto& entry : headless::scriptActions()) actions.emplace_back(entry.name);
    const int kind = r.below(100);
    if (kind < 6) {
        if (r.chance(20)) lines.push_back("answer alternate");  // "Keep Scoring"
        lines.push_back(r.chance(10) ? "open" : "open " + r.pick(files));
    } else if (kind < 26) {
        const auto& [field, texts] = kFieldTexts[static_cast<size_t>(r.below(static_cast<int>(kFieldTexts.size())))];
        lines.push_back("set " + field + " " + r.pick(r.chance(15) ? kHostile : texts));
    } else if (kind < 30) {
        lines.push_back("locus " + r.pick({"mono", "di", "di", "di", "tri", "penta", "none"}));
    } else if (kind < 35) {
        lines.push_back("state " + r.pick({"Maybes", "toggleTable"}) + (r.chance(50) ? " on" : " off"));
    } else if (kind < 45) {
        // Rows, and mostly the chart of them at once (a reload clears them).
        lines.push_back("select");
        for (int n = r.between(0, 4); n > 0; --n) lines.back() += " " + std::to_string(r.between(0, 14));
        if (r.chance(70)) lines.push_back("do graphSelections:");
    } else {
        lines.push_back(kind < 49   ? r.pick({"answer default", "answer alternate"})
                        : kind < 53 ? "show chart"
                                    : "do " + r.pick(r.chance(30) ? often : actions));
    }
}

// Peak files shared by all sessions, removed at the end: 40 random ones,
// then an empty file, a missing one and a folder.
struct FilePool {
    ScratchDir dir{"random"};
    Lines paths;
    explicit FilePool(Rng& r) {
        for (int i = 0; i < 40; ++i) paths.push_back(dir.write("peaks" + std::to_string(i) + ".txt", randomPeakFile(r)));
        paths.insert(paths.end(), {dir.write("empty.txt", ""), (dir.path / "missing.txt").string(), dir.path.string()});
    }
};

TEST(RandomSessionTest, EveryLineKeepsTheStateWhole) {
    const uint64_t seed = fromEnvironment("LOCIVIEW_RANDOM_SEED", 20261206);
    const uint64_t sessions = fromEnvironment("LOCIVIEW_RANDOM_SESSIONS", kSlowBuild ? 500 : 5000);
    Rng files(seed);
    const FilePool pool(files);
    for (uint64_t s = 0; s < sessions; ++s) {
        Rng r(seed + s + 1);
        NullStream out;
        headless::Session session(out);
        StateWatch watch;
        std::string script;
        // Most sessions start as a user would: progenitors, a file, a scoring.
        Lines lines;
        if (r.chance(85))
            lines = {"set progenitor1 " + r.pick({"150", "148", "152", "156", "160"}),
                     "set progenitor2 " + r.pick({"150", "148", "152", "156", "160"}),
                     "open " + pool.paths[static_cast<size_t>(r.below(40))], "do scoreData:"};
        for (int steps = r.between(5, 40); steps > 0; --steps) step(r, pool.paths, lines);
        for (const std::string& line : lines) {
            script += line + "\n";
            ASSERT_EQ(session.play(line), std::nullopt) << line;
            const std::string rule = watch.broken(session.controller, session.tk, line);
            if (!rule.empty())
                FAIL() << rule << "\nseed " << seed << ", session " << s << "; the session:\n" << script;
        }
    }
}

}  // namespace
}  // namespace lociview
