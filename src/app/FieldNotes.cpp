#include "app/FieldNotes.h"

#include <algorithm>

#include "app/ScoringFields.h"

namespace lociview {

const std::vector<NumberField>& numberFields() {
    static const std::vector<NumberField> fields = [] {
        std::vector<NumberField> all;
        for (const ScoringField& f : scoringFields()) all.push_back(f.number);
        all.insert(all.end(), {
                                  {"geforun", "GE", FieldReading::Decimal},
                                  {"accumgeforun", "GE", FieldReading::Decimal},
                                  {"cuwlessthanfield", "height", FieldReading::Whole},
                                  {"cuwgreaterthanfield", "height", FieldReading::Whole},
                                  {"cuwlanefield", "lane", FieldReading::Whole},
                                  {"cuwallelefield", "allele size", FieldReading::Whole},
                              });
        return all;
    }();
    return fields;
}

const NumberField& numberField(std::string_view name) {
    const auto& fields = numberFields();
    const auto found =
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
