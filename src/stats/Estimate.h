#pragma once
// An estimate with its 95% interval, any part of which may be missing, and a
// note in plain words on why a part is missing or what to watch for.
#include <optional>
#include <string>
#include <utility>

namespace lociview {

// Every interval of the statistics is two-sided at this level.
constexpr double kConfidenceLevel = 0.95;
// The probability left in each tail of such an interval.
constexpr double kTailProbability = (1.0 - kConfidenceLevel) / 2.0;

struct Estimate {
    std::optional<double> value;
    std::optional<double> lower;
    std::optional<double> upper;
    std::string note;  // "" when nothing needs saying

    bool estimable() const { return value.has_value(); }
};

// A value without an interval: a count, an expected count, a test statistic.
inline Estimate valueOnly(double value, std::string note = {}) {
    return {value, std::nullopt, std::nullopt, std::move(note)};
}

// No value; the note reads "not estimable: <why>".
inline Estimate notEstimable(const std::string& why) {
    return {std::nullopt, std::nullopt, std::nullopt, "not estimable: " + why};
}

// Value and bounds multiplied by factor (> 0), the note kept: per GE, per
// molecule and the like.
inline Estimate scaled(Estimate e, double factor) {
    for (std::optional<double>* part : {&e.value, &e.lower, &e.upper})
        if (part->has_value()) **part *= factor;
    return e;
}

}  // namespace lociview
