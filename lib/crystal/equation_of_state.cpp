#include "crystal/equation_of_state.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <optional>

#include <Eigen/Dense>

#include "crystal/levenberg_marquardt.hpp"
#include "fit/temperature_model.hpp"

namespace crystal {

namespace {

using Complex = std::complex<double>;

// P(V) of each model, written once for real and complex arguments: the
// derivatives by V and by every parameter are then taken by the complex
// step, Im P(x + ih)/h, exact to rounding with no difference to cancel.
template <class T>
T pressure_of(EosModel model, T v0, T k0, T kp, T kpp, T v) {
    using std::exp;
    using std::log;
    using std::pow;
    switch (model) {
        case EosModel::bm2:
        case EosModel::bm3:
        case EosModel::bm4: {
            const T f = 0.5 * (pow(v0 / v, 2.0 / 3.0) - 1.0);
            const T b = model == EosModel::bm2 ? T(0) : 1.5 * (kp - 4.0);
            const T c = model == EosModel::bm4 ? 1.5 * (k0 * kpp + (kp - 4.0) * (kp - 3.0) + 35.0 / 9.0) : T(0);
            return 3.0 * k0 * f * pow(1.0 + 2.0 * f, 2.5) * (1.0 + b * f + c * f * f);
        }
        case EosModel::vinet: {
            const T x = pow(v / v0, 1.0 / 3.0);
            return 3.0 * k0 * (1.0 - x) / (x * x) * exp(1.5 * (kp - 1.0) * (1.0 - x));
        }
        case EosModel::natural: {
            const T f = log(v0 / v) / 3.0;
            return 3.0 * k0 * (v0 / v) * f * (1.0 + 1.5 * (kp - 2.0) * f);
        }
        case EosModel::murnaghan:
            return k0 / kp * (pow(v0 / v, kp) - 1.0);
    }
    return T(0);
}

constexpr double step = 1e-30;  // of the complex step, relative

// The parameters as the four of pressure_of, K' = 4 and K'' unused where the
// model does not fit them.
std::array<double, 4> all_four(EosModel model, const std::vector<double>& q) {
    std::array<double, 4> a{q[0], q[1], 4.0, 0.0};
    if (q.size() > 2) a[2] = q[2];
    if (q.size() > 3) a[3] = q[3];
    (void)model;
    return a;
}

// dP/dx where x is parameter k (0..3) or V (4).
double derivative(EosModel model, const std::vector<double>& q, double v, int k) {
    std::array<Complex, 5> x;
    const std::array<double, 4> a = all_four(model, q);
    for (int i = 0; i < 4; ++i) x[std::size_t(i)] = a[std::size_t(i)];
    x[4] = v;
    const double h = step * std::max(1.0, std::abs(x[std::size_t(k)].real()));
    x[std::size_t(k)] += Complex(0, h);
    return pressure_of<Complex>(model, x[0], x[1], x[2], x[3], x[4]).imag() / h;
}

double dp_dv(EosModel model, const std::vector<double>& q, double v) { return derivative(model, q, v, 4); }

std::string name_of(EosModel model) { return std::string(eos_model_name(model)); }

std::string try_instead(EosModel model) { return model == EosModel::bm2 ? "more rows" : "a lower order or more rows"; }

// Residuals (P_n - P(V_n)) / sigma_n with sigma_n held fixed, for Eigen's
// Levenberg-Marquardt.
struct Residuals {
    EosModel model;
    const EosData& data;
    const std::vector<double>& sigma;
    int inputs() const { return int(eos_parameter_count(model)); }
    int values() const { return int(data.p.size()); }
    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& r) const {
        const std::vector<double> q(x.data(), x.data() + x.size());
        for (std::size_t n = 0; n < data.p.size(); ++n)
            r(Eigen::Index(n)) = (data.p[n] - eos_pressure(model, q, data.v[n])) / sigma[n];
        return 0;
    }
    int df(const Eigen::VectorXd& x, Eigen::MatrixXd& j) const {
        const std::vector<double> q(x.data(), x.data() + x.size());
        for (std::size_t n = 0; n < data.p.size(); ++n)
            for (int k = 0; k < x.size(); ++k) j(Eigen::Index(n), k) = -derivative(model, q, data.v[n], k) / sigma[n];
        return 0;
    }
};

// The effective sigma of each row at parameters q; empty when some row has
// none (equal weights).
std::vector<double> effective_sigma(EosModel model, const std::vector<double>& q, const EosData& data) {
    std::vector<double> s(data.p.size());
    for (std::size_t n = 0; n < s.size(); ++n) {
        const double g = dp_dv(model, q, data.v[n]);
        s[n] = std::sqrt(data.sigma_p[n] * data.sigma_p[n] + g * g * data.sigma_v[n] * data.sigma_v[n]);
        if (!(s[n] > 0) || !std::isfinite(s[n])) return {};
    }
    return s;
}

std::vector<double> start_values(EosModel model, const EosData& data) {
    const std::size_t last = data.p.size() - 1;
    const double v0 = data.v[0];
    const double k0 = -v0 * (data.p[last] - data.p[0]) / (data.v[last] - data.v[0]);
    std::vector<double> q{v0, k0};
    if (eos_parameter_count(model) > 2) q.push_back(4.0);
    if (eos_parameter_count(model) > 3) q.push_back(eos_implied_k_double_prime(EosModel::bm3, q));
    return q;
}

// Levenberg-Marquardt at fixed sigma; the parameters or an EosError.
std::vector<double> minimise(EosModel model, const EosData& data, const std::vector<double>& sigma,
                             const std::vector<double>& start) {
    Residuals residuals{model, data, sigma};
    Eigen::VectorXd x = Eigen::Map<const Eigen::VectorXd>(start.data(), Eigen::Index(start.size()));
    const SearchEnd end = levenberg_marquardt(problem_of(residuals), {1e-15, 1e-12, 200 * int(start.size() + 1)}, x);
    if (end != SearchEnd::converged || !x.allFinite())
        throw EosError("the " + name_of(model) + " fit does not converge: the data do not determine it; try " +
                       try_instead(model));
    return {x.data(), x.data() + x.size()};
}

}  // namespace

