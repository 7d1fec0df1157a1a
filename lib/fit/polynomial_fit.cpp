#include "fit/polynomial_fit.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "fit/linear_least_squares.hpp"

namespace fit {

FitOutcome fit_polynomial(const std::vector<double>& t, const std::vector<double>& x,
                          const std::vector<double>& weights, int degree) {
    FitOutcome out;
    const std::size_t n = t.size(), p = std::size_t(degree) + 1;
    const std::string name = "poly" + std::to_string(degree);
    if (n <= p) {
        out.refusal = name + " has " + std::to_string(p) + " parameters and needs more rows than that (" +
                      std::to_string(n) + (n == 1 ? " row)" : " rows)");
        return out;
    }
    ModelFit fit;
    fit.kind = ModelKind::polynomial;
    fit.t_ref = std::accumulate(t.begin(), t.end(), 0.0) / double(n);
    fit.n = n;
    fit.weighted = !weights.empty();
    DesignMatrix design(n, p);
    for (std::size_t k = 0; k < n; ++k) {
        double power = 1;
        for (std::size_t j = 0; j < p; ++j, power *= t[k] - fit.t_ref) design(k, j) = power;
    }
    const LinearSolution s = solve_least_squares(design, x, weights);
    if (!s.ok) {
        out.refusal = name + " needs at least " + std::to_string(p) + " distinct temperatures";
        return out;
    }
    fit.p = s.p;
    fit.chi2 = s.chi2;
    // Exact data leave residuals of rounding alone, whose size would decide
    // the choice of degree: below 1e-12 of the values they count as none.
    double size = 0;
    for (std::size_t k = 0; k < n; ++k) size += (weights.empty() ? 1.0 : weights[k]) * x[k] * x[k];
    if (fit.chi2 < 1e-24 * size) fit.chi2 = 0;
    set_fit_statistics(fit, s.inverse_normal);
    out.fit = fit;
    return out;
}

FitOutcome fit_best_polynomial(const std::vector<double>& t, const std::vector<double>& x,
                               const std::vector<double>& weights) {
    FitOutcome best;
    for (int degree = 1; degree <= 3; ++degree) {
        if (t.size() < std::size_t(degree) + 3) break;
        FitOutcome candidate = fit_polynomial(t, x, weights, degree);
        if (!candidate.fit) continue;
        if (!best.fit || candidate.fit->aicc < best.fit->aicc) best = candidate;
    }
    if (best.fit) return best;
    return fit_polynomial(t, x, weights, 1);
}

}  // namespace fit
