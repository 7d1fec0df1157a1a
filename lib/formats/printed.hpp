#pragma once
// printf-style formatting into a string of whatever length the result needs:
// "%.5f" of -1e308 is over 300 characters, and a fixed buffer would cut it.

#include <string>

namespace formats {

std::string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace formats
