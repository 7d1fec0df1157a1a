#pragma once
// Numbers as the viewer writes them: printf-style text of any length (the
// shared analysis::printed) and exponents as superscripts.

#include <string>

#include "formats/printed.hpp"

namespace analysis {

using analysis::printed;

// An exponent as superscript digits: -14 -> "⁻¹⁴".
std::string superscript(int n);

}  // namespace analysis
