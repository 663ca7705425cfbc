#pragma once
// The rules the controller's state keeps after any user action, in one
// place: the random and hostile sessions, the bad-input table and the fuzz
// targets check them after every step. Free of any test framework, so the
// fuzz targets include it as it is.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "app/GeneController.h"
#include "base/NumberText.h"
#include "chart/ChartGeometry.h"
#include "headless/HeadlessToolkit.h"

namespace lociview {

// Watches one controller from step to step, since some rules compare a
// step with the ones before it: a key names one record for the whole
// session, and the accumulated runs stay as they were until the user
// resets them (an addition only appends).
class StateWatch {
public:
    // The first rule broken after the script line `line` was carried out
    // ("do resetAccumulator:" may empty the accumulator, "do
    // addToAccumulator:" extend it), or "" when the state holds together.
    std::string broken(const GeneController& c, const headless::HeadlessToolkit& tk, std::string_view line) {
        for (std::string rule : {store(c.store()), lanesAndResults(c, tk.tabl.columnIdentifiers()),
                                 accumulator(c, line), drawn(tk.chart)})
            if (!rule.empty()) return rule;
        return "";
    }

private:
    std::string store(const AlleleDB& db) {
        backup.clear();
        for (const AllelePtr& a : db.backupList()) {
            const std::string key = "key " + std::to_string(a->getKey());
            if (!backup.insert(a.get()).second) return key + " twice in the backup";
            if (a->getKey() < 0 || static_cast<uint32_t>(a->getKey()) >= db.nextKey()) return key + " not below the counter";
            auto [it, fresh] = everyKey.try_emplace(a->getKey(), a);
            if (!fresh && it->second.lock() != a) return key + " names another record";
        }
        if (db.nextKey() < lastKey) return "key counter went back";
        lastKey = db.nextKey();
        largestStore = std::max(largestStore, db.backupList().size());

        std::unordered_set<const Allele*> working;
        for (const AllelePtr& a : db.workingList()) {
            if (!backup.count(a.get())) return "working record " + std::to_string(a->getKey()) + " not in the backup";
            if (!working.insert(a.get()).second) return "working record twice";
            if (db.getAlleleWithKey(a->getKey()) != a) return "key index lost record " + std::to_string(a->getKey());
        }
        if (db.count() != static_cast<int32_t>(working.size())) return "count is not the working size";
        return "";
    }

    std::string lanesAndResults(const GeneController& c, const std::vector<std::string>& columns) {
        const std::vector<int32_t>& lanes = c.lanes();
        if (c.laneCount() != static_cast<int32_t>(lanes.size())) return "numlanes differs from the lane list";
        if (!std::is_sorted(lanes.begin(), lanes.end())) return "lane list not ascending";
        for (const AllelePtr& a : c.store().workingList())
            if (!std::binary_search(lanes.begin(), lanes.end(), a->getLane())) return "record lane not in the lane list";

        const ScoringResult& r = c.result();
        int64_t counted = 0;
        for (size_t i = 0; i < r.alleles.size(); ++i) {
            if (i > 0 && r.alleles[i - 1].size >= r.alleles[i].size) return "result sizes not ascending";
            counted += std::max(r.alleles[i].count, 0);  // repeated removals may take a count below 0
        }
        // The rows outlive an opening, so the bound is the largest store held.
        if (counted > static_cast<int64_t>(largestStore)) return "more counted peaks than peaks";
        const auto& n = r.counters;
        if (n && (std::min({n->empty, n->ones, n->twos}) < 0 ||
                  (!r.tbllane.empty() && n->empty + n->ones + n->twos != static_cast<int32_t>(r.tbllane.size()))))
            return "lane counters do not add up to the lanes";
        // Every cell the table can be asked for answers.
        for (const std::string& column : columns)
            for (int32_t row = 0; row < std::min(c.numberOfRowsInTableView(), 20); ++row) (void)c.tableView(column, row);
        return "";
    }

    std::string accumulator(const GeneController& c, std::string_view line) {
        const accumdb& acc = c.accumulator();
        const auto& sizes = acc.getAlleleSizes();
        for (size_t i = 1; i < sizes.size(); ++i)
            if (sizes[i - 1] >= sizes[i]) return "accumulated sizes not ascending and distinct";
        for (const accumallele& r : acc.records()) {
            if (!std::binary_search(sizes.begin(), sizes.end(), saturatingInt(r.getSize())))
                return "accumulated record size not listed";
            if (r.getRun() < 0 || r.getRun() >= acc.currentRun()) return "record of a run not yet counted";
        }
        const auto& listed = c.accumulatedRunList();
        if (!c.runLog() && (acc.accumulatedRuns().size() != static_cast<size_t>(acc.currentRun()) ||
                            listed.size() != acc.accumulatedRuns().size()))
            return "runs noted differ from the run counter";
        for (size_t i = 1; i < listed.size(); ++i)
            if (listed[i - 1].id >= listed[i].id || listed[i - 1].run >= listed[i].run) return "runs listed out of order";

        const bool reset = line == "do resetAccumulator:", added = line == "do addToAccumulator:";
        if (reset && (!acc.records().empty() || acc.currentRun() != 0 || acc.getP1() != -1))
            return "reset left runs behind";
        if (!reset) {
            const size_t kept = accumulated.size();
            if (acc.records().size() < kept || (!added && acc.records().size() != kept))
                return "accumulated records changed without adding or resetting";
            if (!std::equal(accumulated.begin(), accumulated.end(), acc.records().begin(), same))
                return "an accumulated record changed";
            if (acc.currentRun() < run || (!added && acc.currentRun() != run)) return "run counter moved";
            if (p1 != -1 && (acc.getP1() != p1 || acc.getP2() != p2)) return "latched progenitors changed";
        }
        std::tie(accumulated, run, p1, p2) = std::tuple(acc.records(), acc.currentRun(), acc.getP1(), acc.getP2());
        return "";
    }

    // The chart holds records of the store; a frame of it (drawn on a copy,
    // as drawing moves the low bound) has numbers everywhere.
    std::string drawn(const ChartModel& chart) const {
        for (const AllelePtr& a : chart.peaks())
            if (!backup.count(a.get())) return "chart peak " + std::to_string(a->getKey()) + " not in the store";
        ChartModel copy = chart;
        for (const ChartCurve& curve : ChartGeometry::frame(copy).curves)
            if (std::isnan(curve.x0) || std::isnan(curve.width) || std::isnan(curve.spread))
                return "chart curve that is not a number";
        return "";
    }

    static bool same(const accumallele& a, const accumallele& b) {
        return std::tuple(a.getSize(), a.getRun(), a.getReps()) == std::tuple(b.getSize(), b.getRun(), b.getReps()) &&
               (a.getGE() == b.getGE() || (std::isnan(a.getGE()) && std::isnan(b.getGE())));
    }

    std::unordered_set<const Allele*> backup;  // of the step checked
    std::map<int32_t, std::weak_ptr<Allele>> everyKey;
    uint32_t lastKey = 0;
    size_t largestStore = 0;
    std::vector<accumallele> accumulated;
    int32_t run = 0, p1 = -1, p2 = -1;
};

}  // namespace lociview
