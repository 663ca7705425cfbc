#pragma once
// Small helpers shared by the fuzz targets: a stream that swallows the
// trace, a log that keeps its lines for checks, and a hard check that
// libFuzzer reports as a crash with the reason printed first.
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "base/DevLog.h"

#include "base/NullStream.h"

namespace lociview::fuzz {

using lociview::NullStream;

// Keeps every developer log line.
class KeepLog final : public LogSink {
public:
    void line(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

[[noreturn]] inline void fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "fuzz check failed: %s %.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) fail(what, detail);
}

}  // namespace lociview::fuzz
