#pragma once
// A cell re-expressed in new axes, with the standard uncertainties of its
// parameters carried along.  Row i of the matrix gives new axis i as a
// combination of the old a, b, c (new a = m(0,0) a + m(0,1) b + m(0,2) c),
// as in celltrend's buffer files.

#include <Eigen/Dense>

#include "crystal/cell_matrix.hpp"

namespace crystal {

struct TransformedCell {
    formats::Cell cell;
    formats::CellSu esd;
    double volume = 0;
    double volume_esd = 0;
};

// The cell whose metric tensor is M G Mᵀ, its volume, and the ESDs of these
// seven propagated to first order from `esd`, the ESDs of the six old
// parameters taken as independent (angle ESDs in degrees, like the angles).
// The matrix need not be integral; a singular one gives a degenerate cell
// whose angles, volume and ESDs may be NaN or infinite.
TransformedCell transform_cell(const Eigen::Matrix3d& m, const formats::Cell& cell, const formats::CellSu& esd);

}  // namespace crystal
