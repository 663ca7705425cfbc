#include "accum/RunLog.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <limits>
#include <set>
#include <system_error>

#include "base/NumberText.h"
#include "scoring/Locus.h"

namespace lociview {

namespace {

// The file stays in SQLite's default rollback-journal mode: run logs sit in
// home folders that labs often keep on network file systems, where WAL's
// shared memory does not work, and a few writes a day gain nothing from WAL.
// synchronous=FULL makes every commit durable before it returns.
constexpr const char* kSchema = R"sql(
CREATE TABLE run (
    id                INTEGER PRIMARY KEY,
    run_number        INTEGER NOT NULL,
    added_at          TEXT NOT NULL,
    reset_at          TEXT,
    file_name         TEXT NOT NULL,
    file_sha256       TEXT NOT NULL,
    p1_field          TEXT NOT NULL,
    p2_field          TEXT NOT NULL,
    low_field         TEXT NOT NULL,
    high_field        TEXT NOT NULL,
    shift_field       TEXT NOT NULL,
    stutter_field     TEXT NOT NULL,
    ge_field          TEXT NOT NULL,
    locus             INTEGER NOT NULL,
    maybes            INTEGER NOT NULL,
    progenitor1       INTEGER NOT NULL,
    progenitor2       INTEGER NOT NULL,
    ge                REAL,
    ge_bits           INTEGER NOT NULL,
    lanes             INTEGER NOT NULL,
    empty_lanes       INTEGER NOT NULL,
    one_allele_lanes  INTEGER NOT NULL,
    two_or_more_lanes INTEGER NOT NULL
);
CREATE TABLE run_allele (
    run_id   INTEGER NOT NULL REFERENCES run(id),
    position INTEGER NOT NULL,
    size     INTEGER NOT NULL,
    count    INTEGER NOT NULL,
    PRIMARY KEY (run_id, position)
) WITHOUT ROWID;
)sql";

// The views for readers of the file; Lociview itself reads the tables.
constexpr const char* kViews = R"sql(
CREATE VIEW IF NOT EXISTS accumulator AS SELECT * FROM run WHERE reset_at IS NULL;
CREATE VIEW IF NOT EXISTS accumulated_allele AS
    SELECT r.id AS run_id, r.run_number, r.file_name, r.ge, r.lanes, a.size, a.count
    FROM run r JOIN run_allele a ON a.run_id = r.id
    WHERE r.reset_at IS NULL AND a.count > 0;
)sql";

constexpr const char* kSelectRuns = R"sql(
SELECT r.id, r.run_number, r.added_at, coalesce(r.reset_at, ''), r.file_name, r.file_sha256,
       r.p1_field, r.p2_field, r.low_field, r.high_field, r.shift_field, r.stutter_field, r.ge_field,
       r.locus, r.maybes, r.progenitor1, r.progenitor2, r.ge_bits, r.lanes,
       r.empty_lanes, r.one_allele_lanes, r.two_or_more_lanes, a.size, a.count
FROM run r LEFT JOIN run_allele a ON a.run_id = r.id
)sql";

constexpr const char* kActive = "WHERE r.reset_at IS NULL ORDER BY r.id, a.position";

constexpr const char* kFirstEqual = R"sql(
WHERE r.id = (SELECT min(id) FROM run WHERE reset_at IS NULL AND file_sha256 = ?1
    AND p1_field = ?2 AND p2_field = ?3 AND low_field = ?4 AND high_field = ?5
    AND shift_field = ?6 AND stutter_field = ?7 AND ge_field = ?8 AND locus = ?9 AND maybes = ?10)
ORDER BY a.position
)sql";

// ?1 to ?10 in the order bindFields binds them.
constexpr const char* kInsertRun = R"sql(
INSERT INTO run (file_sha256, p1_field, p2_field, low_field, high_field, shift_field, stutter_field, ge_field,
    locus, maybes, run_number, added_at, file_name, progenitor1, progenitor2, ge, ge_bits, lanes,
    empty_lanes, one_allele_lanes, two_or_more_lanes)
VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21)
)sql";

constexpr const char* kInsertAllele = "INSERT INTO run_allele (run_id, position, size, count) VALUES (?1, ?2, ?3, ?4)";

std::string timeText(std::chrono::system_clock::time_point when, const char* pattern) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[64];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, pattern, &local));
}

// SQLite's messages, and texts read from a file, as one line.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return text;
}

// Why a file could not serve as the log: damaged files are set aside and
// replaced; anything else (busy, unreadable folder, a text file given in the
// log's place) leaves the file alone.
enum class Verdict { Ready, Damaged, Unusable, Text };

struct Attempt {
    Verdict verdict = Verdict::Unusable;
    std::string reason;
    sql::Database db;
    int64_t newerVersion = 0;  // of a newer Lociview's log, opened read only
    bool marked = false;       // a log without a version mark, now marked
};

// A file that is no SQLite database and whose first bytes are text: a
// UTF-16 byte-order mark, or no control character but tabs and line ends.
bool readsAsText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    char head[4096];
    in.read(head, sizeof head);
    const std::string_view bytes(head, static_cast<size_t>(in.gcount()));
    if (bytes.empty() || bytes.starts_with(std::string_view("SQLite format 3\0", 16))) return false;
    if (bytes.starts_with("\xff\xfe") || bytes.starts_with("\xfe\xff")) return true;
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || u == 0x7f;
    });
}

bool damagedCode(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }

Attempt failed(const sql::Status& status) {
    return {damagedCode(status.code) ? Verdict::Damaged : Verdict::Unusable, oneLine(status.message), {}};
}

struct Identity {
    int64_t applicationId = 0;
    int64_t version = 0;
    int64_t objects = 0;
    sql::Status status;
    bool empty() const { return applicationId == 0 && version == 0 && objects == 0; }
};

Identity identify(sql::Database& db) {
    Identity id;
    // One statement, so one snapshot: read one by one, another process's
    // new log could show its tables and version but not yet its mark, and
    // be set aside as another program's database.
    sql::Statement st = db.prepare(
        "SELECT (SELECT application_id FROM pragma_application_id), (SELECT user_version FROM pragma_user_version), "
        "(SELECT count(*) FROM sqlite_schema)");
    if (st.step()) {
        id.applicationId = st.int64(0);
        id.version = st.int64(1);
        id.objects = st.int64(2);
    }
    id.status = st.status();
    return id;
}

sql::Status createSchema(sql::Database& db) {
    sql::Transaction transaction(db);
    if (!transaction.begun().ok()) return transaction.begun();
    // Another process may have created it since we looked.
    const Identity id = identify(db);
    if (!id.status.ok() || !id.empty()) return id.status;
    sql::Status status = db.exec(kSchema);
    if (status.ok()) status = db.exec(kViews);
    if (status.ok())
        status = db.exec(("PRAGMA application_id = " + std::to_string(RunLog::kApplicationId) +
                          "; PRAGMA user_version = " + std::to_string(RunLog::kSchemaVersion))
                             .c_str());
    return status.ok() ? transaction.commit() : status;
}

// Every statement the log runs compiles against the file's tables.
std::string tablesProblem(sql::Database& db);

// A file with a log's tables but no version mark, as a copy made by another
// tool leaves it (SQLite's .dump, a data frame written back): its runs are
// taken as they are stored, and it is marked as a log of this version.
sql::Status markUnmarked(sql::Database& db) {
    sql::Transaction transaction(db);
    if (!transaction.begun().ok()) return transaction.begun();
    const Identity id = identify(db);
    if (!id.status.ok() || id.applicationId != 0 || id.version != 0) return id.status;
    sql::Status status = db.exec(kViews);
    if (status.ok())
        status = db.exec(("PRAGMA application_id = " + std::to_string(RunLog::kApplicationId) +
                          "; PRAGMA user_version = " + std::to_string(RunLog::kSchemaVersion))
                             .c_str());
    return status.ok() ? transaction.commit() : status;
}

