#pragma once
// What the current results come from: the data set and the fields of the
// scoring run that made them, and whether another file has been opened
// since (the table then still shows the previous file's results).
#include <cstdint>
#include <string>

#include "scoring/ScoringParameters.h"

namespace lociview {

struct ResultProvenance {
    std::string fileName;    // the peak file's name, without its folder
    std::string fileSha256;  // of the file's bytes
    ParameterTexts fields;   // as typed for the run (after a progenitor swap)
    int32_t locus = 0;       // locus type code of the run
    bool maybes = false;     // Maybes as the run counted them
    bool previousFile = false;
};

// What the statistics of the run are computed from.
enum class StatisticsSource {
    None,          // no run scored to its end yet
    ScoredRun,     // the scored run of the open file
    AfterCleanUp,  // that run as the records' marks stand after clean-up
    OtherFile,     // another file has been opened since: none until it is scored
};

// The line the statistics views show above them: "Scored run of
// plate.txt", "Scored run of plate.txt, after clean-up", "Score this file
// to see its statistics" or "No scored run yet".
std::string statisticsSourceText(StatisticsSource source, const std::string& fileName);

// One line for the results panel: "peaks.txt: P1 150, P2 156, range 120.0
// to 180.0, shift 0.0, stutter tolerance 1.5, di, Maybes off", prefixed
// "Previous file's results, " once another file has been opened.
std::string provenanceText(const ResultProvenance& source);

}  // namespace lociview
