#include "model/AlleleDB.h"

#include <algorithm>
#include <cmath>

#include "app/FieldText.h"

namespace lociview {

AlleleDB::AlleleDB(LogSink& sink) : log(sink) {
    if (log.enabled()) logf(log, "list made %s", describe(list).c_str());
}

void AlleleDB::addAlleleWithSize(double size, int32_t height, int32_t area, int32_t lane) {
    auto allele = std::make_shared<Allele>(size, height, area, lane);
    allele->assignKey(static_cast<int32_t>(key));
    list.push_back(allele);
    backup.push_back(std::move(allele));
    ++key;
}

AlleleList AlleleDB::getLane(int32_t lane) const {
    AlleleList out;
    for (const auto& a : list)
        if (a->getLane() == lane) out.push_back(a);
    return out;
}

AllelePtr AlleleDB::getAlleleWithKey(int32_t k) const {
    for (const auto& a : list)
        if (a->getKey() == k) return a;
    return nullptr;
}

void AlleleDB::removeAlleleWithKey(int32_t k) {
    const auto it = std::find_if(list.begin(), list.end(), [k](const AllelePtr& a) { return a->getKey() == k; });
    if (it != list.end()) list.erase(it);
}

void AlleleDB::removeAlleleSize(double size, int32_t lane, double tol) {
    const auto it = std::find_if(list.begin(), list.end(), [&](const AllelePtr& a) {
        return a->getLane() == lane && withinTolerance(a->getSize(), size, tol);
    });
    if (it != list.end()) {
        list.erase(it);
        return;
    }
    logf(log, "didn't find (and thus remove) Allele with size %lf in lane %d", size, lane);
}

void AlleleDB::restore() {
    list = backup;
    for (const auto& a : list) a->changeScore(UNMARKED);
}

void AlleleDB::printDB() const {
    for (const auto& a : list) logf(log, "Allele %lf", a->getSize());
}

AlleleList AlleleDB::getAlleleSize(double size, double tol) const {
    AlleleList out;
    for (const auto& a : list)
        if (withinTolerance(a->getSize(), size, tol)) out.push_back(a);
    return out;
}

AllelePtr AlleleDB::getAlleleSize(double size, int32_t lane, double tol) const {
    AllelePtr best;
    for (const auto& a : list)
        if (a->getLane() == lane && withinTolerance(a->getSize(), size, tol) &&
            (!best || a->getHeight() > best->getHeight()))
            best = a;
    return best;
}

AlleleList AlleleDB::getAllelesInLane(int32_t lane, double low, double high, int32_t score) const {
    AlleleList out;
    if (!(high - low > 0)) {
        logf(log, "range for getAllelesInLane: inRangeLow: high: withScore:  is borked (%d, %d)",
             saturatingInt(low), saturatingInt(high));
        return out;
    }
    for (const auto& a : list)
        if (a->getLane() == lane && a->getScore() == score && low < a->getSize() && a->getSize() < high)
            out.push_back(a);
    return out;
}

AlleleList AlleleDB::getAllScoreAllelesWithMaybes(bool withMaybes) const {
    AlleleList out;
    for (const auto& a : list)
        if (a->getScore() == SCORED || (withMaybes && a->getScore() == MAYBE)) out.push_back(a);
    return out;
}

AlleleList AlleleDB::getAllAllelesWithScore(int32_t score) const {
    AlleleList out;
    for (const auto& a : list)
        if (a->getScore() == score) out.push_back(a);
    return out;
}

AlleleList AlleleDB::getAllelesWithSize(double size, double tol, int32_t score) const {
    AlleleList out;
    for (const auto& a : list)
        if (a->getScore() == score && withinTolerance(a->getSize(), size, tol)) out.push_back(a);
    return out;
}

AlleleList AlleleDB::getAllAllelesWithHeightLessThan(int32_t height, int32_t score) const {
    AlleleList out;
    for (const auto& a : list)
        if (a->getScore() == score && a->getHeight() < height) {
            logf(log, "adding (%.2lf, %d) as < than %d", a->getSize(), a->getHeight(), height);
            out.push_back(a);
        }
    return out;
}

AlleleList AlleleDB::getAllAllelesWithHeightGreaterThan(int32_t height, int32_t score) const {
    AlleleList out;
    for (const auto& a : list)
        if (a->getScore() == score && a->getHeight() > height) {
            logf(log, "adding (%.2lf, %d) as > than %d", a->getSize(), a->getHeight(), height);
            out.push_back(a);
        }
    return out;
}

namespace {

struct Sums {
    double squares = 0.0;
    double heights = 0.0;
    void add(const Allele& a) {
        const double h = a.getHeight();
        squares += h * h;
        heights += h;
    }
};

}  // namespace

double AlleleDB::getWeightedHeightOfLane(int32_t lane) const {
    const AlleleList members = getLane(lane);
    if (members.empty()) {
        logf(log, "lane %d doesn't exist", lane);
        return -1.0;
    }
    Sums s;
    for (const auto& a : members) s.add(*a);
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeighOfLane %d", lane);
        return 0.0;
    }
    return s.squares / s.heights;
}

double AlleleDB::getWeightedHeightOfSize(double size, double tol) const {
    Sums s;
    for (const auto& a : getAlleleSize(size, tol)) s.add(*a);
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeighOfSize %lf", size);
        return 0.0;
    }
    return s.squares / s.heights;
}

double AlleleDB::getWeightedHeightOfAllAlleles() const {
    Sums s;
    for (const auto& a : list) s.add(*a);
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeightOfAllAlleles");
        return 0.0;
    }
    return s.squares / s.heights;
}

double AlleleDB::getWeightedHeightOfAllScoredAlleleMaybes(bool withMaybes) const {
    Sums s;
    for (const auto& a : getAllScoreAllelesWithMaybes(withMaybes)) s.add(*a);
    if (s.heights == 0.0) {
        logf(log, "denominator = 0 in getWeightedHeightOfAllScoredAlleleMaybes");
        return 0.0;
    }
    return s.squares / s.heights;
}

std::string describe(const AlleleList& alleles) {
    std::string out = "(";
    for (size_t i = 0; i < alleles.size(); ++i) {
        const Allele& a = *alleles[i];
        if (i) out += ", ";
        out += format("{key %d size %.2f height %d lane %d}", a.getKey(), a.getSize(), a.getHeight(), a.getLane());
    }
    out += ")";
    return out;
}

}  // namespace lociview
