#pragma once
// A developer log that keeps every line, for tests that read it back.
#include <string>
#include <string_view>
#include <vector>

#include "base/DevLog.h"

namespace lociview {

class RecordingLog : public LogSink {
public:
    void line(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

}  // namespace lociview
