#pragma once
// The few lines printed for every plot file, whatever else the program does:
// how many points, over which temperatures and values, the fitted slope, and
// for lengths and volumes the relative expansion coefficient that
// crystallographers quote for thermal expansion.  Units are shown as
// symbols (Å, Å³, °).

#include <string>
#include <string_view>

#include "line_fit.hpp"
#include "pgf_reader.hpp"
#include "uncertainty.hpp"
#include "units.hpp"

namespace xyviewer {

using analysis::fit_line;
using analysis::LineFit;

struct Expansion {
    bool given = false;      // lengths and volumes with a fit and a non-zero mean
    double coefficient = 0;  // slope / mean value, in 1e-6 per unit of X
    double su = 0;
    bool implausible = false;  // linear coefficient beyond 300e-6 per K
};

// A volume coefficient is about three linear ones, so it is flagged beyond
// 900e-6 per K.
Expansion relative_expansion(const LineFit& fit, QuantityKind kind);

std::string summary(const PlotFile& file);

}  // namespace xyviewer
