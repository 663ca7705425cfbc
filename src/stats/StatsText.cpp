#include "stats/StatsText.h"

#include <charconv>
#include <cmath>

namespace lociview {

namespace {

std::string cell(const std::optional<double>& value) { return value ? statNumber(*value) : ""; }

Estimate count(int64_t n) { return valueOnly(static_cast<double>(n)); }

void laneRows(std::vector<StatRow>& rows, const LaneCounts& lanes) {
    rows.push_back({"lanes", count(lanes.lanes)});
    rows.push_back({"empty_lanes", count(lanes.empty)});
    rows.push_back({"one_allele_lanes", count(lanes.one)});
    rows.push_back({"two_or_more_allele_lanes", count(lanes.twoOrMore)});
}

void mutantRows(std::vector<StatRow>& rows, const MutantStatistics& mutants, const AlleleSpectrum& spectrum,
                const Estimate& amplifiableMolecules) {
    rows.push_back({"amplifiable_molecules", amplifiableMolecules});
    rows.push_back({"scored_alleles", mutants.scoredAlleles});
    rows.push_back({"mutants", mutants.mutants});
    rows.push_back({"mutant_fraction", mutants.mutantFraction});
    rows.push_back({"mutation_frequency", mutants.mutationFrequency});
    const std::pair<std::string, int32_t> progenitors[] = {{"p1_", spectrum.p1}, {"p2_", spectrum.p2}};
    for (size_t i = 0; i < 2; ++i) {
        const auto& [prefix, size] = progenitors[i];
        rows.push_back({prefix + "size", size > 0 ? count(size) : notEstimable("no progenitor size")});
        // Equal progenitors leave one spectrum, P1's.
        const ProgenitorSpectrum* p = i < spectrum.progenitors.size() ? &spectrum.progenitors[i] : nullptr;
        const Estimate missing = spectrum.classified()
                                     ? notEstimable("P2 has the size of P1, whose rows count its alleles")
                                     : Estimate{{}, {}, {}, spectrum.note};
        rows.push_back({prefix + "progenitor_alleles", p ? count(p->progenitorCount()) : missing});
        rows.push_back({prefix + "expansions", p ? count(p->expansions()) : missing});
        rows.push_back({prefix + "contractions", p ? count(p->contractions()) : missing});
    }
}

}  // namespace

std::string statNumber(double value, int significantDigits) {
    char buffer[64];
    std::to_chars_result r;
    if (std::abs(value) <= 9007199254740992.0 && value == std::trunc(value))
        r = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0, std::chars_format::fixed, 0);
    else
        r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    return std::string(buffer, r.ptr);
}

std::vector<StatRow> statRows(const RunStatistics& s) {
    std::vector<StatRow> rows;
    laneRows(rows, s.lanes);
    rows.push_back({"empty_lane_fraction", s.emptyLaneFraction});
    rows.push_back({"molecules_per_reaction", s.moleculesPerReaction});
    rows.push_back({"expected_empty_lanes", s.poissonFit.expectedEmpty});
    rows.push_back({"expected_one_allele_lanes", s.poissonFit.expectedOne});
    rows.push_back({"expected_two_or_more_allele_lanes", s.poissonFit.expectedTwoOrMore});
    rows.push_back({"poisson_chi_square", s.poissonFit.chiSquare});
    rows.push_back({"poisson_p_value", s.poissonFit.pValue});
    rows.push_back({"ge_per_reaction", s.ge && std::isfinite(*s.ge) ? valueOnly(*s.ge) : notEstimable("no GE value")});
    rows.push_back({"molecules_per_ge", s.moleculesPerGE});
    mutantRows(rows, s.mutants, s.spectrum, s.amplifiableMolecules);
    return rows;
}

std::vector<StatRow> statRows(const AccumulatedStatistics& s) {
    std::vector<StatRow> rows;
    rows.push_back({"runs", count(s.runs)});
    rows.push_back({"runs_in_fit", count(s.singleHit.runsUsed)});
    laneRows(rows, s.lanes);
    rows.push_back({"molecules_per_ge", s.singleHit.moleculesPerGE});
    rows.push_back({"single_hit_slope", s.singleHit.slope});
    rows.push_back({"single_hit_chi_square", s.singleHit.slopeChiSquare});
    rows.push_back({"single_hit_p_value", s.singleHit.slopePValue});
    mutantRows(rows, s.mutants, s.spectrum, s.amplifiableMolecules);
    return rows;
}

std::string statsText(const std::vector<StatRow>& rows) {
    std::string text = "name\tvalue\tlower\tupper\tnote\n";
    for (const StatRow& row : rows)
        text += row.name + '\t' + cell(row.estimate.value) + '\t' + cell(row.estimate.lower) + '\t' +
                cell(row.estimate.upper) + '\t' + row.estimate.note + '\n';
    return text;
}

std::string spectrumText(const AlleleSpectrum& spectrum) {
    std::string text = "progenitor\tchange_units\tsize\tcount\n";
    for (const ProgenitorSpectrum& p : spectrum.progenitors)
        for (const SpectrumBar& bar : p.bars)
            text += p.name + '\t' + statNumber(bar.change) + '\t' + std::to_string(bar.size) + '\t' +
                    std::to_string(bar.count) + '\n';
    return text;
}

}  // namespace lociview
