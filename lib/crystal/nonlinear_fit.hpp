#pragma once
// The two models of a length against temperature that are not linear in
// their parameters (temperature_model.hpp), fitted by Eigen's
// Levenberg-Marquardt from a start that linear least squares gives.

#include <vector>

#include "fit/temperature_model.hpp"

namespace crystal {

// `weights` empty: equal weights, else inverse variances, one per row.

// Fei: started from the linear fit of ln x, then polished on x itself.
// Needs every T and x positive and more than four rows.
fit::FitOutcome fit_fei(const std::vector<double>& t, const std::vector<double>& x, const std::vector<double>& weights);

// Einstein: linear in x0 and A for a fixed theta, so theta is profiled on a
// grid from 0.1 T_min to 10 T_max and refined, then all three polished.  A
// best theta at the edge of the grid, or not positive, means the data do not
// determine it: refused, with a polynomial suggested.
fit::FitOutcome fit_einstein(const std::vector<double>& t, const std::vector<double>& x,
                             const std::vector<double>& weights);

// The same model as `start` (fei or einstein) fitted to other rows by
// Levenberg-Marquardt from start's parameters, without the linear start or
// the profile over theta: for the many refits of a break search.
fit::FitOutcome refit_from(const fit::ModelFit& start, const std::vector<double>& t, const std::vector<double>& x,
                           const std::vector<double>& weights);

}  // namespace crystal
