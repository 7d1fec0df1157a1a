#include "fit/temperature_model.hpp"

#include <cmath>
#include <limits>

namespace fit {

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// theta / (exp(theta/T) - 1) and its derivative by T, u^2 e^u / (e^u - 1)^2
// with u = theta/T, written to stay finite where exp(u) overflows.
double einstein_term(double theta, double t) { return theta / std::expm1(theta / t); }

double einstein_heat(double theta, double t) {
    const double u = theta / t;
    // u^2 itself overflows for u above 1e154 (T near 0).
    if (std::isinf(u)) return 0;
    if (u > 300) return std::exp(2 * std::log(u) - u);
    const double em1 = std::expm1(u);
    return u * u * std::exp(u) / (em1 * em1);
}

double fei_exponent(double t_ref, const std::vector<double>& p, double t) {
    return p[1] * (t - t_ref) + 0.5 * p[2] * (t * t - t_ref * t_ref) - p[3] * (1 / t - 1 / t_ref);
}

}  // namespace

std::string model_name(const ModelFit& fit) {
    switch (fit.kind) {
        case ModelKind::polynomial:
            return "poly" + std::to_string(fit.p.size() - 1);
        case ModelKind::fei:
            return "fei";
        case ModelKind::einstein:
            return "einstein";
    }
    return "";
}

double model_value(ModelKind kind, double t_ref, const std::vector<double>& p, double t) {
    switch (kind) {
        case ModelKind::polynomial: {
            const double tau = t - t_ref;
            double x = 0;
            for (std::size_t k = p.size(); k-- > 0;) x = x * tau + p[k];
            return x;
        }
        case ModelKind::fei:
            return p[0] * std::exp(fei_exponent(t_ref, p, t));
        case ModelKind::einstein:
            return p[0] + p[1] * einstein_term(p[2], t);
    }
    return nan;
}

double model_slope(ModelKind kind, double t_ref, const std::vector<double>& p, double t) {
    switch (kind) {
        case ModelKind::polynomial: {
            const double tau = t - t_ref;
            double d = 0;
            for (std::size_t k = p.size(); k-- > 1;) d = d * tau + double(k) * p[k];
            return d;
        }
        case ModelKind::fei:
            return model_value(kind, t_ref, p, t) * (p[1] + p[2] * t + p[3] / (t * t));
        case ModelKind::einstein:
            return p[1] * einstein_heat(p[2], t);
    }
    return nan;
}

std::vector<std::string> parameter_names(const ModelFit& fit) {
    switch (fit.kind) {
        case ModelKind::fei:
            return {"x0", "a0", "a1", "a2"};
        case ModelKind::einstein:
            return {"x0", "A", "theta"};
        case ModelKind::polynomial:
            break;
    }
    std::vector<std::string> names;
    for (std::size_t k = 0; k < fit.p.size(); ++k) names.push_back("c" + std::to_string(k));
    return names;
}

std::vector<ParameterUnit> parameter_units(const ModelFit& fit) {
    switch (fit.kind) {
        case ModelKind::fei:
            return {{1, 0}, {0, -1}, {0, -2}, {0, 1}};
        case ModelKind::einstein:
            return {{1, 0}, {1, -1}, {0, 1}};
        case ModelKind::polynomial:
            break;
    }
    std::vector<ParameterUnit> units;
    for (std::size_t k = 0; k < fit.p.size(); ++k) units.push_back({1, -int(k)});
    return units;
}

double correlation(const ModelFit& fit, std::size_t k, std::size_t l) {
    const std::size_t p = fit.p.size();
    const double ck = fit.covariance[k * p + k], cl = fit.covariance[l * p + l];
    if (!(ck > 0) || !(cl > 0)) return nan;
    return fit.covariance[k * p + l] / (std::sqrt(ck) * std::sqrt(cl));
}

double aicc(double chi2, std::size_t n, std::size_t p) {
    if (n < p + 2) return nan;
    const double dn = double(n), dp = double(p);
    const double misfit = chi2 > 0 ? dn * std::log(chi2 / dn) : -std::numeric_limits<double>::infinity();
    return misfit + 2 * dp + 2 * dp * (dp + 1) / (dn - dp - 1);
}

void set_fit_statistics(ModelFit& fit, const std::vector<double>& inverse_normal) {
    const std::size_t p = fit.p.size();
    fit.reduced_chi2 = fit.n > p ? fit.chi2 / double(fit.n - p) : nan;
    fit.aicc = aicc(fit.chi2, fit.n, p);
    const double factor = fit.weighted ? std::max(1.0, fit.reduced_chi2) : fit.reduced_chi2;
    fit.covariance.resize(inverse_normal.size());
    for (std::size_t i = 0; i < inverse_normal.size(); ++i) fit.covariance[i] = inverse_normal[i] * factor;
}

std::vector<double> parameter_gradient(const ModelFit& fit,
                                       const std::function<double(const std::vector<double>&)>& f) {
    const std::size_t p = fit.p.size();
    std::vector<double> g(p, 0.0);
    std::vector<double> q = fit.p;
    for (std::size_t k = 0; k < p; ++k) {
        const double c = fit.covariance[k * p + k];
        if (!(c > 0)) continue;
        const double h = 1e-3 * std::sqrt(c);
        q[k] = fit.p[k] + h;
        const double up = f(q);
        q[k] = fit.p[k] - h;
        const double down = f(q);
        q[k] = fit.p[k];
        g[k] = (up - down) / (2 * h);
    }
    return g;
}

double propagated_sigma(const ModelFit& fit, const std::vector<double>& g) {
    const std::size_t p = fit.p.size();
    double var = 0;
    for (std::size_t i = 0; i < p; ++i)
        for (std::size_t j = 0; j < p; ++j) var += g[i] * fit.covariance[i * p + j] * g[j];
    return std::sqrt(std::max(0.0, var));
}

namespace {

formats::Estimate estimate(const ModelFit& fit, const std::function<double(const std::vector<double>&)>& f) {
    return {f(fit.p), propagated_sigma(fit, parameter_gradient(fit, f))};
}

}  // namespace

formats::Estimate value_at(const ModelFit& fit, double t) {
    return estimate(fit, [&](const std::vector<double>& p) { return model_value(fit.kind, fit.t_ref, p, t); });
}

formats::Estimate slope_at(const ModelFit& fit, double t) {
    return estimate(fit, [&](const std::vector<double>& p) { return model_slope(fit.kind, fit.t_ref, p, t); });
}

formats::Estimate relative_slope_at(const ModelFit& fit, double t) {
    return estimate(fit, [&](const std::vector<double>& p) {
        return model_slope(fit.kind, fit.t_ref, p, t) / model_value(fit.kind, fit.t_ref, p, t);
    });
}

}  // namespace fit
