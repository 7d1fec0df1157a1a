#include "text_files.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "failure.hpp"

namespace celltrend {

namespace {
constexpr std::size_t buffer_size = 1 << 16;
}

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
    errno = 0;
    file_ = std::fopen(name_.c_str(), "rb");
    if (file_ == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    buffer_.resize(buffer_size);
    pos_ = len_ = 0;
    eof_ = false;
    errno_ = 0;
    return true;
}

void InputFile::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

void InputFile::rewind() {
    if (file_ == nullptr) return;
    std::rewind(file_);
    pos_ = len_ = 0;
    eof_ = false;
    errno_ = 0;
}

bool InputFile::fill() {
    if (eof_ || errno_ != 0) return false;
    errno = 0;
    len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    pos_ = 0;
    if (len_ == 0) {
        if (std::ferror(file_)) errno_ = errno != 0 ? errno : EIO;
        else eof_ = true;
        return false;
    }
    return true;
}

ReadStatus InputFile::next_line(std::string_view& line, std::size_t limit) {
    if (file_ == nullptr) return ReadStatus::error;
    if (pos_ == len_ && !fill()) return errno_ != 0 ? ReadStatus::error : ReadStatus::end;

    // The usual case: the whole line is in the buffer.
    const char* start = buffer_.data() + pos_;
    if (const void* nl = std::memchr(start, '\n', len_ - pos_)) {
        std::size_t n = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
        pos_ += n + 1;
        if (n > 0 && start[n - 1] == '\r') --n;
        line = std::string_view(start, std::min(n, limit));
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
    return ReadStatus::ok;
}

std::string InputFile::error_text() const { return std::strerror(errno_ != 0 ? errno_ : EIO); }

OutputFile::~OutputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

void OutputFile::create(std::string_view name) {
    // A unit opened again completes the file it held first, checked, instead
    // of losing its handle.
    close();
    name_ = std::string(trim_right(name));
    errno = 0;
    file_ = std::fopen(name_.c_str(), "wb");
    if (file_ == nullptr) {
        const int err = errno;
        throw RunFailure(" !! Cannot create " + name_ + ": " + std::strerror(err != 0 ? err : EIO) + " !!");
    }
    good_bytes_ = 0;
}

void OutputFile::write_line(std::string_view line) {
    if (file_ == nullptr) return;
    line_.assign(line);
    line_.push_back('\n');
    errno = 0;
    // Flushed line by line, so that a failure leaves exactly the complete
    // lines written before it.
    if (std::fwrite(line_.data(), 1, line_.size(), file_) != line_.size() || std::fflush(file_) != 0)
        fail(errno);
    good_bytes_ += line_.size();
}

void OutputFile::close() {
    if (file_ == nullptr) return;
    std::FILE* f = file_;
    file_ = nullptr;
    errno = 0;
    const bool flushed = std::fflush(f) == 0;
    const int err = errno;
    if (std::fclose(f) != 0 || !flushed) {
        const int e = err != 0 ? err : errno;
        throw RunFailure(" !! Cannot write " + name_ + ": " + std::strerror(e != 0 ? e : EIO) + " !!");
    }
}

void OutputFile::fail(int err) {
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    std::filesystem::resize_file(name_, good_bytes_, ec);  // drop the part of a line; a device has no size to cut
    throw RunFailure(" !! Cannot write " + name_ + ": " + std::strerror(err != 0 ? err : EIO) + " !!");
}

}  // namespace celltrend
