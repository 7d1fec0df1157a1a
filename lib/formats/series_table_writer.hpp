#pragma once
// celltrend's all-parameters table written from doubles, so that what the
// analysis derives (a series in new axes, say) goes wherever celltrend's own
// tables go: the reader of series_table.hpp, xyviewer, a plotting script.

#include <string>
#include <string_view>
#include <vector>

#include "formats/series_table.hpp"

namespace formats {

// Fw.d as in celltrend's tables: right-justified, `decimals` places rounded
// from the binary value, no "-" on a value that prints as zero, the 0 before
// the point dropped only when it does not fit, `width` asterisks when too
// wide; NaN and Inf from the left of the field, "-" before them when the sign
// bit is set.
std::string fixed_field(double value, int width, int decimals);

// The five '!' lines that open the table: "! " and the title, "! " and
// `description`, "!", the column titles (TK, then value and ESD of a, b, c,
// alpha, beta, gamma, volume, mosaicity), and a rule of 200 dashes.
std::vector<std::string> table_header(std::string_view title, std::string_view description);

// One data line, (F6.2, 14F12.5, 2F12.3): TK, value and ESD of a, b, c,
// alpha, beta, gamma and volume, then mosaicity and its ESD.
std::string table_line(const SeriesRow& row);

}  // namespace formats
