#pragma once
// Numbers as the viewer writes them: printf-style text of any length (the
// shared analysis::printed) and exponents as superscripts.

#include <string>

#include "printed.hpp"

namespace xyviewer {

using analysis::printed;

// An exponent as superscript digits: -14 -> "⁻¹⁴".
std::string superscript(int n);

}  // namespace xyviewer
