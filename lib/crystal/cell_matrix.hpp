#pragma once
// The matrices built from a unit cell.

#include <Eigen/Dense>

#include "formats/cell.hpp"

namespace crystal {

// G with G(i,j) the scalar product of axes i and j (a, b, c).
Eigen::Matrix3d metric_tensor(const formats::Cell& cell);

// The cell whose metric tensor is g; g must be symmetric positive definite.
formats::Cell cell_from_metric(const Eigen::Matrix3d& g);

// The Cartesian components of a, b and c as the columns, in the frame with c
// along Z, a* along X and Y = Z x X (lower triangular).
Eigen::Matrix3d cartesian_matrix(const formats::Cell& cell);

}  // namespace crystal
