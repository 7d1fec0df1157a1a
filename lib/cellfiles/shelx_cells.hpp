#pragma once
// The cell of a SHELX instruction file (.ins or .res): CELL (the wavelength
// first), ZERR (Z first) for the ESDs, TEMP in degrees Celsius (20 when
// absent, with a note), TITL for the title.  Instructions are matched on
// their first four letters in any case; '=' at the end of a line continues
// it, REM lines and text after '!' are comments; reading stops at END.

#include <istream>
#include <string>

#include "cellfiles/found_cell.hpp"

namespace cellfiles {

// No cell when the file has no CELL line.  Throws CellFileError for a read
// error or a CELL, ZERR or TEMP line that cannot be read.
FoundCells read_shelx_cells(std::istream& in, const std::string& name);
FoundCells read_shelx_cells(const std::string& path);

}  // namespace cellfiles
