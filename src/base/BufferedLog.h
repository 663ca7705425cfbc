#pragma once
// Developer log lines on a stream, each entry one line (a line break inside
// it escaped, LineText.h), gathered and written in large pieces: a scoring
// run writes a line per peak and more, and standard error writes through at
// once. Call flush() before anything else goes to the same stream, so the
// order stays.
#include <ostream>
#include <string>
#include <string_view>

#include "base/DevLog.h"
#include "base/LineText.h"

namespace lociview {

class BufferedLog final : public LogSink {
public:
    explicit BufferedLog(std::ostream& out) : out(out) {}
    ~BufferedLog() override { flush(); }
    BufferedLog(const BufferedLog&) = delete;
    BufferedLog& operator=(const BufferedLog&) = delete;

    void line(std::string_view text) override {
        appendEscaped(pending, text, LineKind::DevLog);
        ended();
    }
    void plainLine(std::string_view text) override {
        pending.append(text);
        ended();
    }
    void flush() {
        if (pending.empty()) return;
        out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
        out.flush();
        pending.clear();
    }

private:
    void ended() {
        pending += '\n';
        if (pending.size() >= kChunk) flush();
    }

    static constexpr size_t kChunk = size_t{1} << 16;
    std::ostream& out;
    std::string pending;
};

}  // namespace lociview
