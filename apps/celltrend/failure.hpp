#pragma once
// The one way a failure that ends a run travels: thrown where it is met, with
// the console text that explains it, and caught in main, which shows the text
// and returns the status.  Open files are completed by their destructors on the
// way out, so everything written before the failure stays on disk.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace celltrend {

struct RunFailure : std::runtime_error {
    // `notice`, when not empty, is the one line for standard error that says
    // what the console text cannot (see notice_line).
    explicit RunFailure(const std::string& console_text, int status = 1, std::string notice = {})
        : std::runtime_error(console_text), exit_status(status), notice(std::move(notice)) {}
    int exit_status;
    std::string notice;
};

// The console texts are kept as users and their scripts know them; what a user
// should learn beyond them goes to standard error as one line of this form:
// "celltrend: FILE, line N: WHAT", the line left out when it is 0.
inline std::string notice_line(std::string_view file, long line, std::string_view what) {
    std::string s = "celltrend: ";
    s.append(file);
    if (line > 0) s += ", line " + std::to_string(line);
    s += ": ";
    s.append(what);
    return s;
}

}  // namespace celltrend
