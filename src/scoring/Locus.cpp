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
