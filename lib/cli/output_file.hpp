#pragma once
// Writing a result file safely.  A symbolic link or anything but a regular
// file at the output name is refused, never written through; the bytes go
// to a new file beside it, every write, the sync and the close are checked,
// and only then does the new file take the name, with the permission bits
// (and, where allowed, the group) of the file it replaces.  A failure (a full
// disk, a file-size limit) leaves whatever had that name untouched and no
// temporary file behind.

#include <stdexcept>
#include <string>
#include <string_view>

namespace cli {

// what() is one line, "PATH: why; nothing written".
struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws OutputError when `path` may not be written: a link, a directory or
// another file that is not a regular one, a missing or unwritable directory.
// Cheap: callers use it before long work.
void check_output(const std::string& path);

// Writes `bytes` to `path` as described above; throws OutputError.
void write_output(const std::string& path, std::string_view bytes);

// True when both names lead to one existing file (links followed).
bool same_file(const std::string& a, const std::string& b);

}  // namespace cli
