#pragma once
// Reading text files line by line with a bound, so that a file without line
// ends (a device behind a pipe, a program that never writes one) cannot make
// a reader grow without end.

#include <cstddef>
#include <istream>
#include <string>

namespace formats {

// One line of at most `limit` characters, without its newline.  On a longer
// line reading stops there and `too_long` says so: such a line is an error.
// False at the end of input, and on a read error with the stream's badbit
// set.
bool read_bounded_line(std::istream& in, std::string& line, std::size_t limit, bool& too_long);

}  // namespace formats
