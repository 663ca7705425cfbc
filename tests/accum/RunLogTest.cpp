// The run log: restored accumulators equal the live one, and the file stays
// sound through a writer killed at any point of its I/O, damage and two
// writers at once.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>

#include "accum/RunLog.h"
#include "base/NumberText.h"
#include "base/Sha256.h"

namespace lociview {
namespace {

namespace fs = std::filesystem;

// Plate j of a day: GE values that print alike but pool apart or not at all,
// runs that add no record, counts lowered to 0 or below by clean-up.
RunRecord plate(int j, int32_t p1 = 150, int32_t p2 = 156) {
    static const char* const ges[] = {"12.5", "25", "nan", "1e999", "-0", "abc", "-1e999"};
    const char* geText = ges[j % 7];
    const std::string name = "plate-" + std::to_string(j) + ".txt";
    const int32_t lanes = 6 + j % 5;
    RunRecord r{.fileName = name, .fileSha256 = sha256Hex(name),
                .fields = {std::to_string(p1), std::to_string(p2), "100", "300", "0.5", "0.5", geText},
                .maybes = j % 2 == 1, .p1 = p1, .p2 = p2, .ge = doubleValue(geText), .lanes = lanes,
                .emptyLanes = j % 3, .oneLanes = j % 2, .twoOrMoreLanes = lanes - j % 3 - j % 2, .alleles = {}};
    for (int k = 0; k < j % 4; ++k) r.alleles.push_back({147 + 3 * k, 3 - k - j % 3});
    return r;
}

int plateNumber(const std::string& fileName) { return std::stoi(fileName.substr(6)); }
// What adding a run does to the live accumulator.
void feed(accumdb& live, const RunRecord& r) {
    std::vector<AlleleRow> rows;
    for (const AlleleTally& a : r.alleles) rows.push_back({a.size, a.count, 0.0});
    if (live.setP1(r.p1, r.p2)) live.addRun(rows, r.ge, r.lanes, {r.emptyLanes, r.oneLanes, r.twoOrMoreLanes}, r.locus);
}

void expectSame(RunRecord a, RunRecord b) {
    EXPECT_EQ(std::bit_cast<uint64_t>(a.ge), std::bit_cast<uint64_t>(b.ge));
    a.ge = b.ge = 0;
    EXPECT_TRUE(a == b) << a.fileName << " vs " << b.fileName;
}

// Adds plates from, from + 1, ... in a process of its own; resets after every
// plate whose number ends in 2 or 7 when asked to.
bool addPlates(const fs::path& file, int from, int count, bool resets) {
    RunLogOpening opening = RunLog::open(file);
    for (int j = from; opening.log && j < from + count; ++j)
        if (opening.log->add(plate(j)).status != AddStatus::Added ||
            (resets && j % 5 == 2 && !opening.log->reset().message.empty()))
            return false;
    return opening.log.has_value();
}

pid_t spawn(const std::function<bool()>& work) {
    const pid_t pid = fork();
    if (pid == 0) _exit(work() ? 0 : 1);
    return pid;
}

bool exitedCleanly(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class RunLogTest : public ::testing::Test {
protected:
    // In memory where there is such a folder: a killed process leaves the
    // same file either way, and syncs there cost nothing.
    fs::path dir = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                   ("runlog-" + std::to_string(getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path file = dir / "data" / "runs.sqlite";  // the folder does not exist yet
    NullLog nolog;

    void TearDown() override { fs::remove_all(dir); }

    RunLog openLog(RunLogOptions options = {}) {
        RunLogOpening opening = RunLog::open(file, std::move(options));
        EXPECT_TRUE(opening.log && opening.setAside.empty()) << opening.message;
        return std::move(*opening.log);
    }
};

TEST_F(RunLogTest, RestoredAccumulatorExportsByteForByteAsTheLiveOne) {
    accumdb live(nolog);
    const auto addBoth = [&](RunLog& log, const RunRecord& r) {
        const AddOutcome added = log.add(r);
        ASSERT_EQ(added.status, AddStatus::Added) << added.message;
        EXPECT_EQ(added.run.run, live.currentRun());
        feed(live, r);
    };
    {
        RunLog log = openLog();
        for (int j = 0; j < 8; ++j) addBoth(log, plate(j));
        EXPECT_EQ(log.reset().runs, 8);
        live.reset();
        addBoth(log, plate(8, -1, -1));  // latches nothing, as in the live accumulator
        for (int j = 9; j < 17; ++j) addBoth(log, plate(j));
        EXPECT_EQ(log.add(plate(17, 150, 157)).status, AddStatus::ProgenitorsDiffer);
    }
    RunLog log = openLog();  // as after quitting
    accumdb restored(nolog);
    restored.addAccAlle(accumallele(999, 0, 1, 1));  // whatever it held goes
    EXPECT_EQ(log.restore(restored).runs, 9);
    EXPECT_EQ(restored.exportText(), live.exportText());
    EXPECT_EQ(restored.currentRun(), live.currentRun());

    addBoth(log, plate(17));  // numbering goes on across the restart
    appendRun(restored, log.activeRuns().runs.back());
    EXPECT_EQ(restored.exportText(), live.exportText());

    const std::vector<LoggedRun> runs = log.activeRuns().runs;
    ASSERT_EQ(runs.size(), 10u);
    EXPECT_EQ(runs[0].record.p1, -1);
    for (const LoggedRun& run : runs) expectSame(run.record, plate(plateNumber(run.record.fileName), run.record.p1, run.record.p2));
}

TEST_F(RunLogTest, AddsTheSameRunOnceUnlessAskedAgain) {
    const auto noon = std::chrono::system_clock::from_time_t(1700000000);
    RunLog log = openLog({[&] { return noon; }});
    log.add(plate(1));
    log.reset();
    const LoggedRun first = log.add(plate(1)).run;
    EXPECT_EQ(log.add(plate(1), true).status, AddStatus::Added);
    EXPECT_EQ(first.addedAt, isoLocalTime(noon));
    for (const LoggedRun& read : log.activeRuns().runs) EXPECT_EQ(read.addedAt + "|" + read.resetAt, isoLocalTime(noon) + "|");
    std::vector<std::pair<RunRecord, bool>> cases(5, {plate(1), false});
    cases[0].second = cases[1].second = true;
    cases[1].first.fileName = "copy of plate 1.txt";  // renamed, cleaned up differently: the same run
    cases[1].first.alleles.clear();
    cases[2].first.fields.stutter = "0.50";
    cases[3].first.maybes = !cases[3].first.maybes;
    cases[4].first.fileSha256 = sha256Hex("plate-1.txt edited");
    for (const auto& [record, logged] : cases) {
        const AddOutcome added = log.add(record);
        EXPECT_EQ(added.status, logged ? AddStatus::AlreadyLogged : AddStatus::Added) << record.fileName;
        if (logged) {
            EXPECT_EQ(added.run.id, first.id);
        }
    }
    EXPECT_EQ(log.activeRuns().runs.size(), 5u);
}

// A log whose values a hand (or a bit flip SQLite cannot see) has changed:
// the run that holds them is left out of the accumulator and said, the
// others come back, nothing hangs or runs out of memory, the file is left
// as it was.
TEST_F(RunLogTest, RestoreLeavesOutRunsOfImpossibleValues) {
    const struct {
        const char* edit;  // on run 1 of runs 0, 1, 2 (id 2)
        const char* why;   // nothing: the run is possible and kept
    } cases[] = {
        {"UPDATE run SET locus = 1, maybes = 0 WHERE id = 2", nullptr},
        {"UPDATE run SET lanes = 0, empty_lanes = 0, one_allele_lanes = 0, two_or_more_lanes = 0 WHERE id = 2", nullptr},
        {"UPDATE run SET run_number = 2147483647 WHERE id = 2", "run number 2147483647 is beyond 0 to 1000000"},
        {"UPDATE run SET run_number = 'abc' WHERE id = 2", "(column 2) is no 32-bit whole number"},
        {"UPDATE run SET run_number = 0 WHERE id = 2", "run number 0 is taken by an earlier run"},
        {"UPDATE run_allele SET count = 300000000 WHERE run_id = 2", "would hold more than 10000000 allele records"},
        {"UPDATE run_allele SET size = 5000000000 WHERE run_id = 2", "size or count is no 32-bit whole number"},
        {"UPDATE run SET lanes = 1099511627776 WHERE id = 2", "(column 19) is no 32-bit whole number"},
        {"UPDATE run SET lanes = -1, empty_lanes = -1, one_allele_lanes = 0, two_or_more_lanes = 0 WHERE id = 2",
         "its -1 lanes are beyond 0 to 10000000"},
        {"UPDATE run SET empty_lanes = 99 WHERE id = 2", "lane counters 99, 1, "},
        {"UPDATE run SET locus = 7 WHERE id = 2", "its locus 7 is none of 1, 2, 3, 4, 5 and 6"},
        {"UPDATE run SET maybes = 7 WHERE id = 2", "its Maybes 7 is neither 0 nor 1"},
        {"UPDATE run SET ge_bits = 4619567317775286272 WHERE id = 2", "its GE is not what its field \"25\" reads as"},
        {"UPDATE run SET progenitor2 = 157 WHERE id = 2", "progenitors 150, 157 are not what its fields"},
        {"UPDATE run SET progenitor2 = 157, p2_field = '157' WHERE id = 2",
         "progenitors 150, 157 differ from the accumulator's 150, 156"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit);
        fs::remove_all(dir);
        {
            RunLog log = openLog();
            for (int j = 0; j < 3; ++j) log.add(plate(j));
        }
        {
            sql::Status opened;
            sql::Database raw = sql::Database::open(file, SQLITE_OPEN_READWRITE, opened);
            ASSERT_TRUE(raw.exec(c.edit).ok());
        }
        const auto bytes = [&] { return std::string(std::istreambuf_iterator<char>(std::ifstream(file, std::ios::binary).rdbuf()), {}); };
        const std::string before = bytes();
        accumdb restored(nolog);
        const RestoreOutcome outcome = openLog().restore(restored);
        EXPECT_EQ(bytes(), before);
        EXPECT_EQ(outcome.runs, c.why ? 2 : 3);
        EXPECT_EQ(restored.accumulatedRuns().size(), c.why ? 2u : 3u);
        if (!c.why) {
            EXPECT_TRUE(outcome.leftOut.empty());
            continue;
        }
        ASSERT_EQ(outcome.leftOut.size(), 1u);
        EXPECT_NE(outcome.leftOut[0].find("(plate-1.txt, added "), std::string::npos) << outcome.leftOut[0];
        EXPECT_NE(outcome.leftOut[0].find(c.why), std::string::npos) << outcome.leftOut[0];
    }
}

// What is not a log of this version: a newer Lociview's log is read and
// never written; a log without its version mark (copied by another tool)
// is taken and marked; a text file named in the log's place is refused
// when asked, and set aside otherwise, as any foreign file.
TEST_F(RunLogTest, NewerUnmarkedAndTextFiles) {
    const auto raw = [&](const char* sql) {
        sql::Status opened;
        EXPECT_TRUE(sql::Database::open(file, SQLITE_OPEN_READWRITE, opened).exec(sql).ok()) << sql;
    };
    {
        RunLog log = openLog();
        log.add(plate(0));
    }
    raw("PRAGMA user_version = 2");
    {
        RunLogOpening opening = RunLog::open(file);
        ASSERT_TRUE(opening.log && opening.log->readOnly()) << opening.message;
        EXPECT_TRUE(opening.setAside.empty());
        EXPECT_NE(opening.message.find("newer Lociview (run log version 2;"), std::string::npos) << opening.message;
        EXPECT_EQ(opening.log->activeRuns().runs.size(), 1u);
        const AddOutcome added = opening.log->add(plate(1));
        EXPECT_EQ(added.status, AddStatus::Failed);
        EXPECT_NE(added.message.find("run log version 2"), std::string::npos) << added.message;
        EXPECT_NE(opening.log->reset().message, "");
    }
    raw("PRAGMA user_version = 0; PRAGMA application_id = 0; DROP VIEW accumulator");
    {
        RunLogOpening opening = RunLog::open(file);
        ASSERT_TRUE(opening.log && !opening.log->readOnly()) << opening.message;
        EXPECT_NE(opening.message.find("no version mark"), std::string::npos) << opening.message;
        EXPECT_EQ(opening.log->activeRuns().runs.size(), 1u);
        EXPECT_EQ(opening.log->add(plate(1)).status, AddStatus::Added);
    }
    EXPECT_EQ(RunLog::open(file).message, "");  // marked now, its view back

    fs::remove(file);
    const std::string table = "Dye/Sample Peak\tSample File Name\tSize\tHeight\nB,1\tA01\t150.1\t800\n";
    std::ofstream(file, std::ios::binary) << table;
    RunLogOptions refuse;
    refuse.refuseText = true;
    const RunLogOpening refused = RunLog::open(file, refuse);
    EXPECT_FALSE(refused.log);
    EXPECT_NE(refused.message.find("is not a run log: it reads as text"), std::string::npos) << refused.message;
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
    const RunLogOpening setAside = RunLog::open(file);
    EXPECT_TRUE(setAside.log && !setAside.setAside.empty()) << setAside.message;
    // Bytes that are no text are a damaged file even when text is refused.
    fs::remove(file);
    std::ofstream(file, std::ios::binary) << std::string("Dye\tSize\n\x01\x02\x03", 12);
    const RunLogOpening binary = RunLog::open(file, refuse);
    EXPECT_TRUE(binary.log && !binary.setAside.empty()) << binary.message;
}

// A log in a folder that cannot be written: SQLite cannot write its journal
// there, and the message says so rather than blaming the writable log.
TEST_F(RunLogTest, FolderThatCannotBeWrittenIsNamed) {
    RunLog log = openLog();
    fs::permissions(file.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(file.parent_path().c_str(), W_OK) == 0) {
        fs::permissions(file.parent_path(), fs::perms::owner_all);
        GTEST_SKIP() << "this user writes any folder";
    }
    const AddOutcome added = log.add(plate(0));
    fs::permissions(file.parent_path(), fs::perms::owner_all);
    EXPECT_EQ(added.status, AddStatus::Failed);
    EXPECT_NE(added.message.find("cannot be written, and SQLite keeps a journal file there"), std::string::npos)
        << added.message;
}

// Run in a writer process: every write, sync and deletion of the
// log's files counts down; at zero the process tells the parent and waits
// for its SIGKILL, so the parent kills it at an exact point of its I/O.
namespace killpoint {
sqlite3_vfs *real, shim;
sqlite3_io_methods methods;
const sqlite3_io_methods* realMethods;
int countdown, reportFd;

void io() {
    if (--countdown != 0) return;
    (void)!write(reportFd, "k", 1);
    for (;;) pause();
}
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) { return io(), realMethods->xWrite(f, p, n, at); }
int xSync(sqlite3_file* f, int flags) { return io(), realMethods->xSync(f, flags); }
int xDelete(sqlite3_vfs*, const char* name, int syncDir) { return io(), real->xDelete(real, name, syncDir); }
int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    const int rc = real->xOpen(real, name, f, flags, outFlags);
    if (rc == SQLITE_OK && f->pMethods != nullptr) {
        methods = *(realMethods = f->pMethods);
        methods.xWrite = xWrite;
        methods.xSync = xSync;
        f->pMethods = &methods;
    }
    return rc;
}
void install(int ioCount, int fd) {
    countdown = ioCount;
    reportFd = fd;
    shim = *(real = sqlite3_vfs_find(nullptr));
    shim.zName = "killpoint";
    shim.xOpen = xOpen;
    shim.xDelete = xDelete;
    sqlite3_vfs_register(&shim, 1);
}
}  // namespace killpoint

TEST_F(RunLogTest, WriterKilledAtAnyPointLeavesAConsistentLog) {
    int plates = 0;
    bool finished = false;
    for (int point = 1; !finished; point += 1 + point / 16) {
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        const pid_t writer = spawn([&] {
            killpoint::install(point, report[1]);
            return addPlates(file, plates, 5, true);
        });
        close(report[1]);
        char c;
        finished = read(report[0], &c, 1) != 1;  // no report: the writer got through all its work
        close(report[0]);
        kill(writer, SIGKILL);
        EXPECT_TRUE(exitedCleanly(writer) || !finished);

        RunLog log = openLog();  // integrity check passed, nothing set aside
        sql::Status opened;
        sql::Database raw = sql::Database::open(file, SQLITE_OPEN_READONLY, opened);
        sql::Statement runs = raw.prepare(
            "SELECT r.file_name, count(a.run_id) FROM run r LEFT JOIN run_allele a ON a.run_id = r.id GROUP BY r.id");
        while (runs.step()) {
            const int j = plateNumber(runs.text(0));
            EXPECT_EQ(runs.int64(1), static_cast<int64_t>(plate(j).alleles.size())) << "run of plate " << j;
            plates = std::max(plates, j + 1);
        }
        EXPECT_TRUE(runs.status().ok()) << runs.status().message;
        sql::Statement resets = raw.prepare(
            "SELECT count(*) FROM run a, run b WHERE a.reset_at IS NULL AND b.reset_at IS NOT NULL AND a.id < b.id");
        EXPECT_TRUE(resets.step() && resets.int64(0) == 0) << "a reset was left half done";
        accumdb restored(nolog);
        EXPECT_EQ(log.restore(restored).runs, static_cast<int32_t>(log.activeRuns().runs.size()));
        ASSERT_LT(point, 400) << "the writer never finished";
    }
    EXPECT_GT(plates, 5);
}

TEST_F(RunLogTest, DamagedOrForeignFileIsSetAsideAndANewLogStarts) {
    const auto overwrite = [](const fs::path& f, std::streamoff at, const std::string& bytes) {
        std::fstream(f, std::ios::in | std::ios::out | std::ios::binary).seekp(at).write(bytes.data(), bytes.size());
    };
    const std::pair<const char*, std::function<void(const fs::path&)>> damages[] = {
        {"truncated", [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2 + 100); }},
        {"garbled header", [&](const fs::path& f) { overwrite(f, 0, std::string(40, '\x5a')); }},
        {"garbled page", [&](const fs::path& f) { overwrite(f, 4096, std::string(200, '\x5a')); }},
        {"another program's", [](const fs::path& f) {
             fs::remove(f);
             sql::Status s;
             sql::Database::open(f, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, s).exec("CREATE TABLE x (y)");
         }},
    };
    const auto sameSecond = [] { return std::chrono::system_clock::from_time_t(1700000000); };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        fs::remove_all(dir);
        {
            RunLog log = openLog();
            for (int j = 0; j < 12; ++j) log.add(plate(j));
        }
        damage(file);
        const auto readFile = [](const fs::path& f) { return std::string(std::istreambuf_iterator<char>(std::ifstream(f, std::ios::binary).rdbuf()), {}); };
        const std::string bytes = readFile(file);
        std::set<fs::path> asides;
        for (int again = 0; again < 2; ++again) {  // twice in one second: the first stays
            if (again) std::ofstream(file, std::ios::binary) << bytes;
            RunLogOpening opening = RunLog::open(file, {sameSecond});
            ASSERT_TRUE(opening.log.has_value()) << opening.message;
            EXPECT_NE(opening.message.find(opening.setAside.string()), std::string::npos) << opening.message;
            EXPECT_TRUE(opening.log->activeRuns().runs.empty());
            EXPECT_EQ(opening.log->add(plate(1)).status, AddStatus::Added);
            asides.insert(opening.setAside);
        }
        ASSERT_EQ(asides.size(), 2u);
        for (const fs::path& aside : asides) EXPECT_EQ(readFile(aside), bytes) << aside;
    }
}

// Run in an adding process: every file of the log waits a moment before it
// takes SQLite's write lock, as a slow disk or a busy machine may, so that
// all the processes are ready to write at once.
namespace slowlock {
sqlite3_vfs *real, shim;
sqlite3_io_methods methods;
const sqlite3_io_methods* realMethods;

int xLock(sqlite3_file* f, int level) {
    if (level == SQLITE_LOCK_RESERVED) usleep(20000);
    return realMethods->xLock(f, level);
}
int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    const int rc = real->xOpen(real, name, f, flags, outFlags);
    // The log itself: its journal has methods of its own that lock nothing.
    if (rc == SQLITE_OK && f->pMethods != nullptr && (flags & SQLITE_OPEN_MAIN_DB)) {
        methods = *(realMethods = f->pMethods);
        methods.xLock = xLock;
        f->pMethods = &methods;
    }
    return rc;
}
void install() {
    shim = *(real = sqlite3_vfs_find(nullptr));
    shim.zName = "slowlock";
    shim.xOpen = xOpen;
    sqlite3_vfs_register(&shim, 1);
}
}  // namespace slowlock

