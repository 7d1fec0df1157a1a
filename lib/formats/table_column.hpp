#pragma once
// One column of a table of cells (series_table.hpp) as the plot file that
// celltrend would have written for it: the same legends, pattern title and
// points, with the column's ESD as SIGY where the table carries one.  So a
// table draws exactly as the plot files of the same run do.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "formats/plot_file_reader.hpp"
#include "formats/series_table.hpp"

namespace formats {

// The index of the column asked for by `name`, in the tables' order: a, b,
// c, alpha, beta, gamma, volume (or V), mosaicity, in any case; none for
// any other name.
std::optional<std::size_t> table_column_index(std::string_view name);

// The column `name` (one of the names above)
// of `series`.  Rows whose value cannot be read are left out with a warning
// in the result; an ESD that cannot be read leaves that point without SIGY.
// A table of rows "T sigmaT a b c ..." gets the volume of each cell.  Throws
// ReadError naming the file for an unknown column, or one with no value.
PlotFile table_column(const Series& series, std::string_view name);

}  // namespace formats