std::string_view eos_model_name(EosModel model) {
    switch (model) {
        case EosModel::bm2:
            return "bm2";
        case EosModel::bm3:
            return "bm3";
        case EosModel::bm4:
            return "bm4";
        case EosModel::vinet:
            return "vinet";
        case EosModel::natural:
            return "natural";
        case EosModel::murnaghan:
            return "murnaghan";
    }
    return "";
}

std::size_t eos_parameter_count(EosModel model) { return model == EosModel::bm2 ? 2 : model == EosModel::bm4 ? 4 : 3; }

double eos_pressure(EosModel model, const std::vector<double>& q, double v) {
    const std::array<double, 4> a = all_four(model, q);
    return pressure_of<double>(model, a[0], a[1], a[2], a[3], v);
}

double eos_bulk_modulus(EosModel model, const std::vector<double>& q, double v) { return -v * dp_dv(model, q, v); }

double eos_k_prime(EosModel model, const std::vector<double>& q) { return model == EosModel::bm2 ? 4.0 : q[2]; }

double eos_implied_k_double_prime(EosModel model, const std::vector<double>& q) {
    const double k0 = q[1], kp = eos_k_prime(model, q);
    switch (model) {
        case EosModel::bm2:
        case EosModel::bm3:
            return -((3 - kp) * (4 - kp) + 35.0 / 9.0) / k0;
        case EosModel::bm4:
            return q[3];
        case EosModel::natural:
            return -(1 + (kp - 2) + (kp - 2) * (kp - 2)) / k0;
        case EosModel::vinet:
            return -((kp / 2) * (kp / 2) + kp / 2 - 19.0 / 36.0) / k0;
        case EosModel::murnaghan:
            return 0;
    }
    return 0;
}

