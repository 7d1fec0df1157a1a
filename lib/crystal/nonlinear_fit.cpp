#include "crystal/nonlinear_fit.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <string>

#include <Eigen/Dense>

#include "crystal/levenberg_marquardt.hpp"
#include "fit/linear_least_squares.hpp"
#include "formats/printed.hpp"

namespace crystal {

namespace {

double weight(const std::vector<double>& weights, std::size_t k) { return weights.empty() ? 1.0 : weights[k]; }

// The partial derivatives of the model at T by its parameters.
void model_gradient(fit::ModelKind kind, double t_ref, const Eigen::VectorXd& p, double t, double* row) {
    if (kind == fit::ModelKind::fei) {
        const double e =
            std::exp(p(1) * (t - t_ref) + 0.5 * p(2) * (t * t - t_ref * t_ref) - p(3) * (1 / t - 1 / t_ref));
        row[0] = e;
        row[1] = p(0) * e * (t - t_ref);
        row[2] = p(0) * e * 0.5 * (t * t - t_ref * t_ref);
        row[3] = -p(0) * e * (1 / t - 1 / t_ref);
    } else {  // einstein
        const double theta = p(2), u = theta / t;
        const double em1 = std::expm1(u);
        row[0] = 1;
        row[1] = theta / em1;
        // d/dtheta of theta/(e^u - 1) = 1/(e^u - 1) - u e^u/(e^u - 1)^2
        row[2] = u > 300 ? p(1) * (1 - u) * std::exp(-u) : p(1) * (1 / em1 - u * std::exp(u) / (em1 * em1));
    }
}

// Weighted residuals sqrt(w) (x - model) and their Jacobian, as Eigen's
// Levenberg-Marquardt wants them.
struct Residuals {
    fit::ModelKind kind;
    double t_ref;
    const std::vector<double>& t;
    const std::vector<double>& x;
    const std::vector<double>& weights;
    int parameters;

