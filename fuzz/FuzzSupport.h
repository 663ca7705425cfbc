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

namespace lociview::fuzz {

// Accepts every character and keeps none, so the trace is still formatted
// and written as in a real session.
class NullBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

class NullStream final : public std::ostream {
public:
    NullStream() : std::ostream(&buffer) {}

private:
    NullBuffer buffer;
};

// Keeps every developer log line.
class KeepLog final : public LogSink {
public:
    void line(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

[[noreturn]] inline void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz check failed: %s %s\n", what, detail.c_str());
    std::abort();
}

inline void check(bool ok, const char* what, const std::string& detail = {}) {
    if (!ok) fail(what, detail);
}

}  // namespace lociview::fuzz
