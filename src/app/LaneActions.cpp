// The lanes as the lane view draws them, their quality flags and the
// progenitors they suggest; and filling the progenitor fields from the view.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "app/GeneController.h"
#include "base/NumberText.h"
#include "input/TraceLanes.h"
#include "scoring/Locus.h"

namespace lociview {

std::vector<LaneData> GeneController::laneData() const {
    // Today's tables name their lanes by sample; a classic table's are numbers only.
    std::vector<std::string> samples;
    if (dataSet.imported.dye != 0) {
        samples.reserve(dataSet.lanelist.size());
        for (const int32_t lane : dataSet.lanelist) samples.push_back(sampleOfLane(dataSet.imported.tables.samples, lane));
    }
    // The backup list holds every record with its mark; the working list
    // only what the range and clean-up left.
    std::vector<LaneData> lanes = lanesFromRecords(dataSet.database.backupList(), dataSet.lanelist, samples);
    addTraceParts(lanes, dataSet.imported.traceLanes);
    if (scored.merges.empty()) return lanes;
    // A split peak merged by scoring keeps its survivor's mark but is shown
    // as read: a saturated half must not hide in the average.
    std::unordered_map<const Allele*, const MergedRecord*> asRead;
    for (auto it = scored.merges.rbegin(); it != scored.merges.rend(); ++it) asRead[it->survivor.get()] = &*it;  // the first merge last
    std::unordered_map<int32_t, const MergedRecord*> byKey;
    for (const auto& [record, merge] : asRead) byKey.emplace(record->getKey(), merge);
    for (LaneData& lane : lanes)
        for (LanePeak& peak : lane.peaks)
            if (const auto at = byKey.find(peak.key); at != byKey.end()) {
                peak.size = at->second->size;
                peak.height = at->second->height;
            }
    return lanes;
}

std::vector<LaneData> GeneController::flaggedLanes() const {
    std::vector<LaneData> lanes = laneData();
    const std::vector<QualityFlag>& flagged = qualityFlags();
    std::erase_if(lanes, [&flagged](const LaneData& lane) {
        return std::none_of(flagged.begin(), flagged.end(), [&](const QualityFlag& f) { return f.lane == lane.lane; });
    });
    return lanes;
}

void GeneController::setQualityLevels(const QualityLevels& levels) {
    qualityLevels = levels;
    updateQualityFlags();
}

void GeneController::updateQualityFlags() {
    QualityInput input;
    input.levels = qualityLevels;
    input.scored = scored.scoring.scored() && scored.resultSource && !scored.resultSource->previousFile;
    // A scored run is flagged within its own range, as it was counted.
    const ParameterTexts* run = input.scored ? &scored.resultSource->fields : nullptr;
    input.low = intValue(run ? run->lowrange : outlets.lowrange.text());
    input.high = intValue(run ? run->highrange : outlets.highrange.text());
    input.withMaybes = run && scored.resultSource->maybes;
    flags.clear();
    flagsDue.reset();
    flagLanes.reset();
    if (dataSet.isWorkingOnFile) flagsDue = input;
}

const std::vector<QualityFlag>& GeneController::qualityFlags() const {
    // The marks are those of the step that asked for the flags: every step
    // that changes them asks again before it ends.
    if (flagsDue) {
        flagLanes = std::make_shared<const std::vector<LaneData>>(laneData());
        flags = lociview::qualityFlags(*flagLanes, *std::exchange(flagsDue, std::nullopt));
    }
    return flags;
}

std::shared_ptr<const std::vector<LaneData>> GeneController::flaggedFrom() const {
    qualityFlags();
    return flagLanes ? flagLanes : std::make_shared<const std::vector<LaneData>>();
}

ProgenitorSuggestion GeneController::progenitorSuggestion() const {
    return suggestProgenitors(laneData(), intValue(outlets.lowrange.text()), intValue(outlets.highrange.text()),
                              selectedLocus());
}

int32_t GeneController::selectedLocus() const { return locusCodeForColumn(selectedLocusColumn()); }

int GeneController::selectedLocusColumn() const {
    int column = 0;
    const int columns =
        std::min(outlets.locusmatrix.numberOfColumns(), static_cast<int>(lociOffered(walkEvery).size()));
    for (int c = 0; c < columns; ++c)
        if (outlets.locusmatrix.cellState(0, c) != 0) column = c;
    return column;
}

void GeneController::fillProgenitor(int which, double size) {
    // Whole bp, as the progenitors are checked and counted.
    if (!std::isfinite(size)) return;
    (which == 2 ? outlets.progenitor2 : outlets.progenitor1).setText(formatIntField(saturatingInt(std::round(size))));
}

Outcome GeneController::fillProgenitors(const ProgenitorSuggestion& suggestion) {
    if (!suggestion.p1 || !suggestion.p2) return Outcome::Refused;
    fillProgenitor(1, suggestion.p1->size);
    fillProgenitor(2, suggestion.p2->size);
    return Outcome::Done;
}

Outcome GeneController::suggestProgenitorsAction() {
    if (!dataSet.isWorkingOnFile) return refuse(AlertId::NotWorkingOnFile);
    const ProgenitorSuggestion s = progenitorSuggestion();
    if (!s.p1 || !s.p2) {
        ask(AlertId::NoProgenitorsToSuggest, s.note);
        return Outcome::Refused;
    }
    const auto leads = [](const SuggestedSize& size) {
        return format("%d bp, the tallest peak in range of %lld lane%s", size.size, static_cast<long long>(size.lanes),
                      size.lanes == 1 ? "" : "s");
    };
    if (ask(AlertId::SuggestProgenitors, "P1 " + leads(*s.p1) + "; P2 " + leads(*s.p2) + ".") == 0)
        return Outcome::Cancelled;
    return fillProgenitors(s);
}

}  // namespace lociview
