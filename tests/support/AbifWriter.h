#pragma once
// Writes ABIF files for the tests, the fuzz seeds and the benchmarks: any
// items (AbifWriter), and whole synthetic runs (writeRun) of peaks at known
// scans over a drifting, noisy baseline, with a size standard whose
// mobility is a smooth non-linear function of size, a primer peak, and on
// request a spike, an off-scale plateau or no standard at all.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace lociview::testing {

class AbifWriter {
public:
    // One directory entry; data of at most four bytes go into the entry.
    void add(const std::string& tag, int32_t number, int16_t type, int16_t elementSize, int32_t count,
             std::string data) {
        items.push_back({tag, number, type, elementSize, count, std::move(data)});
    }
    void shorts(const std::string& tag, int32_t number, const std::vector<int16_t>& values) {
        std::string data;
        for (const int16_t v : values) put16(data, static_cast<uint16_t>(v));
        add(tag, number, 4, 2, static_cast<int32_t>(values.size()), data);
    }
    void longs(const std::string& tag, int32_t number, const std::vector<int32_t>& values) {
        std::string data;
        for (const int32_t v : values) put32(data, static_cast<uint32_t>(v));
        add(tag, number, 5, 4, static_cast<int32_t>(values.size()), data);
    }
    void doubles(const std::string& tag, int32_t number, const std::vector<double>& values) {
        std::string data;
        for (const double v : values) {
            uint64_t bits = 0;
            std::memcpy(&bits, &v, 8);
            put32(data, static_cast<uint32_t>(bits >> 32));
            put32(data, static_cast<uint32_t>(bits));
        }
        add(tag, number, 8, 8, static_cast<int32_t>(values.size()), data);
    }
    void pstring(const std::string& tag, int32_t number, const std::string& text) {
        add(tag, number, 18, 1, static_cast<int32_t>(text.size() + 1), std::string(1, static_cast<char>(text.size())) + text);
    }

    // "ABIF", version 101, the directory entry, the data, then the directory.
    std::string bytes() const {
        std::string data;
        std::vector<uint32_t> offsets;
        for (const Item& item : items) {
            offsets.push_back(static_cast<uint32_t>(34 + data.size()));
            if (item.data.size() > 4) data += item.data;
        }
        std::string out = "ABIF";
        put16(out, 101);
        entry(out, {"tdir", 1, 1023, 28, static_cast<int32_t>(items.size()), {}},
              static_cast<uint32_t>(items.size() * 28), static_cast<uint32_t>(34 + data.size()));
        out += std::string(34 - out.size(), '\0');
        out += data;
        for (size_t i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            uint32_t inEntry = 0;
            if (item.data.size() <= 4)
                for (size_t b = 0; b < 4; ++b)
                    inEntry = inEntry << 8 | (b < item.data.size() ? static_cast<unsigned char>(item.data[b]) : 0u);
            entry(out, item, static_cast<uint32_t>(item.data.size()), item.data.size() <= 4 ? inEntry : offsets[i]);
        }
        return out;
    }

    static void put16(std::string& out, uint16_t v) {
        out += static_cast<char>(v >> 8);
        out += static_cast<char>(v);
    }
    static void put32(std::string& out, uint32_t v) {
        put16(out, static_cast<uint16_t>(v >> 16));
        put16(out, static_cast<uint16_t>(v));
    }

private:
    struct Item {
        std::string tag;
        int32_t number;
        int16_t type, elementSize;
        int32_t count;
        std::string data;
    };
    static void entry(std::string& out, const Item& item, uint32_t dataSize, uint32_t dataOffset) {
        out += (item.tag + "    ").substr(0, 4);
        put32(out, static_cast<uint32_t>(item.number));
        put16(out, static_cast<uint16_t>(item.type));
        put16(out, static_cast<uint16_t>(item.elementSize));
        put32(out, static_cast<uint32_t>(item.count));
        put32(out, dataSize);
        put32(out, dataOffset);
        put32(out, 0);
    }
    std::vector<Item> items;
};

inline const std::vector<double> kGs500Sizes = {35,  50,  75,  100, 139, 150, 160, 200,
                                                250, 300, 340, 350, 400, 450, 490, 500};

// A synthetic run: where a fragment of a size migrates to, x(L) = a + b L - c L^2.
struct Mobility {
    double a = 300, b = 20, c = 0.008;
    double scan(double size) const { return a + b * size - c * size * size; }
    double size(double scan) const {  // the inverse, on the rising branch
        return (b - std::sqrt(b * b - 4 * c * (scan - a))) / (2 * c);
    }
};

