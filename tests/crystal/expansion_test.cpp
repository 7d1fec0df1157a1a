#include "crystal/expansion.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

using namespace crystal;
using namespace formats;

namespace {

// Cells whose lengths grow linearly from those of `start` at T0 = 100 K, by
// `rate` (per K) along a, b, c, and beta by `beta_rate` degrees per K.
struct LinearSeries {
    std::string name;
    Cell start;
    std::array<double, 3> rate;
    double beta_rate = 0;
};

std::vector<SeriesPoint> points_of(const LinearSeries& s, int rows = 6) {
    std::vector<SeriesPoint> points;
    for (int k = 0; k < rows; ++k) {
        const double dt = 20.0 * k;
        SeriesPoint p;
        p.t = 100 + dt;
        p.cell = s.start;
        p.cell.a *= 1 + s.rate[0] * dt;
        p.cell.b *= 1 + s.rate[1] * dt;
        p.cell.c *= 1 + s.rate[2] * dt;
        p.cell.beta += s.beta_rate * dt;
        points.push_back(p);
    }
    return points;
}

// A cubic cell at T = 0, 1, 2 K whose Eulerian finite strains are exactly
// `strain`: for a stretch s, u = 1 - 1/s and e = u + u^2/2.
std::vector<SeriesPoint> cubic_with_strains(const std::array<double, 3>& strain, const std::array<double, 3>& sigma_t) {
    std::vector<SeriesPoint> points;
    for (int k = 0; k < 3; ++k) {
        const double u = -1 + std::sqrt(1 + 2 * strain[k]);
        const double a = 4 / (1 - u);
        SeriesPoint p;
        p.t = k;
        p.sigma_t = sigma_t[k];
        p.cell = {a, a, a, 90, 90, 90};
        points.push_back(p);
    }
    return points;
}

constexpr double unknown = std::numeric_limits<double>::quiet_NaN();

}  // namespace

// Section 7's hand checks: each coefficient is the linear rate of its axis to
// first order (strains here reach 2e-3, so within 0.3 %), the volume
// coefficient their sum, and the directions those of the symmetry.
TEST(Expansion, LinearRatesComeBackAlongTheSymmetryAxes) {
    struct Case {
        LinearSeries series;
        std::array<double, 3> alpha;         // X1 < X2 < X3
        std::array<Eigen::Vector3d, 3> uvw;  // NaN: any unit vector
    };
    const Eigen::Vector3d any(unknown, unknown, unknown);
    const Case cases[] = {
        {{"cubic", {5, 5, 5, 90, 90, 90}, {1e-5, 1e-5, 1e-5}}, {10, 10, 10}, {any, any, any}},
        {{"orthorhombic", {5, 7, 9, 90, 90, 90}, {2e-5, 0.5e-5, 1e-5}},
         {5, 10, 20},
         {Eigen::Vector3d(0, 1, 0), Eigen::Vector3d(0, 0, 1), Eigen::Vector3d(1, 0, 0)}},
        {{"tetragonal", {6, 6, 9, 90, 90, 90}, {1.5e-5, 1.5e-5, 0.3e-5}},
         {3, 15, 15},
         {Eigen::Vector3d(0, 0, 1), any, any}},
    };
    for (const Case& c : cases) {
        const Expansion ex = analyse_expansion(points_of(c.series), {});
        double sum = 0;
        for (int i = 0; i < 3; ++i) {
            const PrincipalAxis& axis = ex.principal[i];
            EXPECT_NEAR(axis.alpha.value, c.alpha[i], 3e-3 * c.alpha[i]) << c.series.name << " X" << i + 1;
            EXPECT_NEAR(axis.uvw.norm(), 1.0, 1e-12) << c.series.name;
            if (!std::isnan(c.uvw[i](0))) {
                EXPECT_LT((axis.uvw - c.uvw[i]).norm(), 1e-9) << c.series.name << " X" << i + 1;
            }
            EXPECT_TRUE(std::isnan(axis.alpha.sigma_esd));
            sum += c.alpha[i];
        }
        EXPECT_NEAR(ex.volume.value, sum, 1e-2 * sum) << c.series.name;
        EXPECT_EQ(ex.middle, 2u);
    }
}

// Monoclinic, unique b: b is a principal axis exactly; the other two lie in
// the a-c plane.  Whichever strain b has, and in every kind of strain.
TEST(Expansion, MonoclinicHasOneAxisAlongBAndTwoInTheACPlane) {
    const LinearSeries monoclinic{"monoclinic", {7.5, 10.2, 12.8, 90, 101.5, 90}, {2e-5, 3e-5, 1e-5}, 2e-4};
    for (const StrainKind kind : {StrainKind::eulerian, StrainKind::lagrangian})
        for (const bool finite : {true, false}) {
            const Expansion ex = analyse_expansion(points_of(monoclinic), {kind, finite});
            int along_b = 0;
            for (const PrincipalAxis& axis : ex.principal) {
                if (std::abs(axis.uvw(1) - 1) < 1e-12) {
                    ++along_b;
                    EXPECT_NEAR(axis.alpha.value, 30, 0.1);
                } else {
                    EXPECT_LT(std::abs(axis.uvw(1)), 1e-12);
                }
            }
            EXPECT_EQ(along_b, 1);
        }
}