Attempt tryOpen(const std::filesystem::path& file, const RunLogOptions& options) {
    std::error_code ec;
    if (options.refuseText && std::filesystem::is_regular_file(file, ec) && readsAsText(file))
        return {Verdict::Text, "it reads as text (a peak table, perhaps), not as an SQLite database", {}};
    sql::Status status;
    sql::Database db = sql::Database::open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, status);
    if (!status.ok()) return failed(status);
    db.setBusyTimeout(options.busyTimeout);
    if (status = db.exec("PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON"); !status.ok()) return failed(status);

    // The first read also rolls back the journal a crashed writer left. The
    // check is finished before going on: a connection still reading may not
    // wait for another's write lock, it would get SQLITE_BUSY at once.
    std::string verdict;
    {
        sql::Statement check = db.prepare("PRAGMA integrity_check");
        if (check.step()) verdict = check.text(0);
        if (!check.status().ok()) return failed(check.status());
    }
    if (verdict != "ok") return {Verdict::Damaged, "integrity check: " + oneLine(verdict), {}};

    Identity id = identify(db);
    if (!id.status.ok()) return failed(id.status);
    if (id.empty()) {
        if (status = createSchema(db); !status.ok()) return failed(status);
        id = identify(db);
        if (!id.status.ok()) return failed(id.status);
    }
    bool marked = false;
    if (id.applicationId == 0 && id.version == 0 && tablesProblem(db).empty()) {
        if (status = markUnmarked(db); !status.ok()) return failed(status);
        id = identify(db);
        if (!id.status.ok()) return failed(id.status);
        marked = true;
    }
    if (id.applicationId != RunLog::kApplicationId) return {Verdict::Damaged, "not a Lociview run log", {}};
    if (id.version > RunLog::kSchemaVersion) {
        // A newer Lociview's log stays as it is: read, never written.
        const std::string newer = "run log version " + std::to_string(id.version) + ", of a newer Lociview";
        db.close();
        db = sql::Database::open(file, SQLITE_OPEN_READONLY, status);
        if (!status.ok()) return {Verdict::Unusable, newer + ": " + oneLine(status.message), {}};
        db.setBusyTimeout(options.busyTimeout);
        if (sql::Statement probe = db.prepare(std::string(kSelectRuns) + kActive); !probe.status().ok())
            return {Verdict::Unusable, newer + ", whose runs this version cannot read", {}};
        return {Verdict::Ready, {}, std::move(db), id.version};
    }
    if (id.version != RunLog::kSchemaVersion)
        return {Verdict::Damaged, "run log of schema version " + std::to_string(id.version), {}};
    if (std::string problem = tablesProblem(db); !problem.empty()) return {Verdict::Damaged, problem, {}};
    return {Verdict::Ready, {}, std::move(db), 0, marked};
}

std::string tablesProblem(sql::Database& db) {
    for (const std::string& query : {std::string(kSelectRuns) + kFirstEqual, std::string(kInsertRun), std::string(kInsertAllele)}) {
        if (sql::Statement probe = db.prepare(query); !probe.status().ok())
            return "unexpected tables: " + oneLine(probe.status().message);
    }
    return {};
}

// A rename that never replaces an existing file: link the new name (which
// fails if it exists), then drop the old one. Where the file system has no
// hard links, a checked rename is the best there is.
std::error_code renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return {};
    }
    const int err = errno;
    if (err != EPERM && err != ENOTSUP && err != EXDEV && err != EMLINK) return {err, std::generic_category()};
    std::error_code ec;
    if (std::filesystem::exists(to, ec)) return std::make_error_code(std::errc::file_exists);
    std::filesystem::rename(from, to, ec);
    return ec;
}

