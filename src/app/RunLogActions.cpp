// The run log under the accumulator: restoring from it, adding a run to it
// (asking before the same run goes in twice), resetting it, and the list of
// the accumulator's runs.
#include <chrono>

#include "accum/SppcrExport.h"
#include "app/GeneController.h"
#include "app/ScoringFields.h"
#include "base/NumberText.h"

namespace lociview {

RestoreOutcome GeneController::attachRunLog(RunLog log) {
    accumulation.runlog.emplace(std::move(log));
    std::vector<std::string> leftOut;
    if (std::string problem = reloadFromRunLog(&leftOut); !problem.empty()) {
        accumulation.runlog.reset();
        return {0, std::move(problem), {}};
    }
    return {static_cast<int32_t>(accumulation.loggedRuns.size()), {}, std::move(leftOut)};
}

// The accumulator as the log has it: one read gives both the runs to replay
// and the list to show. When the log cannot be read, the accumulator is
// left as it was and the answer says why. Runs the log holds but that
// cannot be replayed stay out (leftOut, when asked, says which and why).
std::string GeneController::reloadFromRunLog(std::vector<std::string>* leftOut) {
    RunListing listing = accumulation.runlog->activeRuns();
    if (!listing.message.empty()) return listing.message;
    accumulation.raccumulator.reset();
    for (const LoggedRun& run : listing.runs) appendRun(accumulation.raccumulator, run);
    accumulation.loggedRuns = std::move(listing.runs);
    if (leftOut) *leftOut = std::move(listing.leftOut);
    return {};
}

RunRecord GeneController::currentRunRecord(int32_t p1, int32_t p2, const std::string& geText) const {
    RunRecord r;
    // The results' own file and fields, even after another file was opened.
    if (scored.resultSource) {
        const ParameterTexts& f = scored.resultSource->fields;
        r.fileName = scored.resultSource->fileName;
        r.fileSha256 = scored.resultSource->fileSha256;
        for (const ScoringField& field : scoringFields())
            if (field.logged) r.fields.*field.logged = f.*field.text;
        r.locus = scored.resultSource->locus;
        r.maybes = scored.resultSource->maybes;
    } else {
        r.fileName = dataSet.fileName;
        r.fileSha256 = dataSet.fileSha256;
        r.locus = scored.locustype;
        r.maybes = maybesOn();
    }
    // The pair is the one the accumulator checks: as typed now.
    r.fields.p1 = outlets.progenitor1.text();
    r.fields.p2 = outlets.progenitor2.text();
    r.fields.ge = geText;
    r.p1 = p1;
    r.p2 = p2;
    r.ge = doubleValue(r.fields.ge);
    r.lanes = dataSet.numlanes;
    const LaneCounters counters = scored.scoring.counters.value_or(LaneCounters{});
    r.emptyLanes = counters.empty;
    r.oneLanes = counters.ones;
    r.twoOrMoreLanes = counters.twos;
    for (const AlleleRow& row : scored.scoring.alleles) r.alleles.push_back({row.size, row.count});
    return r;
}

void GeneController::noteUnloggedRun(int32_t p1, int32_t p2, int32_t run, const std::string& geText) {
    LoggedRun entry;
    entry.id = accumulation.loggedRuns.empty() ? 1 : accumulation.loggedRuns.back().id + 1;
    entry.run = run;
    entry.addedAt = isoLocalTime(std::chrono::system_clock::now());
    entry.record = currentRunRecord(p1, p2, geText);
    accumulation.loggedRuns.push_back(std::move(entry));
}

AddedRun GeneController::addToRunLog(int32_t p1, int32_t p2, const std::string& geText, std::optional<bool> addAgain) {
    const RunRecord record = currentRunRecord(p1, p2, geText);
    std::string sameRun;
    AddOutcome added = accumulation.runlog->add(record);
    if (added.status == AddStatus::AlreadyLogged) {
        // Asked with no lock held: the user may take their time.
        const LoggedRun& e = added.run;
        sameRun = e.record.fileName + " was added with the same fields on " + e.addedAt + " (run " +
                  std::to_string(e.run) + ").";
        if (ask(AlertId::AddRunAgain, sameRun, addAgain) == 1) return {Outcome::Cancelled, sameRun};
        added = accumulation.runlog->add(record, true);
    }
    switch (added.status) {
        case AddStatus::ProgenitorsDiffer: return {refuse(AlertId::ProgenitorsDiffer), sameRun};
        case AddStatus::Failed:
        case AddStatus::AlreadyLogged: ask(AlertId::RunLogNotWritten, added.message); return {Outcome::Refused, sameRun};
        case AddStatus::Added: break;
    }
    // Reloading also brings in what another program added meanwhile; if the
    // log cannot be read back now, the run goes in as the log stored it.
    if (!reloadFromRunLog().empty()) {
        appendRun(accumulation.raccumulator, added.run);
        accumulation.loggedRuns.push_back(added.run);
    }
    if (log.enabled()) logf(log, "%s", accumulation.raccumulator.exportText().c_str());
    return {Outcome::Done, sameRun};
}

Outcome GeneController::confirmResetAccumulator() {
    const size_t runs = accumulation.loggedRuns.size();
    if (runs > 0) {
        const std::string said = runs == 1 ? "Its 1 run will leave the accumulator."
                                           : "Its " + std::to_string(runs) + " runs will leave the accumulator.";
        if (ask(AlertId::ConfirmResetAccumulator, said + (accumulation.runlog ? " The run log keeps them, marked reset." : "")) == 0)
            return Outcome::Cancelled;
    }
    return resetAccumulator();
}

}  // namespace lociview
