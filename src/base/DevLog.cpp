#include "base/DevLog.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

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

namespace logformat {

bool LineWriter::printfFixed(double v, int precision) {
    char out[400];
    const int n = std::snprintf(out, sizeof out, "%.*f", precision, v);
    return n >= 0 && static_cast<size_t>(n) < sizeof out && text(out, static_cast<size_t>(n));
}

bool writeQuick(LogSink& log, const char* fmt, const Parsed& parsed, const Arg* args) {
    bool placing = parsed.plain;  // into the sink's buffer, unless a text needs escaping
    bool escape = false;
    const auto write = [&](char* begin, char* end) -> char* {
        LineWriter out(begin, end);
        const Arg* arg = args;
        for (uint8_t i = 0; i < parsed.count; ++i) {
            const Piece& p = parsed.pieces[i];
            if (!out.text(fmt + p.start, p.length)) return nullptr;
            bool written = true;
            switch (p.conversion) {
                case 0: break;
                case '%': written = out.text("%", 1); break;
                case 'f': written = out.fixed((arg++)->real, p.precision); break;
                case 's': {
                    if (!arg->text) return nullptr;
                    const std::string_view text((arg++)->text);
                    if (placing && !LineWriter::plainText(text)) {
                        escape = true;
                        return nullptr;
                    }
                    written = out.text(text.data(), text.size());
                    break;
                }
                case 'u': written = out.digits(static_cast<unsigned>((arg++)->bits)); break;
                case 'U': written = out.digits(static_cast<unsigned long long>((arg++)->bits)); break;
                case 'D': written = out.digits(static_cast<long long>((arg++)->bits)); break;
                default: written = out.digits(static_cast<int>(static_cast<int64_t>((arg++)->bits))); break;  // 'd'
            }
            if (!written) return nullptr;
        }
        return out.written();
    };
    if (placing) {
        if (log.placePlainLine(write)) return true;
        if (!escape) return false;  // too long, or a null text: printf writes it
        placing = false;
    }
    char small[LogSink::kLineRoom];
    const char* const end = write(small, small + sizeof small);
    if (!end) return false;
    log.line(std::string_view(small, static_cast<size_t>(end - small)));
    return true;
}

void writePrintf(LogSink& log, const char* fmt, ...) {
    va_list args;
    char small[LogSink::kLineRoom];
    va_start(args, fmt);
    const int n = std::vsnprintf(small, sizeof small, fmt, args);
    va_end(args);
    // Most lines fit on the stack: no allocation per line.
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        log.line(std::string_view(small, static_cast<size_t>(n)));
        return;
    }
    va_start(args, fmt);
    const std::string s = vformat(fmt, args);
    va_end(args);
    log.line(s);
}

}  // namespace logformat

}  // namespace lociview
