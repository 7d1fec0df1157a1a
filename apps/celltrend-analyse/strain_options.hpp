#pragma once
// The strain options that expansion and compression share: --strain
// eulerian|lagrangian and --infinitesimal.

#include <optional>
#include <string>

#include "cli/command_line.hpp"
#include "crystal/strain.hpp"

namespace celltrend_analyse {

// The strain measure the command line asks for; nullopt with a one-line
// reason in `why` for a --strain that names none.
std::optional<crystal::StrainMeasure> strain_measure(const cli::CommandLine& cl, std::string& why);

}  // namespace celltrend_analyse
