// lociview-cli score --accumulator: runs scored by separate processes into
// one run log export together exactly as one process scoring them all; a
// run the log holds already is skipped unless --add-again; the progenitor
// pair is checked against the other processes' runs.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "headless/BatchScore.h"

namespace fs = std::filesystem;

namespace lociview::headless {
namespace {

using Args = std::vector<std::string>;

constexpr const char* kTwoLanes =
    "1A,1 1.0 150.0 800 8000 1\n"
    "1A,2 1.0 148.0 200 2000 1\n"
    "2A,1 1.0 156.0 700 7000 1\n"
    "2A,2 1.0 154.0 250 2500 1\n";
constexpr const char* kThreeLanes =
    "1A,1 1.0 150.0 900 8000 1\n"
    "1A,2 1.0 148.0 200 2000 1\n"
    "2A,1 1.0 156.0 650 7000 1\n"
    "2A,2 1.0 154.0 200 2000 1\n"
    "3A,1 1.0 160.0 500 5000 1\n"
    "3A,2 1.0 158.0 150 1500 1\n";

struct Result {
    int status;
    std::string out, err;
};

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class BatchAccumulator : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("lociview-batch-accumulator-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "a.txt", std::ios::binary) << kTwoLanes;
        std::ofstream(dir / "b.txt", std::ios::binary) << kThreeLanes;
    }
    void TearDown() override { fs::remove_all(dir); }

    Args scoring(const Args& files, Args more = {}, const char* p2 = "156") {
        Args args = {"--p1", "150", "--p2", p2, "--low", "140", "--high", "170", "--ge", "12.5", "--show",
                     "accumulated"};
        args.insert(args.end(), more.begin(), more.end());
        for (const std::string& f : files) args.push_back((dir / f).string());
        return args;
    }

    static Result inThisProcess(const Args& args) {
        std::ostringstream out, err;
        const int status = runBatchScore(args, out, err);
        return {status, out.str(), err.str()};
    }

    // The batch in a process of its own, as a second lociview-cli would be.
    Result inAnotherProcess(const Args& args) {
        const pid_t pid = fork();
        if (pid == 0) {
            const Result r = inThisProcess(args);
            std::ofstream(dir / "out", std::ios::binary) << r.out;
            std::ofstream(dir / "err", std::ios::binary) << r.err;
            _exit(r.status);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        return {WEXITSTATUS(status), readFile(dir / "out"), readFile(dir / "err")};
    }

    fs::path dir;
};

TEST_F(BatchAccumulator, SeparateProcessesExportAsOne) {
    struct Step {
        Args files;
        Args more;
        Args asOneProcess;  // the files one process without a log accumulates to the same text
        const char* p2;
        int status;
        const char* errPart;  // in standard error; "" for nothing there
    };
    const std::vector<Step> steps = {
        {{"a.txt"}, {}, {"a.txt"}, "156", 0, ""},
        {{"b.txt"}, {}, {"a.txt", "b.txt"}, "156", 0, ""},
        // Running a command again adds nothing twice.
        {{"a.txt", "b.txt"}, {}, {"a.txt", "b.txt"}, "156", 0, "Not added again (--add-again adds it)."},
        {{"a.txt"}, {"--add-again"}, {"a.txt", "b.txt", "a.txt"}, "156", 0, "Added again."},
        // The pair the other processes latched holds here too.
        {{"b.txt"}, {}, {"a.txt", "b.txt", "a.txt"}, "158", 1,
         "Your progenitors are different from the ones you have been accumulating."},
    };
    const std::string log = (dir / "runs.sqlite").string();
    for (const Step& step : steps) {
        const Result one = inThisProcess(scoring(step.asOneProcess));
        ASSERT_EQ(one.status, 0) << one.err;
        const Result r = inAnotherProcess(scoring(step.files, [&] {
            Args more = step.more;
            more.insert(more.begin(), {"--accumulator", log});
            return more;
        }(), step.p2));
        EXPECT_EQ(r.status, step.status) << r.err;
        EXPECT_EQ(r.out, one.out) << step.files.front();
        if (*step.errPart) EXPECT_NE(r.err.find(step.errPart), std::string::npos) << r.err;
        else EXPECT_EQ(r.err, "");
    }
}

}  // namespace
}  // namespace lociview::headless
