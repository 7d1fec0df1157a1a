#include <iostream>

#include "commands.hpp"

namespace analyse {

// Placeholder until the subcommand is written.
int run_transform(const Arguments&) {
    std::cerr << "celltrend-analyse transform: not built yet\n";
    return 2;
}

}  // namespace analyse
