#pragma once
// celltrend-analyse's own CSV (export --format csv, collect) read back,
// recognised by its header row: the columns are found by name, in any order,
// so that a table edited in a spreadsheet or written by pandas still reads.
// T_K, a_A, b_A, c_A, alpha_deg, beta_deg and gamma_deg are needed;
// sigma_T_K, the six sigma_*_A and sigma_*_deg of the cell (all six or
// none), V_A3, sigma_V_A3, mosaicity_deg and sigma_mosaicity_deg, P_GPa and
// sigma_P_GPa (empty where a row gives no pressure) are read where present; other columns (a data frame's index) are
// passed over.

#include <istream>
#include <string>
#include <string_view>

#include "formats/series_table.hpp"

namespace formats {

// True when `line` is such a header row.  In a pressure series P_GPa and
// sigma_P_GPa take the place of T_K and sigma_T_K (a T_K column is then
// passed over).
bool is_series_csv_header(std::string_view line, SeriesVariable variable = SeriesVariable::temperature);

// The rows after the header `header` (line `header_line` of the stream) up
// to the end of `in`, into `series` (its name and variable already set).  An empty field
// is NaN and makes its row incomplete.  Throws SeriesError naming the line
// for a row of another number of fields or text that is no number.
void read_series_csv(std::istream& in, std::string_view header, int header_line, Series& series);

}  // namespace formats
