// Every NAME.script in the golden folder is played in-process, from that
// folder (scripts name their data relative to it), and its trace must equal
// NAME.trace byte for byte. A script that should stop at a script error has
// NAME.stderr with the expected message and must exit 2; without it the
// script must exit 0 and write nothing to stderr.
//
// Adding a case: drop NAME.script in the folder and run the suite with
// LOCIVIEW_UPDATE_GOLDEN=1 to write its expected files; read them before
// committing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "headless/SessionScript.h"

namespace fs = std::filesystem;

namespace lociview::headless {
namespace {

const fs::path kGoldenDir = LOCIVIEW_GOLDEN_DIR;

std::vector<std::string> scriptNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kGoldenDir, ec))
        if (entry.path().extension() == ".script") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Runs with the golden folder as the current directory, restoring it after.
class InGoldenDir {
public:
    InGoldenDir() : previous(fs::current_path()) { fs::current_path(kGoldenDir); }
    ~InGoldenDir() { fs::current_path(previous); }

private:
    fs::path previous;
};

bool updating() {
    const char* v = std::getenv("LOCIVIEW_UPDATE_GOLDEN");
    return v && std::string(v) == "1";
}

class GoldenTraceTest : public testing::TestWithParam<std::string> {};

TEST_P(GoldenTraceTest, TraceMatches) {
    const std::string name = GetParam();
    const fs::path script = kGoldenDir / (name + ".script");
    const fs::path traceFile = kGoldenDir / (name + ".trace");
    const fs::path errFile = kGoldenDir / (name + ".stderr");

    std::ostringstream out, err;
    int status;
    {
        InGoldenDir here;
        std::ifstream in(script, std::ios::binary);
        ASSERT_TRUE(in) << script;
        status = runSession(in, name + ".script", out, err);
    }

    if (updating()) {
        writeFile(traceFile, out.str());
        if (err.str().empty()) fs::remove(errFile);
        else writeFile(errFile, err.str());
        GTEST_SKIP() << "rewrote " << traceFile;
    }

    ASSERT_TRUE(fs::exists(traceFile)) << "no " << traceFile << " (run with LOCIVIEW_UPDATE_GOLDEN=1)";
    EXPECT_EQ(out.str(), readFile(traceFile));
    if (fs::exists(errFile)) {
        EXPECT_EQ(status, kScriptError);
        EXPECT_EQ(err.str(), readFile(errFile));
    } else {
        EXPECT_EQ(status, kSessionOk);
        EXPECT_EQ(err.str(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenTraceTest, testing::ValuesIn(scriptNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string id = info.param;
                             for (char& c : id)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return id;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenTraceTest);

}  // namespace
}  // namespace lociview::headless
