#pragma once
// A coefficient of expansion and a principal axis of the expansion tensor,
// as both the straight lines of `expansion` and the fitted alpha(T) of
// `alpha` give them.

#include <limits>

#include <Eigen/Dense>

#include "formats/estimate.hpp"

namespace crystal {

// A coefficient of expansion in 1e-6 K^-1: its value and the sigma of its
// fit (the straight lines: White's HC0, from the scatter about the line;
// alpha(T): carried from every fitted parameter), and apart from it the
// sigma carried from the cell ESDs alone, NaN where none is computed (a
// file without cell ESDs, and alpha(T), whose fits weight by them instead).
struct Coefficient : formats::Estimate {
    double sigma_esd = std::numeric_limits<double>::quiet_NaN();
};

struct PrincipalAxis {
    Coefficient alpha;
    // alpha(T)'s: false when the coefficient equals another within 3 sigma,
    // which leaves its direction to the solver.  The straight lines leave it
    // false and say the same in their notes.
    bool determined = false;
    Eigen::Vector3d direction = Eigen::Vector3d::Zero();  // Cartesian unit vector, the sense of uvw
    Eigen::Vector3d uvw = Eigen::Vector3d::Zero();        // along a, b, c of the cell the axes are given in
    Eigen::Vector3d angles = Eigen::Vector3d::Zero();     // to a, b, c, degrees
};

}  // namespace crystal
