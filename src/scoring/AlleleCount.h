#pragma once
// Whether the allele-size count of a scoring run stays small and inside
// 32-bit sizes, so the parameter checks can refuse a run that could never
// be counted before anything of the last scoring is put back.
#include <cstdint>

namespace lociview {

// More sizes than this between the bounds is a typing slip (a high bound of
// 1e9 reads as 1 in the checks), not a locus.
constexpr int64_t kMaxCountedSizes = 100000;

// Counting from p1 (truncated) up to high and down to low by step, and
// moving the ends onto the whole-number bounds lowInt and highInt: true when
// that ends, takes at most kMaxCountedSizes sizes and every size fits in 32
// bits. Bounds that are not finite numbers are never sound.
bool alleleCountIsSound(double p1, double low, double high, int32_t lowInt, int32_t highInt, int32_t step);

// The largest shift, either way, that sizes can carry and give back exactly.
constexpr double kMaxShift = 2147483647.0;

// A shift that is a finite number no larger than kMaxShift either way.
bool shiftIsSound(double shift);

}  // namespace lociview
