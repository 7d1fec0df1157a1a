#pragma once
// The one Levenberg-Marquardt search of the non-linear fits (Eigen's port of
// MINPACK), compiled once here rather than once per fit: each fit hands it
// its residuals and their Jacobian.

#include <functional>

#include <Eigen/Core>

namespace crystal {

struct LeastSquares {
    int parameters = 0;
    int rows = 0;
    // r(x), each residual already weighted, and J = dr/dx (rows x parameters).
    std::function<void(const Eigen::VectorXd& x, Eigen::VectorXd& r)> residuals;
    std::function<void(const Eigen::VectorXd& x, Eigen::MatrixXd& j)> jacobian;
};

struct SearchLimits {
    double ftol = 1e-15;  // relative change of |r|^2 that ends the search
    double xtol = 1e-12;  // relative change of x that ends it
    int max_evaluations = 2000;
};

enum class SearchEnd {
    converged,             // or stopped by a tolerance that cannot be met
    too_many_evaluations,  // max_evaluations reached
    improper_input,        // fewer rows than parameters, or limits that mean nothing
};

// Minimises |r(x)|^2 from x, in place.
SearchEnd levenberg_marquardt(const LeastSquares& problem, const SearchLimits& limits, Eigen::VectorXd& x);

// The problem of a functor written as Eigen's search takes one: inputs(),
// values(), operator()(x, r) and df(x, j).  It refers to `f`, which must
// outlive it.
template <class F>
LeastSquares problem_of(const F& f) {
    return {f.inputs(), f.values(), [&f](const Eigen::VectorXd& x, Eigen::VectorXd& r) { f(x, r); },
            [&f](const Eigen::VectorXd& x, Eigen::MatrixXd& j) { f.df(x, j); }};
}

}  // namespace crystal
