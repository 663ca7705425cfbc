#pragma once
// Developer log lines on a stream, each entry one line (a line break inside
// it escaped, LineText.h), gathered and written in large pieces: a scoring
// run writes a line per peak and more, and standard error writes through at
// once. Plain lines are put together straight in the buffer (DevLog.h).
// Call flush() before anything else goes to the same stream, so the order
// stays.
#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "base/DevLog.h"
#include "base/LineText.h"

namespace lociview {

class BufferedLog final : public LogSink {
public:
    explicit BufferedLog(std::ostream& out) : out(out), buffer(new char[kSize]) { lendSpace(buffer.get(), bufferEnd()); }
    ~BufferedLog() override { flush(); }
    BufferedLog(const BufferedLog&) = delete;
    BufferedLog& operator=(const BufferedLog&) = delete;

    void line(std::string_view text) override {
        if (!lineText::needsEscaping(text, LineKind::DevLog)) {
            plainLine(text);
            return;
        }
        escapedText.clear();
        appendEscaped(escapedText, text, LineKind::DevLog);
        plainLine(escapedText);
    }
    void plainLine(std::string_view text) override {
        char* at = spaceUsedTo();
        if (static_cast<size_t>(bufferEnd() - at) <= text.size()) {
            flush();
            at = buffer.get();
            if (kSize <= text.size()) {  // longer than the buffer: written as it is
                out.write(text.data(), static_cast<std::streamsize>(text.size()));
                out.put('\n');
                out.flush();
                return;
            }
        }
        at = std::copy(text.begin(), text.end(), at);
        *at = '\n';
        lendSpace(at + 1, bufferEnd());
        if (bufferEnd() - spaceUsedTo() < static_cast<std::ptrdiff_t>(kLineRoom)) flush();
    }
    void flush() {
        const size_t held = static_cast<size_t>(spaceUsedTo() - buffer.get());
        if (held == 0) return;
        out.write(buffer.get(), static_cast<std::streamsize>(held));
        out.flush();
        lendSpace(buffer.get(), bufferEnd());
    }

private:
    void spaceLow() override { flush(); }
    char* bufferEnd() const { return buffer.get() + kSize; }

    // Written out once a piece is this long, with room for the longest
    // line placed after it.
    static constexpr size_t kChunk = size_t{1} << 16;
    static constexpr size_t kSize = kChunk + kLineRoom;
    std::ostream& out;
    std::unique_ptr<char[]> buffer;
    std::string escapedText;
};

}  // namespace lociview
