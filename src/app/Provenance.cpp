#include "app/Provenance.h"

#include "scoring/Locus.h"

namespace lociview {

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
