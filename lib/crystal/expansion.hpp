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

#include <vector>

#include "crystal/expansion_result.hpp"
#include "crystal/strain.hpp"
#include "formats/cell_ties.hpp"

namespace crystal {

// The cells must be valid and every sigmaT either positive or NaN (then
// equal weights for all).  The ties change only sigma_esd.
Expansion analyse_expansion(const std::vector<SeriesPoint>& points, StrainMeasure measure,
                            const formats::CellTies& ties = {});

}  // namespace crystal
