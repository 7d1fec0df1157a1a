#include "crystal/alpha.hpp"
#include "crystal/expansion.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

using namespace crystal;
using namespace formats;
using namespace fit;

namespace {

// 16 rows from 100 to 400 K, the cell of each from `cell_at(T)`.
std::vector<SeriesPoint> series(const std::function<Cell(double)>& cell_at) {
    std::vector<SeriesPoint> points;
    for (int k = 0; k < 16; ++k) {
        SeriesPoint p;
        p.t = 100 + 20 * k;
        p.cell = cell_at(p.t);
        points.push_back(p);
    }
    return points;
}

// x0 (1 + k tau + q tau^2), tau = T - 250, and its coefficient of expansion
// (k + 2 q tau)/(1 + k tau + q tau^2) in 1e-6 K^-1.
struct Quadratic {
    double x0, k, q;
    double operator()(double t) const { return x0 * (1 + k * (t - 250) + q * (t - 250) * (t - 250)); }
    double alpha(double t) const {
        const double tau = t - 250;
        return 1e6 * (k + 2 * q * tau) / (1 + k * tau + q * tau * tau);
    }
};

const Quadratic qa{5.0, 1.5e-5, 2e-8}, qb{7.0, 6e-5, -1e-8}, qc{9.0, 3e-5, 4e-8};

}  // namespace

// Cubic: every principal coefficient is alpha_a, the trace three times it,
// and no direction is determined.
TEST(Alpha, CubicCellWithAQuadraticEdge) {
    const AlphaFits fits =
        fit_cell_series(series([](double t) { return Cell{qa(t), qa(t), qa(t), 90, 90, 90}; }), AlphaModel::poly2);
    EXPECT_TRUE(fits.quantities[q_beta].fixed);
    EXPECT_EQ(fits.middle_t, 240);
    for (double t : {100.0, 298.15, 400.0, 450.0}) {
        const AlphaAt at = alpha_at(fits, t);
        EXPECT_EQ(at.extrapolated, t > 400);
        ASSERT_TRUE(at.tensor);
        for (const PrincipalAxis& axis : at.tensor->principal) {
            EXPECT_NEAR(axis.alpha.value, qa.alpha(t), 1e-8 * qa.alpha(t)) << t;
            EXPECT_FALSE(axis.determined);
        }
        EXPECT_NEAR(at.tensor->trace.value, 3 * qa.alpha(t), 1e-8 * qa.alpha(t));
        EXPECT_NEAR(at.lengths[q_a]->value, qa.alpha(t), 1e-8 * qa.alpha(t));
        // V = a^3 is no quadratic: its own fit agrees to within half a percent.
        EXPECT_NEAR(at.lengths[q_volume]->value, 3 * qa.alpha(t), 5e-3 * 3 * qa.alpha(t));
        for (const auto& rate : at.angle_rates) EXPECT_EQ(rate->value, 0);
    }
}

// Orthorhombic: the axes are a, b and c, each with its own coefficient.
TEST(Alpha, OrthorhombicAxesAreTheCellAxes) {
    const AlphaFits fits =
        fit_cell_series(series([](double t) { return Cell{qa(t), qb(t), qc(t), 90, 90, 90}; }), AlphaModel::poly2);
    for (double t : {100.0, 250.0, 400.0}) {
        const AlphaAt at = alpha_at(fits, t);
        ASSERT_TRUE(at.tensor);
        std::vector<std::pair<double, int>> expected{{qa.alpha(t), 0}, {qb.alpha(t), 1}, {qc.alpha(t), 2}};
        std::sort(expected.begin(), expected.end());
        for (int i = 0; i < 3; ++i) {
            const PrincipalAxis& axis = at.tensor->principal[std::size_t(i)];
            EXPECT_NEAR(axis.alpha.value, expected[std::size_t(i)].first, 1e-7) << t << " X" << i + 1;
            EXPECT_TRUE(axis.determined);
            EXPECT_NEAR(axis.uvw(expected[std::size_t(i)].second), 1.0, 1e-12) << t << " X" << i + 1;
            EXPECT_NEAR(axis.angles(expected[std::size_t(i)].second), 0.0, 1e-4);
        }
    }
}

