#include "crystal/compression.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <stdexcept>

#include <Eigen/Dense>

#include "crystal/levenberg_marquardt.hpp"
#include "fit/hc0_fit.hpp"

namespace crystal {

namespace {

constexpr double per_tpa = 1000;  // GPa^-1 to TPa^-1

// eps and its derivatives by (eps0, lambda, pc, nu) at p.
double law_value(const std::array<double, 4>& q, double p) { return q[0] + q[1] * std::pow(p - q[2], q[3]); }

std::array<double, 4> law_gradient(const std::array<double, 4>& q, double p) {
    const double t = p - q[2], tn = std::pow(t, q[3]);
    return {1.0, tn, -q[1] * q[3] * tn / t, q[1] * tn * std::log(t)};
}

// The search runs on pc = p_min - e^s and nu = e^r, which keeps pc below
// every pressure and nu positive whatever step it takes.
struct LawResiduals {
    const std::vector<double>& p;
    const std::vector<double>& strain;
    const std::vector<double>& sigma;
    double p_min;
    std::array<double, 4> law(const Eigen::VectorXd& x) const {
        return {x(0), x(1), p_min - std::exp(x(2)), std::exp(x(3))};
    }
    int inputs() const { return 4; }
    int values() const { return int(p.size()); }
    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& r) const {
        const auto q = law(x);
        for (std::size_t k = 0; k < p.size(); ++k) r(Eigen::Index(k)) = (strain[k] - law_value(q, p[k])) / sigma[k];
        return 0;
    }
    int df(const Eigen::VectorXd& x, Eigen::MatrixXd& j) const {
        const auto q = law(x);
        for (std::size_t k = 0; k < p.size(); ++k) {
            const auto g = law_gradient(q, p[k]);
            const auto row = Eigen::Index(k);
            j(row, 0) = -g[0] / sigma[k];
            j(row, 1) = -g[1] / sigma[k];
            j(row, 2) = g[2] * std::exp(x(2)) / sigma[k];
            j(row, 3) = -g[3] * std::exp(x(3)) / sigma[k];
        }
        return 0;
    }
};

// P(V) of the third order with pc, for real and complex arguments: its
// derivatives are taken by the complex step.
template <class T>
T critical_pressure(T v0, T k0, T kp, double pc, T v) {
    const T eta = std::pow(v0 / v, 1.0 / 3.0);
    const T e2 = 1.0 - eta * eta;
    return std::pow(eta, 5.0) *
           (pc - 0.5 * (3.0 * k0 - 5.0 * pc) * e2 + 9.0 / 8.0 * k0 * (kp - 4.0 + 35.0 * pc / (9.0 * k0)) * e2 * e2);
}

std::array<double, 3> critical_gradient(const std::array<double, 3>& q, double pc, double v) {
    std::array<double, 3> g{};
    for (std::size_t k = 0; k < 3; ++k) {
        std::array<std::complex<double>, 3> x{q[0], q[1], q[2]};
        const double h = 1e-30 * std::max(1.0, std::abs(q[k]));
        x[k] += std::complex<double>(0, h);
        g[k] = critical_pressure<std::complex<double>>(x[0], x[1], x[2], pc, v).imag() / h;
    }
    return g;
}

struct CriticalResiduals {
    const std::vector<double>& p;
    const std::vector<double>& v;
    const std::vector<double>& sigma;
    double pc;
    int inputs() const { return 3; }
    int values() const { return int(p.size()); }
    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& r) const {
        for (std::size_t k = 0; k < p.size(); ++k)
            r(Eigen::Index(k)) = (p[k] - critical_pressure<double>(x(0), x(1), x(2), pc, v[k])) / sigma[k];
        return 0;
    }
    int df(const Eigen::VectorXd& x, Eigen::MatrixXd& j) const {
        for (std::size_t k = 0; k < p.size(); ++k) {
            const auto g = critical_gradient({x(0), x(1), x(2)}, pc, v[k]);
            for (int i = 0; i < 3; ++i) j(Eigen::Index(k), i) = -g[std::size_t(i)] / sigma[k];
        }
        return 0;
    }
};

}  // namespace

double critical_bm3_pressure(const std::array<double, 3>& q, double pc, double v) {
    return critical_pressure<double>(q[0], q[1], q[2], pc, v);
}

