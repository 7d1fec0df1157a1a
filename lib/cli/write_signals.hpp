#pragma once
// Writes that fail are errors to report, not signals that kill.

namespace cli {

// Ignores SIGPIPE and SIGXFSZ, so that a write to a pipe whose reader has
// gone fails with EPIPE and one past a file-size limit (ulimit -f) with
// EFBIG: each then takes the program's checked path of a full disk (a
// message, temporary files removed, status 1) instead of ending it mid-write.
void ignore_write_signals();

}  // namespace cli
