#pragma once
// One column of a table of cells (series_table.hpp) as the plot file that
// celltrend would have written for it: the same legends, pattern title and
// points, with the column's ESD as SIGY where the table carries one.  So a
// table draws exactly as the plot files of the same run do.

#include <string>
#include <string_view>
#include <vector>

#include "formats/plot_file_reader.hpp"
#include "formats/series_table.hpp"

namespace analysis {

// The names a column is asked for by, in the tables' order: a, b, c, alpha,
// beta, gamma, volume, mosaicity.
const std::vector<std::string_view>& table_column_names();

// The column `name` (one of the names above, or V for the volume; any case)
// of `series`.  Rows whose value cannot be read are left out with a warning
// in the result; an ESD that cannot be read leaves that point without SIGY.
// A table of rows "T sigmaT a b c ..." gets the volume of each cell.  Throws
// ReadError naming the file for an unknown column, or one with no value.
PlotFile table_column(const Series& series, std::string_view name);

}  // namespace analysis