// runs.sqlite -> runs.damaged-20250304-104217.sqlite (then -2, -3, ... when
// that name is taken). SQLite's side files go along under the new name, so
// the set-aside copy keeps its journal and the new log cannot pick it up.
std::filesystem::path setAside(const std::filesystem::path& file, std::chrono::system_clock::time_point when,
                               std::error_code& ec) {
    const std::string stem = file.stem().string() + ".damaged-" + timeText(when, "%Y%m%d-%H%M%S");
    for (int n = 1; n < 1000; ++n) {
        const std::string suffix = n == 1 ? std::string() : "-" + std::to_string(n);
        const std::filesystem::path target = file.parent_path() / (stem + suffix + file.extension().string());
        ec = renameNoReplace(file, target);
        if (ec == std::errc::file_exists) continue;
        if (ec) return {};
        // A journal left behind would be played into the new log: then no
        // new log may start.
        for (const char* side : {"-journal", "-wal", "-shm"}) {
            const std::filesystem::path from = file.string() + side;
            if (std::filesystem::exists(from, ec) && !ec) ec = renameNoReplace(from, target.string() + side);
            if (ec) break;
        }
        return target;
    }
    ec = std::make_error_code(std::errc::file_exists);
    return {};
}

// A column as a 32-bit integer; nothing when it holds no integer or one
// beyond 32 bits.
std::optional<int32_t> int32Column(const sql::Statement& st, int column) {
    if (!st.isInteger(column)) return std::nullopt;
    const int64_t value = st.int64(column);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::string pairText(int32_t p1, int32_t p2) { return std::to_string(p1) + ", " + std::to_string(p2); }

// The run of a row, and why its values cannot be replayed as they stand
// ("" when they can). Nothing here depends on the other runs.
LoggedRun readRun(const sql::Statement& st, std::string& why) {
    LoggedRun run;
    run.id = st.int64(0);
    run.addedAt = st.text(2);
    run.resetAt = st.text(3);
    RunRecord& r = run.record;
    r.fileName = st.text(4);
    r.fileSha256 = st.text(5);
    r.fields = {st.text(6), st.text(7), st.text(8), st.text(9), st.text(10), st.text(11), st.text(12)};
    int32_t maybes = 0;
    const std::pair<int, int32_t*> numbers[] = {{1, &run.run},    {13, &r.locus},      {14, &maybes},
                                                {15, &r.p1},      {16, &r.p2},         {18, &r.lanes},
                                                {19, &r.emptyLanes}, {20, &r.oneLanes}, {21, &r.twoOrMoreLanes}};
    for (const auto& [column, into] : numbers) {
        const std::optional<int32_t> value = int32Column(st, column);
        if (!value) {
            why = "a number of it (column " + std::to_string(column + 1) + ") is no 32-bit whole number";
            return run;
        }
        *into = *value;
    }
    r.maybes = maybes != 0;
    if (!st.isInteger(17)) {
        why = "its GE bits are no whole number";
        return run;
    }
    r.ge = std::bit_cast<double>(st.int64(17));
    if (run.run < 0 || run.run > kMaxRunNumber)
        why = "its run number " + std::to_string(run.run) + " is beyond 0 to " + std::to_string(kMaxRunNumber);
    else if (maybes != 0 && maybes != 1)
        why = "its Maybes " + std::to_string(maybes) + " is neither 0 nor 1";
    else if (std::none_of(kLoci.begin(), kLoci.end(), [&](const LocusKind& k) { return k.code == r.locus; }))
        why = "its locus " + std::to_string(r.locus) + " is none of 1, 2, 3, 4, 5 and 6";
    else if (r.p1 != intValue(r.fields.p1) || r.p2 != intValue(r.fields.p2))
        why = "its progenitors " + pairText(r.p1, r.p2) + " are not what its fields \"" + oneLine(r.fields.p1) +
              "\" and \"" + oneLine(r.fields.p2) + "\" read as";
    else if (std::bit_cast<uint64_t>(r.ge) != std::bit_cast<uint64_t>(doubleValue(r.fields.ge)))
        why = "its GE is not what its field \"" + oneLine(r.fields.ge) + "\" reads as";
    else if (r.lanes < 0 || r.lanes > kMaxRunLanes)
        why = "its " + std::to_string(r.lanes) + " lanes are beyond 0 to " + std::to_string(kMaxRunLanes);
    else if (r.emptyLanes < 0 || r.oneLanes < 0 || r.twoOrMoreLanes < 0 ||
             int64_t{r.emptyLanes} + r.oneLanes + r.twoOrMoreLanes != r.lanes)
        why = "its lane counters " + std::to_string(r.emptyLanes) + ", " + std::to_string(r.oneLanes) + ", " +
              std::to_string(r.twoOrMoreLanes) + " do not add up to its " + std::to_string(r.lanes) + " lanes";
    return run;
}

void bindFields(sql::Statement& st, int first, const RunRecord& r) {
    const TypedFields& f = r.fields;
    st.bind(first, r.fileSha256).bind(first + 1, f.p1).bind(first + 2, f.p2).bind(first + 3, f.low);
    st.bind(first + 4, f.high).bind(first + 5, f.shift).bind(first + 6, f.stutter).bind(first + 7, f.ge);
    st.bind(first + 8, r.locus).bind(first + 9, r.maybes ? 1 : 0);
}

}  // namespace

