#pragma once
// A developer log that keeps every line, for tests that read the log.
#include <string>
#include <string_view>
#include <vector>

#include "base/DevLog.h"

namespace lociview {

struct RecordingLog : LogSink {
    void line(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

}  // namespace lociview
