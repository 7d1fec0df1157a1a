#pragma once
// A temperature series written for the programs that take it further:
// principal-axis strain calculators, EosFit7, spreadsheets and data-frame
// libraries.  Numbers are written in the shortest form that reads back as
// the same double, so an export carries exactly what the table held.

#include <string>
#include <vector>

#include "formats/series_table.hpp"

namespace formats {

struct ExportText {
    std::string text;
    std::vector<std::string> warnings;  // one line each, "FILE:LINE: why"
    std::size_t rows = 0;               // data rows that hold T and a cell
};

// Rows "T sigmaT a b c alpha beta gamma" under a '#' header naming the
// source.  sigmaT is `sigma_t` for every row, or the file's own where it has
// one and `sigma_t` is NaN.  A row with an unreadable value among these is
// left out, with a warning.
ExportText export_strain_rows(const Series& series, double sigma_t);

// The keyword data file of EosFit7: '#' comments, "Title", "TScale K",
// "System NAME" when `system` is not empty, then "Format T A SIGA ... V SIGV"
// naming the columns the series carries, and one data line per temperature
// right after it.  A volume of asterisks or NaN is computed from the cell
// (its ESD from the cell ESDs), with a warning; a row with another
// unreadable value in a column is left out, with a warning.
ExportText export_eosfit(const Series& series, const std::string& system);

// RFC 4180: a header row of column names with their units (T_K, a_A,
// sigma_a_A, ...), one row per temperature, CR LF line ends; an unreadable
// value is an empty field, with a warning.
ExportText export_csv(const Series& series);

}  // namespace formats
