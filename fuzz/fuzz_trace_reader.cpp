// Bytes in -> an ABIF trace read, called, sized and imported. Nothing may
// crash or read outside the bytes; an item's data lie inside the file; a
// trace has 1 to 6 dyes of one length; a file is refused exactly when its
// trace cannot be read, with a message naming it; every peak lies inside
// the signal at or above the minimum height, and sizes rise with the scan
// inside the matched standard only; the import's lanes and dyes agree
// with the peaks.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "TraceChecks.h"
#include "input/TraceImport.h"
#include "trace/Abif.h"
#include "trace/Trace.h"

using namespace lociview;
using namespace lociview::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const AbifDirectory dir = readAbifDirectory(bytes);
    for (const AbifItem& item : dir.items)
        check(item.data.empty() || (item.data.data() >= bytes.data() && item.data.data() + item.data.size() <= bytes.data() + bytes.size()),
              "item data outside the file", item.name());

    const TraceRead read = readTrace(bytes, "f.fsa");
    check(read.trace.has_value() == read.problem.empty(), "a trace and a problem, or neither");
    if (read.trace) {
        const Trace& t = *read.trace;
        check(t.dyes() >= 1 && t.dyes() <= kMaxDyes && t.scans() > 0, "dye count or scans out of range");
        check(t.dyeNames.size() == t.signals.size(), "a name per dye");
        for (const auto& s : t.signals) check(s.size() == t.scans(), "signals of different lengths");
        check(t.normalization > 0 && std::isfinite(t.normalization), "normalization not positive");
    } else {
        check(read.problem.rfind("Cannot read \"f.fsa\": ", 0) == 0, "problem does not name the file", read.problem);
    }

    SizingOptions options;
    options.minHeight = size > 0 ? 20 + data[0] % 100 : 50;
    const SizedTrace sized = sizeTrace(bytes, "f.fsa", options);
    check(sized.problem == read.problem, "sizing reads the file differently");
    checkSizedTrace(sized, options);

    NullLog log;
    const PeakImport im = importTraces({sized}, log);
    if (!sized.problem.empty()) {
        check(im.status == ImportStatus::Refused && im.message == sized.problem, "unreadable trace imported");
        return 0;
    }
    int64_t sizedPeaks = 0;
    for (const SizedPeak& p : sized.peaks) sizedPeaks += p.sized();
    check((im.status == ImportStatus::Imported) == (sizedPeaks > 0), "import status is not whether peaks were sized");
    check(static_cast<int64_t>(im.peaks.size()) == sizedPeaks, "import lost or added peaks");
    int64_t dyed = 0;
    for (const DyeCount& d : im.dyes) dyed += d.peaks;
    check(dyed == sizedPeaks, "dye counts do not add up to the peaks");
    return 0;
}