EosFit fit_eos(EosModel model, const EosData& data, bool lengthening_allowed) {
    const std::size_t n = data.p.size(), np = eos_parameter_count(model);
    if (n <= np)
        throw EosError(std::to_string(n) + (n == 1 ? " row" : " rows") + " for the " + std::to_string(np) +
                       " parameters of " + name_of(model) + ": more rows are needed");
    EosFit fit;
    fit.model = model;
    fit.n = n;
    fit.q = start_values(model, data);
    std::vector<double> sigma = effective_sigma(model, fit.q, data);
    fit.equal_weights = sigma.empty();
    if (fit.equal_weights) sigma.assign(n, 1.0);

    Eigen::MatrixXd normal_inverse;
    // The sqrt(W) J of the final parameters, and (J'WJ)^-1 from it.
    const auto covariance_at = [&](const std::vector<double>& q, const std::vector<double>& s) {
        Eigen::MatrixXd j(static_cast<Eigen::Index>(n), static_cast<Eigen::Index>(np));
        for (std::size_t r = 0; r < n; ++r)
            for (std::size_t k = 0; k < np; ++k)
                j(Eigen::Index(r), Eigen::Index(k)) = derivative(model, q, data.v[r], int(k)) / s[r];
        // Columns scaled to unit length first, so that V0 in A^3 and K'' in
        // GPa^-1 do not make a well-determined fit look singular.
        const Eigen::VectorXd scale = j.colwise().norm().transpose();
        if ((scale.array() <= 0).any() || !scale.allFinite())
            throw EosError("the " + name_of(model) + " fit is singular: the data do not determine it; try " +
                           try_instead(model));
        const Eigen::MatrixXd js = j * scale.cwiseInverse().asDiagonal();
        Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(js);
        qr.setThreshold(1e-12);
        if (qr.rank() < Eigen::Index(np))
            throw EosError("the " + name_of(model) + " fit is singular: the data do not determine it; try " +
                           try_instead(model));
        const Eigen::MatrixXd inv = (js.transpose() * js).inverse();
        return Eigen::MatrixXd(scale.cwiseInverse().asDiagonal() * inv * scale.cwiseInverse().asDiagonal());
    };

    for (fit.rounds = 1; fit.rounds <= 100; ++fit.rounds) {
        const std::vector<double> q = minimise(model, data, sigma, fit.q);
        normal_inverse = covariance_at(q, sigma);
        bool moved = false;
        for (std::size_t k = 0; k < np; ++k)
            moved = moved || std::abs(q[k] - fit.q[k]) >
                                 1e-6 * std::sqrt(std::abs(normal_inverse(Eigen::Index(k), Eigen::Index(k))));
        fit.q = q;
        if (fit.equal_weights) break;
        sigma = effective_sigma(model, fit.q, data);
        if (sigma.empty())
            throw EosError("the " + name_of(model) + " fit leaves the range of a double; try " + try_instead(model));
        if (!moved) break;
    }
    if (!(fit.q[0] > 0) || !(fit.q[1] > 0 || (lengthening_allowed && fit.q[1] < 0)))
        throw EosError("the " + name_of(model) +
                       " fit gives V0 or K0 not positive: the data do not determine it; try " + try_instead(model));

    fit.sigma = sigma;
    fit.residuals.resize(n);
    fit.chi2 = 0;
    for (std::size_t r = 0; r < n; ++r) {
        fit.residuals[r] = (data.p[r] - eos_pressure(model, fit.q, data.v[r])) / sigma[r];
        fit.chi2 += fit.residuals[r] * fit.residuals[r];
    }
    fit.chi2_nu = fit.chi2 / double(n - np);
    normal_inverse = covariance_at(fit.q, sigma);
    fit.covariance = normal_inverse * (fit.equal_weights ? fit.chi2_nu : std::max(1.0, fit.chi2_nu));
    if (!fit.covariance.allFinite())
        throw EosError("the " + name_of(model) + " fit leaves the range of a double; try " + try_instead(model));
    return fit;
}

