#include "line_fit.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

LineFit fit_line(const std::vector<Point>& points) {
    LineFit fit;
    fit.n = points.size();
    if (points.empty()) return fit;

    fit.weighted = std::all_of(points.begin(), points.end(),
                               [](const Point& p) { return p.has_sigy && p.sigy > 0; });
    double sum_y = 0;
    for (const Point& p : points) sum_y += p.y;
    fit.mean_y = sum_y / double(fit.n);
    if (fit.n < 2) return fit;

    // Centre on the weighted mean temperature: the sums then stay small
    // even for values such as 1500 A3 over 300 K.
    double sw = 0, swx = 0, swy = 0;
    for (const Point& p : points) {
        const double w = fit.weighted ? 1.0 / (p.sigy * p.sigy) : 1.0;
        sw += w;
        swx += w * p.x;
        swy += w * p.y;
    }
    const double xbar = swx / sw, ybar = swy / sw;
    double sxx = 0, sxy = 0;
    for (const Point& p : points) {
        const double w = fit.weighted ? 1.0 / (p.sigy * p.sigy) : 1.0;
        sxx += w * (p.x - xbar) * (p.x - xbar);
        sxy += w * (p.x - xbar) * (p.y - ybar);
    }
    if (!(sxx > 0)) return fit;  // all at one temperature, or sums out of range: no slope

    fit.slope = sxy / sxx;
    fit.intercept = ybar - fit.slope * xbar;
    // Values near the largest double overflow the sums: no line to give.
    if (!std::isfinite(fit.slope) || !std::isfinite(fit.intercept)) return fit;
    fit.ok = true;
    for (const Point& p : points) {
        const double w = fit.weighted ? 1.0 / (p.sigy * p.sigy) : 1.0;
        const double r = p.y - (fit.intercept + fit.slope * p.x);
        fit.chi2 += w * r * r;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    fit.reduced_chi2 = fit.n > 2 ? fit.chi2 / double(fit.n - 2) : nan;

    // Variances for weights that are true inverse variances.
    double var_slope = 1.0 / sxx;
    double var_intercept = 1.0 / sw + xbar * xbar / sxx;
    if (!fit.weighted || fit.reduced_chi2 > 1) {
        var_slope *= fit.reduced_chi2;  // NaN for two points with equal weights
        var_intercept *= fit.reduced_chi2;
        fit.scaled = true;
    }
    fit.su_slope = std::sqrt(var_slope);
    fit.su_intercept = std::sqrt(var_intercept);
    return fit;
}

}  // namespace analysis
