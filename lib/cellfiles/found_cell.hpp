#pragma once
// A cell found in a refinement program's file, with the temperature it was
// measured at.

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/cell.hpp"
#include "formats/cell_ties.hpp"

namespace cellfiles {

struct FoundCell {
    std::string source;  // for messages: "FILE" or "FILE data_BLOCK"
    std::string title;   // SHELX's TITL; "" where the file gives none
    double t = 0;        // K
    double sigma_t = 0;  // 0 when the file gives none
    formats::Cell cell;
    formats::CellSu esd = formats::CellSu::zero();  // 0 where the file gives none
    formats::CellTies ties;                         // as this one file shows them (block_ties.hpp)
    std::string name;                               // the compound's name or formula; "" where none
    // The refinement's own volume and its s.u., where the file gives them;
    // NaN where not.
    double volume = std::numeric_limits<double>::quiet_NaN();
    double volume_su = std::numeric_limits<double>::quiet_NaN();
    // GPa; NaN where the file gives none.
    double pressure = std::numeric_limits<double>::quiet_NaN();
    double pressure_su = std::numeric_limits<double>::quiet_NaN();
};

struct FoundCells {
    std::vector<FoundCell> cells;    // in file order
    std::vector<std::string> notes;  // one line each, "FILE...: what"
};

// A file that cannot be read or parsed; what() is one line "FILE: why".
struct CellFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace cellfiles
