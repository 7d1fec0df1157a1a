#pragma once
// Principal compressibilities of a pressure series, as the principal-axis
// strain calculator's pressure mode gives them: the principal strains of
// every row relative to the lowest pressure (expansion.hpp, P in place of
// T), each fitted by the empirical strain law
//     eps(p) = eps0 + lambda (p - pc)^nu,     pc <= p_min, nu >= 0,
// weighted 1/sigmaP^2 and its covariance always scaled by the residual
// variance; the compressibility K(p) = -d eps/dp in TPa^-1.

#include <array>
#include <vector>

#include <Eigen/Dense>

namespace crystal {

struct StrainLaw {
    std::array<double, 4> q{};  // eps0, lambda, pc, nu
    Eigen::Matrix4d covariance = Eigen::Matrix4d::Zero();
    double chi2_nu = 0;        // s^2 = sum w r^2 / (N - 4)
    bool pc_on_bound = false;  // pc at p_min: K infinite there
    bool nu_on_bound = false;  // nu at 0 or 1000
};

// `sigma_p` one positive value per row; at least 5 rows.  Throws
// std::runtime_error when the search fails.
StrainLaw fit_strain_law(const std::vector<double>& p, const std::vector<double>& strain,
                         const std::vector<double>& sigma_p);

struct AxisCompressibility {
    bool defined = false;  // false at p <= pc
    double k = 0;          // TPa^-1
    double sigma = 0;
};

AxisCompressibility strain_law_compressibility(const StrainLaw& law, double p);

// The calculator's third-order Birch-Murnaghan fit with a critical pressure
// pc held fixed, eta = (V0/V)^(1/3):
//     p = eta^5 [pc - (3K0 - 5pc)(1 - eta^2)/2
//                + (9/8) K0 (K' - 4 + 35 pc/(9 K0)) (1 - eta^2)^2],
// which gives p = pc at V = V0 and is the plain third order at pc = 0.
// Weights 1/sigmaP^2, covariance always scaled by s^2 = chi2/(N - 3).
struct CriticalBm3 {
    std::array<double, 3> q{};  // V0, K0, K'
    Eigen::Matrix3d covariance = Eigen::Matrix3d::Zero();
    double chi2_nu = 0;
};

// From `start` (the plain third-order optimum); more than three rows.
// Throws std::runtime_error when the search fails.
CriticalBm3 fit_critical_bm3(const std::vector<double>& p, const std::vector<double>& v,
                             const std::vector<double>& sigma_p, double pc, const std::array<double, 3>& start);

double critical_bm3_pressure(const std::array<double, 3>& q, double pc, double v);

}  // namespace crystal
