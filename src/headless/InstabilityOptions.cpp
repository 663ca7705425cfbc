#include "headless/InstabilityOptions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/NumberText.h"

namespace lociview::headless {

namespace {

// Items apart by commas, blanks around each dropped; empty ones left out.
std::vector<std::string> items(std::string_view text) {
    std::vector<std::string> out;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = std::min(text.find(',', from), text.size());
        std::string_view item = text.substr(from, comma - from);
        const size_t first = item.find_first_not_of(" \t");
        if (first != std::string_view::npos)
            out.emplace_back(item.substr(first, item.find_last_not_of(" \t") - first + 1));
        from = comma + 1;
    }
    return out;
}

// The core's own words for a threshold or unit it refuses.
std::optional<std::string> refusal(double threshold, double unit) {
    InstabilitySettings s;
    s.threshold = threshold;
    s.unit = unit;
    if (std::optional<InstabilityProblem> problem = checkInstabilitySettings(s)) return problem->message;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> setInstabilityOption(InstabilityOptions& o, std::string_view name, std::string_view value) {
    InstabilityChoices& c = o.choices;
    if (name == "index-size") {
        const std::optional<double> size = wholeNumberValue(value);
        if (value == "own") c.index = IndexSizeChoice::OwnMainPeak;
        else if (value == "p1") c.index = IndexSizeChoice::Progenitor1;
        else if (value == "controls") c.index = IndexSizeChoice::ControlMean;
        else if (size && std::isfinite(*size)) c.index = IndexSizeChoice::Typed, c.indexSize = *size;
        else return "index-size must be own, p1, controls or a size in bp, not '" + std::string(value) + "'";
        return std::nullopt;
    }
    if (name == "peak-threshold") {
        const double threshold = thresholdValue(value);
        if (std::optional<std::string> why = refusal(threshold, 1.0))
            return "peak-threshold '" + std::string(value) + "': " + *why;
        c.threshold = threshold;
        return std::nullopt;
    }
    if (name == "repeat-unit") {
        const double unit = wholeNumberValue(value).value_or(std::numeric_limits<double>::quiet_NaN());
        if (std::optional<std::string> why = refusal(kDefaultPeakThreshold, unit))
            return "repeat-unit '" + std::string(value) + "': " + *why;
        c.unit = unit;
        return std::nullopt;
    }
    if (name == "controls") {
        c.controls = items(value);
        return std::nullopt;
    }
    if (name == "group") {
        GroupSpec group;
        const size_t equals = value.find('=');
        if (value.starts_with("prefix:") && value.size() > 7) {
            group.name = group.prefix = std::string(value.substr(7));
        } else if (equals != std::string_view::npos && equals > 0) {
            group.name = std::string(value.substr(0, equals));
            group.members = items(value.substr(equals + 1));
        }
        if (group.name.empty() || (group.prefix.empty() && group.members.empty()))
            return "group must be prefix:TEXT or NAME=SAMPLE[,SAMPLE...], not '" + std::string(value) + "'";
        o.groups.push_back(std::move(group));
        return std::nullopt;
    }
    return "unknown instability option '" + std::string(name) + "'";
}

std::optional<InstabilityBlocks> instabilityBlocks(const GeneController& controller, const InstabilityOptions& o) {
    std::optional<InstabilityResult> result = controller.runInstability(o.choices);
    if (!result) return std::nullopt;
    InstabilityBlocks blocks;
    if (result->problem) {
        blocks.problem = result->problem->message;
        return blocks;
    }
    GroupsResult groups = groupInstability(result->lanes, o.groups, o.choices.controls);
    if (groups.problem) blocks.problem = groups.problem->message;
    blocks.lanes = std::move(result->lanes);
    blocks.groups = std::move(groups.groups);
    return blocks;
}

}  // namespace lociview::headless
