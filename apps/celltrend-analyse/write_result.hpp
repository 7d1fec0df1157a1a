#pragma once
// The one way a subcommand hands over its result: to standard output, or to
// a file that is complete or not there at all.

#include <string>
#include <string_view>

namespace celltrend_analyse {

// Writes `text` to standard output when `path` is empty or "-", else to the
// file `path`: through a temporary file in the same directory, synced and
// renamed over it, so that a failed write (a full disk) leaves the old file
// or none.  Refuses a symbolic link, a directory or any other file that is
// not a regular one at `path`, and the input file itself (`input`: "" for
// none, "-" for standard input and the file it was redirected from).
// Throws InputError (one line, "FILE: why") when it cannot.
void write_result(std::string_view text, const std::string& path, const std::string& input);

}  // namespace celltrend_analyse
