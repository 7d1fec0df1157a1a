#pragma once
// Equations of state P(V) fitted to a pressure series as the
// equation-of-state programs fit them: the pressure is the dependent
// variable, each row weighted by the effective variance
//     sigma_n^2 = sigmaP_n^2 + (dP/dV at V_n)^2 sigmaV_n^2
// with dP/dV from the parameters of the previous round, iterated until the
// parameters no longer move; the covariance is (J'WJ)^-1 max(1, chi2_nu).
// A cell edge L is fitted as its cube, L^3 for V (linear_modulus turns the
// parameters into L0 and M0 = 3K0, M' = 3K', M'' = 3K'').

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <Eigen/Dense>

namespace crystal {

enum class EosModel { bm2, bm3, bm4, vinet, natural, murnaghan };

// "bm2", "bm3", ...
std::string_view eos_model_name(EosModel model);
// Parameters fitted: V0, K0, then K' (all but bm2), then K'' (bm4).
std::size_t eos_parameter_count(EosModel model);

// q = (V0, K0, K', K''), as many as the model fits.
double eos_pressure(EosModel model, const std::vector<double>& q, double v);
// K(V) = -V dP/dV.
double eos_bulk_modulus(EosModel model, const std::vector<double>& q, double v);
// K' of bm2 (4), or the fitted one.
double eos_k_prime(EosModel model, const std::vector<double>& q);
// K'' that a three-parameter form implies (bm2 with K' = 4 as bm3); bm4
// its fitted one.
double eos_implied_k_double_prime(EosModel model, const std::vector<double>& q);

struct EosData {
    std::vector<double> p;        // GPa, ascending
    std::vector<double> sigma_p;  // 0 where unknown
    std::vector<double> v;        // A^3 (or an edge cubed)
    std::vector<double> sigma_v;  // 0 where unknown
};

struct EosFit {
    EosModel model = EosModel::bm3;
    std::vector<double> q;
    Eigen::MatrixXd covariance;
    std::size_t n = 0;
    bool equal_weights = false;     // some row had neither sigmaP nor sigmaV
    double chi2 = 0;                // with the final weights
    double chi2_nu = 0;             // chi2 / (n - p), in GPa^2 with equal weights
    std::vector<double> residuals;  // (P_n - P(V_n)) / sigma_n, or P_n - P(V_n), in row order
    std::vector<double> sigma;      // the effective sigma_n of the last round (1 with equal weights)
    int rounds = 0;                 // of the effective-variance iteration
};

// Thrown when the data do not determine the model: what() says why in one
// line, naming the model and what to try.
struct EosError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Needs more rows than the model has parameters.  K0 must come out
// positive, unless `lengthening_allowed` (a cell edge that lengthens under
// pressure has M0 < 0: a result).
EosFit fit_eos(EosModel model, const EosData& data, bool lengthening_allowed = false);

// Of bm2, bm3, bm4 (those with n >= p + 2), the fit of lowest AICc; a tie
// goes to the lower order.
EosFit fit_eos_auto(const EosData& data);

struct EosValue {
    double v = 0;
    double sigma_v = 0;
    double k = 0;
    double sigma_k = 0;
};

// V and K at pressure p with their sigma from the covariance.  Throws
// EosError when P(V) = p has no solution the model reaches.
EosValue eos_at(const EosFit& fit, double p);

// The fit of an edge cubed as the edge's own: L0, M0, M', M'' and their
// covariance (sigma(L0) = sigma(V0) / (3 L0^2), M = 3K).
struct LinearParameters {
    std::vector<double> q;
    Eigen::MatrixXd covariance;
};
LinearParameters linear_modulus(const EosFit& cube_fit);

}  // namespace crystal
