#pragma once
// What eos and compression share before their own work: the pressure
// series read, sorted by pressure and checked, and the pressures of --at.

#include <optional>
#include <string>
#include <vector>

#include "formats/pressure_rows.hpp"
#include "subcommand.hpp"

namespace celltrend_analyse {

// The rows of the pressure series in `file`, sorted by P unless
// `keep_file_order` (with the notes order_rows gives).  Throws InputError
// for a file that cannot be read or a row refused.  Warnings for rows left
// out go to standard error.
formats::PressureRows read_pressure_rows(const Subcommand& sub, const std::string& file, bool keep_file_order);

// The pressures of --at "P[,P...]" in GPa, or "rows" (then `every_row` is
// set and the list is empty); "" or why the text is wrong.
std::string read_pressures(const std::string& text, std::vector<double>& pressures, bool& every_row);

// The series named in messages: "FILE".
std::string series_name(const std::string& file);

}  // namespace celltrend_analyse
