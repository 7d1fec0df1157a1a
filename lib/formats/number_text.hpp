#pragma once
// Numbers as the viewer writes them: printf-style text of any length (the
// shared formats::printed) and exponents as superscripts.

#include <string>

#include "formats/printed.hpp"

namespace formats {

using formats::printed;

// An exponent as superscript digits: -14 -> "⁻¹⁴".
std::string superscript(int n);

}  // namespace formats
