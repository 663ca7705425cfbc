#pragma once
// The process's standard output channel, injected like the developer log so
// that scoring's by-lane listing lands where each front end wants it.
#include <string_view>

namespace lociview {

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // False when nothing written is kept: callers may skip building the text.
    virtual bool enabled() const { return true; }
    virtual void write(std::string_view text) = 0;
};

}  // namespace lociview