CriticalBm3 fit_critical_bm3(const std::vector<double>& p, const std::vector<double>& v,
                             const std::vector<double>& sigma_p, double pc, const std::array<double, 3>& start) {
    const std::size_t n = p.size();
    if (n <= 3) throw std::runtime_error("the third order with pc needs more than 3 rows");
    CriticalResiduals residuals{p, v, sigma_p, pc};
    Eigen::VectorXd x(3);
    x << start[0], start[1], start[2];
    const SearchEnd end = levenberg_marquardt(problem_of(residuals), {1e-15, 1e-12, 2000}, x);
    if (!x.allFinite() || end == SearchEnd::too_many_evaluations)
        throw std::runtime_error("the third-order fit with pc does not converge: the data do not determine it");
    CriticalBm3 fit;
    fit.q = {x(0), x(1), x(2)};
    Eigen::MatrixXd j(static_cast<Eigen::Index>(n), 3);
    double chi2 = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const auto g = critical_gradient(fit.q, pc, v[k]);
        for (int i = 0; i < 3; ++i) j(Eigen::Index(k), i) = g[std::size_t(i)] / sigma_p[k];
        const double r = (p[k] - critical_bm3_pressure(fit.q, pc, v[k])) / sigma_p[k];
        chi2 += r * r;
    }
    fit.chi2_nu = chi2 / double(n - 3);
    const Eigen::Vector3d scale = j.colwise().norm().transpose();
    const Eigen::MatrixXd js = j * scale.cwiseInverse().asDiagonal();
    fit.covariance = fit.chi2_nu * scale.cwiseInverse().asDiagonal() * Eigen::Matrix3d(js.transpose() * js).inverse() *
                     scale.cwiseInverse().asDiagonal();
    return fit;
}

StrainLaw fit_strain_law(const std::vector<double>& p, const std::vector<double>& strain,
                         const std::vector<double>& sigma_p) {
    const std::size_t n = p.size();
    if (n < 5) throw std::runtime_error("the strain law needs at least 5 rows");
    const double p_min = *std::min_element(p.begin(), p.end());
    std::vector<double> weights(n);
    for (std::size_t k = 0; k < n; ++k) weights[k] = 1 / sigma_p[k];
    // The calculator starts from the straight line, its two coefficients
    // handed over in the order (slope, intercept): only where the search
    // starts depends on it.
    const fit::LineDesign design = fit::line_design(p, weights);
    if (!design.ok) throw std::runtime_error("every row is at the same pressure");
    const fit::Hc0Line line = fit::weighted_line(design, strain);
    Eigen::VectorXd x(4);
    x << line.slope, line.intercept, std::log(0.001), std::log(0.5);

    LawResiduals residuals{p, strain, sigma_p, p_min};
    levenberg_marquardt(problem_of(residuals), {1e-15, 1e-12, 4000}, x);
    if (!x.allFinite()) throw std::runtime_error("the strain law's search leaves the range of a double");

    StrainLaw law;
    law.q = residuals.law(x);
    // On a bound within rounding: pc at p_min, nu at 0 or its upper bound.
    if (law.q[3] > 1000) law.q[3] = 1000, law.nu_on_bound = true;
    law.pc_on_bound = p_min - law.q[2] <= 1e-9 * std::max(1.0, std::abs(p_min));
    law.nu_on_bound = law.nu_on_bound || law.q[3] <= 1e-9;
    Eigen::MatrixXd j(static_cast<Eigen::Index>(n), 4);
    double chi2 = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const auto g = law_gradient(law.q, p[k]);
        for (int i = 0; i < 4; ++i) j(Eigen::Index(k), i) = g[std::size_t(i)] / sigma_p[k];
        const double r = (strain[k] - law_value(law.q, p[k])) / sigma_p[k];
        chi2 += r * r;
    }
    law.chi2_nu = chi2 / double(n - 4);
    const Eigen::Vector4d scale = j.colwise().norm().transpose();
    if ((scale.array() > 0).all() && scale.allFinite()) {
        const Eigen::MatrixXd js = j * scale.cwiseInverse().asDiagonal();
        const Eigen::Matrix4d inv = (js.transpose() * js).inverse();
        law.covariance = law.chi2_nu * scale.cwiseInverse().asDiagonal() * inv * scale.cwiseInverse().asDiagonal();
    } else {
        law.covariance.setConstant(std::numeric_limits<double>::quiet_NaN());
    }
    return law;
}

AxisCompressibility strain_law_compressibility(const StrainLaw& law, double p) {
    AxisCompressibility out;
    const double lambda = law.q[1], pc = law.q[2], nu = law.q[3];
    const double t = p - pc;
    if (!(t > 0)) return out;
    out.defined = true;
    out.k = -lambda * nu * std::pow(t, nu - 1) * per_tpa;
    const Eigen::Vector4d g =
        per_tpa * Eigen::Vector4d(0, -nu * std::pow(t, nu - 1), lambda * nu * (nu - 1) * std::pow(t, nu - 2),
                                  -lambda * std::pow(t, nu - 1) * (1 + nu * std::log(t)));
    out.sigma = std::sqrt(std::max(0.0, g.dot(law.covariance * g)));
    return out;
}

}  // namespace crystal