    int inputs() const { return parameters; }
    int values() const { return int(t.size()); }
    int operator()(const Eigen::VectorXd& p, Eigen::VectorXd& r) const {
        const std::vector<double> q(p.data(), p.data() + p.size());
        for (std::size_t k = 0; k < t.size(); ++k)
            r(Eigen::Index(k)) = std::sqrt(weight(weights, k)) * (x[k] - fit::model_value(kind, t_ref, q, t[k]));
        return 0;
    }
    int df(const Eigen::VectorXd& p, Eigen::MatrixXd& jacobian) const {
        double row[4];
        for (std::size_t k = 0; k < t.size(); ++k) {
            model_gradient(kind, t_ref, p, t[k], row);
            const double root_w = std::sqrt(weight(weights, k));
            for (int j = 0; j < parameters; ++j) jacobian(Eigen::Index(k), j) = -root_w * row[j];
        }
        return 0;
    }
};

// The curve and its slope finite at every measured temperature and between:
// a fit that diverged can be finite at its rows and not in a gap.
bool finite_over_range(const fit::ModelFit& fit, const std::vector<double>& t) {
    const auto [low, high] = std::minmax_element(t.begin(), t.end());
    std::vector<double> at = t;
    constexpr int between = 200;
    for (int i = 0; i <= between; ++i) at.push_back(*low + (*high - *low) * i / between);
    for (double x : at)
        if (!std::isfinite(fit::model_value(fit.kind, fit.t_ref, fit.p, x)) ||
            !std::isfinite(fit::model_slope(fit.kind, fit.t_ref, fit.p, x)))
            return false;
    return true;
}

// Levenberg-Marquardt from `start`, then chi2 and the covariance from the
// Jacobian at the minimum; nullopt when the parameters are not determined.
std::optional<fit::ModelFit> polish(fit::ModelKind kind, double t_ref, const std::vector<double>& t,
                                    const std::vector<double>& x, const std::vector<double>& weights,
                                    const std::vector<double>& start) {
    const int np = int(start.size());
    Residuals residuals{kind, t_ref, t, x, weights, np};
    Eigen::VectorXd p = Eigen::Map<const Eigen::VectorXd>(start.data(), np);
    if (levenberg_marquardt(problem_of(residuals), {1e-14, 1e-14, 2000}, p) != SearchEnd::converged || !p.allFinite())
        return std::nullopt;

    fit::ModelFit fit;
    fit.kind = kind;
    fit.t_ref = t_ref;
    fit.p.assign(p.data(), p.data() + np);
    fit.n = t.size();
    fit.weighted = !weights.empty();
    // (J'WJ)^-1 through the same QR as the linear fits: columns that depend
    // on each other mean parameters the data cannot tell apart.
    fit::DesignMatrix jacobian(t.size(), std::size_t(np));
    std::vector<double> residual(t.size());
    double row[4];
    for (std::size_t k = 0; k < t.size(); ++k) {
        model_gradient(kind, t_ref, p, t[k], row);
        for (int j = 0; j < np; ++j) jacobian(k, std::size_t(j)) = row[j];
        residual[k] = x[k] - fit::model_value(kind, t_ref, fit.p, t[k]);
    }
    const fit::LinearSolution s = fit::solve_least_squares(jacobian, residual, weights);
    if (!s.ok) return std::nullopt;
    for (std::size_t k = 0; k < t.size(); ++k) fit.chi2 += weight(weights, k) * residual[k] * residual[k];
    fit::set_fit_statistics(fit, s.inverse_normal);
    for (double c : fit.covariance)
        if (!std::isfinite(c)) return std::nullopt;
    if (!std::isfinite(fit.chi2) || !finite_over_range(fit, t)) return std::nullopt;
    return fit;
}

double mean(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size()); }

std::string rows_text(std::size_t n) { return std::to_string(n) + (n == 1 ? " row" : " rows"); }

// The linear fit x = x0 + A theta/(exp(theta/T) - 1) at a fixed theta.
fit::LinearSolution einstein_at(double theta, const std::vector<double>& t, const std::vector<double>& x,
                                const std::vector<double>& weights) {
    fit::DesignMatrix design(t.size(), 2);
    for (std::size_t k = 0; k < t.size(); ++k) {
        design(k, 0) = 1;
        design(k, 1) = theta / std::expm1(theta / t[k]);
    }
    return fit::solve_least_squares(design, x, weights);
}

// chi2 of that fit alone, from centred sums over the rows (two columns
// need no QR), for the profile over theta that runs it a few hundred times.
double einstein_chi2(double theta, const std::vector<double>& t, const std::vector<double>& x,
                     const std::vector<double>& weights, std::vector<double>& f) {
    const std::size_t n = t.size();
    double sw = 0, sf = 0, sx = 0;
    for (std::size_t k = 0; k < n; ++k) {
        f[k] = theta / std::expm1(theta / t[k]);
        const double w = weight(weights, k);
        sw += w, sf += w * f[k], sx += w * x[k];
    }
    const double mf = sf / sw, mx = sx / sw;
    double sff = 0, sfx = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const double w = weight(weights, k);
        sff += w * (f[k] - mf) * (f[k] - mf);
        sfx += w * (f[k] - mf) * (x[k] - mx);
    }
    if (!(sff > 0) || !std::isfinite(sff)) return std::numeric_limits<double>::infinity();
    const double slope = sfx / sff;
    double chi2 = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const double e = x[k] - mx - slope * (f[k] - mf);
        chi2 += weight(weights, k) * e * e;
    }
    return chi2;
}

}  // namespace

