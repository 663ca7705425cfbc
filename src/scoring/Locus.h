#pragma once
// Locus types: the code is the repeat step in base pairs, and each has the
// distance within which a peak counts as lying at an allele size. Mono, di,
// tri and penta (there is no 4) are always offered; tetra and hexa only
// while the ladder is walked for every repeat unit.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lociview {

constexpr int32_t kMonoLocus = 1;
constexpr int32_t kDiLocus = 2;
constexpr int32_t kTriLocus = 3;
constexpr int32_t kTetraLocus = 4;
constexpr int32_t kPentaLocus = 5;
constexpr int32_t kHexaLocus = 6;

struct LocusKind {
    std::string_view name;  // as every front end names it: "tri"
    int32_t code;           // locustype, the repeat step in bp
    double tolerance;       // tolForLocus
    const char* logLine;    // written when a run reads the locus
    const char* walkLine;   // written when its lanes are walked
    bool needsWalkSwitch;   // offered only while every repeat unit is walked
};

// The cells of the locus matrix, by column: the four always offered come
// first, so their columns stay what they always were.
inline constexpr std::array<LocusKind, 6> kLoci = {{
    {"mono", kMonoLocus, 0.25, "locus = mono", "***** Scoring a MONO *****", false},
    {"di", kDiLocus, 0.5, "locus = di", "***** Scoring a DI *****", false},
    {"tri", kTriLocus, 0.5, "locus = tri", "***** Scoring a TRI *****", false},
    {"penta", kPentaLocus, 0.5, "locus = penta", "***** Scoring a PENTA *****", false},
    {"tetra", kTetraLocus, 0.5, "locus = tetra", "***** Scoring a TETRA *****", true},
    {"hexa", kHexaLocus, 0.5, "locus = hexa", "***** Scoring a HEXA *****", true},
}};

// The loci offered without the switch, and their names.
constexpr int kLocusColumns = 4;
constexpr std::array<std::string_view, kLocusColumns> kLocusNames = {kLoci[0].name, kLoci[1].name, kLoci[2].name,
                                                                     kLoci[3].name};

// The loci a front end offers, by column: the first four, or all six while
// every repeat unit is walked.
std::span<const LocusKind> lociOffered(bool walkEveryLocus);

// The locus code of a matrix column (0 mono ... 3 penta, 4 tetra, 5 hexa);
// mono outside them.
int32_t locusCodeForColumn(int column);

// The column of a locus name among those offered; none for another word.
std::optional<int> locusColumnNamed(std::string_view name, bool walkEveryLocus = false);

// The name of a locus code ("di"); mono for a code that is no locus.
std::string_view locusName(int32_t locustype);

// The developer log line that names a locus code ("locus = di").
const char* locusLogLine(int32_t locustype);

// The developer log line that starts the lane walk ("***** Scoring a DI *****").
const char* walkLogLine(int32_t locustype);

// 0.25 for a mono locus, 0.5 for the others.
double tolForLocus(int32_t locustype);

// The switch's title as the desktop shows it beside the locus, and the
// command-line option that turns it on.
inline constexpr const char* kWalkEveryLocusTitle = "Walk the ladder for every repeat unit";
inline constexpr const char* kWalkEveryLocusOption = "--walk-every-locus";

// The note of a run whose locus is not walked: that no peak was scored, and
// how to turn the walk on (howToTurnOn, e.g. `turn on "Walk the ladder for
// every repeat unit"` or `add --walk-every-locus`).
std::string unwalkedLocusNote(int32_t locustype, std::string_view howToTurnOn);

}  // namespace lociview
