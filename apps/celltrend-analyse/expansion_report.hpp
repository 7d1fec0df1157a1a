#pragma once
// What `celltrend-analyse expansion` prints: a summary for the reader, or a
// table of tab-separated values for a script.

#include <optional>
#include <string>
#include <vector>

#include <Eigen/Dense>

#include "crystal/expansion.hpp"
#include "crystal/strain.hpp"

namespace celltrend_analyse {

struct ExpansionReport {
    std::string file;       // as named
    std::string title;      // the table's title, may be empty
    std::vector<double> t;  // the temperature of each row used
    crystal::StrainMeasure measure;
    std::string symmetry;  // the system and its ties, as the summary names them
    crystal::Expansion expansion;
    // The new axes of --matrix (row i: new axis i in a, b, c) and how they
    // read, "a' = a + c, ...".
    std::optional<Eigen::Matrix3d> new_axes;
    std::string new_axes_text;
};

// Axes whose coefficients are equal within their uncertainties (the larger
// of sigma and sigma_esd; zero uncertainties allow only rounding), as pairs
// (i, j), i < j: which of those directions is which is then arbitrary.
std::vector<std::pair<int, int>> equal_coefficients(const crystal::Expansion& expansion);

// The notes that say what the numbers cannot tell: equal coefficients, and
// two rows only (sigma 0, directions undefined).  One line each.
std::vector<std::string> expansion_notes(const ExpansionReport& report);

// The summary: number of temperatures and their range, strain and fit, a
// line per axis (alpha, sigma, sigma_esd in 1e-6 K^-1, [u v w] and the
// angles to a, b, c at the middle row), the volume coefficient, the notes.
std::string summary_text(const ExpansionReport& report);

// "axis alpha sigma sigma_esd u v w" and the rows X1, X2, X3, V, tab
// separated, ten significant digits; empty fields for what is not known.
// With new axes the directions are given in them.
std::string tsv_text(const ExpansionReport& report);

}  // namespace celltrend_analyse
