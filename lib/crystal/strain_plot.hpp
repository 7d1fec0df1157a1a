#pragma once
// The principal strains of a series as a plot file in the layout celltrend
// writes (.pgf): its header of legends, then three patterns X1, X2, X3, each
// with its own header block and lines "TK strain" in (F6.2, F20.5), strain
// in percent, and the end line "# END OF FILE".  xyviewer draws the three
// with a legend.

#include <string>
#include <string_view>
#include <vector>

#include "crystal/expansion.hpp"
#include "crystal/strain.hpp"

namespace crystal {

// `t` holds the temperature of each row of `expansion`.  A temperature too
// wide for F6.2 widens its field rather than turning to asterisks, since the
// strain field that follows always starts with blanks.
std::string strain_plot_text(std::string_view title, const std::vector<double>& t, const Expansion& expansion,
                             StrainMeasure measure);

}  // namespace crystal
