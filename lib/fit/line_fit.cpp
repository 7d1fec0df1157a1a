#include "fit/line_fit.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fit/hc0_fit.hpp"

namespace fit {

LineFit fit_line(const std::vector<formats::Point>& points) {
    LineFit fit;
    fit.n = points.size();
    if (points.empty()) return fit;

    fit.weighted = std::all_of(points.begin(), points.end(), [](const formats::Point& p) { return p.y.sigma > 0; });
    double sum_y = 0;
    for (const formats::Point& p : points) sum_y += p.y.value;
    fit.mean_y = sum_y / double(fit.n);

    // The line itself is the one weighted least-squares fit of hc0_fit.hpp;
    // only the uncertainties differ, these weights being inverse variances.
    std::vector<double> x, y, weights;
    for (const formats::Point& p : points) {
        x.push_back(p.x);
        y.push_back(p.y.value);
        if (fit.weighted) weights.push_back(1.0 / (p.y.sigma * p.y.sigma));
    }
    const LineDesign design = line_design(x, weights);
    if (!design.ok) return fit;  // fewer than two points, all at one temperature, or sums out of range

    const Hc0Line line = weighted_line(design, y);
    fit.slope = line.slope;
    fit.intercept = line.intercept;
    // Values near the largest double overflow the sums: no line to give.
    if (!std::isfinite(fit.slope) || !std::isfinite(fit.intercept)) return fit;
    fit.ok = true;
    double sw = 0;
    for (std::size_t k = 0; k < fit.n; ++k) {
        const double r = y[k] - (fit.intercept + fit.slope * x[k]);
        fit.chi2 += design.weights[k] * r * r;
        sw += design.weights[k];
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    fit.reduced_chi2 = fit.n > 2 ? fit.chi2 / double(fit.n - 2) : nan;

    // Variances for weights that are true inverse variances.
    double var_slope = 1.0 / design.sxx;
    double var_intercept = 1.0 / sw + design.mean_x * design.mean_x / design.sxx;
    if (!fit.weighted || fit.reduced_chi2 > 1) {
        var_slope *= fit.reduced_chi2;  // NaN for two points with equal weights
        var_intercept *= fit.reduced_chi2;
        fit.scaled = true;
    }
    fit.su_slope = std::sqrt(var_slope);
    fit.su_intercept = std::sqrt(var_intercept);
    return fit;
}

}  // namespace fit
