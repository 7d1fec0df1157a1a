#pragma once
// The figure of expansion against temperature, in two panels over one T
// axis:
//   upper  each quantity's measured change (x/x(T_min), a strain in %, ...)
//          as markers with error bars, and the curve fitted through them;
//   lower  each coefficient α(T) as a line with its ±σ band shaded;
// with chosen temperatures marked by dotted lines across both, and one
// legend beside them.  `celltrend-analyse expansion` fills it with straight
// lines and constant coefficients; a fit of α(T) fills it with its curves.

#include <string>
#include <vector>

#include "figures/page.hpp"
#include "formats/point.hpp"

namespace figures {

struct MeasuredSeries {
    std::string name;                      // "X1", "a", "V"
    std::vector<formats::Point> points;    // x the temperature; y with its sigma where known
    std::vector<double> curve_t, curve_y;  // the fitted curve, sampled densely enough to look smooth
};

struct RateSeries {
    std::string name;
    std::vector<double> t, value, sigma;  // sigma empty: no band
};

struct TemperatureFigure {
    std::string title;          // empty: none
    std::string change_legend;  // the upper panel's y legend, e.g. "x/x(T_min)"
    std::vector<MeasuredSeries> changes;
    std::string rate_legend;  // the lower panel's, e.g. "α (10⁻⁶ K⁻¹)"
    std::vector<RateSeries> rates;
    std::vector<double> marked_t;  // K
    // The common x axis: the same figure serves a series against pressure.
    std::string variable_legend = "Temperature (K)";
};

// A one-column figure, taller than wide for its two panels.
inline constexpr Page temperature_page{85, 110, 300};

// The file's bytes.  A series' colour follows its name (style's
// quantity_colour), so that V above and V below, or a in any figure, look
// alike.  Throws PlotError when there is nothing to draw.
std::string temperature_figure_file(const TemperatureFigure& figure, Format format, const Page& page);

}  // namespace figures
