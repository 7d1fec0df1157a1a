#pragma once
// Finding a quantity's value and ESD in an HTML report.  A report row is
// expected on one line: the row label (ending with the opening of the data
// cell), the value, "+/-", the ESD and "</TD></TR>".  Only the first 256
// characters of a line are looked at, and a label counts on the first line
// that holds it.

#include <array>
#include <string>
#include <string_view>

#include "console.hpp"
#include "quantities.hpp"
#include "text_files.hpp"

namespace celltrend {

// For each quantity asked for, the first line of the report (its first 256
// characters) that holds the quantity's row label.
struct ScannedReport {
    std::string name;  // the report's file name, for notices
    std::array<bool, quantity_count> found{};
    std::array<std::string, quantity_count> line;
    std::array<long, quantity_count> line_number{};
    bool decimal_comma_told = false;  // the notice of a decimal comma is given once per report
};

// Reads the report once from its first line, stopping as soon as every
// wanted label has been met.  The result is what a search from the first line
// gives for each label.  A read error ends the run (RunFailure).
ScannedReport scan_report(InputFile& report, const std::array<bool, quantity_count>& wanted);

// Sets value and ESD of quantity q from the scanned report, leaving each
// untouched where it cannot be read, with one console line per problem.
// A number written with a decimal comma ("7,50122", from a machine set to
// such a locale) is read with the comma as the decimal point, with one
// notice per report; a text holding more than one number, or text after
// it, is read as before (its first number) and named in a notice.
void find_in_report(Console& console, ScannedReport& report, float tk, std::size_t q, float& value, float& esd);

}  // namespace celltrend
