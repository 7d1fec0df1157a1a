#pragma once
// What the expansion of a series is computed from and what it gives: the
// rows, the coefficients with their uncertainties, the principal axes.

#include <array>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <vector>

#include <Eigen/Dense>

#include "crystal/principal_axis.hpp"
#include "formats/cell.hpp"

namespace crystal {

struct SeriesPoint {
    double t = 0;
    double sigma_t = std::numeric_limits<double>::quiet_NaN();  // NaN: not known
    formats::Cell cell;
    formats::CellSu esd;   // NaN: none
    std::size_t line = 0;  // in the input, for messages; 0: not known
    // The refinement's own ESD of V where the input gives one (a CSV's
    // sigma_V_A3); NaN: V's ESD is propagated from the cell's.
    double volume_su = std::numeric_limits<double>::quiet_NaN();
};

struct Expansion {
    bool weighted = false;  // weights 1/sigmaT, else equal
    // The row whose directions are given: the middle one, ceil(N/2) - 1, or
    // the row nearest it whose principal strains are not degenerate.
    std::size_t middle = 0;
    Eigen::Matrix3d middle_cell = Eigen::Matrix3d::Identity();  // its Cartesian matrix
    bool directions_defined = true;          // false when every row's principal strains are degenerate
    std::size_t naming_row = 1;              // the first row whose strain is not zero: X1 < X2 < X3 there
    bool strained = true;                    // false when the strain is zero at every row, naming_row's too
    bool isotropic = false;                  // the three principal strains equal at every row
    std::vector<Eigen::Vector3d> strains;    // principal strains of each row, in the order X1, X2, X3
    std::vector<Eigen::Matrix3d> axes;       // their Cartesian axes as columns, each row
    std::array<PrincipalAxis, 3> principal;  // [u v w] and angles along the middle row's cell
    Coefficient volume;
    double reference_volume = 0;  // the volume of the first row
};

// Thrown for a series that has no expansion: fewer than two rows, or every
// row at one temperature; what() says which.
struct ExpansionError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace crystal
