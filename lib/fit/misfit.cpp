#include "fit/misfit.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "fit/temperature_model.hpp"

namespace fit {

namespace {

constexpr std::size_t verdict_rows = 10;
constexpr double runs_z = -2.576;
constexpr double break_gain = 10;

}  // namespace

RunsTest runs_test(const std::vector<double>& residuals) {
    RunsTest r;
    int last = 0;
    for (double e : residuals) {
        if (e == 0 || std::isnan(e)) continue;
        const int sign = e > 0 ? 1 : -1;
        (sign > 0 ? r.plus : r.minus) += 1;
        if (sign != last) ++r.runs;
        last = sign;
    }
    const double n = double(r.plus + r.minus);
    if (n < 2) return r;
    const double pm = 2.0 * double(r.plus) * double(r.minus);
    r.expected = pm / n + 1;
    const double variance = pm * (pm - n) / (n * n * (n - 1));
    r.z = variance > 0 ? (double(r.runs) - r.expected) / std::sqrt(variance) : 0;
    r.too_few = r.plus + r.minus >= verdict_rows && r.z < runs_z;
    return r;
}

std::optional<SeriesBreak> best_break(std::size_t n, std::size_t p, double whole_chi2, const RangeChi2& chi2_of,
                                      std::size_t max_splits) {
    // Splits after row k for k = p .. n - p - 2: more than p rows each side.
    if (n < 2 * p + 2) return std::nullopt;
    const std::size_t first = p, last = n - p - 2, count = last - first + 1;
    const std::size_t q = 2 * p + 1;
    const double whole = aicc(whole_chi2, n, p);
    std::optional<SeriesBreak> best;
    double best_aicc = std::numeric_limits<double>::infinity();
    const std::size_t tried = std::min(count, std::max<std::size_t>(max_splits, 2));
    for (std::size_t i = 0; i < tried; ++i) {
        const std::size_t k = tried == count ? first + i : first + (count - 1) * i / (tried - 1);
        const double chi2 = chi2_of(0, k + 1) + chi2_of(k + 1, n);
        const double pair = aicc(chi2, n, q);
        if (!std::isfinite(chi2) || std::isnan(pair) || !(pair < best_aicc)) continue;
        best_aicc = pair;
        best = SeriesBreak{k, whole - pair};
    }
    return best;
}

Misfit judge_fit(const std::vector<double>& residuals, bool weighted, double reduced_chi2, std::size_t p,
                 const RangeChi2& chi2_of, std::size_t max_splits) {
    Misfit m;
    m.runs = runs_test(residuals);
    const std::size_t n = residuals.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t i, std::size_t j) { return std::abs(residuals[i]) > std::abs(residuals[j]); });
    if (n > 0) m.largest[0] = order[0];
    if (n > 1) m.largest[1] = order[1];
    if (weighted && reduced_chi2 <= 1) return m;  // within its errors
    const bool searched = weighted && n >= verdict_rows && reduced_chi2 > 4;
    m.misses = m.runs.too_few;
    if (!m.misses && !searched) return m;
    double whole_chi2 = 0;
    for (double e : residuals) whole_chi2 += e * e;
    m.split = best_break(n, p, whole_chi2, chi2_of, max_splits);
    m.break_found = m.split && m.split->aicc_drop > break_gain;
    if (searched && m.break_found) m.misses = true;
    return m;
}

}  // namespace fit
