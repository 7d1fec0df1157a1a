#pragma once
// A value and its standard uncertainty: what a table, a file or a fit gives
// for one quantity.  sigma is NaN where the source gives none (a CIF's "90"
// without parentheses), which is not the same as a sigma of 0.

#include <cmath>

namespace formats {

struct Estimate {
    double value = 0;
    double sigma = 0;

    bool has_sigma() const { return !std::isnan(sigma); }
};

}  // namespace formats