fit::FitOutcome fit_fei(const std::vector<double>& t, const std::vector<double>& x,
                        const std::vector<double>& weights) {
    fit::FitOutcome out;
    const std::size_t n = t.size();
    if (n <= 4) {
        out.refusal = "fei has 4 parameters and needs more rows than that (" + rows_text(n) + ")";
        return out;
    }
    for (std::size_t k = 0; k < n; ++k)
        if (!(t[k] > 0) || !(x[k] > 0)) {
            out.refusal = "fei needs positive temperatures and values";
            return out;
        }
    const double t_ref = mean(t);
    // ln x is linear in ln x0, a0, a1, a2; its ESD is sigma/x.
    fit::DesignMatrix design(n, 4);
    std::vector<double> ln_x(n), ln_weights;
    for (std::size_t k = 0; k < n; ++k) {
        design(k, 0) = 1;
        design(k, 1) = t[k] - t_ref;
        design(k, 2) = 0.5 * (t[k] * t[k] - t_ref * t_ref);
        design(k, 3) = -(1 / t[k] - 1 / t_ref);
        ln_x[k] = std::log(x[k]);
        if (!weights.empty()) ln_weights.push_back(weights[k] * x[k] * x[k]);
    }
    const fit::LinearSolution start = fit::solve_least_squares(design, ln_x, ln_weights);
    if (!start.ok) {
        out.refusal = "fei needs at least 4 distinct temperatures";
        return out;
    }
    const std::vector<double> p0{std::exp(start.p[0]), start.p[1], start.p[2], start.p[3]};
    out.fit = polish(fit::ModelKind::fei, t_ref, t, x, weights, p0);
    if (!out.fit)
        out.refusal =
            "the fei fit does not converge to finite values over the measured range; try a polynomial (--model poly2)";
    return out;
}

fit::FitOutcome fit_einstein(const std::vector<double>& t, const std::vector<double>& x,
                             const std::vector<double>& weights) {
    fit::FitOutcome out;
    const std::size_t n = t.size();
    if (n <= 3) {
        out.refusal = "einstein has 3 parameters and needs more rows than that (" + rows_text(n) + ")";
        return out;
    }
    const auto [t_min, t_max] = std::minmax_element(t.begin(), t.end());
    if (!(*t_min > 0)) {
        out.refusal = "einstein needs positive temperatures";
        return out;
    }
    const std::string undetermined =
        "the data do not determine the Einstein temperature theta (its best value lies at the edge of " +
        formats::printed("%.3g to %.3g K", 0.1 * *t_min, 10 * *t_max) + "); try a polynomial (--model poly2)";

    // chi2 against ln theta on a geometric grid, its minimum then narrowed
    // by golden sections between the grid's neighbours.
    constexpr int steps = 120;
    const double low = std::log(0.1 * *t_min), high = std::log(10 * *t_max);
    std::vector<double> column(n);
    const auto chi2_at = [&](double ln_theta) { return einstein_chi2(std::exp(ln_theta), t, x, weights, column); };
    int best = 0;
    double best_chi2 = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= steps; ++i) {
        const double c = chi2_at(low + (high - low) * i / steps);
        if (c < best_chi2) best_chi2 = c, best = i;
    }
    if (best == 0 || best == steps || !std::isfinite(best_chi2)) {
        out.refusal = undetermined;
        return out;
    }
    double a = low + (high - low) * (best - 1) / steps, b = low + (high - low) * (best + 1) / steps;
    const double golden = (std::sqrt(5.0) - 1) / 2;
    double c = b - golden * (b - a), d = a + golden * (b - a);
    double fc = chi2_at(c), fd = chi2_at(d);
    for (int i = 0; i < 60 && b - a > 1e-7; ++i) {  // Levenberg-Marquardt polishes the rest
        if (fc < fd) {
            b = d, d = c, fd = fc;
            c = b - golden * (b - a), fc = chi2_at(c);
        } else {
            a = c, c = d, fc = fd;
            d = a + golden * (b - a), fd = chi2_at(d);
        }
    }
    const double theta = std::exp(0.5 * (a + b));
    const fit::LinearSolution s = einstein_at(theta, t, x, weights);
    if (!s.ok) {
        out.refusal = undetermined;
        return out;
    }
    out.fit = polish(fit::ModelKind::einstein, mean(t), t, x, weights, {s.p[0], s.p[1], theta});
    if (!out.fit || !(out.fit->p[2] > 0)) {
        out.fit.reset();
        out.refusal = undetermined;
    }
    return out;
}

fit::FitOutcome refit_from(const fit::ModelFit& start, const std::vector<double>& t, const std::vector<double>& x,
                           const std::vector<double>& weights) {
    fit::FitOutcome out;
    if (t.size() <= start.p.size()) {
        out.refusal = "too few rows";
        return out;
    }
    out.fit = polish(start.kind, start.t_ref, t, x, weights, start.p);
    if (!out.fit) out.refusal = "no convergence";
    return out;
}

}  // namespace crystal
