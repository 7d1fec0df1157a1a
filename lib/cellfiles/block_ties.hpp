#pragma once
// The ties a refinement put between the parameters of one cell, as one file
// shows them: lengths printed with the same value and the same ESD are one
// refined parameter; an angle of exactly 90 or 120 degrees printed without
// an ESD (0) is held by symmetry.  A series can show more (a tie holds in
// every row); this is what a single block or instruction file gives.

#include "formats/cell.hpp"
#include "formats/cell_ties.hpp"

namespace cellfiles {

formats::CellTies ties_in_one_cell(const formats::Cell& cell, const formats::CellSu& su);

}  // namespace cellfiles
