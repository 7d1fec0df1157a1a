#include <iostream>

#include "commands.hpp"

namespace analyse {

// Placeholder until the subcommand is written.
int run_expansion(const Arguments&) {
    std::cerr << "celltrend-analyse expansion: not built yet\n";
    return 2;
}

}  // namespace analyse