EosFit fit_eos_auto(const EosData& data) {
    const std::size_t n = data.p.size();
    std::optional<EosFit> best;
    double best_aicc = 0;
    for (const EosModel model : {EosModel::bm2, EosModel::bm3, EosModel::bm4}) {
        const std::size_t np = eos_parameter_count(model);
        if (n < np + 2) continue;
        EosFit fit;
        try {
            fit = fit_eos(model, data);
        } catch (const EosError&) {
            if (best) continue;  // a higher order the data do not determine
            throw;
        }
        const double score = fit::aicc(fit.chi2, n, np);
        if (!best || score < best_aicc) {
            best = fit;
            best_aicc = score;
        }
    }
    if (!best) throw EosError(std::to_string(n) + " rows: auto needs at least 4, to compare bm2 with bm3");
    return *best;
}

EosValue eos_at(const EosFit& fit, double p) {
    const EosModel model = fit.model;
    // V(p; q): Newton from V0, inside a bracket that bisection narrows.
    const auto volume_at = [model, p](const std::vector<double>& q) {
        double lo = q[0], hi = q[0];
        // P falls as V grows, or rises for an edge that lengthens under
        // pressure (K0 < 0): f is then taken with its sign turned, so that
        // it falls either way.
        const double sense = q[1] < 0 ? -1.0 : 1.0;
        const auto f = [&](double v) { return sense * (eos_pressure(model, q, v) - p); };
        // Widen the bracket until it holds the root.
        for (int i = 0; i < 200 && f(lo) < 0; ++i) lo *= 0.9;
        for (int i = 0; i < 200 && f(hi) > 0; ++i) hi *= 1.1;
        if (!(f(lo) >= 0) || !(f(hi) <= 0))
            throw EosError("no volume of the " + name_of(model) + " fit has the pressure " + std::to_string(p) +
                           " GPa");
        double v = std::clamp(q[0], lo, hi);
        for (int i = 0; i < 200; ++i) {
            const double fv = f(v);
            if (fv == 0) break;
            if (fv > 0)
                lo = v;
            else
                hi = v;
            double next = v - fv / (sense * dp_dv(model, q, v));
            if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
            if (std::abs(next - v) <= 1e-15 * v) {
                v = next;
                break;
            }
            v = next;
        }
        return v;
    };
    const std::size_t np = fit.q.size();
    EosValue out;
    out.v = volume_at(fit.q);
    out.k = eos_bulk_modulus(model, fit.q, out.v);
    Eigen::VectorXd gv(static_cast<Eigen::Index>(np)), gk(static_cast<Eigen::Index>(np));
    const double slope = dp_dv(model, fit.q, out.v);
    for (std::size_t k = 0; k < np; ++k) {
        gv(Eigen::Index(k)) = -derivative(model, fit.q, out.v, int(k)) / slope;
        // K through the whole chain, V(p; q) included, by central differences.
        const double h = 1e-3 * std::sqrt(fit.covariance(Eigen::Index(k), Eigen::Index(k)));
        if (!(h > 0)) {
            gk(Eigen::Index(k)) = 0;
            continue;
        }
        std::vector<double> up = fit.q, down = fit.q;
        up[k] += h;
        down[k] -= h;
        const double k_up = eos_bulk_modulus(model, up, volume_at(up));
        const double k_down = eos_bulk_modulus(model, down, volume_at(down));
        gk(Eigen::Index(k)) = (k_up - k_down) / (2 * h);
    }
    out.sigma_v = std::sqrt(gv.dot(fit.covariance * gv));
    out.sigma_k = std::sqrt(gk.dot(fit.covariance * gk));
    return out;
}

LinearParameters linear_modulus(const EosFit& cube_fit) {
    const std::size_t np = cube_fit.q.size();
    LinearParameters out;
    out.q = cube_fit.q;
    const double l0 = std::cbrt(cube_fit.q[0]);
    out.q[0] = l0;
    Eigen::VectorXd d = Eigen::VectorXd::Constant(Eigen::Index(np), 3.0);
    d(0) = 1.0 / (3 * l0 * l0);
    for (std::size_t k = 1; k < np; ++k) out.q[k] *= 3;
    out.covariance = d.asDiagonal() * cube_fit.covariance * d.asDiagonal();
    return out;
}

}  // namespace crystal
