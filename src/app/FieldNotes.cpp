#include "app/FieldNotes.h"

#include <algorithm>

namespace lociview {

const std::array<NumberField, 12>& numberFields() {
    static const std::array<NumberField, 12> fields = {{
        {"progenitor1", "P1", FieldReading::DecimalAndWhole},
        {"progenitor2", "P2", FieldReading::DecimalAndWhole},
        {"lowrange", "low range", FieldReading::DecimalAndWhole},
        {"highrange", "high range", FieldReading::DecimalAndWhole},
        {"shift", "shift", FieldReading::Decimal},
        {"stuttertol", "stutter tolerance", FieldReading::Decimal},
        {"geforun", "GE", FieldReading::Decimal},
        {"accumgeforun", "GE", FieldReading::Decimal},
        {"cuwlessthanfield", "height", FieldReading::Whole},
        {"cuwgreaterthanfield", "height", FieldReading::Whole},
        {"cuwlanefield", "lane", FieldReading::Whole},
        {"cuwallelefield", "allele size", FieldReading::Whole},
    }};
    return fields;
}

const NumberField& numberField(std::string_view name) {
    const auto& fields = numberFields();
    const auto* found =
        std::find_if(fields.begin(), fields.end(), [name](const NumberField& f) { return name == f.name; });
    return found != fields.end() ? *found : fields.front();
}

std::string fieldNotes(const std::vector<std::pair<std::string_view, std::string>>& texts) {
    std::string notes;
    for (const auto& [name, text] : texts) {
        const NumberField& field = numberField(name);
        const std::string note = fieldReadingNote(field.label, text, field.reading);
        if (note.empty()) continue;
        if (!notes.empty()) notes += "; ";
        notes += note;
    }
    return notes;
}

}  // namespace lociview
