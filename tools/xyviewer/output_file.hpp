#pragma once
// Writing a picture file safely.  A symbolic link or anything but a regular
// file at the output name is refused, never written through; the bytes go
// to a new file beside it, every write and the close are checked, and only
// then does the new file take the name.  A failure (a full disk, a file-size
// limit) leaves whatever had that name untouched.

#include <stdexcept>
#include <string>
#include <string_view>

namespace xyviewer {

struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws OutputError when `path` may not be written: a link, a directory, a
// device, a missing or unwritable directory.  Cheap; called before drawing.
void check_output(const std::string& path);

// Writes `bytes` to `path` as described above; throws OutputError naming the
// file and the reason.
void write_output(const std::string& path, std::string_view bytes);

// True when both names lead to one existing file (links followed).
bool same_file(const std::string& a, const std::string& b);

}  // namespace xyviewer
