#pragma once
// Polynomials of a quantity in tau = T - T_r, T_r the mean temperature, by
// weighted linear least squares (linear_least_squares.hpp), and the choice
// of a degree by AICc.

#include <vector>

#include "fit/temperature_model.hpp"

namespace fit {

// `weights` empty: equal weights, else inverse variances, one per row.
// Refused (with why) when there are no more rows than the degree + 1
// parameters, or too few distinct temperatures.
FitOutcome fit_polynomial(const std::vector<double>& t, const std::vector<double>& x,
                          const std::vector<double>& weights, int degree);

// Among degrees 1, 2 and 3, the fit of lowest AICc, only degrees with at
// least p + 2 rows taking part and a tie going to the lower degree; with
// three rows, where none qualifies, the straight line.
FitOutcome fit_best_polynomial(const std::vector<double>& t, const std::vector<double>& x,
                               const std::vector<double>& weights);

}  // namespace fit
