#pragma once
// The straight line y = intercept + slope * x by weighted least squares with
// given weights w_k, and the slope's standard uncertainty by White's
// heteroscedasticity-consistent estimator HC0 (no N - 2 factor):
//
//     Cov = (X'WX)^-1 [sum_k w_k^2 e_k^2 x_k x_k'] (X'WX)^-1,   x_k = (1, x_k).
//
// This is how the principal-axis strain calculators fit strain against
// temperature (weights 1/sigmaT, not 1/sigmaT^2), unlike fit_line, whose
// weights are inverse variances.  The slope is linear in the y: slope =
// sum_k slope_coefficients[k] y_k, which lets the uncertainty of the y be
// carried to the slope one point at a time.

#include <vector>

namespace fit {

// What depends on the x and the weights only, shared by every y fitted
// against the same points.
struct LineDesign {
    bool ok = false;    // false: fewer than two points, or all at one x
    double mean_x = 0;  // weighted mean of the x
    double sxx = 0;     // sum_k w_k (x_k - mean_x)^2
    std::vector<double> weights;
    std::vector<double> slope_coefficients;  // w_k (x_k - mean_x) / sxx
};

// `weights` empty: equal weights.  Otherwise one positive weight per x.
LineDesign line_design(const std::vector<double>& x, const std::vector<double>& weights);

struct Hc0Line {
    double intercept = 0;
    double slope = 0;
    double su_slope = 0;      // HC0; 0 when the line passes through every point
    double su_intercept = 0;  // HC0 likewise (fit_hc0 only)
};

// The line alone, without its uncertainty (su_slope left 0); `design.ok`
// must hold.
Hc0Line weighted_line(const LineDesign& design, const std::vector<double>& y);

// The fit of y (one per x of the design); `design.ok` must hold.
Hc0Line fit_hc0(const LineDesign& design, const std::vector<double>& x, const std::vector<double>& y);

}  // namespace fit
