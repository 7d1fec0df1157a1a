// Preloaded into celltrend by the read-error tests (LD_PRELOAD): read() on
// the file whose name ends in CELLTREND_FAULT_FILE fails with EIO once
// CELLTREND_FAULT_OFFSET bytes of it lie before the read position; a read
// that would cross that offset stops at it.  So a disk that fails in the
// middle of a file can be met end to end, on any machine.

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

bool is_named(int fd, const char* tail) {
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    if (n <= 0) return false;
    const std::string path(target, static_cast<std::size_t>(n));
    const std::string want = std::string("/") + tail;
    return path.size() >= want.size() && path.compare(path.size() - want.size(), want.size(), want) == 0;
}

}  // namespace

extern "C" ssize_t read(int fd, void* buf, size_t count) {
    using read_function = ssize_t (*)(int, void*, size_t);
    static const auto real = reinterpret_cast<read_function>(::dlsym(RTLD_NEXT, "read"));
    const char* tail = std::getenv("CELLTREND_FAULT_FILE");
    const char* offset = std::getenv("CELLTREND_FAULT_OFFSET");
    if (tail != nullptr && offset != nullptr && is_named(fd, tail)) {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        const off_t limit = std::atoll(offset);
        if (at >= limit) {
            errno = EIO;
            return -1;
        }
        if (at + static_cast<off_t>(count) > limit) count = static_cast<size_t>(limit - at);
    }
    return real(fd, buf, count);
}
