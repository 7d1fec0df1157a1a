#pragma once
// The uncertainty of the coefficients of expansion carried from the cell
// ESDs to first order, with the axes held as named.  The parameters are
// independent but for the ties: a tied group is one parameter moving all its
// members (with the ESD of its first), a fixed one carries nothing.
//
// A slope is linear in the strains, b = sum_k c_k lambda_k, and a parameter
// of row n >= 1 moves only lambda_n, by x' (d e_n) x along that row's axis x;
// a parameter of the first row moves every strain.  So each row costs six
// pairs of strain evaluations and the first row six pairs per row: O(N).
// The derivatives are central differences with a step of 1e-3 ESD.

#include <array>
#include <vector>

#include "crystal/expansion_result.hpp"
#include "crystal/strain.hpp"
#include "fit/hc0_fit.hpp"
#include "formats/cell_ties.hpp"

namespace crystal {

// Standard uncertainties of the three strain slopes (per K) and of
// alpha_V = volume slope / first volume (per K), in that order.
std::array<double, 4> propagate_cell_esds(const std::vector<SeriesPoint>& points, StrainMeasure measure,
                                          const Expansion& expansion, const fit::LineDesign& design,
                                          const formats::CellTies& ties = {});

}  // namespace crystal
