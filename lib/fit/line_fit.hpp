#pragma once
// The straight line y = intercept + slope * x through measured points,
// weighted by 1/SIGY^2 when every point has a positive SIGY, else with equal
// weights.

#include <cstddef>
#include <vector>

#include "formats/point.hpp"

namespace fit {

struct LineFit {
    bool ok = false;        // false: fewer than two distinct temperatures, or
                            // sums beyond the range of a double
    bool weighted = false;  // true: weights 1/SIGY^2
    std::size_t n = 0;
    double intercept = 0;
    double slope = 0;
    double su_intercept = 0;  // standard uncertainties, NaN when unknown
    double su_slope = 0;
    double chi2 = 0;          // sum of w * residual^2
    double reduced_chi2 = 0;  // chi2 / (n - 2); NaN for n = 2
    bool scaled = false;      // uncertainties multiplied by sqrt(reduced_chi2)
    double mean_y = 0;        // plain mean of the values
};

// Weighted fit: the uncertainties come from the SIGY and are scaled by
// sqrt(reduced chi-square) only when that exceeds 1, since reported ESDs are
// often too small but rarely too large.  Equal weights: the SIGY say nothing,
// so the scatter of the points alone gives the uncertainties (reduced
// chi-square is then the residual variance, and always applied).
LineFit fit_line(const std::vector<formats::Point>& points);

}  // namespace fit
