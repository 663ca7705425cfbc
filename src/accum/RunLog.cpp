#include "accum/RunLog.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <ctime>
#include <system_error>

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
CREATE VIEW accumulator AS SELECT * FROM run WHERE reset_at IS NULL;
CREATE VIEW accumulated_allele AS
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

// Why a file could not serve as the log: damaged files are set aside and
// replaced; anything else (busy, unreadable folder) leaves the file alone.
enum class Verdict { Ready, Damaged, Unusable };

struct Attempt {
    Verdict verdict = Verdict::Unusable;
    std::string reason;
    sql::Database db;
};

bool damagedCode(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }

Attempt failed(const sql::Status& status) {
    return {damagedCode(status.code) ? Verdict::Damaged : Verdict::Unusable, status.message, {}};
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
    const auto read = [&](const char* sql, int64_t& into) {
        sql::Statement st = db.prepare(sql);
        if (st.step()) into = st.int64(0);
        if (id.status.ok()) id.status = st.status();
    };
    read("PRAGMA application_id", id.applicationId);
    read("PRAGMA user_version", id.version);
    read("SELECT count(*) FROM sqlite_schema", id.objects);
    return id;
}

sql::Status createSchema(sql::Database& db) {
    sql::Transaction transaction(db);
    if (!transaction.begun().ok()) return transaction.begun();
    // Another process may have created it since we looked.
    const Identity id = identify(db);
    if (!id.status.ok() || !id.empty()) return id.status;
    sql::Status status = db.exec(kSchema);
    if (status.ok())
        status = db.exec(("PRAGMA application_id = " + std::to_string(RunLog::kApplicationId) +
                          "; PRAGMA user_version = " + std::to_string(RunLog::kSchemaVersion))
                             .c_str());
    return status.ok() ? transaction.commit() : status;
}

Attempt tryOpen(const std::filesystem::path& file, const RunLogOptions& options) {
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
    if (verdict != "ok") {
        std::replace(verdict.begin(), verdict.end(), '\n', ' ');
        return {Verdict::Damaged, "integrity check: " + verdict, {}};
    }

    Identity id = identify(db);
    if (!id.status.ok()) return failed(id.status);
    if (id.empty()) {
        if (status = createSchema(db); !status.ok()) return failed(status);
        id = identify(db);
        if (!id.status.ok()) return failed(id.status);
    }
    if (id.applicationId != RunLog::kApplicationId) return {Verdict::Damaged, "not a Lociview run log", {}};
    if (id.version != RunLog::kSchemaVersion)
        return {Verdict::Damaged, "run log of schema version " + std::to_string(id.version), {}};
    // Every statement the log runs must compile against the file's tables.
    for (const std::string& query : {std::string(kSelectRuns) + kFirstEqual, std::string(kInsertRun), std::string(kInsertAllele)}) {
        if (sql::Statement probe = db.prepare(query); !probe.status().ok())
            return {Verdict::Damaged, "unexpected tables: " + probe.status().message, {}};
    }
    return {Verdict::Ready, {}, std::move(db)};
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

LoggedRun readRun(const sql::Statement& st) {
    LoggedRun run;
    run.id = st.int64(0);
    run.run = st.int32(1);
    run.addedAt = st.text(2);
    run.resetAt = st.text(3);
    RunRecord& r = run.record;
    r.fileName = st.text(4);
    r.fileSha256 = st.text(5);
    r.fields = {st.text(6), st.text(7), st.text(8), st.text(9), st.text(10), st.text(11), st.text(12)};
    r.locus = st.int32(13);
    r.maybes = st.int32(14) != 0;
    r.p1 = st.int32(15);
    r.p2 = st.int32(16);
    r.ge = std::bit_cast<double>(st.int64(17));
    r.lanes = st.int32(18);
    r.emptyLanes = st.int32(19);
    r.oneLanes = st.int32(20);
    r.twoOrMoreLanes = st.int32(21);
    return run;
}

void bindFields(sql::Statement& st, int first, const RunRecord& r) {
    const TypedFields& f = r.fields;
    st.bind(first, r.fileSha256).bind(first + 1, f.p1).bind(first + 2, f.p2).bind(first + 3, f.low);
    st.bind(first + 4, f.high).bind(first + 5, f.shift).bind(first + 6, f.stutter).bind(first + 7, f.ge);
    st.bind(first + 8, r.locus).bind(first + 9, r.maybes ? 1 : 0);
}

// The alert these go with says that nothing was changed.
std::string problem(const char* what, const sql::Status& status) {
    if (status.code == SQLITE_BUSY || status.code == SQLITE_LOCKED)
        return std::string(what) + ": the run log stayed busy in another program.";
    return std::string(what) + ": " + status.message + ".";
}

}  // namespace

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
    // stays skipped.
    while (into.currentRun() <= run.run) into.incRuns();
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
    }
    if (attempt.verdict == Verdict::Ready) opening.log = RunLog(std::move(attempt.db), file, std::move(options));
    return opening;
}

AddOutcome RunLog::add(const RunRecord& r, bool again) {
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
    while (st.step()) {
        if (listing.runs.empty() || listing.runs.back().id != st.int64(0)) listing.runs.push_back(readRun(st));
        if (!st.isNull(22)) listing.runs.back().record.alleles.push_back({st.int32(22), st.int32(23)});
    }
    if (!st.status().ok()) return {{}, "The run log cannot be read: " + st.status().message};
    return listing;
}

RunListing RunLog::activeRuns() const { return runs(kActive, nullptr); }

RestoreOutcome RunLog::restore(accumdb& into) const {
    const RunListing listing = activeRuns();
    if (!listing.message.empty()) return {0, listing.message};
    into.reset();
    for (const LoggedRun& run : listing.runs) appendRun(into, run);
    return {static_cast<int32_t>(listing.runs.size()), {}};
}

}  // namespace lociview
