#pragma once
// A hint on a field whose text does not read as the number it shows: a red
// frame and a tooltip saying what the program will read ("read as 12" for
// "12abc"). Nothing about the reading changes; the hint only tells.
#include <string>
#include <string_view>

class QWidget;

namespace lociview::qt {

// How the controller reads a field's text.
enum class FieldReading {
    Decimal,          // a number (shift, stutter tolerance, GE values)
    Whole,            // its leading whole number (clean-up heights, lane, allele)
    DecimalAndWhole,  // both: a number to count with, a whole one to check (P1, P2, low, high)
};

// "" when the text reads as the number it shows (blanks around it aside,
// and an empty field, which shows no number); otherwise what is read, as
// "read as 0" or "read as 1000, and as 1 where a whole number is used".
std::string fieldReadingHint(std::string_view text, FieldReading reading);

// Puts the hint on every number field of the main window and its tool
// windows (found by name under root), kept up to date as the text changes.
void installFieldHints(QWidget* root);

}  // namespace lociview::qt
