#pragma once
// printf-style formatting of one number into a string of whatever length it
// needs: "%.5f" of -1e308 is 316 characters, and a fixed buffer would cut it.

#include <string>

namespace xyviewer {

std::string formatted(const char* format, double value);
std::string formatted(const char* format, int precision, double value);

// An exponent as superscript digits: -14 -> "⁻¹⁴".
std::string superscript(int n);

}  // namespace xyviewer
