#include "output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

namespace analyse {

namespace {

bool fail(std::string_view program, const std::string& what) {
    std::cerr << program << ": " << what << "\n";
    return false;
}

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool write_file(std::string_view text, const std::string& path, const std::string& input, std::string_view program) {
    struct stat target {};
    if (::lstat(path.c_str(), &target) == 0) {
        if (S_ISLNK(target.st_mode)) return fail(program, path + ": is a symbolic link; nothing written");
        if (S_ISDIR(target.st_mode)) return fail(program, path + ": is a directory; nothing written");
        // A rename would replace a device or a FIFO (/dev/null, say) with a
        // plain file; only a regular file is ever replaced.
        if (!S_ISREG(target.st_mode)) return fail(program, path + ": is not a regular file; nothing written");
        struct stat source {};
        if (!input.empty() && input != "-" && ::stat(input.c_str(), &source) == 0 &&
            source.st_dev == target.st_dev && source.st_ino == target.st_ino)
            return fail(program, path + ": is the input file; nothing written");
    }

    const std::filesystem::path out(path);
    const std::filesystem::path dir = out.has_parent_path() ? out.parent_path() : std::filesystem::path(".");
    std::string name = (dir / ("." + out.filename().string() + ".XXXXXX")).string();
    std::vector<char> temp(name.begin(), name.end());
    temp.push_back('\0');
    // mkstemp creates its file afresh (O_EXCL): a link planted at the
    // temporary name cannot redirect the write.
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return fail(program, path + ": cannot create: " + std::strerror(errno));
    const std::string temp_name(temp.data());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0 && write_all(fd, text) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp_name.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp_name.c_str());
        return fail(program, path + ": cannot write: " + std::strerror(err != 0 ? err : EIO) + "; nothing written");
    }
    return true;
}

}  // namespace

bool write_result(std::string_view text, const std::string& path, const std::string& input, std::string_view program) {
    if (!path.empty()) return write_file(text, path, input, program);
    errno = 0;
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (!std::cout) return fail(program, std::string("cannot write to standard output: ") + std::strerror(errno != 0 ? errno : EIO));
    return true;
}

}  // namespace analyse
