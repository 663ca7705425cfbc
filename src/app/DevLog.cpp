#include "app/DevLog.h"

#include <cstdio>

namespace lociview {

std::string vformat(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = vformat(fmt, args);
    va_end(args);
    return s;
}

void logf(LogSink& log, const char* fmt, ...) {
    if (!log.enabled()) return;
    va_list args;
    va_start(args, fmt);
    // Most lines fit on the stack: no allocation per line.
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        va_end(args);
        log.line(std::string_view(small, static_cast<size_t>(n)));
        return;
    }
    const std::string s = vformat(fmt, args);
    va_end(args);
    log.line(s);
}

}  // namespace lociview
