#include "text_files.hpp"

// The program's platform calls for files are all here (main's only one asks
// whether the console is a terminal).  The standard library cannot
// open a file without blocking on a FIFO, tell a device from a regular file
// once it is open, refuse a symbolic link in the same step that opens the
// name, lock a file against another process, or keep a file from being
// inherited by the viewer the run starts; POSIX can, and each call below says
// which of these it is for.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "failure.hpp"

namespace celltrend {

namespace {

constexpr std::size_t buffer_size = 1 << 16;

std::string error_name(int err) { return std::strerror(err != 0 ? err : EIO); }

// What a file of this mode is, for a message: "a FIFO", "a directory", ...
// Modes come from stat or fstat, or after a link was refused: never a link.
std::string kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a file of another kind";
}

// fcntl record locks are the advisory locks POSIX defines; another run takes
// the same lock on the same file, so each output holds one run's lines.
// Returns the pid of a process holding a conflicting lock, 0 when none does.
pid_t lock_holder(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &probe) != 0 || probe.l_type == F_UNLCK) return 0;
    return probe.l_pid > 0 ? probe.l_pid : -1;
}

[[noreturn]] void refuse_output(const std::string& name, const std::string& reason, const std::string& found,
                                const std::string& done) {
    throw RunFailure(" !! Cannot create " + name + ": " + reason + " !!", 1, notice_line(name, 0, found + "; " + done));
}

std::string link_target(const std::string& name) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(name, ec);
    return ec ? std::string("somewhere") : target.string();
}

std::string locked_by(pid_t pid) {
    return pid > 0 ? "locked by another run (process " + std::to_string(pid) + ")" : "locked by another run";
}

}  // namespace

bool file_exists(std::string_view name) {
    const std::string_view n = trim_right(name);
    if (n.empty()) return false;
    std::error_code ec;
    const auto st = std::filesystem::status(std::filesystem::path(n), ec);
    return !ec && std::filesystem::exists(st) && !std::filesystem::is_directory(st);
}

InputFile::~InputFile() { close(); }

bool InputFile::open(std::string_view name, std::string& why) {
    close();
    name_ = std::string(trim_right(name));
    // O_NONBLOCK: opening a FIFO would wait for a writer for ever.
    // O_CLOEXEC: the viewer the run starts does not inherit the file.
    const int fd = ::open(name_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        // A socket cannot be opened at all (ENXIO, "No such device or
        // address"); saying what the file is tells the user more.
        struct stat st {};
        why = err == ENXIO && ::stat(name_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)
                  ? kind_of(st.st_mode) + ", not a regular file"
                  : error_name(err);
        return false;
    }
    // Only a regular file has an end: a device such as /dev/zero reads for
    // ever, a FIFO waits for a writer.
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = error_name(errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why = kind_of(st.st_mode) + ", not a regular file";
        ::close(fd);
        return false;
    }
    // Reads of a regular file never block anyway; the flag goes so that they
    // behave as plain reads on any system.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    buffer_.resize(buffer_size);
    pos_ = len_ = 0;
    eof_ = false;
    errno_ = 0;
    line_number_ = 0;
    return true;
}

void InputFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void InputFile::rewind() {
    if (fd_ < 0) return;
    pos_ = len_ = 0;
    eof_ = false;
    errno_ = ::lseek(fd_, 0, SEEK_SET) == 0 ? 0 : (errno != 0 ? errno : EIO);
    line_number_ = 0;
}

bool InputFile::fill() {
    if (eof_ || errno_ != 0) return false;
    pos_ = len_ = 0;
    ssize_t n = 0;
    do n = ::read(fd_, buffer_.data(), buffer_.size());
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        errno_ = errno != 0 ? errno : EIO;
        return false;
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    len_ = static_cast<std::size_t>(n);
    return true;
}

ReadStatus InputFile::next_line(std::string_view& line, std::size_t limit) {
    if (fd_ < 0) return ReadStatus::error;
    if (pos_ == len_ && !fill()) return errno_ != 0 ? ReadStatus::error : ReadStatus::end;

    // The usual case: the whole line is in the buffer.
    const char* start = buffer_.data() + pos_;
    if (const void* nl = std::memchr(start, '\n', len_ - pos_)) {
        std::size_t n = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
        pos_ += n + 1;
        if (n > 0 && start[n - 1] == '\r') --n;
        line = std::string_view(start, std::min(n, limit));
        ++line_number_;
        return ReadStatus::ok;
    }

    // The line runs past the buffer: keep its first `limit` characters and
    // skip the rest, remembering only its last character, which tells whether
    // a CR ends it.
    carry_.clear();
    std::size_t total = 0;
    char last = '\0';
    bool ended = false;
    while (!ended) {
        if (pos_ == len_ && !fill()) {
            if (errno_ != 0) return ReadStatus::error;
            break;  // a last line without terminator
        }
        const char* p = buffer_.data() + pos_;
        const std::size_t avail = len_ - pos_;
        const void* nl = std::memchr(p, '\n', avail);
        const std::size_t n = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - p) : avail;
        if (carry_.size() < limit) carry_.append(p, std::min(n, limit - carry_.size()));
        if (n > 0) last = p[n - 1];
        total += n;
        pos_ += n;
        if (nl) {
            ++pos_;
            ended = true;
        }
    }
    if (total > 0 && last == '\r') --total;
    line = std::string_view(carry_).substr(0, std::min(total, limit));
    ++line_number_;
    return ReadStatus::ok;
}

