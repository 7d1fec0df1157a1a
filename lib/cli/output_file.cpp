#include "cli/output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace cli {

namespace {

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
    throw OutputError(path + ": " + why + "; nothing written");
}

std::string directory_of(const std::string& path) {
    const std::string dir = std::filesystem::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

// A new, empty file beside `path`, for this run only.  mkostemp creates it
// afresh (O_EXCL), so a link planted at the temporary name cannot redirect
// the write, and close-on-exec keeps it from any program started meanwhile.
int create_beside(const std::string& path, std::string& temp_name) {
    const std::string base = std::filesystem::path(path).filename().string();
    std::string name = directory_of(path) + "/." + base + ".XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) refuse(path, std::string("cannot create: ") + std::strerror(errno));
    temp_name = buffer.data();
    // mkostemp makes the file private.  A file that replaces another keeps
    // its permission bits, so a private result stays private, and its group
    // where the owner may give it; a new result is as readable as any file
    // the user creates.
    struct stat old {};
    if (stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Not a member of that group: the file keeps the user's own.
        }
        fchmod(fd, old.st_mode & 0777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    return fd;
}

}  // namespace

void check_output(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) refuse(path, "is a symbolic link");
        if (S_ISDIR(st.st_mode)) refuse(path, "is a directory");
        // A rename would replace a device or a FIFO (/dev/null, say) with a
        // plain file.
        if (!S_ISREG(st.st_mode)) refuse(path, "is not a regular file");
    } else if (errno != ENOENT) {
        refuse(path, std::string("cannot write: ") + std::strerror(errno));
    }
    const std::string dir = directory_of(path);
    if (access(dir.c_str(), W_OK | X_OK) != 0) refuse(path, std::string("cannot create: ") + std::strerror(errno));
}

void write_output(const std::string& path, std::string_view bytes) {
    check_output(path);
    std::string temp;
    const int fd = create_beside(path, temp);
    const auto fail = [&](int error, bool open) {
        if (open) close(fd);
        unlink(temp.c_str());
        refuse(path, std::string("cannot write: ") + std::strerror(error));
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : ENOSPC, true);
        done += std::size_t(n);
    }
    if (fsync(fd) != 0 && errno != EINVAL) fail(errno, true);
    if (close(fd) != 0) fail(errno, false);
    // A link planted after the check is replaced by rename, not followed.
    if (rename(temp.c_str(), path.c_str()) != 0) fail(errno, false);
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace cli
