#pragma once
// Files of text records.  Input is read line by line through a fixed buffer,
// so a line of any length costs no more memory than the part that is kept;
// output is written one whole line at a time and checked to its close.
// Only regular files are read or written: a FIFO or a device is refused
// without being waited on, an output is never written through a symbolic
// link, and no file is left open to the programs the run starts.

#include <cstddef>
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

    // Opens an existing regular file (or a link to one) at its first line; on
    // failure `why` says why, for a console line.
    bool open(std::string_view name, std::string& why);
    void close();
    bool is_open() const { return fd_ >= 0; }
    void rewind();
    const std::string& name() const { return name_; }
    // The number of the line the last successful next_line gave, counted from
    // 1 since the open or rewind; after an `error`, the line being read is the
    // next one.
    long line_number() const { return line_number_; }

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

    int fd_ = -1;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::string carry_;
    int errno_ = 0;
    bool eof_ = false;
    long line_number_ = 0;
};

// Throws RunFailure when an output may not be created at `name`: a symbolic
// link, anything but a regular file, or a file that another run is writing.
// Called for every output before the first is created, so that a refusal
// leaves nothing created; OutputFile::create makes the same refusals again at
// the moment of opening, where no other process can slip in between.
void refuse_unsafe_output(std::string_view name);

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();  // completes the file, unchecked: the failure path

    // Creates the file, replacing a regular file of that name; a file still
    // open on this object is closed first.  The file is locked against other
    // runs until it is closed.  A file of more than one name (a hard link) is
    // not written: the name is unlinked and a new file created, so the other
    // names keep their content.  Throws RunFailure, also for the refusals of
    // refuse_unsafe_output.
    void create(std::string_view name);
    bool is_open() const { return fd_ >= 0; }
    const std::string& name() const { return name_; }

    // Appends one line.  Each line reaches the file whole or not at all: a
    // failed write cuts the file back to its last complete line and throws
    // RunFailure naming the file and the reason.
    void write_line(std::string_view line);

    // Flushes and closes, checked.  Throws RunFailure.
    void close();

private:
    void create_new();  // at a name just unlinked
    [[noreturn]] void fail(int err);

    int fd_ = -1;
    std::string name_;
    std::string line_;
    unsigned long long good_bytes_ = 0;
};

}  // namespace celltrend
