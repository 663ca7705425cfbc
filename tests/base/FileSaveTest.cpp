// Saving a whole file: the old one stays until the new one is complete,
// also when the disk fills or a size limit stops the write part way.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/FileSave.h"
#include "support/FileSizeLimit.h"
#include "support/ScratchDir.h"

namespace lociview {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FileSave, ReplacesOnlyWithTheWholeFile) {
    const ScratchDir dir("save");
    const fs::path file = dir.path / "report.pdf";
    const std::string old = "%PDF old report %%EOF", big(1 << 20, 'x');

    EXPECT_EQ(saveFileBytes(file, old), "");  // a new file
    EXPECT_EQ(contents(file), old);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        const FileSizeLimit nearlyFull(4096);
        EXPECT_EQ(saveFileBytes(file, big), "File too large");
    }
    EXPECT_EQ(contents(file), old);
    EXPECT_EQ(saveFileBytes(dir.path / "missing" / "t.csv", "a"), "No such file or directory");
    EXPECT_EQ(saveFileBytes(dir.path, "a"), "it is not a plain file");
    EXPECT_EQ(saveFileBytes(file, big), "");  // the whole file takes its place and its permissions
    EXPECT_EQ(contents(file), big);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // No temporary file is left behind, whatever happened.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace lociview