// Monoclinic, unique b, beta opening with temperature: one axis is exactly
// [0 1 0] with alpha_b; the other two lie in the a-c plane and turn.
TEST(Alpha, MonoclinicUniqueBKeepsBAsAnAxis) {
    const AlphaFits fits = fit_cell_series(
        series([](double t) { return Cell{qa(t), qb(t), qc(t), 90, 101.5 + 2e-3 * (t - 250) + 1e-6 * t * t, 90}; }),
        AlphaModel::poly2);
    for (double t : {100.0, 400.0}) {
        const AlphaAt at = alpha_at(fits, t);
        ASSERT_TRUE(at.tensor);
        int along_b = 0;
        for (const PrincipalAxis& axis : at.tensor->principal) {
            if (std::abs(axis.uvw(1)) > 0.5) {
                ++along_b;
                EXPECT_NEAR(axis.uvw(1), 1.0, 1e-12);
                EXPECT_NEAR(axis.alpha.value, qb.alpha(t), 1e-7);
            } else {
                EXPECT_NEAR(axis.uvw(1), 0.0, 1e-12);
            }
        }
        EXPECT_EQ(along_b, 1);
        ASSERT_TRUE(at.angle_rates[1]);
        EXPECT_NEAR(at.angle_rates[1]->value, 1e6 * (2e-3 + 2e-6 * t), 1e-3);
    }
}

// Triclinic, every angle moving: n' alpha n along a, b and c gives back the
// coefficients of the edge fits, and the trace d ln V/dT of the cell.
TEST(Alpha, TensorAlongTheAxesGivesTheEdgeCoefficients) {
    const auto cell_at = [](double t) {
        return Cell{qa(t),
                    qb(t),
                    qc(t),
                    84 - 1e-3 * (t - 250),
                    97 + 3e-3 * (t - 250) + 2e-6 * (t - 250) * (t - 250),
                    103 + 2e-3 * (t - 250)};
    };
    const AlphaFits fits = fit_cell_series(series(cell_at), AlphaModel::poly2);
    for (double t : {120.0, 310.0}) {
        const AlphaAt at = alpha_at(fits, t);
        ASSERT_TRUE(at.tensor);
        const Eigen::Vector3d axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        for (int i = 0; i < 3; ++i) {
            const formats::Estimate along = alpha_along_axis(*at.tensor, axes[i]);
            EXPECT_NEAR(along.value, at.lengths[std::size_t(i)]->value, 1e-6) << t << " " << i;
        }
        const double h = 1e-3;
        const double dlnv = (std::log(volume(cell_at(t + h))) - std::log(volume(cell_at(t - h)))) / (2 * h) * 1e6;
        EXPECT_NEAR(at.tensor->trace.value, dlnv, 1e-4);
        double sum = 0;
        for (const PrincipalAxis& axis : at.tensor->principal) sum += axis.alpha.value;
        EXPECT_NEAR(sum, at.tensor->trace.value, 1e-9);
    }
}

// Smooth data with ESDs and a scatter of about one ESD: the trace of the
// cell fits and alpha_V of the volume's own fit agree within their sigma;
// the sigmas are not zero.
TEST(Alpha, TraceAndVolumeFitAgreeWithinSigma) {
    std::vector<SeriesPoint> points = series([](double t) { return Cell{qa(t), qb(t), qc(t), 90, 99 + 1e-3 * t, 90}; });
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double s = (k % 2 ? 1.0 : -1.0) * (k % 3 ? 1.0 : 0.5);
        points[k].cell.a += 2e-4 * s;
        points[k].cell.c -= 3e-4 * s;
        points[k].esd = {2e-4, 2e-4, 3e-4, 0, 2e-3, 0};
    }
    const AlphaFits fits = fit_cell_series(points, AlphaModel::poly2);
    EXPECT_TRUE(fits.quantities[q_a].fit->weighted);
    EXPECT_TRUE(fits.quantities[q_volume].fit->weighted);
    EXPECT_TRUE(fits.quantities[q_alpha].fixed);
    for (double t : {100.0, 250.0, 400.0}) {
        const AlphaAt at = alpha_at(fits, t);
        ASSERT_TRUE(at.tensor);
        const formats::Estimate v = *at.lengths[q_volume];
        EXPECT_GT(v.sigma, 0);
        EXPECT_GT(at.tensor->trace.sigma, 0);
        EXPECT_LT(std::abs(at.tensor->trace.value - v.value), std::hypot(v.sigma, at.tensor->trace.sigma)) << t;
    }
}

