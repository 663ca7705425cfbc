// One input is a session script and a small peak file, split by the line
// "----8<----". The peak file goes to a temporary file that the script
// opens as "@peaks"; the script is played line by line on a headless
// session, and the state is checked after every line by the rules the
// test suite checks (tests/support/Invariants.h): among them, counts never
// exceed the peaks, and the accumulated runs change only when the user adds
// one or resets them.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "headless/SessionScript.h"
#include "support/Invariants.h"

using namespace lociview;
using namespace lociview::fuzz;

namespace {

constexpr std::string_view kMarker = "----8<----\n";
// Limits that keep one input quick: scoring a few hundred peaks a few
// dozen times is all a script can ask for.
constexpr size_t kMaxScript = 4096;
constexpr size_t kMaxLines = 64;
constexpr size_t kMaxPeakFile = 16384;

// The folder of this process's peak file, removed again at exit.
struct WorkDir {
    std::filesystem::path path;
    ~WorkDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::filesystem::path& workDir() {
    static const WorkDir dir{[] {
        // Memory-backed when the machine has it: the file is rewritten for
        // nearly every input.
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        auto d = base / ("lociview-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }()};
    return dir.path;
}

// "@peaks" is the peak file, "@dir" a folder; every other path is made to
// point below a folder that does not exist, so the fuzzer can never open a
// real file of this machine (and the path text still reaches the title).
std::string pathFor(std::string_view asked) {
    if (asked == "@peaks") return (workDir() / "peaks.txt").string();
    if (asked == "@dir") return workDir().string();
    return (workDir() / "absent").string() + "/" + std::string(asked);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view script = input;
    std::string_view peaks;
    if (const size_t at = input.find(kMarker); at != std::string_view::npos) {
        script = input.substr(0, at);
        peaks = input.substr(at + kMarker.size());
    }
    if (script.size() > kMaxScript || peaks.size() > kMaxPeakFile) return 0;

    // Written only when the script can open it and it changed.
    static std::string written;
    static bool exists = false;
    if (script.find("@peaks") != std::string_view::npos && (!exists || written != peaks)) {
        written.assign(peaks);
        std::ofstream(workDir() / "peaks.txt", std::ios::binary | std::ios::trunc)
            .write(written.data(), static_cast<std::streamsize>(written.size()));
        exists = true;
    }

    NullStream out;
    headless::Session session(out);
    StateWatch watch;
    size_t start = 0;
    for (size_t lines = 0; start < script.size() && lines < kMaxLines; ++lines) {
        size_t end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        std::string line(script.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 5 && line.rfind("open ", 0) == 0) line = "open " + pathFor(std::string_view(line).substr(5));
        if (line.rfind("open-lanes ", 0) == 0) {
            // Every path of the list, so that none reaches a real file either.
            std::string paths;
            for (size_t at = 11; at <= line.size();) {
                const size_t blank = std::min(line.find(' ', at), line.size());
                paths += ' ' + pathFor(std::string_view(line).substr(at, blank - at));
                at = blank + 1;
            }
            line = "open-lanes" + paths;
        }
        if (session.play(line)) break;  // a script error ends the session
        const std::string rule = watch.broken(session.controller, session.tk, line);
        check(rule.empty(), rule.c_str(), line);
    }
    // Every view once more at the end, the chart frame included.
    for (std::string_view view : {"title", "fields", "counters", "log", "sppcr", "results", "table", "store", "lanes",
                                  "data", "state", "accum", "windows", "chart", "import", "samples", "stats",
                                  "spectrum", "accumstats", "accumspectrum", "cleanup", "provenance", "runs"})
        check(session.show(view), "a view is missing", std::string(view));
    session.finish();
    return 0;
}
