#pragma once
// Files of text records.  Input is read line by line through a fixed buffer,
// so a line of any length costs no more memory than the part that is kept;
// output is written one whole line at a time and checked to its close.

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fixed_text.hpp"

namespace celltrend {

enum class ReadStatus { ok, end, error };

// Existence as the program means it: a file, not a directory, of that name
// (the name taken without trailing blanks).
bool file_exists(std::string_view name);

class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Opens an existing file at its first line; on failure `why` says why.
    bool open(std::string_view name, std::string& why);
    void close();
    bool is_open() const { return file_ != nullptr; }
    void rewind();
    const std::string& name() const { return name_; }

    // The next line without its terminator (LF or CR LF), cut to its first
    // `limit` characters.  The view lives until the next call.
    ReadStatus next_line(std::string_view& line, std::size_t limit);

    // The next line into a text of length N: cut, or padded with blanks.
    template <std::size_t N>
    ReadStatus read(Text<N>& text) {
        std::string_view line;
        const ReadStatus s = next_line(line, N);
        if (s == ReadStatus::ok) text.assign(line);
        return s;
    }

    // Why the last `error` happened, for a console line.
    std::string error_text() const;

private:
    bool fill();

    std::FILE* file_ = nullptr;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::string carry_;
    int errno_ = 0;
    bool eof_ = false;
};

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();  // completes the file, unchecked: the failure path

    // Creates the file, replacing one of that name; a file still open on this
    // object is closed first.  Throws RunFailure.
    void create(std::string_view name);
    bool is_open() const { return file_ != nullptr; }
    const std::string& name() const { return name_; }

    // Appends one line.  Each line reaches the file whole or not at all: a
    // failed write cuts the file back to its last complete line and throws
    // RunFailure naming the file and the reason.
    void write_line(std::string_view line);

    // Flushes and closes, checked.  Throws RunFailure.
    void close();

private:
    [[noreturn]] void fail(int err);

    std::FILE* file_ = nullptr;
    std::string name_;
    std::string line_;
    unsigned long long good_bytes_ = 0;
};

}  // namespace celltrend
