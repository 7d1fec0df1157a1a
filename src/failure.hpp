#pragma once
// The one way a failure that ends a run travels: thrown where it is met, with
// the console text that explains it, and caught in main, which shows the text
// and returns the status.  Open files are completed by their destructors on the
// way out, so everything written before the failure stays on disk.

#include <stdexcept>
#include <string>

namespace celltrend {

struct RunFailure : std::runtime_error {
    explicit RunFailure(const std::string& console_text, int status = 1)
        : std::runtime_error(console_text), exit_status(status) {}
    int exit_status;
};

}  // namespace celltrend
