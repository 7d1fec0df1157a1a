#include "crystal/expansion.hpp"

#include <cmath>

#include "crystal/crystal_direction.hpp"
#include "crystal/expansion_esd.hpp"
#include "crystal/principal_axes.hpp"
#include "fit/hc0_fit.hpp"

namespace analysis {

namespace {

constexpr double per_million = 1e6;  // coefficients are given in 1e-6 K^-1

bool has_esds(const std::vector<SeriesPoint>& points) {
    for (const SeriesPoint& p : points)
        for (double e : {p.esd.a, p.esd.b, p.esd.c, p.esd.alpha, p.esd.beta, p.esd.gamma})
            if (!std::isfinite(e)) return false;
    return true;
}

}  // namespace

Expansion analyse_expansion(const std::vector<SeriesPoint>& points, StrainMeasure measure) {
    const std::size_t n = points.size();
    if (n < 2) throw ExpansionError("fewer than two usable rows: no expansion to fit");

    Expansion ex;
    std::vector<double> t(n), weights;
    ex.weighted = true;
    for (std::size_t k = 0; k < n; ++k) {
        t[k] = points[k].t;
        if (!std::isfinite(points[k].sigma_t)) ex.weighted = false;
    }
    if (ex.weighted)
        for (const SeriesPoint& p : points) weights.push_back(1.0 / p.sigma_t);
    const LineDesign design = line_design(t, weights);
    if (!design.ok) throw ExpansionError("every row is at the same temperature: no expansion to fit");

    const StrainReference reference = strain_reference(points[0].cell);
    ex.strains.resize(n);
    ex.axes.resize(n);
    Eigen::Matrix3d anchor = Eigen::Matrix3d::Identity();
    for (std::size_t k = 0; k < n; ++k) {
        // The first row's strain is zero by definition, not by rounding.
        const Eigen::Matrix3d e =
            k == 0 ? Eigen::Matrix3d::Zero() : strain(reference, cartesian_matrix(points[k].cell), measure);
        PrincipalStrains p = principal_strains(e);
        if (k == 1) anchor = p.axes;
        if (k >= 2) p = reordered(p, matching_order(anchor, p.axes));
        ex.strains[k] = p.values;
        ex.axes[k] = p.axes;
    }

    std::vector<double> y(n);
    for (int i = 0; i < 3; ++i) {
        for (std::size_t k = 0; k < n; ++k) y[k] = ex.strains[k](i);
        const Hc0Line line = fit_hc0(design, t, y);
        ex.principal[i].coefficient.alpha = line.slope * per_million;
        ex.principal[i].coefficient.sigma = line.su_slope * per_million;
    }
    for (std::size_t k = 0; k < n; ++k) y[k] = volume(points[k].cell);
    ex.reference_volume = y[0];
    const Hc0Line volume_line = fit_hc0(design, t, y);
    ex.volume.alpha = volume_line.slope / ex.reference_volume * per_million;
    ex.volume.sigma = volume_line.su_slope / ex.reference_volume * per_million;

    ex.middle = (n + 1) / 2 - 1;
    ex.middle_cell = cartesian_matrix(points[ex.middle].cell);
    for (int i = 0; i < 3; ++i) {
        PrincipalAxis& axis = ex.principal[i];
        axis.uvw = crystal_direction(ex.middle_cell, ex.axes[ex.middle].col(i));
        axis.direction = (ex.middle_cell * axis.uvw).normalized();
    }

    if (has_esds(points)) {
        const std::array<double, 4> su = propagate_cell_esds(points, measure, ex, design);
        for (int i = 0; i < 3; ++i) ex.principal[i].coefficient.sigma_esd = su[i] * per_million;
        ex.volume.sigma_esd = su[3] * per_million;
    }
    return ex;
}

}  // namespace analysis
