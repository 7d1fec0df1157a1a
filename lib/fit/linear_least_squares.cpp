#include "fit/linear_least_squares.hpp"

#include <algorithm>
#include <cmath>

namespace fit {

LinearSolution solve_least_squares(const DesignMatrix& x, const std::vector<double>& y,
                                   const std::vector<double>& weights) {
    LinearSolution s;
    const std::size_t n = x.rows, p = x.cols;
    if (p == 0 || n < p || y.size() != n || (!weights.empty() && weights.size() != n)) return s;

    // sqrt(W) X with unit columns, stored column-major for the reflections.
    std::vector<double> a(n * p), b(n), scale(p, 0.0);
    for (std::size_t k = 0; k < n; ++k) {
        const double root_w = weights.empty() ? 1.0 : std::sqrt(weights[k]);
        b[k] = root_w * y[k];
        for (std::size_t j = 0; j < p; ++j) a[j * n + k] = root_w * x(k, j);
    }
    for (std::size_t j = 0; j < p; ++j) {
        double sum = 0;
        for (std::size_t k = 0; k < n; ++k) sum += a[j * n + k] * a[j * n + k];
        scale[j] = std::sqrt(sum);
        if (!(scale[j] > 0) || !std::isfinite(scale[j])) return s;
        for (std::size_t k = 0; k < n; ++k) a[j * n + k] /= scale[j];
    }

    // Householder: column j below the diagonal to zero, the same reflection
    // applied to the columns to its right and to b.
    std::vector<double> diagonal(p);
    for (std::size_t j = 0; j < p; ++j) {
        double* col = &a[j * n];
        double norm = 0;
        for (std::size_t k = j; k < n; ++k) norm += col[k] * col[k];
        norm = std::sqrt(norm);
        const double alpha = col[j] > 0 ? -norm : norm;
        diagonal[j] = alpha;
        col[j] -= alpha;  // v = col - alpha e_j, kept in place
        double vv = 0;
        for (std::size_t k = j; k < n; ++k) vv += col[k] * col[k];
        if (vv == 0) continue;
        const auto reflect = [&](double* target) {
            double dot = 0;
            for (std::size_t k = j; k < n; ++k) dot += col[k] * target[k];
            const double f = 2 * dot / vv;
            for (std::size_t k = j; k < n; ++k) target[k] -= f * col[k];
        };
        for (std::size_t m = j + 1; m < p; ++m) reflect(&a[m * n]);
        reflect(b.data());
    }
    // R: the diagonal, and above it the reflected columns.
    const auto r = [&](std::size_t i, std::size_t j) { return i == j ? diagonal[i] : a[j * n + i]; };
    double largest = 0;
    for (std::size_t j = 0; j < p; ++j) largest = std::max(largest, std::abs(diagonal[j]));
    for (std::size_t j = 0; j < p; ++j)
        if (!(std::abs(diagonal[j]) > 1e-13 * largest)) return s;  // columns dependent on each other

    std::vector<double> z(p);
    for (std::size_t i = p; i-- > 0;) {
        double sum = b[i];
        for (std::size_t j = i + 1; j < p; ++j) sum -= r(i, j) * z[j];
        z[i] = sum / r(i, i);
    }
    // R^-1, upper triangular; (X'WX)^-1 of the scaled columns is R^-1 R^-T.
    std::vector<double> ri(p * p, 0.0);
    for (std::size_t c = 0; c < p; ++c) {
        ri[c * p + c] = 1 / r(c, c);
        for (std::size_t i = c; i-- > 0;) {
            double sum = 0;
            for (std::size_t j = i + 1; j <= c; ++j) sum += r(i, j) * ri[j * p + c];
            ri[i * p + c] = -sum / r(i, i);
        }
    }
    s.p.resize(p);
    for (std::size_t j = 0; j < p; ++j) s.p[j] = z[j] / scale[j];
    s.inverse_normal.assign(p * p, 0.0);
    for (std::size_t i = 0; i < p; ++i)
        for (std::size_t j = 0; j < p; ++j) {
            double sum = 0;
            for (std::size_t m = std::max(i, j); m < p; ++m) sum += ri[i * p + m] * ri[j * p + m];
            s.inverse_normal[i * p + j] = sum / (scale[i] * scale[j]);
        }
    for (std::size_t k = 0; k < n; ++k) {
        double fitted = 0;
        for (std::size_t j = 0; j < p; ++j) fitted += x(k, j) * s.p[j];
        const double e = y[k] - fitted;
        s.chi2 += (weights.empty() ? 1.0 : weights[k]) * e * e;
    }
    s.ok = std::isfinite(s.chi2);
    return s;
}

}  // namespace fit
