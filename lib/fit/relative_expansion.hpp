#pragma once
// The relative expansion coefficient of a fitted line: slope / mean value,
// the number crystallographers quote for a length or a volume.

#include "fit/line_fit.hpp"
#include "formats/estimate.hpp"
#include "formats/units.hpp"

namespace fit {

struct RelativeExpansion {
    bool given = false;             // lengths and volumes with a fit and a non-zero mean
    formats::Estimate coefficient;  // slope / mean value, in 1e-6 per unit of X
    bool implausible = false;       // linear coefficient beyond 300e-6 per K
};

// A volume coefficient is about three linear ones, so it is flagged beyond
// 900e-6 per K.
RelativeExpansion relative_expansion(const LineFit& fit, formats::QuantityKind kind);

}  // namespace fit
