#pragma once
// Synthetic di-nucleotide plates for the benchmarks, in the shape of
// scripts/make-plate: per lane a few alleles between 100 and 300 bp with
// their stutter ladders, some split peaks, and low noise peaks filling the
// lane up to its peak count. Deterministic for a seed.
#include <cstdint>
#include <string>

namespace lociview::bench {

std::string makePlate(int lanes, int peaksPerLane, uint32_t seed = 1);

// The parameters the plates are scored with.
inline constexpr const char* kP1 = "150";
inline constexpr const char* kP2 = "156";
inline constexpr const char* kLow = "100";
inline constexpr const char* kHigh = "300";

}  // namespace lociview::bench
