#include "crystal/expansion_esd.hpp"

#include <cmath>

namespace crystal {

namespace {

constexpr double step_in_esds = 1e-3;

// The cell moved by +h and by -h along parameter p.
struct Pair {
    formats::Cell plus;
    formats::Cell minus;
};

// Every member of p's group moves.
Pair moved(const formats::Cell& cell, int p, double h, const formats::CellTies& ties) {
    std::array<double, 6> plus = cell.values(), minus = cell.values();
    for (int m = 0; m < 6; ++m)
        if (ties.group[m] == p) {
            plus[m] += h;
            minus[m] -= h;
        }
    return {formats::Cell::from(plus), formats::Cell::from(minus)};
}

// The parameters that count: one per group, none fixed.
bool counts(const formats::CellTies& ties, int p) { return ties.group[p] == p && !ties.fixed[p]; }

double along(const Eigen::Matrix3d& e, const Eigen::Vector3d& x) { return x.dot(e * x); }

}  // namespace

std::array<double, 4> propagate_cell_esds(const std::vector<SeriesPoint>& points, StrainMeasure measure,
                                          const Expansion& expansion, const fit::LineDesign& design,
                                          const formats::CellTies& ties) {
    const std::size_t n = points.size();
    const std::vector<double>& c = design.slope_coefficients;
    const double v0 = expansion.reference_volume;
    double volume_slope = 0;
    std::vector<Eigen::Matrix3d> matrices(n);
    for (std::size_t k = 0; k < n; ++k) {
        volume_slope += c[k] * formats::volume(points[k].cell);
        matrices[k] = cartesian_matrix(points[k].cell);
    }

    std::array<double, 4> variance{};
    const StrainReference reference = strain_reference(points[0].cell);
    for (std::size_t k = 1; k < n; ++k) {
        for (int p = 0; p < 6; ++p) {
            const double esd = points[k].esd.values()[p];
            if (!(esd > 0) || !counts(ties, p)) continue;
            const double h = step_in_esds * esd;
            const Pair cell = moved(points[k].cell, p, h, ties);
            const Eigen::Matrix3d de = (strain(reference, cartesian_matrix(cell.plus), measure) -
                                        strain(reference, cartesian_matrix(cell.minus), measure)) /
                                       (2 * h);
            for (int i = 0; i < 3; ++i) {
                const double d = c[k] * along(de, expansion.axes[k].col(i)) * esd;
                variance[i] += d * d;
            }
            const double dv = c[k] * (formats::volume(cell.plus) - formats::volume(cell.minus)) / (2 * h) / v0 * esd;
            variance[3] += dv * dv;
        }
    }

    // The first row is the reference of every strain and the divisor of
    // alpha_V.
    for (int p = 0; p < 6; ++p) {
        const double esd = points[0].esd.values()[p];
        if (!(esd > 0) || !counts(ties, p)) continue;
        const double h = step_in_esds * esd;
        const Pair cell = moved(points[0].cell, p, h, ties);
        const StrainReference plus = strain_reference(cell.plus), minus = strain_reference(cell.minus);
        std::array<double, 3> slope{};
        for (std::size_t k = 1; k < n; ++k) {
            const Eigen::Matrix3d de =
                (strain(plus, matrices[k], measure) - strain(minus, matrices[k], measure)) / (2 * h);
            for (int i = 0; i < 3; ++i) slope[i] += c[k] * along(de, expansion.axes[k].col(i));
        }
        for (int i = 0; i < 3; ++i) variance[i] += (slope[i] * esd) * (slope[i] * esd);
        const double dv0 = (formats::volume(cell.plus) - formats::volume(cell.minus)) / (2 * h);
        const double dalpha = (c[0] * dv0 / v0 - volume_slope * dv0 / (v0 * v0)) * esd;
        variance[3] += dalpha * dalpha;
    }

    std::array<double, 4> su{};
    for (int i = 0; i < 4; ++i) su[i] = std::sqrt(variance[i]);
    return su;
}

}  // namespace crystal
