#pragma once
// A unit cell and the matrices built from it.  Lengths in Angstrom, angles
// in degrees, everything in double.

#include <Eigen/Dense>

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

// G with G(i,j) the scalar product of axes i and j (a, b, c).
Eigen::Matrix3d metric_tensor(const Cell& cell);

// The cell whose metric tensor is g; g must be symmetric positive definite.
Cell cell_from_metric(const Eigen::Matrix3d& g);

// The Cartesian components of a, b and c as the columns, in the frame with c
// along Z, a* along X and Y = Z x X (lower triangular).
Eigen::Matrix3d cartesian_matrix(const Cell& cell);

}  // namespace analysis
