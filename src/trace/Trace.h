#pragma once
// One capillary's run as the instrument wrote it: a 16-bit signal per dye
// and the items about the sample, the run and the size standard. Read
// from the bytes of an ABIF file (.fsa, or a .hid whose signals are plain).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lociview {

// Dyes a trace may have: DATA.1-4, DATA.105, DATA.106.
inline constexpr int kMaxDyes = 6;

// A peak of the instrument software's own table (3500 files carry one),
// kept to compare sizes with.
struct InstrumentPeak {
    int dye = 0;        // 1 for the first dye
    int32_t scan = 0;
    double height = 0.0;
    double area = 0.0;
    double size = -1.0;  // -1 when the instrument left it unsized
};

struct Trace {
    std::string sample;        // SpNm.1, "" when missing
    std::string well;          // TUBE.1
    std::string instrument;    // MCHN.1
    std::string model;         // MODL.1
    std::string standardName;  // StdF.1: the size standard named at collection
    std::string runStarted;    // RUND.1 and RUNT.1: "2023-05-15 16:51:03", "" when missing
    double normalization = 1.0;              // NrmS.1 (3500 files), else 1
    std::vector<std::string> dyeNames;       // DyeN.n, per dye, "" when missing
    std::vector<std::vector<int16_t>> signals;  // per dye, all of one length
    std::vector<int32_t> offScale;           // OfSc.1: scans the instrument marked off scale, ascending
    std::vector<InstrumentPeak> instrumentPeaks;

    int dyes() const { return static_cast<int>(signals.size()); }
    size_t scans() const { return signals.empty() ? 0 : signals.front().size(); }
};

struct TraceRead {
    std::optional<Trace> trace;
    std::string problem;  // when there is no trace: a sentence naming the file
};

// fileName names the file in the problem; the bytes need only outlive the
// call.
TraceRead readTrace(std::string_view bytes, std::string_view fileName);

// The item holding dye `dye` (1 for the first): "DATA.1" ... "DATA.4",
// "DATA.105", "DATA.106".
int32_t dyeItemNumber(int dye);

}  // namespace lociview
