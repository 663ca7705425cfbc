#pragma once
// What a scoring run leaves for the table, clean-up, accumulation, export
// and the statistics: a row per distinct scored allele size (tblallele,
// tblallelecount and tblweight, held together so they cannot fall out of
// step), the lanes (tbllane) and the three lane counters.
#include <cstdint>
#include <optional>
#include <vector>

namespace lociview {

struct AlleleRow {
    int32_t size = 0;    // whole base pairs
    int32_t count = 0;   // counted peaks within the locus tolerance; clean-up lowers it
    double weight = 0.0; // their mean height over the weighted height of all peaks
};

struct LaneCounters {
    int32_t empty = 0;  // numemptylanes
    int32_t ones = 0;   // numones
    int32_t twos = 0;   // numtwos: two or more
};

struct ScoringResult {
    std::vector<AlleleRow> alleles;       // ascending sizes
    std::vector<int32_t> tbllane;         // every lane of the lane list, in order
    std::optional<LaneCounters> counters; // set when the run reached its end
    // A clean-up has thrown peaks out since: the counters above stay as the
    // run left them, and the statistics count the records' marks instead.
    bool cleanedUp = false;

    // Clean-up, accumulation and export refuse a data set never scored.
    bool scored() const { return !alleles.empty(); }
};

// The columns of the by-allele rows, as lists.
std::vector<int32_t> alleleSizes(const std::vector<AlleleRow>& rows);
std::vector<int32_t> alleleCounts(const std::vector<AlleleRow>& rows);
std::vector<double> alleleWeights(const std::vector<AlleleRow>& rows);

}  // namespace lociview
