#pragma once
// The process's standard output channel, injected like the developer log so
// that scoring's by-lane listing lands where each front end wants it.
#include <string_view>

namespace lociview {

class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual void write(std::string_view text) = 0;
};

}  // namespace lociview
