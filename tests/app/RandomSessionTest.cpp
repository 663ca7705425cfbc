// Thousands of random sessions through the headless front end: random small
// peak files, field texts (sound and hostile), locus cells, switches,
// selections, alert answers and every action, from a fixed seed. After
// every step the store, the result lists, the accumulator and the chart
// must still hold together. A failure prints the session as a script (see
// lociview-cli run) with the seed, so it can be played again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/NumberText.h"
#include "app/GeneController.h"
#include "headless/HeadlessToolkit.h"
#include "headless/SessionScript.h"
#include "support/SlowBuild.h"
#include "chart/ChartGeometry.h"

namespace fs = std::filesystem;

namespace lociview {
namespace {

uint64_t fromEnvironment(const char* name, uint64_t otherwise) {
    if (const char* text = std::getenv(name)) {
        const unsigned long long value = std::strtoull(text, nullptr, 10);
        if (value > 0) return value;
    }
    return otherwise;
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
    template <typename T>
    const T& pick(const std::vector<T>& from) {
        return from[static_cast<size_t>(below(static_cast<int>(from.size())))];
    }

private:
    uint64_t state;
};

// A peak table as a lab might write one: lanes with alleles and their
// stutter ladders, split peaks, noise, headers, junk and odd line ends.
std::string randomPeakFile(Rng& r) {
    const std::string end = r.pick<std::string>({"\n", "\n", "\r\n", "\r"});
    std::string text;
    if (r.chance(40)) text += "Sample,Peak\tMinutes\tSize\tHeight\tArea\tData Point" + end;
    const int lanes = r.between(1, 7);
    for (int l = 0; l < lanes; ++l) {
        std::string label = std::to_string(r.between(1, 12));
        if (r.chance(10)) label = "0" + label;
        int id = 1;
        const auto peak = [&](double size, int height) {
            text += label + "B," + std::to_string(id++) + "\t" + format("%.2f", 10.0 + size / 10.0) + "\t" +
                    format("%.2f", size) + "\t" + std::to_string(height) + "\t" + format("%.1f", height * 7.5) +
                    "\t" + std::to_string(r.between(1000, 3000)) + end;
        };
        const int alleles = r.between(0, 3);
        for (int a = 0; a < alleles; ++a) {
            const double size = r.between(118, 182) + r.below(100) / 100.0;
            const int height = r.chance(5) ? r.between(-500, 0) : r.between(50, 4000);
            for (int k = r.between(0, 3); k >= 1; --k) peak(size - 2.0 * k, height / (k + 1) + r.between(-20, 20));
            peak(size, height);
            if (r.chance(20)) peak(size + 0.2, height / 2);  // a split peak
            if (r.chance(30)) peak(size + 2.0, height / r.between(2, 12));
        }
        for (int n = r.between(0, 3); n > 0; --n) peak(r.between(60, 260) + r.below(100) / 100.0, r.between(0, 300));
        if (r.chance(5)) text += label + "B,99\t1.0\t" + r.pick<std::string>({"1e999", "-1e999", "-0"}) + "\t" +
                                 r.pick<std::string>({"0", "-7", std::string(40, '9')}) + "\t1e999\t1" + end;
        if (r.chance(10)) text += "junk line" + end;
        if (r.chance(10)) text += end;
    }
    return text;
}

const std::vector<std::string> kFieldNames = {"progenitor1",  "progenitor2",      "lowrange",
                                              "highrange",    "shift",            "stuttertol",
                                              "geforun",      "accumgeforun",     "cuwlessthanfield",
                                              "cuwgreaterthanfield", "cuwlanefield", "cuwallelefield"};

const std::vector<std::string> kHostile = {"", " ", "text", "1e400", "-2147483649", "nan", "inf",
                                           std::string(300, '9'), "-0", "2147483648"};

std::string randomFieldText(Rng& r, const std::string& field) {
    if (r.chance(15)) return r.pick(kHostile);
    if (field == "progenitor1" || field == "progenitor2")
        return r.pick<std::string>({"150", "156", "148", "152", "160.5", "120", "180", "140", "100", "179.9"});
    if (field == "lowrange") return r.pick<std::string>({"120", "100", "140", "150", "119.5", "0", "130.7"});
    if (field == "highrange") return r.pick<std::string>({"180", "200", "160", "150", "170.2", "1e9", "2147483647"});
    if (field == "shift") return r.pick<std::string>({"0", "0", "0.5", "-1", "2", "-3.25", "0.0"});
    if (field == "stuttertol") return r.pick<std::string>({"1.5", "1", "0.9", "3", "1.2"});
    if (field == "geforun" || field == "accumgeforun") return r.pick<std::string>({"10", "12.5", "0", "25", "-5"});
    if (field == "cuwlanefield") return r.pick<std::string>({"1", "2", "3", "7", "12", "", " "});
    if (field == "cuwallelefield") return r.pick<std::string>({"150", "156", "148", "160", "", " "});
    return r.pick<std::string>({"0", "100", "500", "1000", "3000"});
}

// Every action, by the name a script gives it.
using Action = headless::ActionEntry;
const std::vector<Action> kActions(headless::scriptActions().begin(), headless::scriptActions().end());

// One session: a controller on the headless toolkit (developer log off, so
// thousands of sessions stay quick) and what it has seen so far.
class Session {
public:
    Session() { tk.tabl.setRowCount([this] { return c.numberOfRowsInTableView(); }); }

