#pragma once
// What a field's text is read as when it is not one plain number: the
// program reads the leading number ("12abc" is 12, "1,5" is 1), and says so
// where it acts on it. Nothing about the reading changes; this only tells.
#include <string>
#include <string_view>

namespace lociview {

// How a field's text is read.
enum class FieldReading {
    Decimal,          // a number (shift, stutter tolerance, GE values)
    Whole,            // its leading whole number (clean-up heights, lane, allele)
    DecimalAndWhole,  // both: a number to count with, a whole one to check (P1, P2, low, high)
};

// "" when the text reads as the number it shows (blanks around it aside,
// and an empty field, which shows no number); otherwise what is read, as
// "read as 0" or "read as 1000, and as 1 where a whole number is used".
std::string fieldReadingHint(std::string_view text, FieldReading reading);

// "LABEL 'TEXT' is read as 1" for a text fieldReadingHint has a hint for,
// else "". The text is shown as typed, blanks and all.
std::string fieldReadingNote(std::string_view label, std::string_view text, FieldReading reading);

// The text as typed, and what is used where it differs: "1,5 (read as 1)".
std::string typedAndRead(std::string_view text, FieldReading reading);

}  // namespace lociview
