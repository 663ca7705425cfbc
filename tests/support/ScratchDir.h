#pragma once
// A folder of its own for one test (or one process of it), removed with
// everything in it.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace lociview {

struct ScratchDir {
    std::filesystem::path path;

    explicit ScratchDir(const std::string& kind = "test") {
        static int made = 0;
        path = std::filesystem::temp_directory_path() /
               ("lociview-" + kind + "-" + std::to_string(::getpid()) + "-" + std::to_string(made++));
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Writes the bytes to the file of that name in the folder; answers its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
        return (path / name).string();
    }
};

}  // namespace lociview
