#pragma once
// The controller's number fields: what a user calls each and how its text
// is read. The desktop's hints on the fields, the notes an action gives
// about the fields it read and the export headers all read this one table.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/FieldReading.h"

namespace lociview {

struct NumberField {
    const char* name;   // the controller's field name, as scripts type it
    const char* label;  // as the export headers and notes call it
    FieldReading reading;
};

// The scoring fields (ScoringFields.h) first, then the other number fields.
const std::vector<NumberField>& numberFields();

// The entry of a field name of the table.
const NumberField& numberField(std::string_view name);

// "stutter tolerance '1,5' is read as 1; P1 '15O' is read as 15": a note
// for each field (name, text) whose text is not one plain number, in
// order; "" when there is none.
std::string fieldNotes(const std::vector<std::pair<std::string_view, std::string>>& texts);

}  // namespace lociview
