#include "app/Provenance.h"

#include "scoring/Locus.h"

namespace lociview {

std::string statisticsSourceText(StatisticsSource source, const std::string& fileName) {
    const std::string run = "Scored run of " + (fileName.empty() ? std::string("(unnamed data)") : fileName);
    switch (source) {
        case StatisticsSource::None: return "No scored run yet";
        case StatisticsSource::ScoredRun: return run;
        case StatisticsSource::AfterCleanUp: return run + ", after clean-up";
        case StatisticsSource::OtherFile: return "Score this file to see its statistics";
    }
    return {};
}

std::string provenanceText(const ResultProvenance& s) {
    const ParameterTexts& f = s.fields;
    std::string text = s.previousFile ? "Previous file's results, " : "";
    text += (s.fileName.empty() ? std::string("(unnamed data)") : s.fileName) + ": P1 " + f.progenitor1 + ", P2 " +
            f.progenitor2 + ", range " + f.lowrange + " to " + f.highrange + ", shift " + f.shift +
            ", stutter tolerance " + f.stuttertol + ", " + std::string(locusName(s.locus)) + ", Maybes " +
            (s.maybes ? "on" : "off");
    return text;
}

}  // namespace lociview
