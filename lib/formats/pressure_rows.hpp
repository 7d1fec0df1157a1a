#pragma once
// The rows of a pressure series (series_table.hpp with SeriesVariable
// pressure, or an equation-of-state program's data file) checked for what
// every pressure analysis needs: a pressure that is a finite number of at
// least -1 GPa, no negative ESD, and a volume from the input or the cell.

#include <string>
#include <vector>

#include "formats/cell.hpp"
#include "formats/cell_ties.hpp"
#include "formats/series_table.hpp"

namespace formats {

struct PressureRow {
    int line = 0;
    double p = 0;                     // GPa
    double sigma_p = 0;               // 0 where not known
    bool has_cell = false;            // the six cell parameters are a unit cell
    Cell cell;                        // with has_cell
    CellSu esd = CellSu::zero();      // 0 where not known
    double volume = 0;                // A^3: the input's, else the cell's
    double sigma_volume = 0;          // the input's, else from the cell ESDs, else 0
    bool volume_given = false;        // by the input, not from the cell
    bool sigma_volume_given = false;  // by the input, so that no tie changes it
};

struct PressureRows {
    std::vector<PressureRow> rows;      // in the series' order
    bool sigma_p_known = true;          // every row has sigmaP > 0
    bool every_cell = true;             // every row has a cell
    std::vector<std::string> warnings;  // "FILE:LINE: warning: ...", one line each
};

// Thrown with one line "FILE:LINE: why".
using PressureError = SeriesError;

// The lowest pressure a series may give: a diamond-anvil cell can hold a
// small tension, no more.
constexpr double lowest_pressure = -1.0;

// The checked rows.  A row whose volume can be had neither from the input
// nor from its cell is left out with a warning.
PressureRows pressure_rows(const Series& series);

// sigma V of a row without a given volume ESD: from the cell ESDs to first
// order with the ties of the series' symmetry (0 without them).
double cell_volume_esd(const Cell& cell, const CellSu& esd, const CellTies& ties = {});

}  // namespace formats