std::string RunLog::problem(const char* what, const sql::Status& status) const {
    // The alert these go with says that nothing was changed.
    if (status.code == SQLITE_BUSY || status.code == SQLITE_LOCKED)
        return std::string(what) + ": the run log stayed busy in another program.";
    // SQLite writes a journal file beside the log while it changes it: a
    // folder that cannot be written makes a writable log "readonly".
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if ((status.code == SQLITE_READONLY || status.code == SQLITE_CANTOPEN) && ::access(folder.c_str(), W_OK) != 0)
        return std::string(what) + ": the folder " + folder.string() +
               " cannot be written, and SQLite keeps a journal file there while it changes the run log.";
    if (status.code == SQLITE_READONLY && ::access(path.c_str(), W_OK) != 0)
        return std::string(what) + ": the run log " + path.string() + " cannot be written.";
    return std::string(what) + ": " + oneLine(status.message) + ".";
}

std::string isoLocalTime(std::chrono::system_clock::time_point when) {
    std::string text = timeText(when, "%Y-%m-%dT%H:%M:%S%z");  // offset as +0100
    if (text.size() >= 5) text.insert(text.size() - 2, ":");
    return text;
}

void appendRun(accumdb& into, const LoggedRun& run) {
    const RunRecord& r = run.record;
    into.setP1(r.p1, r.p2);
    into.noteRun({run.run, r.ge, r.lanes, {r.emptyLanes, r.oneLanes, r.twoOrMoreLanes}, r.locus});
    for (const AlleleTally& a : r.alleles)
        for (int32_t k = 0; k < a.count; ++k) into.addAccAlle(accumallele(a.size, run.run, r.ge, r.lanes));
    // The counter follows the run's own number, so a number the log skipped
    // stays skipped; counted wide, so no number can make it wrap.
    for (int64_t n = into.currentRun(); n >= 0 && n <= run.run; ++n) into.incRuns();
}

RunLogOpening RunLog::open(const std::filesystem::path& file, RunLogOptions options) {
    RunLogOpening opening;
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        opening.message = "The run log's folder " + file.parent_path().string() + " cannot be made: " + ec.message();
        return opening;
    }
    Attempt attempt = tryOpen(file, options);
    const std::string name = "The run log " + file.string();
    if (attempt.verdict == Verdict::Text) {
        opening.message = file.string() + " is not a run log: " + attempt.reason + ". It was left as it is.";
        return opening;
    }
    if (attempt.verdict == Verdict::Damaged) {
        attempt.db.close();
        opening.setAside = setAside(file, options.clock(), ec);
        if (ec && opening.setAside.empty()) {
            opening.message = name + " cannot be read (" + attempt.reason + ") and cannot be moved aside: " +
                              ec.message() + ". It was left as it is.";
            return opening;
        }
        opening.message = name + " could not be read (" + attempt.reason + "). It was kept as " +
                          opening.setAside.string();
        if (ec) {
            opening.message += ", but its journal cannot follow it (" + ec.message() + "); no new run log was started.";
            return opening;
        }
        attempt = tryOpen(file, options);
        opening.message += attempt.verdict == Verdict::Ready
                               ? " and a new, empty run log was started."
                               : ", but a new run log cannot be started: " + attempt.reason;
    } else if (attempt.verdict == Verdict::Unusable) {
        opening.message = name + " cannot be opened: " + attempt.reason;
    } else if (attempt.newerVersion != 0) {
        opening.message = name + " was written by a newer Lociview (run log version " +
                          std::to_string(attempt.newerVersion) + "; this one writes version " +
                          std::to_string(kSchemaVersion) + "): its runs are read, and no run is added to it.";
    } else if (attempt.marked) {
        opening.message = name + " had the tables of a run log but no version mark (a copy made by another "
                                 "program?): its runs are read as they are stored, and it is now marked as a "
                                 "run log of version " + std::to_string(kSchemaVersion) + ".";
    }
    if (attempt.verdict == Verdict::Ready)
        opening.log = RunLog(std::move(attempt.db), file, std::move(options), attempt.newerVersion);
    return opening;
}

