#pragma once
// The strain options that expansion and compression share: --strain
// eulerian|lagrangian and --infinitesimal.

#include <string_view>

#include "cli/command_line.hpp"
#include "crystal/strain.hpp"

namespace celltrend_analyse {

// The words --strain takes, for its OptionSpec: the option reader refuses
// any other.
inline constexpr std::string_view strain_words[] = {"eulerian", "lagrangian"};

// The strain measure the command line asks for (its --strain already one of
// strain_words).
crystal::StrainMeasure strain_measure(const cli::CommandLine& cl);

}  // namespace celltrend_analyse
