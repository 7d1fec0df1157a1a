// alpha_at and what it reads off the fits at one temperature: the tensor
// L = dA/dT A^-1, alpha = (L + L')/2, from the fitted cell and its rate.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "crystal/alpha.hpp"
#include "crystal/cell_matrix.hpp"
#include "crystal/crystal_direction.hpp"

namespace crystal {

namespace {

using Voigt = Eigen::Matrix<double, 6, 1>;

constexpr std::array<int, 6> cell_fits{q_a, q_b, q_c, q_alpha, q_beta, q_gamma};

formats::Cell cell_of(const std::array<double, 6>& p) { return {p[0], p[1], p[2], p[3], p[4], p[5]}; }

// The cell parameters and their rates at T, with the parameters of the fit
// of group `changed` (an index into cell_fits, -1 for none; every member of
// a tied group moves with it) replaced by `p`.
struct CellPath {
    std::array<double, 6> value;
    std::array<double, 6> rate;
};

CellPath path_at(const AlphaFits& fits, double t, int changed, const std::vector<double>& p) {
    CellPath c;
    for (int i = 0; i < 6; ++i) {
        const fit::ModelFit& f = *fits.quantities[std::size_t(cell_fits[std::size_t(i)])].fit;
        const std::vector<double>& q = changed >= 0 && fits.ties.group[std::size_t(i)] == changed ? p : f.p;
        c.value[std::size_t(i)] = fit::model_value(f.kind, f.t_ref, q, t);
        c.rate[std::size_t(i)] = fit::model_slope(f.kind, f.t_ref, q, t);
    }
    return c;
}

// The step along the path for dA/dT: small against every parameter's scale
// (lengths relative, angles in radians).
double path_step(const CellPath& c) {
    double fastest = 0;
    for (int i = 0; i < 3; ++i) fastest = std::max(fastest, std::abs(c.rate[std::size_t(i)] / c.value[std::size_t(i)]));
    for (int i = 3; i < 6; ++i) fastest = std::max(fastest, std::abs(c.rate[std::size_t(i)]) * std::numbers::pi / 180);
    // A cell that does not change still needs a step: the derivatives by the
    // fits' parameters give it a rate, and sigma its size.
    return 1e-5 / std::max(fastest, 1e-6);
}

// alpha (per K) of the cell moving along the path, dA/dT by central
// differences over the step h.
Eigen::Matrix3d tensor_of(const CellPath& c, double h) {
    if (h == 0) return Eigen::Matrix3d::Zero();
    std::array<double, 6> up, down;
    for (std::size_t i = 0; i < 6; ++i) {
        up[i] = c.value[i] + h * c.rate[i];
        down[i] = c.value[i] - h * c.rate[i];
    }
    const Eigen::Matrix3d a = cartesian_matrix(cell_of(c.value));
    const Eigen::Matrix3d rate = (cartesian_matrix(cell_of(up)) - cartesian_matrix(cell_of(down))) / (2 * h);
    const Eigen::Matrix3d l = rate * a.inverse();
    return 0.5 * (l + l.transpose());
}

Voigt voigt(const Eigen::Matrix3d& m) {
    Voigt v;
    v << m(0, 0), m(1, 1), m(2, 2), m(1, 2), m(0, 2), m(0, 1);
    return v;
}

// The weights of the six components in n' alpha n.
Voigt quadratic_weights(const Eigen::Vector3d& n) {
    Voigt w;
    w << n(0) * n(0), n(1) * n(1), n(2) * n(2), 2 * n(1) * n(2), 2 * n(0) * n(2), 2 * n(0) * n(1);
    return w;
}

formats::Estimate estimate(const AlphaTensor& tensor, const Voigt& w) {
    return {w.dot(voigt(tensor.alpha)), std::sqrt(std::max(0.0, w.dot(tensor.covariance * w)))};
}

AlphaTensor tensor_at(const AlphaFits& fits, double t) {
    AlphaTensor out;
    const CellPath path = path_at(fits, t, -1, {});
    const double h = path_step(path);
    out.cell = cartesian_matrix(cell_of(path.value));
    out.alpha = 1e6 * tensor_of(path, h);

    // The fits are independent: the covariance of the components is the sum
    // over the fits of D' C D, D the derivatives of the components by that
    // fit's parameters.  A tied group is one fit, moving all its members.
    for (int i = 0; i < 6; ++i) {
        if (fits.ties.group[std::size_t(i)] != i) continue;
        const fit::ModelFit& f = *fits.quantities[std::size_t(cell_fits[std::size_t(i)])].fit;
        const std::size_t np = f.p.size();
        std::vector<Voigt> d(np, Voigt::Zero());
        std::vector<double> p = f.p;
        for (std::size_t k = 0; k < np; ++k) {
            const double c = f.covariance[k * np + k];
            if (!(c > 0)) continue;
            const double step = 1e-3 * std::sqrt(c);
            p[k] = f.p[k] + step;
            const Eigen::Matrix3d up = tensor_of(path_at(fits, t, i, p), h);
            p[k] = f.p[k] - step;
            const Eigen::Matrix3d down = tensor_of(path_at(fits, t, i, p), h);
            p[k] = f.p[k];
            d[k] = 1e6 * voigt(up - down) / (2 * step);
        }
        for (std::size_t k = 0; k < np; ++k)
            for (std::size_t l = 0; l < np; ++l) out.covariance += f.covariance[k * np + l] * d[k] * d[l].transpose();
    }

    const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(out.alpha);
    for (int i = 0; i < 3; ++i) {
        PrincipalAxis& axis = out.principal[std::size_t(i)];
        axis.uvw = crystal_direction(out.cell, solver.eigenvectors().col(i));
        axis.direction = cartesian_direction(out.cell, axis.uvw);
        axis.angles = angles_to_axes(out.cell, axis.direction);
        axis.alpha.value = solver.eigenvalues()(i);
        axis.alpha.sigma = estimate(out, quadratic_weights(axis.direction)).sigma;
        axis.determined = true;
    }
    // Equal coefficients leave their directions to the solver's whim.
    double largest = 0;
    for (const PrincipalAxis& axis : out.principal) largest = std::max(largest, std::abs(axis.alpha.value));
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = i + 1; j < 3; ++j) {
            const formats::Estimate& x = out.principal[i].alpha;
            const formats::Estimate& y = out.principal[j].alpha;
            const double gap = std::abs(x.value - y.value);
            if (gap <= 3 * std::hypot(x.sigma, y.sigma) || gap <= 1e-9 * largest)
                out.principal[i].determined = out.principal[j].determined = false;
        }
    Voigt trace;
    trace << 1, 1, 1, 0, 0, 0;
    out.trace = estimate(out, trace);
    return out;
}

}  // namespace

