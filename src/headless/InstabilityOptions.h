#pragma once
// The choices of the instability indices as words, shared by
// "lociview-cli score" (--index-size, --peak-threshold, --repeat-unit,
// --controls, --group) and session scripts ("instability NAME VALUE").
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/GeneController.h"

namespace lociview::headless {

struct InstabilityOptions {
    InstabilityChoices choices;
    std::vector<GroupSpec> groups;
};

// Sets the option named (index-size own|p1|controls|SIZE, peak-threshold
// X, repeat-unit BP, controls ITEM[,ITEM...], group prefix:TEXT or
// NAME=ITEM[,ITEM...]); the message of a value refused, naming it.
std::optional<std::string> setInstabilityOption(InstabilityOptions& options, std::string_view name,
                                                std::string_view value);

// The indices of the controller's scored run and its groups, or the
// message of what stops them; nothing without a scored run.
struct InstabilityBlocks {
    std::vector<LaneInstability> lanes;
    std::vector<GroupInstability> groups;
    std::string problem;
};
std::optional<InstabilityBlocks> instabilityBlocks(const GeneController& controller,
                                                   const InstabilityOptions& options);

}  // namespace lociview::headless
