#include "crystal/ff_plot.hpp"

#include <algorithm>
#include <cmath>

namespace crystal {

namespace {

// f of eta = V/V0, and df/deta.
double strain_of(FfStrain s, double eta) {
    switch (s) {
        case FfStrain::eulerian:
            return 0.5 * (std::pow(eta, -2.0 / 3.0) - 1.0);
        case FfStrain::natural:
            return -std::log(eta) / 3.0;
        case FfStrain::vinet:
            return 1.0 - std::cbrt(eta);
    }
    return 0;
}

double strain_slope(FfStrain s, double eta) {
    switch (s) {
        case FfStrain::eulerian:
            return -std::pow(eta, -5.0 / 3.0) / 3.0;
        case FfStrain::natural:
            return -1.0 / (3.0 * eta);
        case FfStrain::vinet:
            return -std::pow(eta, -2.0 / 3.0) / 3.0;
    }
    return 0;
}

// eta of f: the inverse of strain_of.
double eta_of(FfStrain s, double f) {
    switch (s) {
        case FfStrain::eulerian:
            return std::pow(1.0 + 2.0 * f, -1.5);
        case FfStrain::natural:
            return std::exp(-3.0 * f);
        case FfStrain::vinet:
            return std::pow(1.0 - f, 3.0);
    }
    return 1;
}

// F / P, so that F and its sigma stay finite at P = 0.
double f_over_p(FfStrain s, double eta, double f) {
    switch (s) {
        case FfStrain::eulerian:
            return 1.0 / (3.0 * f * std::pow(1.0 + 2.0 * f, 2.5));
        case FfStrain::natural:
            return eta / (3.0 * f);
        case FfStrain::vinet:
            return std::pow(eta, 2.0 / 3.0) / (3.0 * f);
    }
    return 0;
}

// d ln F / d eta at fixed P.
double log_slope(FfStrain s, double eta, double f) {
    switch (s) {
        case FfStrain::eulerian: {
            const double e = std::pow(eta, 2.0 / 3.0);
            return (7.0 - 5.0 * e) / (3.0 * eta * (1.0 - e));
        }
        case FfStrain::natural:
            return 1.0 / eta + 1.0 / (3.0 * eta * f);
        case FfStrain::vinet:
            return 2.0 / (3.0 * eta) + std::pow(eta, -2.0 / 3.0) / (3.0 * f);
    }
    return 0;
}

}  // namespace

FfStrain ff_strain(EosModel model) {
    switch (model) {
        case EosModel::natural:
            return FfStrain::natural;
        case EosModel::vinet:
            return FfStrain::vinet;
        default:
            return FfStrain::eulerian;
    }
}

FfPlot ff_plot(const EosFit& fit, const EosData& data) {
    FfPlot plot;
    plot.strain = ff_strain(fit.model);
    const FfStrain s = plot.strain;
    const bool logarithmic = s == FfStrain::vinet;
    const double v0 = fit.q[0];
    const double sigma_v0 = fit.covariance.size() ? std::sqrt(std::max(0.0, fit.covariance(0, 0))) : 0.0;
    double f_lo = 0, f_hi = 0;
    for (std::size_t n = 0; n < data.v.size(); ++n) {
        const double v = data.v[n], p = data.p[n];
        const double eta = v / v0;
        const double f = strain_of(s, eta);
        if (f == 0 || !std::isfinite(f)) continue;
        const double sigma_eta = eta * std::hypot(data.sigma_v[n] / v, sigma_v0 / v0);
        const double per_p = f_over_p(s, eta, f);
        const double F = p * per_p;
        // sigma F = F sqrt[(sigmaP/P)^2 + (dlnF/deta)^2 sigma_eta^2], with
        // F sigmaP / P written as sigmaP F/P so that P = 0 is no 0/0.
        const double sigma_F = std::hypot(data.sigma_p[n] * per_p, F * log_slope(s, eta, f) * sigma_eta);
        FfPoint point{n, f, std::abs(strain_slope(s, eta)) * sigma_eta, F, sigma_F};
        if (logarithmic) {
            if (!(F > 0)) continue;
            point.F = std::log(F);
            point.sigma_F = sigma_F / F;
        }
        if (!std::isfinite(point.F) || !std::isfinite(point.sigma_F) || !std::isfinite(point.sigma_f)) continue;
        plot.points.push_back(point);
        f_lo = std::min(f_lo, f);
        f_hi = std::max(f_hi, f);
    }
    if (plot.points.empty()) return plot;
    constexpr int samples = 100;
    for (int k = 0; k < samples; ++k) {
        double f = f_lo + (f_hi - f_lo) * k / (samples - 1);
        // F at f = 0 is the limit: taken a hair away, where it is P/f.
        if (std::abs(f) < 1e-6 * (f_hi - f_lo)) f = 1e-6 * (f_hi - f_lo);
        const double eta = eta_of(s, f);
        const double F = eos_pressure(fit.model, fit.q, eta * v0) * f_over_p(s, eta, f);
        if (logarithmic && !(F > 0)) continue;
        const double y = logarithmic ? std::log(F) : F;
        if (!std::isfinite(y)) continue;
        plot.line_f.push_back(f);
        plot.line_F.push_back(y);
    }
    return plot;
}

}  // namespace crystal
