#include "summary.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace xyviewer {

namespace {

std::string format(const char* fmt, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

}  // namespace

std::string unit_of(std::string_view legend) {
    const auto close = legend.rfind(')');
    if (close == std::string_view::npos) return {};
    const auto open = legend.rfind('(', close);
    if (open == std::string_view::npos) return {};
    return std::string(legend.substr(open + 1, close - open - 1));
}

QuantityKind kind_of(std::string_view y_legend) {
    const std::string unit = unit_of(y_legend);
    if (unit == "A") return QuantityKind::length;
    if (unit == "A3") return QuantityKind::volume;
    return QuantityKind::other;
}

Expansion relative_expansion(const LineFit& fit, QuantityKind kind) {
    Expansion e;
    if (kind == QuantityKind::other || !fit.ok || fit.mean_y == 0) return e;
    e.given = true;
    e.coefficient = fit.slope / fit.mean_y * 1e6;
    e.su = fit.su_slope / std::fabs(fit.mean_y) * 1e6;
    const double limit = kind == QuantityKind::volume ? 3 * 300.0 : 300.0;
    e.implausible = std::fabs(e.coefficient) > limit;
    return e;
}

std::string with_uncertainty(double value, double su) {
    if (!std::isfinite(value)) return format("%g", value);
    // An uncertainty lost in the rounding of the sums is no uncertainty.
    if (!(su > std::fabs(value) * 1e-12) || !std::isfinite(su)) return format("%.6g", value);

    su = std::fabs(su);
    const double reference = value != 0 ? std::fabs(value) : su;
    int exponent = 0;
    if (reference < 1e-3 || reference >= 1e6) {
        exponent = int(std::floor(std::log10(reference)));
        value /= std::pow(10.0, exponent);
        su /= std::pow(10.0, exponent);
    }
    // Two digits of uncertainty from 10 to 19 (in units of the last one),
    // else one.
    int d = int(std::floor(std::log10(su)));
    double lead = std::round(su / std::pow(10.0, d - 1));
    if (lead >= 100) {
        ++d;
        lead = std::round(su / std::pow(10.0, d - 1));
    }
    const int k = lead < 20 ? d - 1 : d;  // power of ten of the last digit shown
    const double step = std::pow(10.0, k);
    const long long su_digits = std::llround(su / step);
    const double rounded = std::round(value / step) * step;
    const int decimals = std::max(0, -k);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.*f(%lld)", decimals, rounded, su_digits * (k > 0 ? std::llround(step) : 1));
    std::string text = buf;
    if (text.starts_with("-0") && rounded == 0) text.erase(0, 1);
    if (exponent != 0) text += "e" + std::to_string(exponent);
    return text;
}

std::string summary(const PlotFile& file) {
    std::string out = file.name + ":";
    if (!file.main_legend.empty()) out += " " + file.main_legend;
    out += "\n";
    const std::string x_unit = unit_of(file.x_legend);
    const std::string y_unit = unit_of(file.y_legend);
    const std::string per_x = x_unit.empty() ? "per unit of X" : "/" + x_unit;
    const QuantityKind kind = kind_of(file.y_legend);

    for (const Pattern& pattern : file.patterns) {
        const auto& pts = pattern.points;
        if (file.patterns.size() > 1 || !pattern.title.empty())
            out += "  " + (pattern.title.empty() ? std::string("(untitled pattern)") : pattern.title) + "\n";

        out += "    points plotted   : " + std::to_string(pts.size());
        if (pattern.announced_points >= 0 && std::size_t(pattern.announced_points) != pts.size())
            out += " (NUMBER OF POINTS says " + std::to_string(pattern.announced_points) + ")";
        out += "\n";

        const auto [xmin, xmax] = std::minmax_element(pts.begin(), pts.end(),
                                                      [](const Point& a, const Point& b) { return a.x < b.x; });
        const auto [ymin, ymax] = std::minmax_element(pts.begin(), pts.end(),
                                                      [](const Point& a, const Point& b) { return a.y < b.y; });
        out += "    temperature range: " + format("%.2f", xmin->x) + " to " + format("%.2f", xmax->x) +
               (x_unit.empty() ? "" : " " + x_unit) + "\n";
        out += "    value range      : " + format("%.5f", ymin->y) + " to " + format("%.5f", ymax->y) +
               (y_unit.empty() ? "" : " " + y_unit) + "\n";

        const LineFit fit = fit_line(pts);
        if (!fit.ok) {
            out += "    fit              : none (fewer than two temperatures)\n";
            continue;
        }
        if (fit.weighted) {
            out += "    fit              : weights 1/SIGY^2, reduced chi-square " +
                   (std::isnan(fit.reduced_chi2) ? std::string("undefined (2 points)")
                                                 : format("%.3g", fit.reduced_chi2));
            out += fit.scaled ? ", uncertainties scaled by its square root\n" : "\n";
        } else {
            out += "    fit              : equal weights (not every point has a positive SIGY), "
                   "uncertainties from the scatter";
            out += std::isnan(fit.reduced_chi2) ? std::string(": unknown for 2 points\n")
                                                : ", residual s.d. " + format("%.3g", std::sqrt(fit.reduced_chi2)) +
                                                      (y_unit.empty() ? "" : " " + y_unit) + "\n";
        }
        out += "    slope            : " + with_uncertainty(fit.slope, fit.su_slope) + " " +
               (y_unit.empty() ? "" : y_unit) + per_x + "\n";

        const Expansion e = relative_expansion(fit, kind);
        if (e.given) {
            out += std::string("    ") + (kind == QuantityKind::volume ? "volume" : "linear") +
                   " expansion : " + with_uncertainty(e.coefficient, e.su) + " x 1e-6 " + per_x +
                   " (slope / mean value " + format("%.5f", fit.mean_y) + ")\n";
            if (e.implausible)
                out += std::string("    WARNING: implausible expansion (a linear coefficient beyond 300e-6 ") +
                       per_x + "); check the data\n";
        }
    }
    return out;
}

}  // namespace xyviewer
