#include "crystal/expansion.hpp"

#include <algorithm>
#include <cmath>

#include "crystal/crystal_direction.hpp"
#include "crystal/expansion_esd.hpp"
#include "crystal/principal_axes.hpp"
#include "fit/hc0_fit.hpp"

namespace crystal {

namespace {

constexpr double per_million = 1e6;  // coefficients are given in 1e-6 K^-1

bool has_esds(const std::vector<SeriesPoint>& points) {
    for (const SeriesPoint& p : points)
        for (double e : {p.esd.a, p.esd.b, p.esd.c, p.esd.alpha, p.esd.beta, p.esd.gamma})
            if (!std::isfinite(e)) return false;
    return true;
}

// Strains below this are zero: a relative change of 1e-12 is far below the
// digits any cell is given to.
constexpr double zero_strain = 1e-12;

bool is_zero(const Eigen::Vector3d& strains) { return strains.cwiseAbs().maxCoeff() <= zero_strain; }

// Two principal strains equal within rounding: their axes are any
// orthonormal pair of their plane, no direction of the crystal.
bool is_degenerate(Eigen::Vector3d strains) {
    std::sort(strains.data(), strains.data() + 3);
    const double tolerance = std::max(zero_strain, 1e-9 * strains.cwiseAbs().maxCoeff());
    return strains(1) - strains(0) <= tolerance || strains(2) - strains(1) <= tolerance;
}

}  // namespace

Expansion analyse_expansion(const std::vector<SeriesPoint>& points, StrainMeasure measure,
                            const formats::CellTies& ties) {
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
    const fit::LineDesign design = fit::line_design(t, weights);
    if (!design.ok) throw ExpansionError("every row is at the same temperature: no expansion to fit");

    const StrainReference reference = strain_reference(points[0].cell);
    ex.strains.resize(n);
    ex.axes.resize(n);
    std::vector<PrincipalStrains> found(n);
    for (std::size_t k = 0; k < n; ++k) {
        // The first row's strain is zero by definition, not by rounding.
        const Eigen::Matrix3d e =
            k == 0 ? Eigen::Matrix3d::Zero() : strain(reference, cartesian_matrix(points[k].cell), measure);
        found[k] = principal_strains(e);
    }
    // The axes are named in ascending order at the first row that is
    // strained: the axes of a zero strain are any the solver returns.
    ex.naming_row = 1;
    while (ex.naming_row + 1 < n && is_zero(found[ex.naming_row].values)) ++ex.naming_row;
    ex.strained = !is_zero(found[ex.naming_row].values);
    ex.isotropic = true;
    for (std::size_t k = 1; k < n; ++k) {
        const Eigen::Vector3d& v = found[k].values;
        const double tolerance = std::max(zero_strain, 1e-9 * v.cwiseAbs().maxCoeff());
        ex.isotropic = ex.isotropic && v.maxCoeff() - v.minCoeff() <= tolerance;
    }
    const Eigen::Matrix3d anchor = found[ex.naming_row].axes;
    for (std::size_t k = 0; k < n; ++k) {
        PrincipalStrains p = found[k];
        if (k < ex.naming_row)
            p.axes = anchor;  // zero strain, whatever the solver's axes
        else if (k > ex.naming_row)
            p = reordered(p, matching_order(anchor, p.axes));
        ex.strains[k] = p.values;
        ex.axes[k] = p.axes;
    }

    std::vector<double> y(n);
    for (int i = 0; i < 3; ++i) {
        for (std::size_t k = 0; k < n; ++k) y[k] = ex.strains[k](i);
        const fit::Hc0Line line = fit::fit_hc0(design, t, y);
        ex.principal[i].alpha.value = line.slope * per_million;
        ex.principal[i].alpha.sigma = line.su_slope * per_million;
    }
    for (std::size_t k = 0; k < n; ++k) y[k] = formats::volume(points[k].cell);
    ex.reference_volume = y[0];
    const fit::Hc0Line volume_line = fit::fit_hc0(design, t, y);
    ex.volume.value = volume_line.slope / ex.reference_volume * per_million;
    ex.volume.sigma = volume_line.su_slope / ex.reference_volume * per_million;

    // The directions of the middle row, or of the row nearest it (later rows
    // first) whose principal strains differ.  Of two rows the middle one is
    // the reference, unstrained: no directions.
    const std::size_t middle = (n + 1) / 2 - 1;
    ex.middle = middle;
    ex.directions_defined = false;
    for (std::size_t d = 0; n > 2 && d < n && !ex.directions_defined; ++d) {
        for (const std::size_t k : {middle + d, middle - d}) {
            if (k >= n || k > middle + d || is_degenerate(found[k].values)) continue;
            ex.middle = k;
            ex.directions_defined = true;
            break;
        }
    }
    if (!ex.directions_defined) ex.middle = middle;
    ex.middle_cell = cartesian_matrix(points[ex.middle].cell);
    for (int i = 0; i < 3; ++i) {
        PrincipalAxis& axis = ex.principal[i];
        axis.uvw = crystal_direction(ex.middle_cell, ex.axes[ex.middle].col(i));
        axis.direction = cartesian_direction(ex.middle_cell, axis.uvw);
        axis.angles = angles_to_axes(ex.middle_cell, axis.direction);
    }

    if (has_esds(points)) {
        const std::array<double, 4> su = propagate_cell_esds(points, measure, ex, design, ties);
        for (int i = 0; i < 3; ++i) ex.principal[i].alpha.sigma_esd = su[i] * per_million;
        ex.volume.sigma_esd = su[3] * per_million;
    }
    return ex;
}

}  // namespace crystal
