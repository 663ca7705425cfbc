#pragma once
// Files may grow no larger than a limit while one of these lives, as on a
// nearly full disk: a write past it fails with EFBIG (File too large)
// instead of ending the process.
#include <signal.h>
#include <sys/resource.h>

namespace lociview {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) : oldHandler(::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit lower = old;
        lower.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old{};
    sighandler_t oldHandler;
};

}  // namespace lociview
