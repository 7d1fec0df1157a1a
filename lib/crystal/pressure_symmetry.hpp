#pragma once
// The symmetry of a pressure series, as for a temperature series
// (symmetry_ties.hpp): tied cell parameters made one value in every row,
// and sigma V carried from the cell ESDs over the independent parameters
// only (a cubic cell gives 3a^2 sigma_a), unless the input gave sigma V.

#include "crystal/symmetry_ties.hpp"
#include "formats/pressure_rows.hpp"

namespace crystal {

// For rows that each have a cell (rows.every_cell); throws ExpansionError
// naming the line of a row that contradicts a named system.
SeriesSymmetry apply_symmetry(formats::PressureRows& rows, CrystalSystem system);

}  // namespace crystal
