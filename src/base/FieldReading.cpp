#include "base/FieldReading.h"

#include <cmath>
#include <cstdint>

#include "base/NumberText.h"

namespace lociview {

namespace {

bool isSpaceChar(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view withoutBlanks(std::string_view text) {
    while (!text.empty() && isSpaceChar(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpaceChar(text.back())) text.remove_suffix(1);
    return text;
}

// The number as a person would write it back: 12, 1.5, inf.
std::string shown(double value) {
    std::string text = formatDoubleField(value);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
    return text;
}

}  // namespace

std::string fieldReadingHint(std::string_view text, FieldReading reading) {
    if (text.empty()) return {};
    const std::string_view number = withoutBlanks(text);
    const bool allNumber = !number.empty() && decimalNumberLength(number) == number.size();
    const double decimal = doubleValue(text);
    const int32_t integer = intValue(text);

    if (reading == FieldReading::Whole) {
        // "1.0" is the whole number it shows; "1.5" and "1e3" are not.
        if (allNumber && decimal == static_cast<double>(integer)) return {};
        return "read as " + formatIntField(integer);
    }
    const bool readAsShown = allNumber && std::isfinite(decimal);
    const bool wholeAgrees = reading == FieldReading::Decimal || saturatingInt(decimal) == integer;
    if (readAsShown && wholeAgrees) return {};
    std::string hint = "read as " + shown(decimal);
    if (!wholeAgrees) hint += ", and as " + formatIntField(integer) + " where a whole number is used";
    return hint;
}

std::string fieldReadingNote(std::string_view label, std::string_view text, FieldReading reading) {
    const std::string hint = fieldReadingHint(text, reading);
    if (hint.empty()) return {};
    return std::string(label) + " '" + std::string(text) + "' is " + hint;
}

std::string typedAndRead(std::string_view text, FieldReading reading) {
    const std::string hint = fieldReadingHint(text, reading);
    return hint.empty() ? std::string(text) : std::string(text) + " (" + hint + ")";
}

}  // namespace lociview
