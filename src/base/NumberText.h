#pragma once
// How the text of a field reads as a number, and how numbers are written
// back into fields. Both front ends share these so a typed value means the
// same thing everywhere.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lociview {

// Leading blanks skipped, optional sign, leading ASCII digits; saturates at
// the 32-bit limits; 0 when there is no digit ("1e3" -> 1, ".5" -> 0).
int32_t intValue(std::string_view text);

// The leading decimal number (sign, digits, point, fraction, exponent),
// correctly rounded; 0.0 when there is none. Overflow gives +-infinity.
double doubleValue(std::string_view text);

// The text as one decimal number, blanks around it aside; none for any
// other text ("", "0.2x", "nan").
std::optional<double> wholeNumberValue(std::string_view text);

// doubleValue rounded to single precision.
float floatValue(std::string_view text);

// Length of the decimal number at the start of text (no blanks skipped),
// 0 when none. Digits are ASCII; an exponent needs digits after e/E and sign.
size_t decimalNumberLength(std::string_view text);

// Exactly rounded conversion of a decimal number text (as measured by
// decimalNumberLength) to double or float, independent of the C locale.
double parseDouble(std::string_view number);
float parseFloat(std::string_view number);

// The quick exact path of both: a whole number of at most quickDigits<T>
// digits over a power of ten up to 10^quickDigits<T> are both exact in T,
// so one division rounds the quotient correctly. The usual texts of a peak
// table ("185.32", "18923.5") and of the fields take it.
template <typename T>
inline constexpr int quickDigits = sizeof(T) == sizeof(float) ? 7 : 15;

// digits / 10^decimals in T; digits below 10^quickDigits<T>, decimals at
// most quickDigits<T>.
template <typename T>
T decimalQuotient(uint64_t digits, int decimals);

// A plain decimal (optional sign, digits, at most one point, no exponent)
// of at most quickDigits<T> digits: its exact value, and true. False for
// any other text, which then needs the slow path.
template <typename T>
bool quickDecimal(std::string_view text, T& value);

// Float or double to a 32-bit integer: truncation toward zero inside the
// range, saturation outside it, NaN gives 0.
int32_t saturatingInt(double value);

// A wide integer or a count as a 32-bit integer, saturating at its limits.
int32_t clampToInt32(int64_t value);
int32_t clampedCount(size_t count);

// A double as a field shows it: the shortest text that reads back as the
// same double, with ".0" added when it has no decimal point (1.0, 120.0).
std::string formatDoubleField(double value);

// A double as a table cell that reads back exactly: the shortest text that
// reads back as the same double, whole numbers without a point, -0 as 0.
std::string shortestNumber(double value);

// A double with a fixed number of decimals, rounded, the same in every
// locale ("152.31"); "nan", "inf" and "-inf" for the others.
std::string fixedText(double value, int decimals);

// An integer as a field shows it ("%d").
std::string formatIntField(int32_t value);

}  // namespace lociview
