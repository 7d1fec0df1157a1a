#pragma once
// The figures of `celltrend-analyse expansion`: its straight lines through
// the principal strains and the volume with the constant coefficients and
// their ±σ bands, and the tensor of its coefficients for the representation
// surface and its sections.

#include <vector>

#include "crystal/expansion.hpp"
#include "expansion_report.hpp"
#include "figures/expansion_tensor.hpp"
#include "figures/temperature_figure.hpp"

namespace celltrend_analyse {

// The tensor sum_i alpha_i d_i d_iᵀ of the principal coefficients and their
// Cartesian directions at the middle row, with that row's cell; drawn as
// zero when the coefficients are rounding over `temperature_range` (K) or
// all within their σ of 0.
figures::ExpansionTensor expansion_tensor(const crystal::Expansion& expansion, double temperature_range);

// Upper panel: each principal strain and V/V0 - 1 in % against T, with the
// weighted straight line that gives its coefficient; lower panel: the
// coefficients, constant over the range, with their bands ±sigma.
figures::TemperatureFigure expansion_lines(const ExpansionReport& report,
                                           const std::vector<crystal::SeriesPoint>& points);

}  // namespace celltrend_analyse
