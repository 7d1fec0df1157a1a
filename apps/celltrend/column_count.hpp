#pragma once
// How many columns a line of the buffer file has: the test that tells a
// temperature line (2 columns) from one with a matrix (11).

#include <cstddef>
#include <string_view>

namespace celltrend {

// The number of blank-separated columns of a line; a report name in double
// quotes at the head of the line is one column even with blanks inside.
// Only the first column_count_limit characters are considered.
inline constexpr std::size_t column_count_limit = 256000;
int column_count(std::string_view line);

}  // namespace celltrend