// The four strains agree to first order: strains of 2e-3 differ in second
// order terms of 4e-6, a few tenths of a percent of the coefficients.
TEST(Expansion, TheFourStrainKindsAgreeToFirstOrder) {
    const LinearSeries monoclinic{"monoclinic", {7.5, 10.2, 12.8, 90, 101.5, 90}, {2e-5, 3e-5, 1e-5}, 2e-4};
    const Expansion reference = analyse_expansion(points_of(monoclinic), {});
    for (const StrainKind kind : {StrainKind::eulerian, StrainKind::lagrangian})
        for (const bool finite : {true, false}) {
            const Expansion ex = analyse_expansion(points_of(monoclinic), {kind, finite});
            for (int i = 0; i < 3; ++i) {
                const double a = reference.principal[i].alpha.value;
                EXPECT_NEAR(ex.principal[i].alpha.value, a, 4e-3 * a);
                EXPECT_GT(std::abs(ex.principal[i].uvw.dot(reference.principal[i].uvw)), 1 - 1e-6);
            }
        }
}

// Strains 0, 1e-3, 3e-3 at 0, 1, 2 K: the hand-worked lines of
// hc0_fit_test, scaled by 1e-3 and given in 1e-6 K^-1.  sigmaT 1, 1, 1/4
// are weights 1, 1, 4, not their squares.
TEST(Expansion, WeightsAreOneOverSigmaT) {
    struct Case {
        std::array<double, 3> sigma_t;
        bool weighted;
        double alpha, sigma;
    };
    const Case cases[] = {
        {{unknown, unknown, unknown}, false, 1500, 1000 / std::sqrt(72.0)},
        {{2, 2, 2}, true, 1500, 1000 / std::sqrt(72.0)},
        {{1, 1, 0.25}, true, 11000.0 / 7, 1000 * std::sqrt(224.0 / 21609)},
    };
    for (const Case& c : cases) {
        const Expansion ex = analyse_expansion(cubic_with_strains({0, 1e-3, 3e-3}, c.sigma_t), {});
        EXPECT_EQ(ex.weighted, c.weighted);
        for (const PrincipalAxis& axis : ex.principal) {
            EXPECT_NEAR(axis.alpha.value, c.alpha, 1e-8) << c.sigma_t[2];
            EXPECT_NEAR(axis.alpha.sigma, c.sigma, 1e-8) << c.sigma_t[2];
        }
    }
}

// Equal strains leave the axes to the solver: nothing may fail, whether the
// strains are equal at every row (cubic), or zero at the row that names the
// axes.
TEST(Expansion, DegenerateStrainsGiveFiniteResults) {
    std::vector<SeriesPoint> resting = points_of({"orthorhombic", {5, 7, 9, 90, 90, 90}, {2e-5, 0.5e-5, 1e-5}});
    resting[1].cell = resting[0].cell;
    const std::vector<SeriesPoint> series[] = {
        points_of({"cubic", {5, 5, 5, 90, 90, 90}, {1e-5, 1e-5, 1e-5}}),
        points_of({"uniaxial", {6, 6, 9, 90, 90, 120}, {1e-5, 1e-5, 2e-5}}),
        resting,
    };
    for (const std::vector<SeriesPoint>& points : series) {
        const Expansion ex = analyse_expansion(points, {});
        for (const PrincipalAxis& axis : ex.principal) {
            EXPECT_TRUE(std::isfinite(axis.alpha.value));
            EXPECT_TRUE(std::isfinite(axis.alpha.sigma));
            EXPECT_NEAR(axis.uvw.norm(), 1.0, 1e-12);
        }
    }
}

// Two rows: the lines pass through both points.
TEST(Expansion, TwoRowsHaveNoScatterUncertainty) {
    std::vector<SeriesPoint> points = points_of({"orthorhombic", {5, 7, 9, 90, 90, 90}, {2e-5, 0.5e-5, 1e-5}}, 2);
    for (SeriesPoint& p : points) p.esd = {1e-4, 1e-4, 1e-4, 1e-3, 1e-3, 1e-3};
    const Expansion ex = analyse_expansion(points, {});
    EXPECT_EQ(ex.middle, 0u);
    for (const PrincipalAxis& axis : ex.principal) {
        EXPECT_LT(axis.alpha.sigma, 1e-9);
        EXPECT_GT(axis.alpha.sigma_esd, 0);
    }
    EXPECT_LT(ex.volume.sigma, 1e-9);
    EXPECT_NEAR(ex.principal[2].alpha.value, 20, 0.1);
}

TEST(Expansion, NoExpansionFromOneRowOrOneTemperature) {
    std::vector<SeriesPoint> points = points_of({"cubic", {5, 5, 5, 90, 90, 90}, {1e-5, 1e-5, 1e-5}}, 3);
    EXPECT_THROW(analyse_expansion({points[0]}, {}), ExpansionError);
    for (SeriesPoint& p : points) p.t = 295;
    EXPECT_THROW(analyse_expansion(points, {}), ExpansionError);
}
