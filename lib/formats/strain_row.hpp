#pragma once
// One row of the strain calculators' layout, "T sigmaT a b c alpha beta
// gamma", also as crystallographers write cells: every value may carry its
// standard uncertainty in parentheses ("100(1) 7.50122(18) 10.19875(22) ..."),
// and where T carries one the sigmaT column is left out (seven words).

#include <cstddef>
#include <string_view>

#include "formats/series_table.hpp"

namespace formats {

// What a row gave beyond its values.
struct StrainRowGives {
    std::size_t words = 0;  // 8 with a sigmaT column, 7 without
    bool sigma_t = false;   // a sigmaT column or T(n)
    bool cell_esd = false;  // a cell value with (n)
};

// Reads the blank-separated words of `line` (its comment already cut off)
// into row.t, row.sigma_t, row.cell and row.esd; a value written without
// parentheses has an ESD of 0, and sigmaT is 0 when neither column nor
// parentheses give it.  Asterisks, NaN or Inf read as NaN and make the row
// incomplete.  False for anything else: other than `words` words (7 or 8
// when `words` is 0; a file keeps the form of its first row, so that a value
// left out is not read as a row without sigmaT), text, T with parentheses
// and a sigmaT column as well.
bool read_strain_row(std::string_view line, std::size_t words, SeriesRow& row, StrainRowGives& gives);

}  // namespace formats
