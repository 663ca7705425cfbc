#pragma once
// SHA-256 of a file's bytes as lowercase hex, so a run can name exactly the
// data it was scored from.
#include <future>
#include <string>
#include <string_view>

namespace lociview {

// 64 lowercase hex digits; empty only if libcrypto cannot be opened or fails.
std::string sha256Hex(std::string_view bytes);

// The same, worked out on a thread of its own while the caller goes on
// reading the same bytes, which must stay until the result is taken; on the
// caller's thread when no thread can be started.
std::future<std::string> sha256HexBeside(std::string_view bytes);

}  // namespace lociview