AlphaAt alpha_at(const AlphaFits& fits, double t) {
    AlphaAt out;
    out.t = t;
    out.extrapolated = t < fits.t_min || t > fits.t_max;
    for (int q = 0; q < 4; ++q) {
        const QuantityFit& f = fits.quantities[std::size_t(q)];
        if (!f.fit) continue;
        const formats::Estimate e = fit::relative_slope_at(*f.fit, t);
        out.lengths[std::size_t(q)] = formats::Estimate{1e6 * e.value, 1e6 * e.sigma};
    }
    bool cell_fitted = true;
    for (int q : cell_fits) cell_fitted = cell_fitted && fits.quantities[std::size_t(q)].fit.has_value();
    for (int q = q_alpha; q <= q_gamma; ++q) {
        const QuantityFit& f = fits.quantities[std::size_t(q)];
        if (!f.fit) continue;
        const formats::Estimate e = fit::slope_at(*f.fit, t);
        out.angle_rates[std::size_t(q - q_alpha)] = formats::Estimate{1e6 * e.value, 1e6 * e.sigma};
    }
    if (cell_fitted) {
        // Far outside the range the fitted cell can stop being a cell.
        const CellPath path = path_at(fits, t, -1, {});
        const auto& v = path.value;
        const bool angles_open = v[3] > 0 && v[3] < 180 && v[4] > 0 && v[4] < 180 && v[5] > 0 && v[5] < 180;
        if (angles_open && formats::is_cell(cell_of(v)))
            out.tensor = tensor_at(fits, t);
        else
            out.no_tensor = "the fitted cell at this temperature is no unit cell";
    }
    return out;
}

std::vector<AlphaAt> alpha_on_grid(const AlphaFits& fits, const std::vector<double>& temperatures) {
    std::vector<AlphaAt> out;
    out.reserve(temperatures.size());
    for (double t : temperatures) out.push_back(alpha_at(fits, t));
    return out;
}

double alpha_along(const Eigen::Matrix3d& alpha, const Eigen::Vector3d& n) {
    return quadratic_weights(n).dot(voigt(alpha));
}

formats::Estimate alpha_along(const AlphaTensor& tensor, const Eigen::Vector3d& n) {
    return estimate(tensor, quadratic_weights(n));
}

formats::Estimate alpha_along_axis(const AlphaTensor& tensor, const Eigen::Vector3d& uvw) {
    return alpha_along(tensor, cartesian_direction(tensor.cell, uvw));
}

}  // namespace crystal
