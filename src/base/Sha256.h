#pragma once
// SHA-256 of a file's bytes as lowercase hex, so a run can name exactly the
// data it was scored from.
#include <string>
#include <string_view>

namespace lociview {

// 64 lowercase hex digits; empty only if libcrypto itself fails.
std::string sha256Hex(std::string_view bytes);

}  // namespace lociview
