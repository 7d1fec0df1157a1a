#include "summary.hpp"

#include <algorithm>
#include <cmath>

#include "formats/display_text.hpp"
#include "formats/number_text.hpp"

namespace xyviewer {

using namespace formats;
using namespace fit;

std::string summary(const PlotFile& file) {
    std::string out = displayable(file.name) + ":";
    if (!file.main_legend.empty()) out += " " + file.main_legend;
    out += "\n";
    const std::string x_unit = unit_symbol(unit_of(file.x_legend));
    const std::string y_unit = unit_symbol(unit_of(file.y_legend));
    const std::string per_x = x_unit.empty() ? "per unit of X" : "/" + x_unit;
    const QuantityKind kind = kind_of(file.y_legend);

    for (const Pattern& pattern : file.patterns) {
        const auto& pts = pattern.points;
        if (file.patterns.size() > 1 || !pattern.title.empty())
            out += "  " +
                   (pattern.title.empty() ? std::string("(untitled pattern)") : with_unit_symbols(pattern.title)) +
                   "\n";

        out += "    points plotted   : " + std::to_string(pts.size());
        if (pattern.announced_points >= 0 && std::size_t(pattern.announced_points) != pts.size())
            out += " (NUMBER OF POINTS says " + std::to_string(pattern.announced_points) + ")";
        out += "\n";

        const auto [xmin, xmax] =
            std::minmax_element(pts.begin(), pts.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
        const auto [ymin, ymax] = std::minmax_element(
            pts.begin(), pts.end(), [](const Point& a, const Point& b) { return a.y.value < b.y.value; });
        out += "    temperature range: " + printed("%.2f", xmin->x) + " to " + printed("%.2f", xmax->x) +
               (x_unit.empty() ? "" : " " + x_unit) + "\n";
        out += "    value range      : " + printed("%.5f", ymin->y.value) + " to " + printed("%.5f", ymax->y.value) +
               (y_unit.empty() ? "" : " " + y_unit) + "\n";

        // Bars this short hide under the markers at any page size a journal
        // prints; the legend leaves them unsaid, so the summary says it.
        double widest_bar = 0;
        bool bars = false;
        for (const Point& p : pts)
            if (p.y.sigma > 0) bars = true, widest_bar = std::max(widest_bar, 2 * p.y.sigma);
        if (bars && ymax->y.value > ymin->y.value && widest_bar < 0.01 * (ymax->y.value - ymin->y.value))
            out += "    error bars       : each under 1 % of the value range, hidden under the markers\n";

        const LineFit fit = fit_line(pts);
        if (!fit.ok) {
            out += xmin->x == xmax->x ? "    fit              : none (fewer than two temperatures)\n"
                                      : "    fit              : none (its sums leave the range of a double)\n";
            continue;
        }
        if (fit.weighted) {
            out += "    fit              : weights 1/SIGY^2, reduced chi-square " +
                   (std::isnan(fit.reduced_chi2) ? std::string("undefined (2 points)")
                                                 : printed("%.3g", fit.reduced_chi2));
            out += fit.scaled ? ", uncertainties scaled by its square root\n" : "\n";
        } else {
            out +=
                "    fit              : equal weights (not every point has a positive SIGY), "
                "uncertainties from the scatter";
            out += std::isnan(fit.reduced_chi2) ? std::string(": unknown for 2 points\n")
                                                : ", residual s.d. " + printed("%.3g", std::sqrt(fit.reduced_chi2)) +
                                                      (y_unit.empty() ? "" : " " + y_unit) + "\n";
        }
        out += "    slope            : " + with_uncertainty(fit.slope, fit.su_slope) + " " +
               slope_unit(y_unit, x_unit) + "\n";

        const RelativeExpansion e = relative_expansion(fit, kind);
        if (e.given) {
            out += std::string("    ") + (kind == QuantityKind::volume ? "volume" : "linear") +
                   " expansion : " + with_uncertainty(e.coefficient) + " x 1e-6 " + per_x + " (slope / mean value " +
                   printed("%.5f", fit.mean_y) + ")\n";
            if (e.implausible)
                out += std::string("    WARNING: implausible expansion (a linear coefficient beyond 300e-6 ") + per_x +
                       "); check the data\n";
        }
    }
    return out;
}

}  // namespace xyviewer
