#include "stats/LaneStatistics.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>

#include "stats/ExactIntervals.h"
#include "stats/NoThrowPolicy.h"

namespace lociview {

std::string emptyLanesProblem(const LaneCounts& counts) {
    if (counts.lanes <= 0) return "no lanes";
    if (counts.empty < 0 || counts.empty > counts.lanes) return "more empty lanes than lanes";
    return "";
}

std::string lambdaProblem(const LaneCounts& counts) {
    const std::string problem = emptyLanesProblem(counts);
    return problem.empty() && counts.empty == 0 ? "no empty lane" : problem;
}

std::string geProblem(std::optional<double> ge) {
    if (!ge) return "no GE value";
    if (*ge == 0.0) return "GE is 0";
    if (!std::isfinite(*ge) || *ge < 0.0) return "GE is not a positive number";
    return "";
}

Estimate emptyLaneFraction(const LaneCounts& counts) {
    const std::string problem = emptyLanesProblem(counts);
    if (!problem.empty()) return notEstimable(problem);
    return clopperPearson(counts.empty, counts.lanes);
}

Estimate moleculesPerReaction(const LaneCounts& counts) {
    const Estimate fraction = emptyLaneFraction(counts);
    if (!fraction.estimable()) return fraction;
    // -ln turns the fraction's bounds round: its upper bound gives lambda's lower.
    Estimate lambda;
    lambda.lower = -std::log(*fraction.upper);
    if (counts.empty == 0) {
        lambda.note = notEstimable(lambdaProblem(counts)).note;
        return lambda;
    }
    lambda.value = -std::log(*fraction.value);
    lambda.upper = -std::log(*fraction.lower);
    // -log(1) is -0.0 at n0 = N; print it as 0.
    *lambda.value += 0.0;
    *lambda.lower += 0.0;
    return lambda;
}

PoissonFit poissonFit(const LaneCounts& counts) {
    PoissonFit fit;
    auto refuse = [&fit](const std::string& why) {
        fit.expectedEmpty = fit.expectedOne = fit.expectedTwoOrMore = fit.chiSquare = fit.pValue = notEstimable(why);
        return fit;
    };
    if (const std::string problem = lambdaProblem(counts); !problem.empty()) return refuse(problem);
    if (counts.one < 0 || counts.twoOrMore < 0 || counts.empty + counts.one + counts.twoOrMore != counts.lanes)
        return refuse("the lane classes do not add up to the lanes");
    if (counts.empty == counts.lanes) return refuse("every lane is empty");

    const Estimate lambda = moleculesPerReaction(counts);
    const double n = static_cast<double>(counts.lanes);
    const double l = *lambda.value;
    const double e0 = n * std::exp(-l);
    const double e1 = n * l * std::exp(-l);
    const double all[3] = {e0, e1, n - e0 - e1};
    if (!(all[2] > 0.0)) return refuse("no lane is expected to hold two or more alleles");
    const double observed[3] = {static_cast<double>(counts.empty), static_cast<double>(counts.one),
                                static_cast<double>(counts.twoOrMore)};
    double chi = 0.0;
    bool small = false;
    for (int c = 0; c < 3; ++c) {
        chi += (observed[c] - all[c]) * (observed[c] - all[c]) / all[c];
        small = small || all[c] < 5.0;
    }
    fit.expectedEmpty = valueOnly(all[0]);
    fit.expectedOne = valueOnly(all[1]);
    fit.expectedTwoOrMore = valueOnly(all[2]);
    fit.chiSquare = valueOnly(chi);
    const double p = boost::math::cdf(
        boost::math::complement(boost::math::chi_squared_distribution<double, NoThrowPolicy>(1.0), chi));
    fit.notPoisson = p < 0.05;
    std::string note = fit.notPoisson ? kNotPoissonNote : "";
    if (small)
        note += std::string(note.empty() ? "" : "; ") + "an expected class below 5 lanes makes the p-value rough";
    fit.pValue = valueOnly(p, note);
    return fit;
}

Estimate moleculesPerGE(const Estimate& moleculesPerReaction, std::optional<double> ge) {
    const std::string problem = geProblem(ge);
    if (!problem.empty()) return notEstimable(problem);
    return scaled(moleculesPerReaction, 1.0 / *ge);
}

}  // namespace lociview
