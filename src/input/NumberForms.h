#pragma once
// The number forms of peak rows: a number text read to single precision
// exactly, and the "%f" / "%d" texts a row stores, independent of the C
// locale. Every peak reader goes through these, so a size reads the same
// whatever layout the file has.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lociview {

// Digits of a number read exactly by one single-precision division, and
// the powers of ten that division takes (all exact floats).
inline constexpr size_t kQuickDigits = 7;
inline constexpr float kQuickTens[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};

// readFloat's quick exact path: true, with the value, when the text is a
// plain decimal (sign, digits, one point) of at most kQuickDigits digits.
bool readQuickFloat(std::string_view text, float& value);

// Correctly rounded single precision of a number text as measured by
// decimalNumberLength; beyond the range, +-infinity.
float readFloat(std::string_view number);

// "%f" of the value: the exact binary value rounded to six decimals.
std::string floatText(float value);

// "%d" of the value.
std::string intText(int32_t value);

}  // namespace lociview
