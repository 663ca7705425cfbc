#include "base/FileSave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace lociview {

namespace {

std::string why(int error) { return std::strerror(error); }

// A name no other writer uses: the target's, hidden, with the process and
// a counter, so two saves of one file never share a temporary file.
std::filesystem::path temporaryName(const std::filesystem::path& path, unsigned attempt) {
    static std::atomic<unsigned> made{0};
    return path.parent_path() / ("." + path.filename().string() + ".saving-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(made++) + "-" + std::to_string(attempt));
}

}  // namespace

std::string saveFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    if (path.filename().empty()) return "no file name";
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) return "it is not a plain file";

    std::filesystem::path temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = temporaryName(path, attempt);
        // 0666 less the umask, as any new file; a file replaced keeps its own below.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return why(errno);
    }
    if (fd < 0) return why(EEXIST);

    int error = 0;
    size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) done += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR) error = errno;
        else if (n == 0) error = EIO;
    }
    struct stat written {};
    if (error == 0 && ::fstat(fd, &written) != 0) error = errno;
    if (error == 0 && static_cast<size_t>(written.st_size) != bytes.size()) error = EIO;
    if (error == 0 && replacing && ::fchmod(fd, old.st_mode & 07777) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return why(error);
    }
    // The new name itself is kept once the folder is on the disk too.
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace lociview