    // Most sessions start as a user would: progenitors, a file, a scoring.
    void start(Rng& r, const std::vector<std::string>& files) {
        if (!r.chance(85)) return;
        for (auto [name, field] : {std::pair{"progenitor1", &tk.progenitor1}, {"progenitor2", &tk.progenitor2}}) {
            const std::string text = r.pick<std::string>({"150", "148", "152", "156", "160"});
            note(std::string("set ") + name + " " + text);
            field->setText(text);
        }
        const std::string& path = files[static_cast<size_t>(r.below(static_cast<int>(files.size()) - 3))];
        note("open " + path);
        tk.dialogs.setOpenAnswer(path);
        c.openData();
        tk.dialogs.setOpenAnswer(std::nullopt);
        note("do scoreData:");
        c.scoreData();
        trace.str("");
    }

    // One random step, written down as the script line a user would play.
    void step(Rng& r, const std::vector<std::string>& files) {
        const int kind = r.below(100);
        if (kind < 6) {
            const std::string& path = r.pick(files);
            if (r.chance(20)) {
                note("answer alternate");  // "Keep Scoring"
                tk.dialogs.queueAnswer(true);
            }
            if (r.chance(10)) {
                note("open");
                tk.dialogs.setOpenAnswer(std::nullopt);
            } else {
                note("open " + path);
                tk.dialogs.setOpenAnswer(path);
            }
            c.openData();
            tk.dialogs.setOpenAnswer(std::nullopt);
        } else if (kind < 26) {
            const std::string& field = r.pick(kFieldNames);
            const std::string text = randomFieldText(r, field);
            note("set " + field + " " + text);
            for (auto& [name, f] : tk.fieldsByName())
                if (name == field) f->setText(text);
        } else if (kind < 30) {
            // Column -1 turns every cell off.
            static const std::vector<std::pair<std::string, int>> cells = {
                {"mono", 0}, {"di", 1}, {"di", 1}, {"di", 1}, {"tri", 2}, {"penta", 3}, {"none", -1}};
            const auto& [cell, column] = r.pick(cells);
            note("locus " + cell);
            tk.locusmatrix.select(column);
        } else if (kind < 35) {
            const bool on = r.chance(50);
            if (r.chance(50)) {
                note(std::string("state Maybes ") + (on ? "on" : "off"));
                tk.Maybes.setState(on);
            } else {
                note(std::string("state toggleTable ") + (on ? "on" : "off"));
                tk.toggleTable.setState(on);
            }
        } else if (kind < 45) {
            // Rows, and mostly the chart of them at once (a reload clears them).
            std::vector<long long> rows;
            std::string line = "select";
            for (int n = r.between(0, 4); n > 0; --n) {
                rows.push_back(r.between(0, 14));
                line += " " + std::to_string(rows.back());
            }
            note(line);
            tk.tabl.select(rows);
            if (r.chance(70)) {
                note("do graphSelections:");
                c.graphSelections();
            }
        } else if (kind < 49) {
            const bool alternate = r.chance(50);
            note(alternate ? "answer alternate" : "answer default");
            tk.dialogs.queueAnswer(alternate);
        } else if (kind < 53) {
            note("show chart");
            const ChartFrame f = ChartGeometry::frame(tk.chart);
            for (const ChartCurve& curve : f.curves)
                if (std::isnan(curve.x0) || std::isnan(curve.width) || std::isnan(curve.spread)) badFrame = true;
        } else {
            // Scoring and the actions that need a scoring come up more often.
            static const std::vector<Action> often = {kActions[2], kActions[2], kActions[7],
                                                      kActions[9], kActions[11], kActions[14]};
            const Action& action = r.chance(30) ? r.pick(often) : r.pick(kActions);
            note("do " + std::string(action.name));
            (c.*action.action)();
        }
        trace.str("");
    }

