#pragma once
// An output stream that accepts every character and keeps none. A trace
// written to one skips the lines that cost a formatted number each (a
// progress step per lane, the by-lane listing); the rest is still
// formatted and written as in a real session.
#include <ostream>
#include <streambuf>

namespace lociview {

class NullStream final : public std::ostream {
public:
    NullStream() : std::ostream(&buffer) {}

private:
    class NullBuffer final : public std::streambuf {
    protected:
        int_type overflow(int_type c) override { return traits_type::not_eof(c); }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    };
    NullBuffer buffer;
};

}  // namespace lociview
