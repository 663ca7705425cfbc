#pragma once
// The Boost.Math error policy of the statistics: trouble comes back as NaN or
// infinity (or the best value found), never as an exception, so a number
// that cannot be had becomes "not estimable" instead of ending the action.
#include <boost/math/policies/policy.hpp>

namespace lociview {

using NoThrowPolicy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::rounding_error<boost::math::policies::ignore_error>,
    boost::math::policies::indeterminate_result_error<boost::math::policies::ignore_error>>;

}  // namespace lociview
