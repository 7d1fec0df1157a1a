#include "fit/relative_expansion.hpp"

#include <cmath>

namespace analysis {

RelativeExpansion relative_expansion(const LineFit& fit, QuantityKind kind) {
    RelativeExpansion e;
    if (kind == QuantityKind::other || !fit.ok || fit.mean_y == 0) return e;
    e.given = true;
    e.coefficient = fit.slope / fit.mean_y * 1e6;
    e.su = fit.su_slope / std::fabs(fit.mean_y) * 1e6;
    const double limit = kind == QuantityKind::volume ? 3 * 300.0 : 300.0;
    e.implausible = std::fabs(e.coefficient) > limit;
    return e;
}

}  // namespace analysis
