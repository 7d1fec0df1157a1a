#pragma once
// The whole text of a refinement program's file, read with a bound: only a
// regular file (or a link to one) is opened, so that a device such as
// /dev/zero cannot fill the memory and a FIFO cannot hold the run for ever.

#include <cstddef>
#include <string>

namespace cellfiles {

// More than any CIF or SHELX file of one structure holds.
constexpr std::size_t cell_file_limit = std::size_t(256) << 20;

// Throws CellFileError ("FILE: why") for a file that is missing, no regular
// file, larger than `limit` bytes, or fails to read.
std::string read_cell_file(const std::string& path, std::size_t limit = cell_file_limit);

}  // namespace cellfiles
