#include "PlateText.h"

#include "support/AbifWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

namespace lociview::bench {

namespace {

class Lcg {
public:
    explicit Lcg(uint32_t seed) : state(seed) {}
    double unit() {
        state = 1664525u * state + 1013904223u;
        return state / 4294967296.0;
    }
    double between(double low, double high) { return low + (high - low) * unit(); }
    int below(int n) { return std::min(static_cast<int>(unit() * n), n - 1); }

private:
    uint32_t state;
};

std::vector<std::pair<double, double>> lanePeaks(Lcg& rng, int count) {
    std::map<int, double> nominal;  // whole-bp size -> height
    const int alleles = 1 + rng.below(std::max(1, std::min(12, count / 6)));
    for (int i = 0; i < alleles; ++i) {
        const int size = 110 + 2 * rng.below(90);
        const double height = rng.between(900, 3200);
        nominal[size] += height;
        nominal[size - 2] += height * 0.38;
        nominal[size - 4] += height * 0.12;
        nominal[size - 6] += height * 0.04;
        if (rng.unit() < 0.5) nominal[size + 2] += height * 0.08;
    }
    int tallest = nominal.begin()->first;
    for (const auto& [size, height] : nominal)
        if (height > nominal[tallest]) tallest = size;
    std::vector<std::pair<double, double>> peaks;
    for (const auto& [size, height] : nominal) {
        const double measured = size + rng.between(-0.15, 0.15);
        const double h = height * rng.between(0.93, 1.07);
        if (size == tallest && rng.unit() < 0.3) {
            const double gap = rng.between(0.2, 0.3);
            peaks.emplace_back(measured - gap / 2, h * 0.9);
            peaks.emplace_back(measured + gap / 2, h * 0.75);
        } else {
            peaks.emplace_back(measured, h);
        }
    }
    if (static_cast<int>(peaks.size()) > count) peaks.resize(static_cast<size_t>(count));
    while (static_cast<int>(peaks.size()) < count)
        peaks.emplace_back(101 + 2 * rng.below(99) + rng.between(-0.3, 0.3), rng.between(14, 120));
    std::sort(peaks.begin(), peaks.end());
    return peaks;
}

}  // namespace

std::string makePlate(int lanes, int peaksPerLane, uint32_t seed) {
    Lcg rng(seed);
    std::string text = "Sample,Peak\tMinutes\tSize\tHeight\tArea\tData Point\n";
    char line[128];
    for (int lane = 1; lane <= lanes; ++lane) {
        int number = 0;
        for (const auto& [size, height] : lanePeaks(rng, peaksPerLane)) {
            const double minutes = 6.8 + size * 0.0783 + rng.between(-0.01, 0.01);
            const double area = height * rng.between(6.9, 8.1);
            const long point = std::lround(940 + size * 11.6 + rng.between(-1, 1));
            std::snprintf(line, sizeof line, "%dB,%d\t%.2f\t%.2f\t%ld\t%.1f\t%ld\n", lane, ++number, minutes, size,
                          std::lround(height), area, point);
            text += line;
        }
    }
    return text;
}

namespace {

// The peak lines of a plate by lane, each without its lane digits.
std::vector<std::vector<std::string>> plateLanes(int lanes, int peaksPerLane, uint32_t seed) {
    const std::string plate = makePlate(lanes, peaksPerLane, seed);
    std::vector<std::vector<std::string>> out(static_cast<size_t>(lanes));
    size_t start = plate.find('\n') + 1;
    while (start < plate.size()) {
        const size_t end = plate.find('\n', start);
        const std::string line = plate.substr(start, end - start);
        const size_t letters = line.find_first_not_of("0123456789");
        out[static_cast<size_t>(std::stoi(line.substr(0, letters)) - 1)].push_back(line.substr(letters));
        start = end + 1;
    }
    return out;
}

}  // namespace

std::string makeGenotypeTable(int lanes, int peaksPerLane, uint32_t seed) {
    std::string text = "Sample Name\tMarker\tDye";
    for (int i = 1; i <= peaksPerLane; ++i) text += "\tSize " + std::to_string(i) + "\tHeight " + std::to_string(i);
    text += '\n';
    char name[32];
    const auto lines = plateLanes(lanes, peaksPerLane, seed);
    for (size_t lane = 0; lane < lines.size(); ++lane) {
        std::snprintf(name, sizeof name, "L%04zu\tDM1\tB", lane + 1);
        text += name;
        for (const std::string& line : lines[lane]) {
            // "B,7 minutes size height area point": the size and height.
            const size_t size = line.find('\t', line.find('\t') + 1) + 1;
            const size_t height = line.find('\t', size) + 1;
            const size_t area = line.find('\t', height);
            text += '\t' + line.substr(size, height - 1 - size) + '\t' + line.substr(height, area - height);
        }
        text += '\n';
    }
    return text;
}

std::vector<std::string> makePerSampleFiles(int lanes, int peaksPerLane, uint32_t seed) {
    std::vector<std::string> files;
    for (const auto& lines : plateLanes(lanes, peaksPerLane, seed)) {
        std::string text;
        for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
        files.push_back(std::move(text));
    }
    return files;
}

std::string makeSizingTable(int rows, char delimiter, uint32_t seed) {
    Lcg rng(seed);
    const char d = delimiter;
    const bool quote = delimiter == ',';
    std::string text = "Sizing Table\t\t\t\nExported 2024-03-01\n";
    text += std::string(quote ? "\"Dye/Sample Peak\"" : "Dye/Sample Peak") + d + "Sample File Name" + d + "Size" + d +
            "Height" + d + "Area in Point" + d + "Data Point\n";
    static constexpr double kStandard[] = {35,  50,  75,  100, 139, 150, 160, 200, 250, 300, 340, 350,
                                           400, 450, 490, 500, 35,  50,  75,  100, 139, 150, 160, 200};
    constexpr int kPerSample = 270;
    char line[160];
    int written = 0;
    for (int sample = 1; written < rows; ++sample) {
        char name[64];
        std::snprintf(name, sizeof name, "A%02d_%04d_2024-03-01_Plate1.fsa", (sample - 1) % 96 + 1, sample);
        // A third blue peaks, a tenth orange standard, the rest green noise.
        std::vector<std::pair<char, std::pair<double, double>>> peaks;
        for (const auto& p : lanePeaks(rng, kPerSample / 3)) peaks.push_back({'B', p});
        for (int i = 0; i < kPerSample / 10; ++i) peaks.push_back({'O', {kStandard[i % 24] + rng.between(-0.1, 0.1), rng.between(800, 2000)}});
        while (static_cast<int>(peaks.size()) < kPerSample)
            peaks.push_back({'G', {rng.between(60, 480), rng.between(20, 300)}});
        int number[256] = {};
        for (const auto& [dye, peak] : peaks) {
            if (written++ >= rows) break;
            const auto [size, height] = peak;
            const char* q = quote ? "\"" : "";
            std::snprintf(line, sizeof line, "%s%c,%d%s%c%s%c%.2f%c%ld%c%ld%c%ld\n", q, dye, ++number[static_cast<unsigned char>(dye)], q, d,
                          name, d, size, d, std::lround(height), d, std::lround(height * rng.between(6.9, 8.1)), d,
                          std::lround(940 + size * 11.6));
            text += line;
        }
    }
    return text;
}

std::string makeTraceFile(int index, int scans, int dyes) {
    Lcg rng(static_cast<uint32_t>(index) * 7919u + 17u);
    testing::SyntheticRun run;
    run.dyes = dyes;
    run.scans = scans;
    run.seed = static_cast<uint32_t>(index + 1);
    run.noise = 8.0;
    // GS500 from 5% to 92% of the run, 30% fewer scans a bp at 500 bp than at 0.
    const double slope = 0.87 * scans / 425.0;
    run.mobility = {0.05 * scans, slope, 0.0003 * slope};
    run.storedStandard = dyes == 4 ? "GS500ROX" : "GS500LIZ";
    run.sample = "S" + std::to_string(index + 1);
    const double allele = 2.0 * (70 + rng.below(12));
    for (int step = 0; step < 8; ++step)
        run.peaks.push_back({0, run.mobility.scan(allele - 2.0 * step), 4000.0 * std::pow(0.55, step), 2.0});
    for (int d = 1; d + 1 < dyes; ++d)
        for (int i = 0; i < 4; ++i) run.peaks.push_back({d, run.mobility.scan(rng.between(80, 450)), rng.between(200, 3000), 2.0});
    return testing::writeRun(run);
}

}  // namespace lociview::bench
