#pragma once
// Weighted linear least squares, y ~ X p, by a Householder QR of the design
// matrix with its columns scaled to unit length.  Never the normal
// equations: columns such as tau^3, or T^2 beside 1/T, make X'WX too badly
// conditioned to invert directly.

#include <cstddef>
#include <vector>

namespace fit {

// Row-major, rows x cols.
struct DesignMatrix {
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::vector<double> values;

    DesignMatrix(std::size_t r, std::size_t c) : rows(r), cols(c), values(r * c, 0.0) {}
    double& operator()(std::size_t r, std::size_t c) { return values[r * cols + c]; }
    double operator()(std::size_t r, std::size_t c) const { return values[r * cols + c]; }
};

struct LinearSolution {
    bool ok = false;                     // false: fewer rows than columns, or columns that depend on each other
    std::vector<double> p;               // the parameters
    std::vector<double> inverse_normal;  // (X'WX)^-1, cols x cols row-major, not yet scaled by any residual
    double chi2 = 0;                     // sum_k w_k (y_k - (X p)_k)^2
};

// `weights` empty: every weight 1.  Otherwise one positive weight per row.
LinearSolution solve_least_squares(const DesignMatrix& x, const std::vector<double>& y,
                                   const std::vector<double>& weights);

}  // namespace fit
