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

namespace analysis {

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

}  // namespace analysis
