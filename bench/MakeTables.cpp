// Writes the synthetic peak tables of PlateText.h to files, for
// scripts/bench-cli to time whole lociview-cli runs on them:
//   lociview_make_tables sizing ROWS OUT        a sizing table of ROWS rows
//   lociview_make_tables genotype LANES OUT     a plate of 100 peaks a lane as a genotype table
//   lociview_make_tables per-sample LANES DIR   the same plate as per-sample files DIR/s0001.txt...
//   lociview_make_tables fsa FILES DIR [SCANS [DYES]]
//                                              synthetic trace files DIR/s0001.fsa... of SCANS scans
//                                              (6000) and DYES dyes (5; 0: 4, 5 and 6 in turn)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "PlateText.h"

namespace {

bool write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lociview::bench;
    const std::string kind = argc >= 4 ? argv[1] : "";
    const int count = argc >= 4 ? std::atoi(argv[2]) : 0;
    const bool fsa = kind == "fsa" && argc <= 6;
    if (count <= 0 || (argc != 4 && !fsa) || (kind != "sizing" && kind != "genotype" && kind != "per-sample" && !fsa)) {
        std::fputs("usage: lociview_make_tables sizing ROWS OUT | genotype LANES OUT | per-sample LANES DIR\n"
                   "                            | fsa FILES DIR [SCANS [DYES]]\n",
                   stderr);
        return 2;
    }
    const std::filesystem::path out = argv[3];
    if (fsa) {
        const int scans = argc >= 5 ? std::atoi(argv[4]) : 6000;
        const int dyes = argc >= 6 ? std::atoi(argv[5]) : 5;
        if (scans < 1000 || dyes < 0 || dyes > 6 || (dyes > 0 && dyes < 4)) {
            std::fputs("lociview_make_tables fsa: SCANS of at least 1000, DYES 4 to 6 (or 0)\n", stderr);
            return 2;
        }
        std::filesystem::create_directories(out);
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "s%04d.fsa", i + 1);
            if (!write(out / name, makeTraceFile(i, scans, dyes > 0 ? dyes : 4 + i % 3))) return 1;
        }
        return 0;
    }
    if (kind == "sizing") return write(out, makeSizingTable(count)) ? 0 : 1;
    if (kind == "genotype") return write(out, makeGenotypeTable(count, 100)) ? 0 : 1;
    std::filesystem::create_directories(out);
    const std::vector<std::string> files = makePerSampleFiles(count, 100);
    for (size_t i = 0; i < files.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "s%04zu.txt", i + 1);
        if (!write(out / name, files[i])) return 1;
    }
    return 0;
}
