#pragma once
// The figures of `celltrend-analyse alpha`: a, b, c and V against T with
// their fitted curves and the coefficients alpha(T) with their ±σ bands;
// and the tensor at one temperature for the representation surface and its
// sections.

#include <vector>

#include "alpha_report.hpp"
#include "crystal/alpha.hpp"
#include "figures/expansion_tensor.hpp"
#include "figures/temperature_figure.hpp"

namespace celltrend_analyse {

// The temperatures of the curves: evenly spaced over the measured range,
// both ends included.
inline constexpr int alpha_curve_samples = 121;

// Upper panel: a, b, c and V divided by their fitted values at the lowest
// temperature (by the measured one where a fit was refused), the points with
// their ESDs and the fitted curves; lower panel: alpha(T) of X1, X2, X3 and
// V over the measured range with bands ±σ; `marked` dotted across both.
figures::TemperatureFigure alpha_curves(const AlphaReport& report, const std::vector<crystal::SeriesPoint>& points,
                                        const std::vector<double>& marked);

// The tensor as the figures take it, in 10⁻⁶ K⁻¹, with the fitted cell at
// its temperature.  Equal coefficients leave their directions arbitrary but
// the surface nᵀαn well defined: nothing here divides by their difference.
// Coefficients at rounding level over `temperature_range` (K), or all
// within their σ of 0, are drawn as zero.
figures::ExpansionTensor alpha_tensor_figure(const crystal::AlphaTensor& tensor, double temperature_range);

}  // namespace celltrend_analyse
