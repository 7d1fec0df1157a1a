#include "fit/hc0_fit.hpp"

#include <cmath>
#include <cstddef>

namespace fit {

LineDesign line_design(const std::vector<double>& x, const std::vector<double>& weights) {
    LineDesign d;
    const std::size_t n = x.size();
    d.weights = weights.empty() ? std::vector<double>(n, 1.0) : weights;
    if (n < 2 || d.weights.size() != n) return d;
    // Centred on the weighted mean, the sums stay small however far the
    // temperatures lie from 0 K.
    double sw = 0, swx = 0;
    for (std::size_t k = 0; k < n; ++k) {
        sw += d.weights[k];
        swx += d.weights[k] * x[k];
    }
    d.mean_x = swx / sw;
    for (std::size_t k = 0; k < n; ++k) d.sxx += d.weights[k] * (x[k] - d.mean_x) * (x[k] - d.mean_x);
    if (!(d.sxx > 0)) return d;
    d.slope_coefficients.resize(n);
    for (std::size_t k = 0; k < n; ++k) d.slope_coefficients[k] = d.weights[k] * (x[k] - d.mean_x) / d.sxx;
    d.ok = true;
    return d;
}

Hc0Line weighted_line(const LineDesign& design, const std::vector<double>& y) {
    Hc0Line line;
    double sw = 0, swy = 0;
    for (std::size_t k = 0; k < y.size(); ++k) {
        sw += design.weights[k];
        swy += design.weights[k] * y[k];
        line.slope += design.slope_coefficients[k] * y[k];
    }
    line.intercept = swy / sw - line.slope * design.mean_x;
    return line;
}

Hc0Line fit_hc0(const LineDesign& design, const std::vector<double>& x, const std::vector<double>& y) {
    Hc0Line line = weighted_line(design, y);
    const std::size_t n = x.size();
    // The slope row of (X'WX)^-1 applied to x_k is (x_k - mean_x) / sxx, so
    // HC0's slope variance is sum_k (c_k e_k)^2 with c_k the slope
    // coefficient.
    // The intercept, mean_y - slope mean_x, is linear in the y too, with
    // coefficients w_k / sum w - mean_x c_k.
    double sw = 0;
    for (double w : design.weights) sw += w;
    double variance = 0, intercept_variance = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const double e = y[k] - line.intercept - line.slope * x[k];
        const double term = design.slope_coefficients[k] * e;
        variance += term * term;
        const double a = (design.weights[k] / sw - design.mean_x * design.slope_coefficients[k]) * e;
        intercept_variance += a * a;
    }
    line.su_slope = std::sqrt(variance);
    line.su_intercept = std::sqrt(intercept_variance);
    return line;
}

}  // namespace fit
