#include "stats/ExactIntervals.h"

#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>

#include "stats/NoThrowPolicy.h"

namespace lociview {

namespace {

constexpr double kTail = kTailProbability;

Estimate checked(Estimate e) {
    if (!std::isfinite(*e.lower) || !std::isfinite(*e.upper)) return notEstimable("the numbers are out of range");
    return e;
}

}  // namespace

Estimate clopperPearson(int64_t k, int64_t n) {
    if (n <= 0) return notEstimable("no trials");
    if (k < 0 || k > n) return notEstimable("the count lies outside 0 to the number of trials");
    const double kd = static_cast<double>(k);
    const double nd = static_cast<double>(n);
    Estimate e;
    e.value = kd / nd;
    e.lower = k == 0 ? 0.0 : boost::math::ibeta_inv(kd, nd - kd + 1.0, kTail, NoThrowPolicy());
    // The upper tail through the complement keeps its digits when n is large.
    e.upper = k == n ? 1.0 : boost::math::ibetac_inv(kd + 1.0, nd - kd, kTail, NoThrowPolicy());
    return checked(e);
}

Estimate poissonInterval(int64_t count) {
    if (count < 0) return notEstimable("a negative count");
    const double m = static_cast<double>(count);
    Estimate e;
    e.value = m;
    e.lower = count == 0 ? 0.0 : boost::math::gamma_p_inv(m, kTail, NoThrowPolicy());
    e.upper = boost::math::gamma_q_inv(m + 1.0, kTail, NoThrowPolicy());
    return checked(e);
}

}  // namespace lociview
