#include "fit/relative_expansion.hpp"

#include <cmath>

namespace fit {

RelativeExpansion relative_expansion(const LineFit& fit, formats::QuantityKind kind) {
    RelativeExpansion e;
    if (kind == formats::QuantityKind::other || !fit.ok || fit.mean_y == 0) return e;
    e.given = true;
    e.coefficient.value = fit.slope / fit.mean_y * 1e6;
    e.coefficient.sigma = fit.su_slope / std::fabs(fit.mean_y) * 1e6;
    const double limit = kind == formats::QuantityKind::volume ? 3 * 300.0 : 300.0;
    e.implausible = std::fabs(e.coefficient.value) > limit;
    return e;
}

}  // namespace fit
