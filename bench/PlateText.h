#pragma once
// Synthetic di-nucleotide plates for the benchmarks, in the shape of
// scripts/make-plate: per lane a few alleles between 100 and 300 bp with
// their stutter ladders, some split peaks, and low noise peaks filling the
// lane up to its peak count. Deterministic for a seed.
#include <cstdint>
#include <string>
#include <vector>

namespace lociview::bench {

std::string makePlate(int lanes, int peaksPerLane, uint32_t seed = 1);

// The same kind of lanes as a sizing table an analysis program exports:
// title lines, a header row (Dye/Sample Peak, Sample File Name, Size,
// Height, Area in Point, Data Point) and `rows` peak rows, a third of them
// in blue, the rest green noise and the orange size standard, 270 rows per
// sample. Separated by `delimiter`; comma tables quote the dye cells.
std::string makeSizingTable(int rows, char delimiter = '\t', uint32_t seed = 1);

// The lanes of makePlate(lanes, peaksPerLane, seed) as a genotype table
// (a row per lane, sample "L0001"..., dye B, pairs "Size N" / "Height N").
std::string makeGenotypeTable(int lanes, int peaksPerLane, uint32_t seed = 1);

// The same lanes as per-sample peak files, one per lane: the plate's lines
// without their lane digits, CR LF, without a final line break.
std::vector<std::string> makePerSampleFiles(int lanes, int peaksPerLane, uint32_t seed = 1);

// A synthetic trace file (.fsa) in the shape of a 3730 run: `dyes` dyes
// of `scans` scans, GS500 LIZ (ROX with four dyes) in the last dye, a
// di-nucleotide allele with its stutter ladder in blue and a few peaks in
// the other dyes, over a drifting, noisy baseline. Deterministic for an
// index.
std::string makeTraceFile(int index, int scans = 6000, int dyes = 5);

// The parameters the plates are scored with.
inline constexpr const char* kP1 = "150";
inline constexpr const char* kP2 = "156";
inline constexpr const char* kLow = "100";
inline constexpr const char* kHigh = "300";

}  // namespace lociview::bench
