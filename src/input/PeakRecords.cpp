#include "input/PeakRecords.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base/Describe.h"
#include "base/NumberText.h"

namespace lociview {

std::vector<int32_t> convertRows(const std::vector<PeakRow>& rows, AlleleDB& db, LogSink& log,
                                 const std::vector<int32_t>& lanesWithoutRows) {
    db.reserve(rows.size());
    // A lane's rows come together: its label is read (and, below, looked
    // up) once per run of rows rather than once per row.
    std::string_view lastLabel;
    int32_t lastLane = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const PeakRow& row = rows[i];
        if (i == 0 || row.lane() != lastLabel) {
            lastLabel = row.lane();
            lastLane = intValue(lastLabel);
        }
        // Numbers are read back from their row texts, so the size is the
        // single-precision value nearest to what the file wrote.
        const double size = static_cast<double>(row.number(4));
        const int32_t height = saturatingInt(row.number(5));
        const int32_t area = saturatingInt(row.number(6));
        db.addAlleleWithSize(size, height, area, lastLane);
    }

    // Distinct lane labels, by text, in the order they first appear.
    std::vector<std::string> labels;
    std::unordered_set<std::string_view> seen;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string_view label = rows[i].lane();
        if (i > 0 && label == rows[i - 1].lane()) continue;
        if (seen.insert(label).second) labels.emplace_back(label);
    }
    if (log.enabled()) logf(log, "%s", describe(labels).c_str());

    // Ascending lane numbers, one per label; labels of equal value (7, 07)
    // give equal entries.
    std::vector<int32_t> lanes;
    lanes.reserve(labels.size() + lanesWithoutRows.size());
    for (const std::string& label : labels) lanes.push_back(intValue(label));
    lanes.insert(lanes.end(), lanesWithoutRows.begin(), lanesWithoutRows.end());
    std::stable_sort(lanes.begin(), lanes.end());

    if (log.enabled()) {
        // One pass over the store counts every lane's records, instead of a
        // scan of the whole store per lane.
        std::unordered_map<int32_t, size_t> perLane;
        for (const AllelePtr& allele : db.workingList()) ++perLane[allele->getLane()];
        for (const int32_t lane : lanes) {
            logf(log, "lane # %d", lane);
            const auto it = perLane.find(lane);
            const size_t records = it == perLane.end() ? 0 : it->second;
            // A line per record: the plain text, as logf would make it.
            for (size_t i = 0; i < records; ++i) log.writePlainLine(".");
        }
    }
    return lanes;
}

}  // namespace lociview
