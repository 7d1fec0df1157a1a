#pragma once
// What a figure shows, decided before anything is drawn: panels of series,
// their legends and the texts of the fit legend.  Knows nothing of PLplot.
//
//   one file          one panel, one series per pattern
//   several files     one panel per file, on one page
//   --normalise       one panel, every series divided by its first value

#include <string>
#include <vector>

#include "fit/line_fit.hpp"
#include "formats/plot_file_reader.hpp"
#include "formats/units.hpp"

namespace figures {

// One series as a panel draws it: its points, marker and fitted line (named
// apart from the table a series is read from, formats::Series).
struct Curve {
    std::string name;  // for the legend; may be empty
    std::vector<formats::Point> points;
    int marker = 1;
    double size = 2;
    // The fit of the values as read, for the slope and the coefficient
    // (normalising changes neither the coefficient nor its meaning).
    fit::LineFit fit;
    formats::QuantityKind kind = formats::QuantityKind::other;
    std::string y_unit;  // as a symbol; empty when there is none
};

struct Panel {
    std::string title;
    bool under_page_title = false;   // a panel of the top row, below a title shared by the page
    std::string x_legend, y_legend;  // with unit symbols
    std::string x_unit;              // as a symbol
    std::vector<Curve> curves;
    bool normalised = false;
};

// A series that starts at 0 cannot be normalised, nor one whose quotients
// leave the range of a double: it is left out of the figure, and `left_out`
// (when given) gets a line saying so.
std::vector<Panel> panels_for(const std::vector<formats::PlotFile>& files, bool normalise,
                              std::vector<std::string>* left_out = nullptr);

// A pattern's title as a legend: "b(A)=f(T)" -> "b (Å)", "X1" -> "X1".
std::string legend_name(const std::string& title);

// The name of the volume coefficient, α with a subscript V (set as one by
// the drawing).
inline constexpr const char* volume_coefficient = "α_V";

// Why the panel cannot be drawn, "" when it can: a series whose values span
// more than the range of a double, no axis can hold them.
std::string out_of_range(const Panel& panel);

// The legend lines for a series' fit: the slope with its uncertainty and,
// for lengths and volumes, the expansion coefficient in 10⁻⁶ per unit of x
// ("slope 1.25(8)×10⁻⁴ Å/K", "α = 16.6(11)×10⁻⁶ K⁻¹", "α: slope / mean").  In a
// normalised panel only the coefficient, after the series name (the panel's
// legend then says once what it is relative to).  Empty without a fit.
std::vector<std::string> fit_legend(const Curve& series, const Panel& panel);

// "1.25(8)e-4" as "1.25(8)×10⁻⁴", for the figure; `extra_exponent` is
// added to the power of ten, so that a coefficient in units of 10⁻⁶ is
// written with one ("0.6(11)e-8" and -6: "0.6(11)×10⁻¹⁴").  A note after
// the number stays after it.
std::string with_power_of_ten(const std::string& text, int extra_exponent = 0);

}  // namespace figures
