#pragma once
// Size standards: the fragments of known length run in one dye beside
// every sample. The kit's whole list is matched to the standard's peaks
// first; the fragments a lab leaves out (GS500's 250, which runs
// anomalously) are then left out of the sizing only.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lociview {

struct SizeStandard {
    std::string name;              // "GS500LIZ-250", or the user's name
    std::vector<double> sizes;     // the kit's fragments in bp, ascending
    std::vector<double> excluded;  // of those, the ones the sizing leaves out

    std::vector<double> usedSizes() const;  // sizes less the excluded ones
    bool operator==(const SizeStandard&) const = default;
};

// GS500LIZ, GS500LIZ-250, GS500ROX, GS500ROX-250, GS600LIZ.
const std::vector<SizeStandard>& builtInStandards();

// The standard of that name among `standards`, case, blanks and
// underscores aside ("gs500 liz-250").
std::optional<SizeStandard> standardNamed(std::string_view name, const std::vector<SizeStandard>& standards);

// The built-in standard a file's StdF item names, in the spellings
// instruments store ("GS600LIZ(60-600)+Normalization": GS600 LIZ without
// the fragments outside 60-600; "GSLIZ500-250POP6.szs": GS500 LIZ
// without 250); nothing when it names none of them. A stored LIZ or ROX
// that the standard dye's name (`dyeName`) contradicts is read as the
// dye's, where Lociview has that standard.
std::optional<SizeStandard> standardFromStoredName(std::string_view stored, std::string_view dyeName = {});

// Sizes typed by the user, "35,50,75,..." (blanks aside): at least four,
// each a positive number, all different. Answers the sizes ascending, or
// the reason they cannot be used.
struct SizesText {
    std::vector<double> sizes;
    std::string problem;
};
SizesText parseSizes(std::string_view text);

// What the user chose with a NAME or SIZES text: a standard among
// `standards` by name, else a standard of the sizes given (named after
// them). problem says why the text is neither.
struct StandardChoice {
    std::optional<SizeStandard> standard;
    std::string problem;
};
StandardChoice chooseStandard(std::string_view text, const std::vector<SizeStandard>& standards);

// Fewest sizes a standard may have: two three-point fits need four.
inline constexpr size_t kMinStandardSizes = 4;

}  // namespace lociview