struct RunPeak {
    int dye = 0;          // 0 for the first dye
    double scan = 0.0;    // centre
    double height = 0.0;  // RFU as the file stores it
    double sigma = 2.0;   // scans
};

struct SyntheticRun {
    int dyes = 5;
    int scans = 9000;
    Mobility mobility;
    std::vector<double> standard = kGs500Sizes;  // empty: no standard
    double standardHeight = 900.0;
    std::vector<RunPeak> peaks;                  // the sample's
    bool primer = true;                          // a tall, wide peak near the start in every dye
    double drift = 120.0;                        // baseline rise over the run
    double noise = 4.0;                          // peak to peak
    std::optional<int> spike;                    // scan of a one-scan spike in every dye
    std::vector<int32_t> offScale;               // scans listed in OfSc.1
    std::optional<double> normalization;         // NrmS.1
    std::string sample = "S01", well = "A01", storedStandard = "GS500LIZ";
    std::vector<std::string> dyeNames;           // default: 6-FAM VIC NED ... and LIZ or ROX last
    uint32_t seed = 1;
    std::function<void(AbifWriter&)> moreItems;  // items of a test's own
};

// The signals of a run, one per dye, clipped to 16 bits as an instrument does.
inline std::vector<std::vector<int16_t>> runSignals(const SyntheticRun& run) {
    std::vector<RunPeak> all = run.peaks;
    for (const double size : run.standard)
        all.push_back({run.dyes - 1, run.mobility.scan(size), run.standardHeight, 2.0});
    if (run.primer)
        for (int d = 0; d < run.dyes; ++d) all.push_back({d, 150.0, 6000.0, 12.0});
    uint32_t state = run.seed * 2654435761u + 12345u;
    const auto random = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
    };
    std::vector<std::vector<double>> level(static_cast<size_t>(run.dyes), std::vector<double>(static_cast<size_t>(run.scans)));
    for (int d = 0; d < run.dyes; ++d)
        for (int s = 0; s < run.scans; ++s)
            level[static_cast<size_t>(d)][static_cast<size_t>(s)] =
                40.0 + 10.0 * d + run.drift * s / run.scans + 30.0 * std::sin(s / 700.0) + run.noise * (random() - 0.5);
    for (const RunPeak& p : all) {
        const int from = std::max(0, static_cast<int>(p.scan - 8 * p.sigma));
        const int to = std::min(run.scans - 1, static_cast<int>(p.scan + 8 * p.sigma));
        for (int s = from; s <= to; ++s) {
            const double z = (s - p.scan) / p.sigma;
            level[static_cast<size_t>(p.dye)][static_cast<size_t>(s)] += p.height * std::exp(-0.5 * z * z);
        }
    }
    if (run.spike)
        for (auto& dye : level) dye[static_cast<size_t>(*run.spike)] += 700.0;
    std::vector<std::vector<int16_t>> out(level.size());
    for (size_t d = 0; d < level.size(); ++d)
        for (const double v : level[d])
            out[d].push_back(static_cast<int16_t>(std::clamp(std::round(v), -32768.0, 32767.0)));
    return out;
}

inline std::string writeRun(const SyntheticRun& run) {
    AbifWriter w;
    const std::vector<std::vector<int16_t>> signals = runSignals(run);
    static const char* const kNames[] = {"6-FAM", "VIC", "NED", "PET", "SID"};
    w.shorts("Dye#", 1, {static_cast<int16_t>(run.dyes)});
    for (int d = 1; d <= run.dyes; ++d) {
        w.shorts("DATA", d <= 4 ? d : 100 + d, signals[static_cast<size_t>(d - 1)]);
        std::string name = d <= static_cast<int>(run.dyeNames.size()) ? run.dyeNames[static_cast<size_t>(d - 1)]
                           : d == run.dyes                             ? (run.dyes == 4 ? "ROX" : "LIZ")
                                                                       : kNames[d - 1];
        w.pstring("DyeN", d, name);
    }
    w.pstring("SpNm", 1, run.sample);
    w.pstring("TUBE", 1, run.well);
    w.pstring("MCHN", 1, "synthetic");
    w.add("MODL", 1, 2, 1, 4, "3730");
    if (!run.storedStandard.empty()) w.pstring("StdF", 1, run.storedStandard);
    w.add("RUND", 1, 10, 4, 1, std::string("\x07\xE8\x03\x0F", 4));
    w.add("RUNT", 1, 11, 4, 1, std::string("\x0E\x1E\x05\x00", 4));
    if (!run.offScale.empty()) w.longs("OfSc", 1, run.offScale);
    if (run.normalization) w.doubles("NrmS", 1, {*run.normalization});
    if (run.moreItems) run.moreItems(w);
    return w.bytes();
}

}  // namespace lociview::testing
