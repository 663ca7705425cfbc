#include "stats/SingleHitFit.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "stats/NoThrowPolicy.h"

namespace lociview {

namespace {

// A run as the model sees it: lanes, empty lanes, lanes with a product, log GE.
struct Group {
    double lanes;
    double empty;
    double hit;
    double ge;
    double logGe;
};

// Log-likelihood with its first and second derivatives in (a, b) for
// eta = a + b log GE, x = e^eta molecules per reaction, P(empty) = e^-x.
struct Sums {
    double loglik = 0.0;
    double grad[2] = {0.0, 0.0};
    double observed[3] = {0.0, 0.0, 0.0};  // -d2 loglik: aa, ab, bb
};

Sums sums(const std::vector<Group>& groups, double a, double b) {
    Sums s;
    for (const Group& g : groups) {
        const double x = std::exp(a + b * g.logGe);
        const double q = std::exp(-x);
        const double p = -std::expm1(-x);
        const double t = g.logGe;
        // A run with lanes that amplified but p == 0 gets -inf: the step is refused.
        s.loglik += -g.empty * x + (g.hit > 0.0 ? g.hit * std::log(p) : 0.0);
        if (!(p > 0.0)) continue;
        const double score = -g.empty * x + g.hit * x * q / p;
        const double curvature = g.empty * x + g.hit * x * q * (x - p) / (p * p);
        s.grad[0] += score;
        s.grad[1] += score * t;
        s.observed[0] += curvature;
        s.observed[1] += curvature * t;
        s.observed[2] += curvature * t * t;
    }
    return s;
}

struct Fitted {
    bool ok = false;
    double a = 0.0;
    double b = 1.0;
};

// Newton's method with step halving; the log-likelihood is concave in (a, b)
// for this link, so a rising step always exists until the top. With the
// slope fixed at 1 only a moves.
Fitted maximise(const std::vector<Group>& groups, bool freeSlope, double a) {
    double b = 1.0;
    Sums s = sums(groups, a, b);
    for (int iteration = 0; iteration < 200; ++iteration) {
        double da = 0.0;
        double db = 0.0;
        if (freeSlope) {
            const double det = s.observed[0] * s.observed[2] - s.observed[1] * s.observed[1];
            if (!(det > 0.0)) return {};
            da = (s.observed[2] * s.grad[0] - s.observed[1] * s.grad[1]) / det;
            db = (s.observed[0] * s.grad[1] - s.observed[1] * s.grad[0]) / det;
        } else {
            if (!(s.observed[0] > 0.0)) return {};
            da = s.grad[0] / s.observed[0];
        }
        double step = 1.0;
        Sums next = sums(groups, a + da, b + db);
        for (int halving = 0; halving < 60 && !(next.loglik >= s.loglik); ++halving) {
            step /= 2.0;
            next = sums(groups, a + step * da, b + step * db);
        }
        if (!(next.loglik >= s.loglik)) return {};
        a += step * da;
        b += step * db;
        s = next;
        // Slopes this steep on log GE only arise when the empty lanes are cut
        // off by GE: the likelihood then has no top.
        if (std::abs(b) > 50.0 || std::abs(a) > 1000.0) return {};
        if (std::abs(step * da) <= 1e-13 * (1.0 + std::abs(a)) && std::abs(step * db) <= 1e-13 * (1.0 + std::abs(b)))
            return {true, a, b};
    }
    return {};
}

std::string withNote(const std::string& note, const std::string& more) {
    if (more.empty()) return note;
    return note.empty() ? more : note + "; " + more;
}

double normalQuantile() {
    return boost::math::quantile(boost::math::normal_distribution<double, NoThrowPolicy>(), 1.0 - kTailProbability);
}

// Every lane empty: the exact upper bound solves P(all empty | k) = tail.
Estimate allEmpty(const std::vector<Group>& groups) {
    double exposure = 0.0;
    for (const Group& g : groups) exposure += g.lanes * g.ge;
    return {0.0, 0.0, -std::log(kTailProbability) / exposure, "every lane empty: the upper bound is exact"};
}

// No lane empty: the exact lower bound solves P(no lane empty | k) = tail.
Estimate noneEmpty(const std::vector<Group>& groups) {
    double lanes = 0.0;
    double exposure = 0.0;
    for (const Group& g : groups) {
        lanes += g.lanes;
        exposure += g.lanes * g.ge;
    }
    auto f = [&groups](double k) {
        double logNoneEmpty = 0.0;
        for (const Group& g : groups) logNoneEmpty += g.lanes * std::log(-std::expm1(-k * g.ge));
        return logNoneEmpty - std::log(kTailProbability);
    };
    // Exact when every run has one GE; a start close by otherwise.
    const double guess = -std::log(-std::expm1(std::log(kTailProbability) / lanes)) * lanes / exposure;
    std::uintmax_t iterations = 200;
    const auto [lo, hi] = boost::math::tools::bracket_and_solve_root(
        f, guess, 2.0, true, boost::math::tools::eps_tolerance<double>(50), iterations, NoThrowPolicy());
    Estimate e = notEstimable("no empty lane");
    const double bound = (lo + hi) / 2.0;
    if (std::isfinite(bound) && bound > 0.0) e.lower = bound;
    return e;
}

// Score test of b = 1 at the fit with b fixed: the slope's score against the
// expected information left for it once a is fitted, which is the spread of
// log GE weighted by each run's information.
void scoreTest(const std::vector<Group>& groups, double a, double score, SingleHitFit& fit) {
    std::vector<double> weights;
    double total = 0.0;
    double mean = 0.0;
    for (const Group& g : groups) {
        const double x = std::exp(a + g.logGe);
        const double p = -std::expm1(-x);
        weights.push_back(p > 0.0 ? g.lanes * x * x * std::exp(-x) / p : 0.0);
        total += weights.back();
        mean += weights.back() * g.logGe;
    }
    mean /= total;
    double information = 0.0;
    for (size_t i = 0; i < groups.size(); ++i)
        information += weights[i] * (groups[i].logGe - mean) * (groups[i].logGe - mean);
    if (!(information > 0.0)) {
        fit.slopeChiSquare = fit.slopePValue = notEstimable("the runs carry no information on the slope");
        return;
    }
    const double chi = score * score / information;
    const double p = boost::math::cdf(
        boost::math::complement(boost::math::chi_squared_distribution<double, NoThrowPolicy>(1.0), chi));
    fit.notSingleHit = p < 0.05;
    fit.slopeChiSquare = valueOnly(chi);
    fit.slopePValue = valueOnly(p, fit.notSingleHit ? kNotSingleHitNote : "");
}

// The free slope from the fit with b = 1 onwards, with its Wald interval.
Estimate freeSlope(const std::vector<Group>& groups, double a) {
    const Fitted free = maximise(groups, true, a);
    if (!free.ok) return notEstimable("the slope has no finite best value");
    const Sums f = sums(groups, free.a, free.b);
    const double det = f.observed[0] * f.observed[2] - f.observed[1] * f.observed[1];
    const double se = std::sqrt(f.observed[0] / det);
    return {free.b, free.b - normalQuantile() * se, free.b + normalQuantile() * se, ""};
}

}  // namespace

SingleHitFit singleHitFit(const std::vector<RunLanes>& runs) {
    SingleHitFit fit;
    std::vector<Group> groups;
    std::set<double> geValues;
    double lanes = 0.0;
    double empty = 0.0;
    double exposure = 0.0;  // lane-GE products
    for (const RunLanes& run : runs) {
        const LaneCounts& c = run.lanes;
        if (!emptyLanesProblem(c).empty() || !geProblem(run.ge).empty()) continue;
        groups.push_back({static_cast<double>(c.lanes), static_cast<double>(c.empty),
                          static_cast<double>(c.lanes - c.empty), *run.ge, std::log(*run.ge)});
        geValues.insert(*run.ge);
        lanes += static_cast<double>(c.lanes);
        empty += static_cast<double>(c.empty);
        exposure += static_cast<double>(c.lanes) * *run.ge;
    }
    fit.runsUsed = static_cast<int64_t>(groups.size());
    const size_t leftOut = runs.size() - groups.size();
    const std::string leftOutNote = leftOut == 0 ? ""
                                                 : std::to_string(leftOut) + (leftOut == 1 ? " run" : " runs") +
                                                       " without usable lanes or GE left out";
    auto refuse = [&fit](Estimate k, const std::string& whyNoSlope) {
        fit.moleculesPerGE = std::move(k);
        fit.slope = fit.slopeChiSquare = fit.slopePValue = notEstimable(whyNoSlope);
    };

    if (groups.empty()) {
        refuse(notEstimable("no run with lanes and a GE value"), "no run with lanes and a GE value");
    } else if (empty == lanes) {
        refuse(allEmpty(groups), "every lane empty");
    } else if (empty == 0.0) {
        refuse(noneEmpty(groups), "no empty lane");
    } else {
        // Start from the pooled empty fraction at the lane-weighted mean GE.
        const Fitted null = maximise(groups, false, std::log(-std::log(empty / lanes)) - std::log(exposure / lanes));
        if (!null.ok) {
            refuse(notEstimable("the fit did not converge"), "the fit did not converge");
        } else {
            const Sums at = sums(groups, null.a, 1.0);
            const double halfWidth = normalQuantile() / std::sqrt(at.observed[0]);
            fit.moleculesPerGE = {std::exp(null.a), std::exp(null.a - halfWidth), std::exp(null.a + halfWidth), ""};
            if (geValues.size() < 2) {
                fit.slope = fit.slopeChiSquare = fit.slopePValue = notEstimable("all runs share one GE");
            } else {
                scoreTest(groups, null.a, at.grad[1], fit);
                fit.slope = freeSlope(groups, null.a);
            }
        }
    }
    fit.moleculesPerGE.note = withNote(fit.moleculesPerGE.note, leftOutNote);
    return fit;
}

}  // namespace lociview
