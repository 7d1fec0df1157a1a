#pragma once
// The few lines printed for every plot file, whatever else the program does:
// how many points, over which temperatures and values, the fitted slope, and
// for lengths and volumes the relative expansion coefficient that
// crystallographers quote for thermal expansion.  Units are shown as
// symbols (Å, Å³, °).

#include <string>
#include <string_view>

#include "fit/line_fit.hpp"
#include "fit/relative_expansion.hpp"
#include "formats/plot_file_reader.hpp"
#include "formats/uncertainty.hpp"
#include "formats/units.hpp"

namespace xyviewer {

using fit::fit_line;
using fit::LineFit;

std::string summary(const formats::PlotFile& file);

}  // namespace xyviewer
