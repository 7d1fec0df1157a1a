#include "fit/misfit.hpp"

#include <cmath>

namespace analysis {

RunsTest runs_test(const std::vector<double>& residuals) {
    RunsTest t;
    int last = 0;
    for (double r : residuals) {
        if (r == 0 || std::isnan(r)) continue;
        const int sign = r > 0 ? 1 : -1;
        (sign > 0 ? t.plus : t.minus)++;
        if (sign != last) ++t.runs;
        last = sign;
    }
    t.n = t.plus + t.minus;
    if (t.n == 0) return t;
    const double n = double(t.n), np = double(t.plus), nm = double(t.minus);
    t.expected = 2 * np * nm / n + 1;
    const double s2 = t.n > 1 ? 2 * np * nm * (2 * np * nm - n) / (n * n * (n - 1)) : 0;
    t.z = s2 > 0 ? (double(t.runs) - t.expected) / std::sqrt(s2) : 0;
    return t;
}

bool misses(const RunsTest& test, bool weighted, double chi2_nu) {
    if (weighted && chi2_nu <= 1) return false;
    return test.n >= 10 && test.z < -2.576;
}

std::array<std::size_t, 2> largest_residuals(const std::vector<double>& residuals) {
    std::array<std::size_t, 2> top{0, 0};
    for (std::size_t k = 1; k < residuals.size(); ++k) {
        if (std::abs(residuals[k]) > std::abs(residuals[top[0]])) {
            top[1] = top[0];
            top[0] = k;
        } else if (top[1] == top[0] || std::abs(residuals[k]) > std::abs(residuals[top[1]])) {
            top[1] = k;
        }
    }
    return top;
}

}  // namespace analysis
