#include "export/InstabilityTables.h"

#include "base/NumberText.h"

namespace lociview {

namespace {

std::string exactCell(const std::optional<double>& value) { return value ? shortestNumber(*value) : std::string(); }

// The notes of an index's parts, each once, in order.
std::string notes(std::initializer_list<const std::string*> parts) {
    std::string text;
    for (const std::string* note : parts) {
        if (note->empty() || text.find(*note) != std::string::npos) continue;
        text += (text.empty() ? "" : "; ") + *note;
    }
    return text;
}

}  // namespace

TextTable instabilityTable(const std::vector<LaneInstability>& lanes) {
    TextTable table{{"lane", "sample", "index_size", "main_size", "peaks_kept", "instability_index", "expansion_index",
                     "contraction_index", "mean_size", "main_change", "note"},
                    {}};
    table.rows.reserve(lanes.size());
    for (const LaneInstability& lane : lanes) {
        const std::optional<LaneIndices>& x = lane.indices;
        const auto part = [&x](double LaneIndices::*value) { return x ? exactCell((*x).*value) : std::string(); };
        table.rows.push_back({std::to_string(lane.lane), lane.sample, part(&LaneIndices::indexSize),
                              exactCell(lane.mainSize), x ? std::to_string(x->peaksKept) : std::string(),
                              part(&LaneIndices::instability), part(&LaneIndices::expansion),
                              part(&LaneIndices::contraction), part(&LaneIndices::meanSize),
                              part(&LaneIndices::mainChange), lane.note});
    }
    return table;
}

TextTable instabilityGroupsTable(const std::vector<GroupInstability>& groups) {
    TextTable table{{"group", "index", "lanes", "mean", "sd", "lower", "upper", "difference", "difference_lower",
                     "difference_upper", "welch_df", "note"},
                    {}};
    for (const GroupInstability& g : groups)
        for (const IndexPart& part : kIndexParts) {
            const IndexSummary& s = g.*part.group;
            table.rows.push_back({g.name, part.name, std::to_string(s.lanes), exactCell(s.mean.value), exactCell(s.sd.value),
                                  exactCell(s.mean.lower), exactCell(s.mean.upper), exactCell(s.difference.value),
                                  exactCell(s.difference.lower), exactCell(s.difference.upper), exactCell(s.welchDf),
                                  notes({&s.mean.note, &s.sd.note, &s.difference.note})});
        }
    return table;
}

std::string instabilityText(const std::vector<LaneInstability>& lanes) {
    return delimitedText(instabilityTable(lanes), Delimiter::Tab);
}

std::string instabilityGroupsText(const std::vector<GroupInstability>& groups) {
    return delimitedText(instabilityGroupsTable(groups), Delimiter::Tab);
}

}  // namespace lociview
