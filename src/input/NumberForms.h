#pragma once
// The number texts of peak rows, "%f" and "%d", independent of the C locale.
// Every peak reader writes its rows through these (and reads its numbers
// with parseFloat), so a size reads the same whatever layout the file has.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lociview {

// "%f" of the value: the exact binary value rounded to six decimals.
std::string floatText(float value);

// "%d" of the value.
std::string intText(int32_t value);

}  // namespace lociview
