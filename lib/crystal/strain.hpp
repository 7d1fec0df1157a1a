#pragma once
// The strain of a cell relative to a reference cell, both as Cartesian
// matrices in the frame of cartesian_matrix (c along Z, a* along X).  With
// F = A A0^-1 the deformation gradient:
//
//   Eulerian:   u = I - F^-1        Lagrangian: u = F - I
//   finite:     e = (u + u' + u u') / 2
//   infinitesimal: e = (u + u') / 2
//
// The Eulerian finite form is the one the established strain programs use
// (not the textbook Almansi strain, which has -u'u); it is kept so that our
// numbers match theirs.  For thermal strains of 1e-3 the four agree to first
// order.

#include <string>

#include <Eigen/Dense>

#include "crystal/cell_matrix.hpp"

namespace crystal {

enum class StrainKind { eulerian, lagrangian };

struct StrainMeasure {
    StrainKind kind = StrainKind::eulerian;
    bool finite = true;
};

// The reference cell's matrix and its inverse, computed once for a series.
struct StrainReference {
    Eigen::Matrix3d a0;
    Eigen::Matrix3d a0_inverse;
};

// "Eulerian finite", "Lagrangian infinitesimal", ...
std::string strain_name(StrainMeasure measure);

StrainReference strain_reference(const formats::Cell& reference);

// The symmetric strain tensor of the cell with Cartesian matrix `a`.
Eigen::Matrix3d strain(const StrainReference& reference, const Eigen::Matrix3d& a, StrainMeasure measure);

}  // namespace crystal
