#pragma once
// Principal axes and coefficients of thermal expansion of a series of cells,
// as the principal-axis strain calculators compute them:
//   - the strain of every row relative to the first (strain.hpp);
//   - its principal strains, X1 < X2 < X3 as found at the second row and
//     followed through the series (principal_axes.hpp);
//   - a straight line of each principal strain against T, weights 1/sigmaT
//     (equal when sigmaT is unknown), uncertainty White's HC0 (hc0_fit.hpp):
//     alpha_i is its slope;
//   - the same fit of the volume, whose slope over the first volume is
//     alpha_V;
//   - the directions [u v w] of the axes at the middle row.
// Beyond those programs: when every row has its cell ESDs, each coefficient
// gets a second uncertainty carried from them (expansion_esd.hpp).

#include <array>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <vector>

#include <Eigen/Dense>

#include "crystal/cell_matrix.hpp"
#include "crystal/strain.hpp"

namespace analysis {

struct SeriesPoint {
    double t = 0;
    double sigma_t = std::numeric_limits<double>::quiet_NaN();  // NaN: not known
    Cell cell;
    Cell esd{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN(),
             std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN(),
             std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};  // NaN: none
};

// A coefficient of expansion in 1e-6 K^-1 with its uncertainties.
struct Coefficient {
    double alpha = 0;
    double sigma = 0;                                               // HC0, from the scatter about the line
    double sigma_esd = std::numeric_limits<double>::quiet_NaN();    // from the cell ESDs; NaN without them
};

struct PrincipalAxis {
    Coefficient coefficient;
    Eigen::Vector3d uvw = Eigen::Vector3d::Zero();        // along a, b, c of the middle row's cell
    Eigen::Vector3d direction = Eigen::Vector3d::Zero();  // Cartesian unit vector, the sense of uvw
};

struct Expansion {
    bool weighted = false;                  // weights 1/sigmaT, else equal
    std::size_t middle = 0;                 // the row whose directions are given: ceil(N/2) - 1
    Eigen::Matrix3d middle_cell = Eigen::Matrix3d::Identity();  // its Cartesian matrix
    std::vector<Eigen::Vector3d> strains;   // principal strains of each row, in the order X1, X2, X3
    std::vector<Eigen::Matrix3d> axes;      // their Cartesian axes as columns, each row
    std::array<PrincipalAxis, 3> principal;
    Coefficient volume;
    double reference_volume = 0;            // the volume of the first row
};

// Thrown for a series that has no expansion: fewer than two rows, or every
// row at one temperature; what() says which.
struct ExpansionError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The cells must be valid and every sigmaT either positive or NaN (then
// equal weights for all).
Expansion analyse_expansion(const std::vector<SeriesPoint>& points, StrainMeasure measure);

}  // namespace analysis