    // Everything that must hold after any step; the first broken rule.
    std::string broken() {
        if (badFrame) return "chart frame with a curve that is not a number";
        const AlleleDB& db = c.store();
        std::unordered_set<const Allele*> backup;
        std::unordered_set<int32_t> backupKeys;
        for (const AllelePtr& a : db.backupList()) {
            backup.insert(a.get());
            if (!backupKeys.insert(a->getKey()).second) return "key " + std::to_string(a->getKey()) + " twice";
            if (a->getKey() < 0 || static_cast<uint32_t>(a->getKey()) >= db.nextKey())
                return "key " + std::to_string(a->getKey()) + " not below the counter";
            // A key names one record for the whole session.
            auto [it, fresh] = everyKey.try_emplace(a->getKey(), a);
            if (!fresh && it->second.lock() != a) return "key " + std::to_string(a->getKey()) + " reused";
        }
        if (db.nextKey() < lastKey) return "key counter went back";
        lastKey = db.nextKey();

        std::unordered_set<int32_t> workingKeys;
        for (const AllelePtr& a : db.workingList()) {
            if (!backup.count(a.get())) return "working record " + std::to_string(a->getKey()) + " not in backup";
            if (!workingKeys.insert(a->getKey()).second) return "working key twice";
        }
        if (db.count() != static_cast<int32_t>(db.workingList().size())) return "count is not the working size";

        if (alleleCounts(c.result().alleles).size() != alleleSizes(c.result().alleles).size() ||
            alleleWeights(c.result().alleles).size() != alleleSizes(c.result().alleles).size())
            return "by-allele lists not parallel";

        const accumdb& acc = c.accumulator();
        const auto& sizes = acc.getAlleleSizes();
        for (size_t i = 1; i < sizes.size(); ++i)
            if (!(sizes[i - 1] < sizes[i])) return "accumulator sizes not sorted and distinct";
        for (const auto& rec : acc.records())
            if (!std::binary_search(sizes.begin(), sizes.end(), saturatingInt(rec.getSize())))
                return "accumulated record size not listed";

        for (const AllelePtr& a : tk.chart.peaks())
            if (!backup.count(a.get())) return "chart peak " + std::to_string(a->getKey()) + " not in the store";

        // Every cell the table can be asked for answers.
        const int32_t rows = c.numberOfRowsInTableView();
        if (rows < 0) return "negative row count";
        for (const std::string& column : tk.tabl.columnIdentifiers())
            for (int32_t row = 0; row < std::min(rows, 20); ++row) (void)c.tableView(column, row);
        return "";
    }

    std::string script() const { return lines; }

private:
    void note(const std::string& line) { lines += line + "\n"; }

    std::ostringstream trace;
    headless::HeadlessToolkit tk{trace, false};
    GeneController c{tk.outlets()};
    std::map<int32_t, std::weak_ptr<Allele>> everyKey;
    uint32_t lastKey = 0;
    bool badFrame = false;
    std::string lines;
};

// Peak files shared by all sessions, removed at the end.
struct FilePool {
    fs::path dir;
    std::vector<std::string> paths;
    explicit FilePool(Rng& r) {
        dir = fs::temp_directory_path() / ("lociview-random-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        for (int i = 0; i < 40; ++i) {
            const fs::path p = dir / ("peaks" + std::to_string(i) + ".txt");
            std::ofstream(p, std::ios::binary) << randomPeakFile(r);
            paths.push_back(p.string());
        }
        std::ofstream(dir / "empty.txt");
        paths.push_back((dir / "empty.txt").string());
        paths.push_back((dir / "missing.txt").string());
        paths.push_back(dir.string());
    }
    ~FilePool() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

TEST(RandomSessionTest, EveryStepKeepsTheStateWhole) {
    const uint64_t seed = fromEnvironment("LOCIVIEW_RANDOM_SEED", 20261206);
    const uint64_t sessions = fromEnvironment("LOCIVIEW_RANDOM_SESSIONS", kSlowBuild ? 500 : 5000);
    Rng files(seed);
    const FilePool pool(files);
    for (uint64_t s = 0; s < sessions; ++s) {
        Rng r(seed + s + 1);
        Session session;
        session.start(r, pool.paths);
        const int steps = r.between(5, 40);
        for (int i = 0; i < steps; ++i) {
            session.step(r, pool.paths);
            const std::string rule = session.broken();
            if (!rule.empty())
                FAIL() << rule << "\nseed " << seed << ", session " << s << ", step " << i << "; the session:\n"
                       << session.script();
        }
    }
}

}  // namespace
}  // namespace lociview
