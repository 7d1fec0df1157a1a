#include <iostream>

#include "commands.hpp"

namespace analyse {

// Placeholder until the subcommand is written.
int run_export(const Arguments&) {
    std::cerr << "celltrend-analyse export: not built yet\n";
    return 2;
}

}  // namespace analyse
