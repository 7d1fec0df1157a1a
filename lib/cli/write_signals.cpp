#include "cli/write_signals.hpp"

#include <csignal>

namespace cli {

void ignore_write_signals() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace cli
