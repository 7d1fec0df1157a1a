#pragma once
// The rows of a table that an expansion is computed from, checked the same
// way for every subcommand that fits the cells against temperature.

#include <string_view>
#include <vector>

#include "crystal/expansion_result.hpp"
#include "formats/series_table.hpp"

namespace analyse {

// The rows that hold a cell, in the table's order, with their sigmaT and
// ESDs where the layout has them; rows with asterisks or NaN skipped with a
// warning on standard error, sigmaT and ESDs that are 0 on every row taken
// as unknown (with a warning ending in `without_esds`, what that changes).  False after one line "PROGRAM: FILE:LINE:
// why" for a table that cannot be analysed: fewer than two usable rows, a
// row that is no cell, a sigmaT that is not positive.
bool usable_points(std::string_view program, const analysis::Series& series, std::vector<analysis::SeriesPoint>& points,
                   std::string_view without_esds);

}  // namespace analyse
