#include "scoring/Locus.h"

namespace lociview {

int32_t locusCodeForColumn(int column) {
    switch (column) {
        case 1: return kDiLocus;
        case 2: return kTriLocus;
        case 3: return kPentaLocus;
        default: return kMonoLocus;
    }
}

std::optional<int> locusColumnNamed(std::string_view name) {
    for (size_t c = 0; c < kLocusNames.size(); ++c)
        if (kLocusNames[c] == name) return static_cast<int>(c);
    return std::nullopt;
}

std::string_view locusName(int32_t locustype) {
    switch (locustype) {
        case kDiLocus: return kLocusNames[1];
        case kTriLocus: return kLocusNames[2];
        case kPentaLocus: return kLocusNames[3];
        default: return kLocusNames[0];
    }
}

const char* locusLogLine(int32_t locustype) {
    switch (locustype) {
        case kDiLocus: return "locus = di";
        case kTriLocus: return "locus = tri";
        case kPentaLocus: return "locus = penta";
        default: return "locus = mono";
    }
}

double tolForLocus(int32_t locustype) { return locustype == kMonoLocus ? 0.25 : 0.5; }

}  // namespace lociview
