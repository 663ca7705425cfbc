// Opening trace files (.fsa, .hid): sizing them against the size standard,
// the review where the minimum height and the standard can be changed and
// the files sized again, and the data set taken as a sizing table's is.
#include <cmath>

#include "app/GeneController.h"
#include "input/TraceLanes.h"
#include "trace/TraceSizing.h"

namespace lociview {

TraceReview GeneController::sizeTraceFiles(const std::vector<ImportFile>& files, const TraceChoice& choice,
                                           std::vector<SizedTrace>* sized) {
    TraceReview review{choice, {}, {}, {}};
    SizingOptions options;
    // The signals are kept only for the data set that is opened.
    options.keepSignals = sized != nullptr;
    options.standards.insert(options.standards.end(), choice.own.begin(), choice.own.end());
    for (const SizeStandard& s : options.standards) review.standards.push_back(s.name);
    if (!(choice.minHeight > 0) || !std::isfinite(choice.minHeight)) {
        review.tables = refusedImport(format("The minimum height must be a positive number of RFU, not %g.",
                                             choice.minHeight));
        return review;
    }
    options.minHeight = choice.minHeight;
    if (!choice.standard.empty()) {
        StandardChoice chosen = chooseStandard(choice.standard, options.standards);
        if (!chosen.standard) {
            review.tables = refusedImport("The size standard \"" + choice.standard + "\" cannot be used: " +
                                          chosen.problem);
            return review;
        }
        options.standard = std::move(chosen.standard);
    }
    std::vector<TraceSource> sources;
    sources.reserve(files.size());
    for (const ImportFile& f : files) sources.push_back({f.name, *f.bytes});
    std::vector<SizedTrace> traces = sizeTraces(sources, options);
    review.files = traceReview(traces);
    review.tables = importTraces(traces, log);
    if (sized) *sized = std::move(traces);
    return review;
}

std::optional<Outcome> GeneController::readTraces(const std::vector<ImportFile>& files,
                                                  const std::vector<std::optional<std::string>>& contents,
                                                  std::vector<Row>& kept) {
    for (const ImportFile& f : files)
        if (!f.bytes) return refuseTables("\"" + f.name + "\" could not be read.", kept);
    std::vector<SizedTrace> sized;
    TraceReview review = sizeTraceFiles(files, traceChoice, &sized);
    if (review.tables.status != ImportStatus::Imported) return refuseTables(review.tables.message, kept);
    const std::optional<ImportAnswer> asked =
        outlets.dialogs.runTraceReview(review, [&](const TraceChoice& choice) {
            review = sizeTraceFiles(files, choice, &sized);
            return review;
        });
    if (!asked) {
        logf(log, "Trace import cancelled");
        dataSet.data.swap(kept);
        return Outcome::Cancelled;
    }
    // Sized again in the review with a choice that gives no data set.
    if (review.tables.status != ImportStatus::Imported) return refuseTables(review.tables.message, kept);
    traceChoice = review.choice;
    const std::string checksum = checksumsWanted ? dataSetSha256(contents) : std::string();
    const std::optional<Outcome> ended = takeTables(review.tables, *asked, checksum, kept);
    if (!ended) {
        dataSet.imported.traces = std::move(review.files);
        std::vector<SizeStandard> standards = builtInStandards();
        standards.insert(standards.end(), traceChoice.own.begin(), traceChoice.own.end());
        if (const std::optional<SizeStandard> typed = chooseStandard(traceChoice.standard, standards).standard)
            standards.push_back(*typed);
        dataSet.imported.traceLanes = traceLaneParts(sized, dataSet.imported.dye, standards);
    }
    return ended;
}

}  // namespace lociview
