// Reading a peak file into rows, and rows into peak records and the lane list.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base/Describe.h"
#include "base/NumberText.h"
#include "app/GeneController.h"
#include "input/PeakTableReader.h"

namespace lociview {

namespace {

int32_t clampedCount(size_t n) {
    return n > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                          : static_cast<int32_t>(n);
}

// Whether a file of this many bytes can be held whole: not when it is
// larger than the machine's memory (a disk image picked by mistake).
bool fitsInMemory(off_t size) {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return true;
    return static_cast<uint64_t>(size) <= static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

// The whole content of a regular file; nothing when it cannot be read
// (missing, a folder, no permission, a device, a read error, too large to
// hold in memory).
std::optional<std::string> readWholeFile(const std::string& path) {
    // Non-blocking, so that opening a pipe cannot hang the program; pipes
    // and devices are then refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !fitsInMemory(st.st_size)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string out;
    try {
        if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
        char buf[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ::close(fd);
                return std::nullopt;
            }
            if (n == 0) break;
            out.append(buf, static_cast<size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        // Memory ran out on the way: a file that cannot be read.
        ::close(fd);
        return std::nullopt;
    } catch (const std::length_error&) {
        ::close(fd);
        return std::nullopt;
    }
    ::close(fd);
    return out;
}

// Parses the text into data, reports the row count and tells the user when
// nothing was usable, which also ends work on the file.
void readRows(std::optional<std::string_view> bytes, std::vector<Row>& data, LogSink& log, Dialogs& dialogs,
              int32_t& isWorkingOnFile) {
    try {
        readPeakTable(bytes, data, log);
    } catch (const std::bad_alloc&) {
        // Rows too many to hold: the file gives none rather than ending
        // the program.
        data.clear();
        data.shrink_to_fit();
    }
    logf(log, "datacount = %d", clampedCount(data.size()));
    if (data.empty()) {
        dialogs.runAlert({"Your file has no data in it. Try to select a file with data in it next time.",
                          "Okie Dokie", std::nullopt, ""});
        isWorkingOnFile = 0;
    }
}

std::string_view field(const Row& row, size_t index) {
    return index < row.size() ? std::string_view(row[index]) : std::string_view();
}

}  // namespace

void GeneController::openFile(const std::string& path) {
    const std::optional<std::string> bytes = readWholeFile(path);
    readRows(bytes ? std::optional<std::string_view>(*bytes) : std::nullopt, data, log, dialogs, isWorkingOnFile);
}

void GeneController::openFileBytes(std::string_view bytes) {
    readRows(bytes, data, log, dialogs, isWorkingOnFile);
}

void GeneController::convertDataTextToDataData() {
    for (const Row& row : data) {
        // Numbers are read back from their row texts, so the size is the
        // single-precision value nearest to what the file wrote.
        const double size = static_cast<double>(floatValue(field(row, 4)));
        const int32_t height = saturatingInt(floatValue(field(row, 5)));
        const int32_t area = saturatingInt(floatValue(field(row, 6)));
        database.addAlleleWithSize(size, height, area, intValue(field(row, 0)));
    }

    // Distinct lane labels, by text, in the order they first appear.
    std::vector<std::string> labels;
    std::unordered_set<std::string_view> seen;
    for (const Row& row : data) {
        const std::string_view label = field(row, 0);
        if (seen.insert(label).second) labels.emplace_back(label);
    }
    if (log.enabled()) logf(log, "%s", describe(labels).c_str());

    // Ascending lane numbers, one per label; labels of equal value (7, 07)
    // give equal entries.
    std::vector<int32_t> lanes;
    lanes.reserve(labels.size());
    for (const std::string& label : labels) lanes.push_back(intValue(label));
    std::stable_sort(lanes.begin(), lanes.end());
    lanelist = std::move(lanes);
    numlanes = clampedCount(lanelist.size());

    if (!log.enabled()) return;
    // One pass over the store counts every lane's records, instead of a
    // scan of the whole store per lane.
    std::unordered_map<int32_t, size_t> perLane;
    for (const AllelePtr& allele : database.workingList()) ++perLane[allele->getLane()];
    for (const int32_t lane : lanelist) {
        logf(log, "lane # %d", lane);
        const auto it = perLane.find(lane);
        const size_t records = it == perLane.end() ? 0 : it->second;
        for (size_t i = 0; i < records; ++i) logf(log, ".");
    }
}

}  // namespace lociview
