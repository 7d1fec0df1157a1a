#pragma once
// Principal strains and their axes, and the naming of the axes X1, X2, X3
// through a series: the ascending order of the second row, followed from row
// to row by the best match of the eigenvectors.

#include <array>

#include <Eigen/Dense>

namespace crystal {

struct PrincipalStrains {
    Eigen::Vector3d values = Eigen::Vector3d::Zero();    // ascending as found
    Eigen::Matrix3d axes = Eigen::Matrix3d::Identity();  // orthonormal Cartesian columns
};

// Eigen's self-adjoint solver on the symmetric strain; for equal strains the
// axes are any orthonormal set the solver returns.
PrincipalStrains principal_strains(const Eigen::Matrix3d& strain);

// The column order p (position i takes column p[i]) that maximises
// sum_i |anchor.col(i) . axes.col(p[i])|, the first of 012, 021, 102, 120,
// 201, 210 on a tie.  Compares directions only: never divides by a
// difference of strains.
std::array<int, 3> matching_order(const Eigen::Matrix3d& anchor, const Eigen::Matrix3d& axes);

PrincipalStrains reordered(const PrincipalStrains& p, const std::array<int, 3>& order);

}  // namespace crystal
