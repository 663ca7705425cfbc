// Writes the synthetic peak tables of PlateText.h to files, for
// scripts/bench-cli to time whole lociview-cli runs on them:
//   lociview_make_tables sizing ROWS OUT        a sizing table of ROWS rows
//   lociview_make_tables genotype LANES OUT     a plate of 100 peaks a lane as a genotype table
//   lociview_make_tables per-sample LANES DIR   the same plate as per-sample files DIR/s0001.txt...
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
    const std::string kind = argc == 4 ? argv[1] : "";
    const int count = argc == 4 ? std::atoi(argv[2]) : 0;
    if (count <= 0 || (kind != "sizing" && kind != "genotype" && kind != "per-sample")) {
        std::fputs("usage: lociview_make_tables sizing ROWS OUT | genotype LANES OUT | per-sample LANES DIR\n", stderr);
        return 2;
    }
    const std::filesystem::path out = argv[3];
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
