// Many trace files sized side by side on four threads at once, as
// lociview-cli peaks sizes a plate: under ThreadSanitizer any state the
// threads share (a static table, the options, the result list) is
// reported as a race, and the results must be those of one file at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/AbifWriter.h"
#include "trace/TraceSizing.h"

namespace lociview {
namespace {

TEST(TraceThreads, FilesSizedSideBySideAsAlone) {
    std::vector<std::string> bytes;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        testing::SyntheticRun run;
        run.seed = seed;
        run.dyes = 4 + static_cast<int>(seed % 3);
        run.storedStandard = seed % 4 == 0 ? "" : "GS500LIZ";
        run.peaks.push_back({0, 2000.0 + 37 * seed, 900.0, 2.0});
        bytes.push_back(testing::writeRun(run));
    }
    std::vector<TraceSource> files;
    for (size_t i = 0; i < bytes.size(); ++i) files.push_back({"f" + std::to_string(i) + ".fsa", bytes[i]});
    const SizingOptions options;
    const std::vector<SizedTrace> together = sizeTraces(files, options, 4);
    ASSERT_EQ(together.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        const SizedTrace alone = sizeTrace(files[i].bytes, files[i].name, options);
        EXPECT_EQ(together[i].standard, alone.standard);
        EXPECT_EQ(together[i].messages, alone.messages);
        ASSERT_EQ(together[i].peaks.size(), alone.peaks.size());
        for (size_t p = 0; p < alone.peaks.size(); ++p) EXPECT_EQ(together[i].peaks[p].peak.scan, alone.peaks[p].peak.scan);
    }
}

}  // namespace
}  // namespace lociview
