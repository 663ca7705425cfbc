#include "app/ScoringFields.h"

#include <array>

namespace lociview {

std::span<const ScoringField> scoringFields() {
    static const std::array<ScoringField, 6> fields = {{
        {{"progenitor1", "P1", FieldReading::DecimalAndWhole}, 1.0, "P1", "--p1", "progenitor 1 size",
         &ParameterTexts::progenitor1, &TypedFields::p1,
         [](const Outlets& o) -> TextField& { return o.progenitor1; }},
        {{"progenitor2", "P2", FieldReading::DecimalAndWhole}, 2.0, "P2", "--p2", "progenitor 2 size",
         &ParameterTexts::progenitor2, &TypedFields::p2,
         [](const Outlets& o) -> TextField& { return o.progenitor2; }},
        {{"lowrange", "low range", FieldReading::DecimalAndWhole}, 120.0, "low", "--low", "low bound of the size range",
         &ParameterTexts::lowrange, &TypedFields::low,
         [](const Outlets& o) -> TextField& { return o.lowrange; }},
        {{"highrange", "high range", FieldReading::DecimalAndWhole}, 180.0, "high", "--high",
         "high bound of the size range", &ParameterTexts::highrange, &TypedFields::high,
         [](const Outlets& o) -> TextField& { return o.highrange; }},
        {{"shift", "shift", FieldReading::Decimal}, 0.0, "shift", "--shift", "size shift added to every peak",
         &ParameterTexts::shift, &TypedFields::shift,
         [](const Outlets& o) -> TextField& { return o.shift; }},
        {{"stuttertol", "stutter tolerance", FieldReading::Decimal}, 1.5, "stutter tolerance", "--stutter",
         "stutter tolerance", &ParameterTexts::stuttertol, &TypedFields::stutter,
         [](const Outlets& o) -> TextField& { return o.stuttertol; }},
    }};
    return fields;
}

ParameterTexts scoringTexts(const Outlets& outlets) {
    ParameterTexts texts;
    for (const ScoringField& f : scoringFields()) texts.*f.text = f.outlet(outlets).text();
    return texts;
}

}  // namespace lociview
