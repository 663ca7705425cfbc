#include "stats/StatDisplay.h"

#include <utility>

namespace lociview {

namespace {

struct Title {
    std::string_view name;
    std::string_view title;
};

// The rows of both statRows lists, in their order.
constexpr Title kTitles[] = {
    {"runs", "Runs"},
    {"runs_in_fit", "Runs in the GE fit"},
    {"lanes", "Lanes (N)"},
    {"empty_lanes", "Empty lanes (n0)"},
    {"one_allele_lanes", "One-allele lanes (n1)"},
    {"two_or_more_allele_lanes", "Lanes with two or more alleles (n2)"},
    {"empty_lane_fraction", "Empty-lane fraction (n0/N)"},
    {"molecules_per_reaction", "Molecules per reaction (λ)"},
    {"expected_empty_lanes", "Expected empty lanes"},
    {"expected_one_allele_lanes", "Expected one-allele lanes"},
    {"expected_two_or_more_allele_lanes", "Expected lanes with two or more"},
    {"poisson_chi_square", "Poisson chi-square"},
    {"poisson_p_value", "Poisson p-value"},
    {"ge_per_reaction", "GE per reaction"},
    {"molecules_per_ge", "Molecules per GE"},
    {"single_hit_slope", "Single-hit slope (1 expected)"},
    {"single_hit_chi_square", "Single-hit chi-square"},
    {"single_hit_p_value", "Single-hit p-value"},
    {"amplifiable_molecules", "Amplifiable molecules (Nλ)"},
    {"scored_alleles", "Scored alleles (A)"},
    {"mutants", "Mutants (m)"},
    {"mutant_fraction", "Mutant fraction (m/A)"},
    {"mutation_frequency", "Mutations per amplifiable molecule"},
    {"p1_size", "P1 size (bp)"},
    {"p1_progenitor_alleles", "P1 progenitor alleles"},
    {"p1_expansions", "P1 expansions"},
    {"p1_contractions", "P1 contractions"},
    {"p2_size", "P2 size (bp)"},
    {"p2_progenitor_alleles", "P2 progenitor alleles"},
    {"p2_expansions", "P2 expansions"},
    {"p2_contractions", "P2 contractions"},
};

std::string interval(const Estimate& e) {
    if (e.lower && e.upper) return displayNumber(*e.lower) + " – " + displayNumber(*e.upper);
    if (e.lower) return "≥ " + displayNumber(*e.lower);
    if (e.upper) return "≤ " + displayNumber(*e.upper);
    return "";
}

}  // namespace

std::string statTitle(std::string_view name) {
    for (const Title& t : kTitles)
        if (t.name == name) return std::string(t.title);
    return std::string(name);
}

std::string displayNumber(double value) { return statNumber(value, 4); }

std::vector<StatLine> statLines(const std::vector<StatRow>& rows) {
    std::vector<StatLine> lines;
    lines.reserve(rows.size());
    for (const StatRow& row : rows) {
        const Estimate& e = row.estimate;
        lines.push_back({statTitle(row.name), e.value ? displayNumber(*e.value) : "", interval(e), e.note});
    }
    return lines;
}

}  // namespace lociview
