#include "cellfiles/cell_file_text.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cellfiles/found_cell.hpp"

namespace cellfiles {

namespace {

std::string kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "is a directory";
    if (S_ISFIFO(mode)) return "is a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
    return "is not a regular file";
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::string read_cell_file(const std::string& path, std::size_t limit) {
    // The kind is known before opening: open() on a FIFO waits for a writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw CellFileError(path + ": cannot open: " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) throw CellFileError(path + ": " + kind_of(st.st_mode));
    // O_NONBLOCK: a FIFO put at the name since the test is refused, not waited on.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) throw CellFileError(path + ": cannot open: " + std::strerror(errno));
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) throw CellFileError(path + ": " + kind_of(st.st_mode));
    const auto too_large = [&] {
        return CellFileError(path + ": larger than " + std::to_string(limit >> 20) +
                             " MB, more than a refinement's file holds; not read");
    };
    if (std::size_t(st.st_size) > limit) throw too_large();
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw CellFileError(path + ": read error: " + std::strerror(errno));
        if (n == 0) break;
        if (text.size() + std::size_t(n) > limit) throw too_large();
        text.append(buffer, std::size_t(n));
    }
    return text;
}

}  // namespace cellfiles
