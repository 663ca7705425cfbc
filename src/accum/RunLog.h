#pragma once
// The run log: every run added to the accumulator, kept in a SQLite file so
// that quitting, a crash or a power cut loses nothing. The accumulator is
// the runs not yet reset; reset runs stay in the log with their reset date.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "accum/Sqlite.h"
#include "accum/accumdb.h"

namespace lociview {

// The scoring fields of a run exactly as they were typed.
struct TypedFields {
    std::string p1, p2, low, high, shift, stutter, ge;
    bool operator==(const TypedFields&) const = default;
};

// One entry of tblallele with its entry of tblallelecount. A count of 0 or
// less is kept but adds no accumulated record.
struct AlleleTally {
    int32_t size = 0;
    int32_t count = 0;
    bool operator==(const AlleleTally&) const = default;
};

// A scored run as the caller hands it to the log.
struct RunRecord {
    std::string fileName;
    std::string fileSha256;  // sha256Hex of the file's bytes
    TypedFields fields;
    int32_t locus = 2;       // locus type code: 1, 2, 3 or 5
    bool maybes = false;
    int32_t p1 = -1;         // the progenitor pair as read from the fields
    int32_t p2 = -1;
    double ge = 0.0;         // the GE value as read; kept bit for bit
    int32_t lanes = 0;       // numlanes: the run's reps
    int32_t emptyLanes = 0;  // the three lane counters
    int32_t oneLanes = 0;
    int32_t twoOrMoreLanes = 0;
    std::vector<AlleleTally> alleles;  // in tblallele's order
    bool operator==(const RunRecord&) const = default;  // a NaN GE equals nothing, as doubles do
};

// A run as the log holds it: the record plus what the log gave it.
struct LoggedRun {
    int64_t id = 0;       // order of adding, never reused
    int32_t run = 0;      // the accumulator's run number
    std::string addedAt;  // local time, ISO 8601 with offset
    std::string resetAt;  // empty while the run is in the accumulator
    RunRecord record;
};

// Replays one run into an accumulator exactly as adding it did: latches the
// pair, adds the records under the run's number, moves the run counter on.
void appendRun(accumdb& into, const LoggedRun& run);

enum class AddStatus { Added, AlreadyLogged, ProgenitorsDiffer, Failed };

struct AddOutcome {
    AddStatus status = AddStatus::Failed;
    LoggedRun run;        // as stored, when Added; the run added before, when AlreadyLogged
    std::string message;  // why not, when ProgenitorsDiffer or Failed
};

struct ResetOutcome {
    int32_t runs = 0;     // how many runs were marked reset
    std::string message;  // empty on success
};

struct RunListing {
    std::vector<LoggedRun> runs;
    std::string message;  // empty on success
    // Runs of the accumulator the log holds but that cannot be replayed as
    // they stand (values beyond the bounds below, hand edits): one line
    // each on why. They are left out of runs; the log keeps them.
    std::vector<std::string> leftOut;
};

struct RestoreOutcome {
    int32_t runs = 0;     // runs now in the accumulator
    std::string message;  // empty on success; the accumulator is then as the log says
    std::vector<std::string> leftOut;  // runs the log holds but the accumulator does not, and why
};

struct RunLogOptions {
    // Dates of runs, resets and set-aside files.
    std::function<std::chrono::system_clock::time_point()> clock = [] { return std::chrono::system_clock::now(); };
    // How long an add or reset waits for another process's write.
    std::chrono::milliseconds busyTimeout{10000};
    // A file named by the user that is no SQLite database but reads as text
    // (a peak table given in the log's place) is refused and left alone
    // rather than set aside as damaged.
    bool refuseText = false;
};

// What a run read from the log may hold; a run beyond them is left out of
// the accumulator. Nothing is allocated for a run before it is checked.
inline constexpr int32_t kMaxRunNumber = 1000000;    // runs between two resets
inline constexpr int32_t kMaxRunLanes = 10000000;    // lanes (reactions) of one run
inline constexpr int64_t kMaxAccumulatedRecords = 10000000;  // allele records of all runs together

struct RunLogOpening;

class RunLog {
public:
    static constexpr int32_t kSchemaVersion = 1;
    static constexpr int32_t kApplicationId = 0x4c6f6369;  // "Loci"

    // Opens the file, creating it (and its folder) when missing. A file that
    // cannot be read as a run log is renamed aside, never overwritten, and a
    // new empty log starts in its place. A log of a newer version is opened
    // read only; one with the tables of a log but no version mark (a copy
    // made by another tool) is taken as it is and marked.
    static RunLogOpening open(const std::filesystem::path& file, RunLogOptions options = {});

    const std::filesystem::path& file() const { return path; }
    // A newer Lociview's log: its runs are read, nothing is added or reset.
    bool readOnly() const { return newerVersion != 0; }

    // Each is one transaction, committed before it returns. A run with the
    // same file checksum, typed fields, locus and Maybes as one in the
    // accumulator is the same run added a second time: it is not added
    // (AlreadyLogged names the first) unless again is set. The look and the
    // add are one transaction, so of several programs adding one run at
    // once, one adds it.
    AddOutcome add(const RunRecord& record, bool again = false);
    ResetOutcome reset();

    RunListing activeRuns() const;
    // Empties into and replays the active runs into it.
    RestoreOutcome restore(accumdb& into) const;

private:
    RunLog(sql::Database db, std::filesystem::path path, RunLogOptions options, int64_t newerVersion)
        : db(std::move(db)), path(std::move(path)), options(std::move(options)), newerVersion(newerVersion) {}
    RunListing runs(const char* where, const RunRecord* like) const;
    std::string problem(const char* what, const sql::Status& status) const;

    mutable sql::Database db;
    std::filesystem::path path;
    RunLogOptions options;
    int64_t newerVersion = 0;  // the file's version when it is newer than kSchemaVersion
};

struct RunLogOpening {
    std::optional<RunLog> log;       // empty when the file cannot be used at all
    std::filesystem::path setAside;  // where a damaged or foreign file went, if one did
    std::string message;             // for the user: what was set aside, or why there is no log
};

// Local time as ISO 8601 with the offset, "2025-03-04T10:42:17+01:00".
std::string isoLocalTime(std::chrono::system_clock::time_point when);

}  // namespace lociview
