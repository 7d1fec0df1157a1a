#pragma once
// The rows of a table that an expansion is computed from, checked the same
// way for every subcommand that fits the cells against temperature.

#include <limits>
#include <string_view>
#include <vector>

#include "crystal/expansion_result.hpp"
#include "formats/series_table.hpp"

#include "input_error.hpp"

namespace celltrend_analyse {

// How a subcommand takes the sigmaT column.  A sigmaT of 0 is one the
// source did not give (collect writes 0 for a file without one).
struct SigmaTUse {
    bool read = true;  // false: the column is not looked at (every sigmaT NaN)
    // The sigmaT of the rows that give none, from --sigma-t; NaN: when some
    // rows give none, every row is weighted equally, with a warning.
    double fill = std::numeric_limits<double>::quiet_NaN();
};

// The rows that hold a cell, in the table's order, with their sigmaT and
// ESDs where the layout has them; rows with asterisks or NaN skipped with a
// warning on standard error, ESDs that are 0 on every row taken as unknown
// (with a warning ending in `without_esds`, what that changes).  Throws
// InputError "FILE:LINE: why" for a table that cannot be analysed: fewer than
// two usable rows, a row that is no cell, a negative sigmaT.
void usable_points(std::string_view program, const formats::Series& series, std::vector<crystal::SeriesPoint>& points,
                   std::string_view without_esds, const SigmaTUse& sigma_t = {});

}  // namespace celltrend_analyse
