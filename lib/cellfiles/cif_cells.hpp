#pragma once
// The cells of a CIF, one per data block that has one, read by gemmi: CIF
// 1.1 names (_cell_length_a) or dotted ones (_cell.length_a, with _su or
// _esd items where the value carries no parentheses).  The temperature is
// _cell_measurement_temperature, else _diffrn_ambient_temperature; when
// both are given and differ, a note names both and the cell's is used.  A
// block whose cell is incomplete ("?") or has no temperature is left out
// with a note; a block without a cell (a publication block) silently.

#include <string>
#include <string_view>

#include "cellfiles/found_cell.hpp"

namespace cellfiles {

// Throws CellFileError for a file that cannot be read or is no CIF.
FoundCells read_cif_cells(const std::string& path);
FoundCells read_cif_text(std::string_view text, const std::string& name);

}  // namespace cellfiles