std::string InputFile::error_text() const { return error_name(errno_); }

void refuse_unsafe_output(std::string_view output) {
    const std::string name(trim_right(output));
    // lstat, not stat: the name itself is judged, not what a link points to.
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0) return;  // nothing there yet, or create will say why
    if (S_ISLNK(st.st_mode))
        refuse_output(name, "it is a symbolic link", "a symbolic link to " + link_target(name),
                      "nothing is written through it and no output is created");
    if (S_ISDIR(st.st_mode)) refuse_output(name, error_name(EISDIR), "a directory", "no output is created");
    if (!S_ISREG(st.st_mode))
        refuse_output(name, "it is not a regular file", kind_of(st.st_mode) + ", not a regular file",
                      "no output is created");
    // A file this user cannot read is left to create, which says why.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return;
    const pid_t holder = lock_holder(fd);
    ::close(fd);
    if (holder != 0) refuse_output(name, "another run is writing it", locked_by(holder), "this run creates no output");
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void OutputFile::create(std::string_view name) {
    // A unit opened again completes the file it held first, checked, instead
    // of losing its handle.
    close();
    name_ = std::string(trim_right(name));
    // O_NOFOLLOW: a symbolic link at the name fails the open itself, so no
    //   link can be planted between a test and the open.
    // O_NONBLOCK: a FIFO without a reader is refused at once, not waited on.
    // O_CLOEXEC: the viewer the run starts does not inherit the file.
    // No O_TRUNC: the file is emptied only once it is known to be a regular
    //   file that no other run is writing.
    const int fd = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const int err = errno;
        struct stat st {};
        if (err == ELOOP && ::lstat(name_.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            refuse_output(name_, "it is a symbolic link", "a symbolic link to " + link_target(name_),
                          "nothing is written through it and the run stops");
        if (err == EISDIR) refuse_output(name_, error_name(EISDIR), "a directory", "the run stops");
        // ENXIO: a FIFO without a reader (or a socket, which refuse_unsafe_output
        // has named before any output was created).
        if (err == ENXIO)
            refuse_output(name_, "it is not a regular file", "a FIFO, not a regular file", "the run stops");
        throw RunFailure(" !! Cannot create " + name_ + ": " + error_name(err) + " !!");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        refuse_output(name_, "it is not a regular file", kind_of(st.st_mode) + ", not a regular file", "the run stops");
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_SETLK, &lock) != 0 && (errno == EACCES || errno == EAGAIN)) {
        const pid_t holder = lock_holder(fd);
        ::close(fd);
        refuse_output(name_, "another run is writing it", locked_by(holder), "the run stops");
    }
    // A file system without locks (ENOLCK) still takes the output: the lock
    // guards against a rare mistake and must not stop ordinary work.
    // A file with another name too (a hard link, a "cp -al" snapshot of the
    // directory) is not emptied: its name here is taken off it, and the
    // output is a new file, so the other names keep what they hold.
    if (st.st_nlink > 1) {
        ::close(fd);
        if (::unlink(name_.c_str()) != 0 && errno != ENOENT) {
            const int err = errno;
            throw RunFailure(" !! Cannot create " + name_ + ": " + error_name(err) + " !!");
        }
        create_new();
        return;
    }
    if (::ftruncate(fd, 0) != 0) {
        const int err = errno;
        ::close(fd);
        throw RunFailure(" !! Cannot create " + name_ + ": " + error_name(err) + " !!");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    good_bytes_ = 0;
}

void OutputFile::create_new() {
    // O_EXCL: whatever appeared at the name since it was unlinked is another
    // program's, never written through.
    const int fd =
        ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const int err = errno;
        throw RunFailure(" !! Cannot create " + name_ + ": " + error_name(err) + " !!");
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const int ignored = ::fcntl(fd, F_SETLK, &lock);  // a new file: no other run holds it
    (void)ignored;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    good_bytes_ = 0;
}

void OutputFile::write_line(std::string_view line) {
    if (fd_ < 0) return;
    line_.assign(line);
    line_.push_back('\n');
    // Written at once, line by line, so that a failure leaves exactly the
    // complete lines written before it.
    std::size_t done = 0;
    while (done < line_.size()) {
        const ssize_t n = ::write(fd_, line_.data() + done, line_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    good_bytes_ += line_.size();
}

void OutputFile::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    // Some file systems report a failed write only at the close.
    if (::close(fd) != 0 && errno != EINTR)
        throw RunFailure(" !! Cannot write " + name_ + ": " + error_name(errno) + " !!");
}

void OutputFile::fail(int err) {
    // Drop the part of a line that reached the file.
    const int ignored = ::ftruncate(fd_, static_cast<off_t>(good_bytes_));
    (void)ignored;  // the write's own failure is the one to report
    ::close(fd_);
    fd_ = -1;
    throw RunFailure(" !! Cannot write " + name_ + ": " + error_name(err) + " !!");
}

}  // namespace celltrend
