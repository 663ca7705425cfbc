#pragma once
// Batch scoring: the clicks of one scoring session (type the parameters,
// open a file, score it, add it to the accumulator) repeated over many peak
// files, printing chosen views of the results as tab-separated blocks.
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "headless/InstabilityOptions.h"

namespace lociview::headless {

// What may be printed, in the order the blocks appear after each file
// (stats and spectrum after sppcr); Accumulated comes once, after the last
// file, followed by the accumulated stats and spectrum.
enum ShowBlock : unsigned {
    ShowAlleles = 1u << 0,
    ShowLanes = 1u << 1,
    ShowCounters = 1u << 2,
    ShowMaybes = 1u << 3,
    ShowSppcr = 1u << 4,
    ShowAccumulated = 1u << 5,
    ShowStats = 1u << 6,     // also for the accumulated runs, with ShowAccumulated
    ShowSpectrum = 1u << 7,  // likewise
    ShowSamples = 1u << 8,  // printed first: the samples as lanes, as opened
    ShowSizing = 1u << 9,   // trace files: each file as sized, before the samples
    ShowQc = 1u << 10,       // the lanes' quality flags, after counters
    ShowSuggest = 1u << 11,  // the suggested progenitors, after qc
    ShowInstability = 1u << 12,        // the lanes' instability indices, after spectrum
    ShowInstabilityGroups = 1u << 13,  // their means over groups of lanes
};

struct BatchOptions {
    // Texts typed into the scoring fields, by field name ("progenitor1");
    // the others keep their start-up values.
    std::map<std::string, std::string> fields;
    std::optional<int> locusCell;  // column of the locus matrix
    bool maybes = false;
    std::optional<std::string> ge;  // accumulate every scored file with this GE
    bool exportAnyway = false;
    // The run log the accumulator is kept in across processes (created
    // when missing); without it nothing is read or written.
    std::optional<std::string> accumulator;
    bool addAgain = false;  // add a run the log holds already (skipped otherwise)
    unsigned show = ShowAlleles | ShowCounters;
    bool devlog = false;
    bool help = false;
    std::vector<std::string> files;
    // Sizing tables, genotype tables and per-sample files: the dye to score (a letter or colour;
    // unset for the default) and all files opened as the lanes of one data set.
    std::optional<std::string> dye;
    std::optional<std::string> marker;  // of a Marker column; unset for the default
    bool asLanes = false;
    bool strict = false;  // a file with any row skipped fails and is not scored
    // Each kind of block once, for all files together, as one TSV table
    // with a leading file column (--format tidy), instead of a block per file.
    bool tidy = false;
    // Trace files: the size standard (a name or sizes) and the least peak
    // height in RFU; unset for the file's own standard and 50 RFU.
    std::optional<std::string> sizeStandard;
    std::optional<double> minHeight;
    // The quality flags' levels in RFU; unset ones keep 30000 and 100.
    std::optional<double> saturation, lowSignal;
    // "Walk the ladder for every repeat unit": every locus is walked, and
    // tetra and hexa may be chosen.
    bool walkEveryLocus = false;
    InstabilityOptions instability;
};

// The options of "lociview-cli score" (the words after "score"), or the
// message of a usage error.
std::variant<BatchOptions, std::string> parseBatchOptions(const std::vector<std::string>& args);

// Lets each batch leave what it built for the process's end to free, for a
// program that ends right after it (lociview-cli); the sanitizer builds
// and tests free everything.
void leaveBatchDataAtExit();

// Runs the batch. Exit status: 0 when every file was scored (and added, and
// exported, as asked); 1 when an alert stopped any of that for some file
// (the other files are still done); 2 for a usage error.
int runBatchScore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kScoreUsage;  // the synopsis
const std::string& scoreHelp();        // the whole description

}  // namespace lociview::headless
