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
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

class GoldenTraceTest : public testing::TestWithParam<std::string> {};

TEST_P(GoldenTraceTest, TraceMatches) {
    const std::string name = GetParam();
    const fs::path traceFile = kGoldenDir / (name + ".trace"), errFile = kGoldenDir / (name + ".stderr");
    std::ifstream in(kGoldenDir / (name + ".script"), std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::ostringstream out, err;
    const fs::path previous = fs::current_path();
    fs::current_path(kGoldenDir);
    const int status = runSession(in, name + ".script", out, err);
    fs::current_path(previous);

    if (const char* update = std::getenv("LOCIVIEW_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::ofstream(traceFile, std::ios::binary) << out.str();
        if (err.str().empty()) fs::remove(errFile);
        else std::ofstream(errFile, std::ios::binary) << err.str();
        GTEST_SKIP() << "rewrote " << traceFile;
    }
    ASSERT_TRUE(fs::exists(traceFile)) << "no " << traceFile << " (run with LOCIVIEW_UPDATE_GOLDEN=1)";
    EXPECT_EQ(out.str(), readFile(traceFile));
    EXPECT_EQ(status, fs::exists(errFile) ? kScriptError : kSessionOk);
    EXPECT_EQ(err.str(), fs::exists(errFile) ? readFile(errFile) : "");
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
