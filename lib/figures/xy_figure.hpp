#pragma once
// A plain x-y figure of one panel: each series' measured points with error
// bars in x and in y, and a curve through them (a fitted model's line), with
// one legend beside the panel.  The F-f plot of an equation of state is one.

#include <string>
#include <vector>

#include "figures/page.hpp"

namespace figures {

struct XySeries {
    std::string name;                            // "V", "a"; its colour follows it (style::quantity_colour)
    std::vector<double> x, sigma_x, y, sigma_y;  // sigma 0 (or the vector empty): no bar
    std::vector<double> curve_x, curve_y;        // sampled densely enough to look smooth; may be empty
};

struct XyFigure {
    std::string title;  // empty: none
    std::string x_legend, y_legend;
    std::vector<XySeries> series;
};

// A one-column figure, a little wider than tall.
inline constexpr Page xy_page{85, 70, 300};

// The file's bytes.  Throws PlotError when there is no point to draw.
std::string xy_figure_file(const XyFigure& figure, Format format, const Page& page);

}  // namespace figures