// The order of the rows changes nothing.
TEST(Alpha, RowOrderDoesNotMatter) {
    std::vector<SeriesPoint> points =
        series([](double t) { return Cell{qa(t), qb(t), qc(t), 90, 101 + 1e-3 * t + 1e-6 * t * t, 90}; });
    for (std::size_t k = 0; k < points.size(); ++k) points[k].cell.b += 1e-4 * ((k * 7) % 5 - 2.0);
    std::vector<SeriesPoint> reversed(points.rbegin(), points.rend()), shuffled;
    for (std::size_t k = 0; k < points.size(); ++k) shuffled.push_back(points[(k * 5) % points.size()]);
    for (AlphaModel model : {AlphaModel::automatic, AlphaModel::poly3, AlphaModel::fei}) {
        const AlphaAt reference = alpha_at(fit_cell_series(points, model), 298.15);
        for (const auto& other : {reversed, shuffled}) {
            const AlphaAt at = alpha_at(fit_cell_series(other, model), 298.15);
            for (int q = 0; q < 4; ++q) {
                EXPECT_NEAR(at.lengths[std::size_t(q)]->value, reference.lengths[std::size_t(q)]->value, 1e-7);
                EXPECT_NEAR(at.lengths[std::size_t(q)]->sigma, reference.lengths[std::size_t(q)]->sigma, 1e-7);
            }
            for (std::size_t i = 0; i < 3; ++i)
                EXPECT_NEAR(at.tensor->principal[i].alpha.value, reference.tensor->principal[i].alpha.value, 1e-7);
        }
    }
}

// Refused fits give no value and say why; the tensor needs all six.
TEST(Alpha, RefusedFitsLeaveGaps) {
    const auto linear = [](double t) {
        return Cell{5 * (1 + 2e-5 * t), 7 * (1 + 3e-5 * t), 9 * (1 + 1e-5 * t), 90, 90, 90};
    };
    const AlphaFits einstein = fit_cell_series(series(linear), AlphaModel::einstein);
    EXPECT_FALSE(einstein.quantities[q_a].fit);
    EXPECT_NE(einstein.quantities[q_a].refusal.find("do not determine the Einstein temperature"), std::string::npos);
    const AlphaAt at = alpha_at(einstein, 250);
    EXPECT_FALSE(at.lengths[q_a]);
    EXPECT_FALSE(at.tensor);

    std::vector<SeriesPoint> four = series(linear);
    four.resize(4);
    const AlphaFits cubic = fit_cell_series(four, AlphaModel::poly3);
    for (int q = 0; q < 4; ++q) EXPECT_FALSE(cubic.quantities[std::size_t(q)].fit);
    EXPECT_TRUE(cubic.quantities[q_gamma].fixed);
    EXPECT_THROW(fit_cell_series({four[0], four[0]}, AlphaModel::poly1), ExpansionError);
}

// Edges linear in T and axes that do not turn: poly1 at the middle
// temperature agrees with the straight lines of the principal strains
// (infinitesimal) to first order: they differ by terms of the order of the
// largest strain across the series, 6e-5 K^-1 x 300 K = 1.8 %.
TEST(Alpha, Poly1AgreesWithTheStrainLinesToFirstOrder) {
    const std::vector<SeriesPoint> points =
        series([](double t) { return Cell{5 * (1 + 2e-5 * t), 7 * (1 + 6e-5 * t), 9 * (1 + 1e-5 * t), 90, 90, 90}; });
    const AlphaFits fits = fit_cell_series(points, AlphaModel::poly1);
    const AlphaAt at = alpha_at(fits, fits.middle_t);
    const Expansion lines = analyse_expansion(points, {StrainKind::eulerian, false});
    ASSERT_TRUE(at.tensor);
    for (std::size_t i = 0; i < 3; ++i) {
        const double line = lines.principal[i].alpha.value;
        EXPECT_NEAR(at.tensor->principal[i].alpha.value, line, 1.8e-2 * line) << i;
    }
    EXPECT_NEAR(at.lengths[q_volume]->value, lines.volume.value, 1.8e-2 * lines.volume.value);
}
