#pragma once
// The number texts of peak rows, "%f" and "%d", independent of the C locale.
// Every peak reader writes its rows through these (and reads its numbers
// with parseFloat), so a size reads the same whatever layout the file has.
// And the forms in which tables write their numbers: a decimal point or
// comma, marks between thousands.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lociview {

// How a column writes its numbers: the decimal mark ('.' or ','), and the
// mark between groups of three digits (0 for none, ',' or '.', or ' ' for a
// blank: a space, a no-break space or a narrow no-break space).
struct NumberForm {
    char decimal = '.';
    char group = 0;
    bool operator==(const NumberForm&) const = default;
};

// The cell written in that form as a plain decimal text ("2,133.5" under
// {'.', ','} gives "2133.5", "3.394,5" under {',', '.'} gives "3394.5");
// false when the cell is not written so: a group of other than three
// digits, the other mark where none may be. plain is cell itself when
// nothing had to change, else a view of scratch. Whether plain is a number
// is for decimalNumberLength to say.
bool plainNumber(std::string_view cell, NumberForm form, std::string& scratch, std::string_view& plain);

// "a decimal comma", "a decimal comma and a point between thousands",
// "commas between thousands"; "" for the plain form.
std::string numberFormWords(NumberForm form);

// "%f" of the value: the exact binary value rounded to six decimals.
std::string floatText(float value);

// "%d" of the value.
std::string intText(int32_t value);

}  // namespace lociview