// Eight programs adding one run at the same moment, round after round: one
// adds it, the others find it there.
TEST_F(RunLogTest, ProcessesAddingTheSameRunAtOnceAddItOnce) {
    constexpr int kProcesses = 8, kRounds = 3;
    for (int round = 0; round < kRounds; ++round) {
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        std::vector<pid_t> adders;
        for (int p = 0; p < kProcesses; ++p) {
            adders.push_back(fork());
            if (adders.back() != 0) continue;
            close(go[1]);
            slowlock::install();
            RunLogOpening opening = RunLog::open(file);
            char c;
            (void)!read(go[0], &c, 1);  // all add when the parent closes the pipe
            if (!opening.log) _exit(1);
            const AddStatus status = opening.log->add(plate(round)).status;
            _exit(status == AddStatus::Added ? 0 : status == AddStatus::AlreadyLogged ? 3 : 1);
        }
        close(go[0]);
        close(go[1]);
        int added = 0, skipped = 0;
        for (pid_t adder : adders) {
            int status = 0;
            ASSERT_EQ(waitpid(adder, &status, 0), adder);
            ASSERT_TRUE(WIFEXITED(status));
            (WEXITSTATUS(status) == 0 ? added : WEXITSTATUS(status) == 3 ? skipped : status) += 1;
        }
        EXPECT_EQ(std::pair(added, skipped), std::pair(1, kProcesses - 1)) << "round " << round;
    }
    EXPECT_EQ(openLog().activeRuns().runs.size(), static_cast<size_t>(kRounds));
}

TEST_F(RunLogTest, TwoProcessesAddingAtOnceLoseNothing) {
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> writers;
    for (int w = 1; w <= 2; ++w)
        writers.push_back(spawn([&] {
            close(go[1]);
            char c;
            (void)!read(go[0], &c, 1);  // both start when the parent closes the pipe
            return addPlates(file, 100 * w, 15, false);
        }));
    close(go[0]);
    close(go[1]);
    for (pid_t writer : writers) EXPECT_TRUE(exitedCleanly(writer));
    const std::vector<LoggedRun> runs = openLog().activeRuns().runs;
    ASSERT_EQ(runs.size(), 30u);
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].run, static_cast<int32_t>(i));
        expectSame(runs[i].record, plate(plateNumber(runs[i].record.fileName)));
    }
}

}  // namespace
}  // namespace lociview