AddOutcome RunLog::add(const RunRecord& r, bool again) {
    if (readOnly())
        return {AddStatus::Failed, {}, "The run was not added: the run log " + path.string() +
                                           " is of a newer Lociview (run log version " + std::to_string(newerVersion) +
                                           ") and is only read."};
    AddOutcome outcome;
    sql::Transaction transaction(db);
    if (!transaction.begun().ok()) return {AddStatus::Failed, {}, problem("The run was not added", transaction.begun())};
    if (!again) {
        RunListing earlier = runs(kFirstEqual, &r);
        if (!earlier.message.empty()) return {AddStatus::Failed, {}, "The run was not added: " + earlier.message};
        if (!earlier.runs.empty()) return {AddStatus::AlreadyLogged, std::move(earlier.runs.front()), {}};
    }

    // The pair is latched by the first run since the last reset that has one,
    // as setP1 latches it; the next number follows the highest in use.
    sql::Statement pair = db.prepare(
        "SELECT progenitor1, progenitor2 FROM run WHERE reset_at IS NULL "
        "AND NOT (progenitor1 = -1 AND progenitor2 = -1) ORDER BY id LIMIT 1");
    const bool latched = pair.step();
    if (latched && (pair.int32(0) != r.p1 || pair.int32(1) != r.p2))
        return {AddStatus::ProgenitorsDiffer, {}, "Your progenitors are different from the ones you have been accumulating."};
    sql::Statement next = db.prepare("SELECT coalesce(max(run_number) + 1, 0) FROM run WHERE reset_at IS NULL");
    next.step();
    if (!pair.status().ok() || !next.status().ok())
        return {AddStatus::Failed, {}, problem("The run was not added", pair.status().ok() ? next.status() : pair.status())};

    outcome.run.run = next.int32(0);
    outcome.run.addedAt = isoLocalTime(options.clock());
    outcome.run.record = r;
    sql::Statement insert = db.prepare(kInsertRun);
    bindFields(insert, 1, r);
    insert.bind(11, outcome.run.run).bind(12, outcome.run.addedAt).bind(13, r.fileName);
    insert.bind(14, r.p1).bind(15, r.p2).bind(16, r.ge).bind(17, std::bit_cast<int64_t>(r.ge));
    insert.bind(18, r.lanes).bind(19, r.emptyLanes).bind(20, r.oneLanes).bind(21, r.twoOrMoreLanes);
    sql::Status status = insert.run();
    outcome.run.id = db.lastInsertRowid();

    sql::Statement allele = db.prepare(kInsertAllele);
    for (size_t i = 0; status.ok() && i < r.alleles.size(); ++i) {
        allele.rewind();
        allele.bind(1, outcome.run.id).bind(2, static_cast<int64_t>(i)).bind(3, r.alleles[i].size);
        status = allele.bind(4, r.alleles[i].count).run();
    }
    if (status.ok()) status = transaction.commit();
    if (!status.ok()) return {AddStatus::Failed, {}, problem("The run was not added", status)};
    outcome.status = AddStatus::Added;
    return outcome;
}

