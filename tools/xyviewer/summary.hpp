#pragma once
// The few lines printed for every plot file, whatever else the program does:
// how many points, over which temperatures and values, the fitted slope, and
// for lengths and volumes the relative expansion coefficient that
// crystallographers quote for thermal expansion.

#include <string>
#include <string_view>

#include "line_fit.hpp"
#include "pgf_reader.hpp"

namespace xyviewer {

using analysis::fit_line;
using analysis::LineFit;

enum class QuantityKind { length, volume, other };

// The unit in the last parentheses of a legend: "a unit cell parameter (A)"
// gives "A", "Unit cell volume (A3)" gives "A3"; empty when there is none.
std::string unit_of(std::string_view legend);
QuantityKind kind_of(std::string_view y_legend);

struct Expansion {
    bool given = false;      // lengths and volumes with a fit and a non-zero mean
    double coefficient = 0;  // slope / mean value, in 1e-6 per unit of X
    double su = 0;
    bool implausible = false;  // linear coefficient beyond 300e-6 per K
};

// A volume coefficient is about three linear ones, so it is flagged beyond
// 900e-6 per K.
Expansion relative_expansion(const LineFit& fit, QuantityKind kind);

// A value with its standard uncertainty in the crystallographer's notation:
// the uncertainty in parentheses in units of the last digit, two digits when
// they start with 1, else one ("12.35(4)", "13.60(15)"); very small or large
// values get an exponent ("2.31(4)e-5").  An uncertainty of 0 (or within
// rounding of the value) or NaN leaves the value alone, with six significant digits.
std::string with_uncertainty(double value, double su);

std::string summary(const PlotFile& file);

}  // namespace xyviewer
