#include "input/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <stdexcept>

namespace lociview {

namespace {

// Whether a file of this many bytes can be held whole: not when it is
// larger than the machine's memory (a disk image picked by mistake).
bool fitsInMemory(off_t size) {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return true;
    return static_cast<uint64_t>(size) <= static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    // Non-blocking, so that opening a pipe cannot hang the program; pipes
    // and devices are then refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !fitsInMemory(st.st_size)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string out;
    try {
        if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
        char buf[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ::close(fd);
                return std::nullopt;
            }
            if (n == 0) break;
            out.append(buf, static_cast<size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        // Memory ran out on the way: a file that cannot be read.
        ::close(fd);
        return std::nullopt;
    } catch (const std::length_error&) {
        ::close(fd);
        return std::nullopt;
    }
    ::close(fd);
    return out;
}

}  // namespace lociview
