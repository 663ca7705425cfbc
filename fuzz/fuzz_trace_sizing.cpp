// Bytes in -> signals of 1 to 6 dyes, called and sized. The first byte
// gives the dyes, the second the kind: arbitrary signals (the rest of the
// bytes as 16-bit samples, dye after dye), or a run built from them (the
// mobility, which standard fragments are there and how high, the standard
// chosen, then peaks anywhere in any dye, three bytes each), so matching
// and sizing are reached as often as calling. Nothing may crash, and
// every sized trace must hold what TraceChecks.h says: above all, sizes
// rise strictly with the scan inside the standard's range and are not
// given outside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "TraceChecks.h"
#include "support/AbifWriter.h"

using namespace lociview;
using namespace lociview::fuzz;
using lociview::testing::AbifWriter;
using lociview::testing::SyntheticRun;

namespace {

std::string rawSignals(int dyes, const uint8_t* data, size_t size) {
    const size_t scans = std::max<size_t>(1, size / 2 / static_cast<size_t>(dyes));
    AbifWriter w;
    w.shorts("Dye#", 1, {static_cast<int16_t>(dyes)});
    for (int d = 0; d < dyes; ++d) {
        std::vector<int16_t> signal(scans, 0);
        for (size_t s = 0; s < scans; ++s) {
            const size_t at = 2 * (static_cast<size_t>(d) * scans + s);
            if (at + 1 < size) signal[s] = static_cast<int16_t>(data[at] << 8 | data[at + 1]);
        }
        w.shorts("DATA", d < 4 ? d + 1 : d + 101, signal);
    }
    return w.bytes();
}

std::string builtRun(int dyes, const uint8_t* data, size_t size, SizingOptions& options) {
    uint8_t p[8] = {};
    std::copy_n(data, std::min<size_t>(8, size), p);
    SyntheticRun run;
    run.dyes = dyes;
    run.scans = 600 + 100 * (p[0] % 16);
    // x(L) = a + b L - c L^2, rising up to 600 bp.
    run.mobility.a = 50.0 + 8.0 * p[1];
    run.mobility.b = 3.0 + p[2] / 10.0;
    run.mobility.c = std::min(p[3] / 40000.0, run.mobility.b / 1300.0);
    const std::vector<double> gs600 = standardNamed("GS600LIZ", builtInStandards())->sizes;
    const bool six = p[4] & 1;
    const std::vector<double>& kit = six ? gs600 : lociview::testing::kGs500Sizes;
    run.standard.clear();
    const uint16_t dropped = static_cast<uint16_t>(p[5] << 8 | p[6]);
    for (size_t k = 0; k < kit.size(); ++k)
        if (!(dropped >> (k % 16) & 1) || (p[4] & 2)) run.standard.push_back(kit[k]);
    run.standardHeight = 30.0 + 12.0 * p[7];
    run.noise = (p[4] >> 2) * 2.0;
    run.primer = p[4] & 128;
    run.storedStandard = six ? "GS600LIZ" : "GS500LIZ";
    if (p[4] & 4) run.storedStandard = "unknown";
    if (p[4] & 8) options.standard = chooseStandard(six ? "20,40,60,80,100,114,120" : "50,100,150,200,250,300", {}).standard;
    for (size_t at = 8; at + 3 <= size && run.peaks.size() < 64; at += 3)
        run.peaks.push_back({data[at] % dyes, static_cast<double>((data[at + 1] << 8 | data[at]) % run.scans),
                             40.0 * data[at + 2], 1.0 + data[at] % 5});
    return lociview::testing::writeRun(run);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int dyes = 1 + data[0] % kMaxDyes;
    SizingOptions options;
    options.minHeight = 10.0 + data[1] % 64;
    const std::string bytes = data[1] & 64 ? rawSignals(dyes, data + 2, size - 2) : builtRun(dyes, data + 2, size - 2, options);
    const SizedTrace t = sizeTrace(bytes, "f.fsa", options);
    check(t.problem.empty(), "a written trace cannot be read", t.problem);
    checkSizedTrace(t, options);
    return 0;
}
