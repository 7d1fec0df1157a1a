#pragma once
// A principal axis of the expansion tensor and its coefficient.

#include <limits>

#include <Eigen/Dense>

namespace crystal {

// A coefficient of expansion in 1e-6 K^-1 with its uncertainties.
struct Coefficient {
    double alpha = 0;
    double sigma = 0;                                             // HC0, from the scatter about the line
    double sigma_esd = std::numeric_limits<double>::quiet_NaN();  // from the cell ESDs; NaN without them
};

struct PrincipalAxis {
    Coefficient coefficient;
    Eigen::Vector3d uvw = Eigen::Vector3d::Zero();        // along a, b, c of the middle row's cell
    Eigen::Vector3d direction = Eigen::Vector3d::Zero();  // Cartesian unit vector, the sense of uvw
};

}  // namespace crystal
