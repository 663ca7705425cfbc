#pragma once
// The scoring fields, one row each: the controller's field and its start-up
// value, what users, the command line and the export headers call it, how
// its text is read, and where a scoring run and the run log keep its text.
// Every list of the fields (start-up, reading, notes, provenance, the run
// log, the export headers, the command line, the headless and desktop
// front ends, the saved settings) reads this table, so a new scoring field
// is one row here, its member of ParameterTexts and its control.
#include <span>
#include <string>

#include "accum/RunLog.h"
#include "app/FieldNotes.h"
#include "app/Toolkit.h"
#include "scoring/ScoringParameters.h"

namespace lociview {

struct ScoringField {
    // name: the controller's field, as scripts type it, the desktop's widget
    // and its settings key; label: as notes and export headers call it.
    NumberField number;
    double startValue;                   // typed into the field at start-up
    const char* brief;                   // in lociview-cli score's help ("low")
    const char* option;                  // lociview-cli score's option ("--p1")
    const char* help;                    // what the option sets ("progenitor 1 size")
    std::string ParameterTexts::*text;   // the text of a scoring run
    std::string TypedFields::*logged;    // the text the run log keeps; null for one it does not
    TextField& (*outlet)(const Outlets&);
};

// In the order of the fields on screen.
std::span<const ScoringField> scoringFields();

// The texts of the scoring fields as typed now.
ParameterTexts scoringTexts(const Outlets& outlets);

}  // namespace lociview
