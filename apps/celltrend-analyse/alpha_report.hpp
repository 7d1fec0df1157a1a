#pragma once
// What `celltrend-analyse alpha` prints: a summary for the reader, or a
// table of tab-separated values for a script.

#include <string>
#include <vector>

#include "crystal/alpha.hpp"

namespace celltrend_analyse {

struct AlphaReport {
    std::string file;      // as named
    std::string title;     // the table's title, may be empty
    std::string model;     // as asked: auto, poly1, ...
    std::string symmetry;  // the system and its ties, as the summary names them
    crystal::AlphaFits fits;
    std::vector<crystal::AlphaAt> results;  // one per temperature asked
};

// The summary: the range, the symmetry, a line per fit (model, weights,
// chi2_nu, AICc), the parameters of each fit with their sigma,
// then per temperature the coefficients of a, b, c and V, the rates of the
// angles that change, the principal coefficients with [u v w] and their
// angles to a, b, c (or a note where two are equal), and the trace.
std::string alpha_summary_text(const AlphaReport& report);

// The table of the fits: a line per quantity (model, weights, chi2_nu, AICc,
// or why there is none) under its heading.
std::string fits_text(const crystal::AlphaFits& fits);

// A number of the tables for scripts: ten significant digits, no "-" on a
// zero (a direction component along a symmetry axis often is -0), empty for
// NaN.
std::string tsv_number(double x);

// The unit of quantity q's values: A, A^3 or deg.
std::string quantity_unit(std::size_t q);

// One line, without the program's name, saying that the fit of quantity q
// misses its rows and what to try; empty when it does not (or is another's).
std::string misfit_text(const crystal::AlphaFits& fits, std::size_t q);

// "quantity model parameter value sigma unit": per quantity a row T_r (sigma
// 0, unit K), its parameters, then "quantity corr p_i p_j r" for each pair.
std::string alpha_parameters_text(const AlphaReport& report);

// "T quantity alpha sigma u v w", then per temperature the rows a, b, c, V,
// X1, X2, X3 and trace (its sigma carrying the ties) that have a value; ten significant digits; u, v, w empty for
// a, b, c, V and for directions that are not determined.
std::string alpha_tsv_text(const AlphaReport& report);

}  // namespace celltrend_analyse
