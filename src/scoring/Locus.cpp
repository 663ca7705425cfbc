#include "scoring/Locus.h"

namespace lociview {

namespace {

const LocusKind* findLocus(int32_t locustype) {
    for (const LocusKind& k : kLoci)
        if (k.code == locustype) return &k;
    return nullptr;
}

// Names and log lines take a code that is no locus for mono.
const LocusKind& locusOf(int32_t locustype) {
    const LocusKind* k = findLocus(locustype);
    return k ? *k : kLoci[0];
}

}  // namespace

std::span<const LocusKind> lociOffered(bool walkEveryLocus) {
    return std::span<const LocusKind>(kLoci).first(walkEveryLocus ? kLoci.size() : kLocusColumns);
}

int32_t locusCodeForColumn(int column) {
    if (column < 0 || column >= static_cast<int>(kLoci.size())) return kMonoLocus;
    return kLoci[static_cast<size_t>(column)].code;
}

std::optional<int> locusColumnNamed(std::string_view name, bool walkEveryLocus) {
    const std::span<const LocusKind> offered = lociOffered(walkEveryLocus);
    for (size_t c = 0; c < offered.size(); ++c)
        if (offered[c].name == name) return static_cast<int>(c);
    return std::nullopt;
}

std::string_view locusName(int32_t locustype) { return locusOf(locustype).name; }

const char* locusLogLine(int32_t locustype) { return locusOf(locustype).logLine; }

const char* walkLogLine(int32_t locustype) { return locusOf(locustype).walkLine; }

// A code that is no locus (0 before the first run) takes the wider tolerance.
double tolForLocus(int32_t locustype) {
    const LocusKind* k = findLocus(locustype);
    return k ? k->tolerance : 0.5;
}

std::string unwalkedLocusNote(int32_t locustype, std::string_view howToTurnOn) {
    return "No peak was scored: the ladder is walked for a di locus only; " + std::string(howToTurnOn) +
           " to walk this " + std::string(locusName(locustype)) + " locus.";
}

}  // namespace lociview
