#include "accum/accumdb.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "base/Describe.h"
#include "base/NumberText.h"

namespace lociview {

namespace {

// GE values pool by exact equality; NaN is kept as one value rather than a
// fresh row per record.
bool sameGE(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

void accumdb::reset() {
    rkey = 0;
    p1 = -1;
    p2 = -1;
    allelesizes.clear();
    list.clear();
    runs.clear();
}

bool accumdb::setP1(int32_t a, int32_t b) {
    if (p1 == -1 && p2 == -1) {
        p1 = a;
        p2 = b;
        return true;
    }
    return p1 == a && p2 == b;
}

void accumdb::addAccAlle(const accumallele& record) {
    list.push_back(record);
    addSize(saturatingInt(record.getSize()));
}

void accumdb::addSize(int32_t size) {
    if (std::find(allelesizes.begin(), allelesizes.end(), size) != allelesizes.end()) return;
    allelesizes.push_back(size);
    std::sort(allelesizes.begin(), allelesizes.end());
}

void accumdb::addRun(const std::vector<AlleleRow>& rows, double ge, int32_t reps, const LaneCounters& counters,
                    int32_t locus) {
    const int32_t run = currentRun();
    noteRun({run, ge, reps, counters, locus});
    for (const AlleleRow& row : rows) {
        const double size = row.size;
        for (int32_t k = 0; k < row.count; ++k) addAccAlle(accumallele(size, run, ge, reps));
    }
    incRuns();
}

std::vector<double> accumdb::getNumberOfRuns() const {
    std::vector<double> values;
    for (const accumallele& r : list) {
        const double ge = r.getGE();
        if (std::none_of(values.begin(), values.end(), [ge](double v) { return sameGE(v, ge); }))
            values.push_back(ge);
    }
    return values;
}

int32_t accumdb::getIntNumberOfRuns() const { return static_cast<int32_t>(getNumberOfRuns().size()); }

int32_t accumdb::getRepsForGE(double ge) const {
    int64_t total = 0;
    std::set<int32_t> counted;
    for (const accumallele& r : list) {
        if (!sameGE(r.getGE(), ge)) continue;
        if (counted.insert(r.getRun()).second) total += r.getReps();
    }
    return clampToInt32(total);
}

std::vector<int32_t> accumdb::alleleCountsForGE(double ge) const {
    std::vector<int32_t> counts;
    counts.reserve(allelesizes.size());
    for (int32_t size : allelesizes) {
        const double s = size;
        int32_t n = 0;
        for (const accumallele& r : list)
            if (sameGE(r.getGE(), ge) && r.getSize() == s) ++n;
        counts.push_back(n);
    }
    return counts;
}

std::string accumdb::exportText() const {
    const std::vector<double> values = getNumberOfRuns();
    const int32_t rows = static_cast<int32_t>(values.size());
    if (log.enabled()) logf(log, "snor list = %s", describe(values).c_str());
    logf(log, "snor = %d", rows);

    std::string str;
    const auto append = [&](const std::string& piece) {
        str += piece;
        logf(log, "str = %s", str.c_str());
    };

    append("7 ");
    append(format("%d ", rows));
    append(format("%d ", getNumAlleles()));
    append(convertArray(allelesizes, log) + "\n");
    append(format("%d %d\n", p1, p2));
    for (double ge : values) {
        append(format("%.2lf ", ge));
        append(format("%d ", getRepsForGE(ge)));
        append(convertArray(alleleCountsForGE(ge), log) + "\n");
    }
    return str;
}

std::string convertArray(const std::vector<int32_t>& numbers, LogSink& log) {
    if (log.enabled()) logf(log, "bob== %s", describe(numbers).c_str());
    std::string text;
    for (int32_t n : numbers) {
        logf(log, "[bob objectAtIndex:x]== %d", n);
        text += format("%d ", n);
    }
    return text;
}

}  // namespace lociview
