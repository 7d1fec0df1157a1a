#pragma once
// A unit cell: lengths in Angstrom, angles in degrees, everything in double.

namespace analysis {

struct Cell {
    double a = 0;
    double b = 0;
    double c = 0;
    double alpha = 90;
    double beta = 90;
    double gamma = 90;
};

// abc sqrt(1 - cos²alpha - cos²beta - cos²gamma + 2 cos alpha cos beta cos gamma);
// NaN when the three angles cannot close a cell.
double volume(const Cell& cell);

// A unit cell: positive lengths and angles that close a cell with a positive
// volume.  False for NaN anywhere.
bool is_cell(const Cell& cell);

// The ESD of that volume, carried to first order from the six ESDs of `esd`
// taken as independent (angles in degrees); NaN where the volume is.
double volume_esd(const Cell& cell, const Cell& esd);

}  // namespace analysis