ResetOutcome RunLog::reset() {
    if (readOnly())
        return {0, "The accumulator was not reset: the run log " + path.string() + " is of a newer Lociview (run log version " +
                       std::to_string(newerVersion) + ") and is only read."};
    sql::Transaction transaction(db);
    if (!transaction.begun().ok()) return {0, problem("The accumulator was not reset", transaction.begun())};
    sql::Statement mark = db.prepare("UPDATE run SET reset_at = ?1 WHERE reset_at IS NULL");
    sql::Status status = mark.bind(1, isoLocalTime(options.clock())).run();
    const int32_t runs = db.changes();
    if (status.ok()) status = transaction.commit();
    if (!status.ok()) return {0, problem("The accumulator was not reset", status)};
    return {runs, {}};
}

RunListing RunLog::runs(const char* where, const RunRecord* like) const {
    // One statement reads runs and alleles together: a consistent snapshot
    // even while another process adds.
    sql::Statement st = db.prepare(std::string(kSelectRuns) + where);
    if (like != nullptr) bindFields(st, 1, *like);
    RunListing listing;
    // A lookup for an equal run checks nothing: the first equal one is the one.
    const bool check = like == nullptr;
    std::string why;   // why the run being read cannot be replayed
    int64_t own = 0;   // its positive counts
    int64_t records = 0;  // of the runs kept so far
    std::set<int32_t> numbers;
    std::optional<std::pair<int32_t, int32_t>> latched;
    // A run is kept once all its rows are read; then come the checks that
    // depend on the runs kept before it.
    const auto settle = [&] {
        const LoggedRun& run = listing.runs.back();
        const RunRecord& r = run.record;
        if (!check) return;
        if (why.empty() && numbers.count(run.run))
            why = "its run number " + std::to_string(run.run) + " is taken by an earlier run";
        if (why.empty() && latched && std::pair(r.p1, r.p2) != *latched)
            why = "its progenitors " + pairText(r.p1, r.p2) + " differ from the accumulator's " +
                  pairText(latched->first, latched->second);
        if (!why.empty()) {
            listing.leftOut.push_back("Run " + std::to_string(run.run) + " of the run log (" + oneLine(r.fileName) +
                                      ", added " + oneLine(run.addedAt) + ") is left out of the accumulator: " + why +
                                      ".");
            listing.runs.pop_back();
            return;
        }
        records += own;
        numbers.insert(run.run);
        if (!latched && !(r.p1 == -1 && r.p2 == -1)) latched = std::pair(r.p1, r.p2);
    };
    while (st.step()) {
        if (listing.runs.empty() || listing.runs.back().id != st.int64(0)) {
            if (!listing.runs.empty()) settle();
            why.clear();
            own = 0;
            listing.runs.push_back(readRun(st, why));
        }
        if (st.isNull(22) || !why.empty()) continue;
        const std::optional<int32_t> size = int32Column(st, 22), count = int32Column(st, 23);
        if (!size || !count) {
            why = "an allele's size or count is no 32-bit whole number";
            continue;
        }
        // Nothing grows once the counts pass the bound.
        own += std::max(*count, 0);
        if (check && records + own > kMaxAccumulatedRecords)
            why = "with its alleles the accumulator would hold more than " + std::to_string(kMaxAccumulatedRecords) +
                  " allele records";
        else
            listing.runs.back().record.alleles.push_back({*size, *count});
    }
    if (!listing.runs.empty()) settle();
    if (!st.status().ok()) return {{}, "The run log cannot be read: " + oneLine(st.status().message), {}};
    return listing;
}

RunListing RunLog::activeRuns() const { return runs(kActive, nullptr); }

RestoreOutcome RunLog::restore(accumdb& into) const {
    const RunListing listing = activeRuns();
    if (!listing.message.empty()) return {0, listing.message, {}};
    into.reset();
    for (const LoggedRun& run : listing.runs) appendRun(into, run);
    return {static_cast<int32_t>(listing.runs.size()), {}, listing.leftOut};
}

}  // namespace lociview
