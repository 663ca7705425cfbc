#pragma once
// The developer log: an injected line sink plus the one printf-style helper
// every log line is built through, so formats are checked by the compiler.
#include <cstdarg>
#include <string>
#include <string_view>

namespace lociview {

class LogSink {
public:
    virtual ~LogSink() = default;
    // False when nobody reads the log: callers then skip formatting entirely.
    virtual bool enabled() const { return true; }
    virtual void line(std::string_view text) = 0;
};

// Discards everything; formatting is skipped because enabled() is false.
class NullLog final : public LogSink {
public:
    bool enabled() const override { return false; }
    void line(std::string_view) override {}
};

// printf into a std::string (no truncation).
[[gnu::format(printf, 1, 2)]] std::string format(const char* fmt, ...);
std::string vformat(const char* fmt, va_list args);

// Writes one developer log line built from a printf format.
[[gnu::format(printf, 2, 3)]] void logf(LogSink& log, const char* fmt, ...);

}  // namespace lociview
