#include "crystal/levenberg_marquardt.hpp"

#include <unsupported/Eigen/NonLinearOptimization>

namespace crystal {

namespace {

// The shape of functor Eigen's search asks for.
struct Functor {
    const LeastSquares& problem;
    int inputs() const { return problem.parameters; }
    int values() const { return problem.rows; }
    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& r) const {
        problem.residuals(x, r);
        return 0;
    }
    int df(const Eigen::VectorXd& x, Eigen::MatrixXd& j) const {
        problem.jacobian(x, j);
        return 0;
    }
};

}  // namespace

SearchEnd levenberg_marquardt(const LeastSquares& problem, const SearchLimits& limits, Eigen::VectorXd& x) {
    Functor functor{problem};
    Eigen::LevenbergMarquardt<Functor> lm(functor);
    lm.parameters.ftol = limits.ftol;
    lm.parameters.xtol = limits.xtol;
    lm.parameters.maxfev = limits.max_evaluations;
    switch (lm.minimize(x)) {
        case Eigen::LevenbergMarquardtSpace::TooManyFunctionEvaluation:
            return SearchEnd::too_many_evaluations;
        case Eigen::LevenbergMarquardtSpace::ImproperInputParameters:
            return SearchEnd::improper_input;
        default:
            return SearchEnd::converged;
    }
}

}  // namespace crystal
