#pragma once
// The data file of the equation-of-state programs: keyword lines (Title,
// System, ...) first, then a line whose first word is "Format" (any case)
// naming the columns, then the data.  An integer right after "Format" is the
// number of lines one datum runs over (default 1).  Columns, any case: P,
// SIGP, V, SIGV, A, SIGA, B, SIGB, C, SIGC, ALPHA, SIGAL, BETA, SIGBE,
// GAMMA, SIGGA, T, SIGT; the ESDs also spelt SIGMAP, SIGMAV, SIGMAA, ...;
// a name beginning PRESS, VOL or TEM for P, V, T.  Other columns are read
// and passed over.  Commas and tabs separate like blanks, '#' starts a
// comment, and a value whose ESD column is not named may carry its ESD in
// parentheses.

#include <string>
#include <string_view>

#include "formats/series_table.hpp"

namespace formats {

// True when a line whose first word is "Format" comes before any line that
// starts with a number.
bool is_eos_data_file(std::string_view text);

// The file as a pressure series (layout eos_data): SeriesRow::t holds P,
// sigma_t SIGP (NaN without the column), volume and volume_esd V and SIGV
// (NaN without them), the cell its edges (NaN without them) and angles (90
// where not given, ESD 0 then).  Throws SeriesError naming the line for a
// datum with another number of values than the Format line names, text that
// is no number, or a file without a P column.
Series read_eos_data(std::string_view text, const std::string& name);

}  // namespace formats
