#pragma once
// A Cartesian direction written as [u v w] along the axes of a cell.

#include <Eigen/Dense>

namespace crystal {

// t scaled to Euclidean length 1 (of the three numbers, not the metric
// length) with the sign that makes its largest component positive (the first
// one on a tie), so that the same direction always prints the same way.
Eigen::Vector3d normalised_direction(const Eigen::Vector3d& t);

// The Cartesian unit vector along the crystal direction [u v w] of the cell
// whose axes are the columns of `a` (zero for [0 0 0]).
Eigen::Vector3d cartesian_direction(const Eigen::Matrix3d& a, const Eigen::Vector3d& uvw);

// [u v w] of the Cartesian direction x in the cell whose axes are the columns
// of `a`: t = a^-1 x, normalised as above.
Eigen::Vector3d crystal_direction(const Eigen::Matrix3d& a, const Eigen::Vector3d& x);

// The same direction along new axes, row i of `m` giving new axis i in the
// old ones (a'_i = sum_j m_ij a_j, celltrend's convention): since t = m' t',
// t' = m'^-1 t, normalised.
Eigen::Vector3d direction_in_new_axes(const Eigen::Matrix3d& m, const Eigen::Vector3d& t);

// Angles in degrees between the Cartesian direction x and each column of a.
Eigen::Vector3d angles_to_axes(const Eigen::Matrix3d& a, const Eigen::Vector3d& x);

}  // namespace crystal
