#include "crystal/expansion_esd.hpp"

#include "crystal/expansion.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using namespace crystal;
using namespace formats;
using namespace fit;

namespace {

// A triclinic cell warming unevenly, with ESDs that differ from row to row.
std::vector<SeriesPoint> triclinic_series(int rows) {
    std::vector<SeriesPoint> points;
    for (int k = 0; k < rows; ++k) {
        const double dt = 25.0 * k;
        SeriesPoint p;
        p.t = 120 + dt + (k % 2) * 3;
        p.cell = {6.1 * (1 + 1e-5 * dt + 2e-9 * dt * dt),
                  7.3 * (1 + 3e-5 * dt),
                  8.9 * (1 + 5.5e-5 * dt),
                  78.4 + 1e-3 * dt,
                  95.2 - 2e-3 * dt,
                  103.7 + 5e-4 * dt};
        const double s = 1 + 0.3 * (k % 3);
        p.esd = {2e-4 * s, 3e-4 * s, 2.5e-4, 2e-3 * s, 1e-3, 1.5e-3 * s};
        points.push_back(p);
    }
    return points;
}

double& parameter(Cell& cell, int p) {
    double* fields[] = {&cell.a, &cell.b, &cell.c, &cell.alpha, &cell.beta, &cell.gamma};
    return *fields[p];
}

// The definition itself: every parameter of every row moved, the whole
// analysis run again, the changes of the four coefficients summed in
// quadrature.  O(N^2), for a few rows only.
std::array<double, 4> brute_force(const std::vector<SeriesPoint>& points, StrainMeasure measure) {
    std::array<double, 4> variance{};
    for (std::size_t k = 0; k < points.size(); ++k)
        for (int p = 0; p < 6; ++p) {
            const double esd = points[k].esd.values()[p];
            if (esd == 0) continue;
            const double h = 1e-3 * esd;
            std::array<std::vector<SeriesPoint>, 2> moved{points, points};
            parameter(moved[0][k].cell, p) += h;
            parameter(moved[1][k].cell, p) -= h;
            for (auto& series : moved)
                for (SeriesPoint& q : series) q.esd = CellSu::not_given();
            const Expansion plus = analyse_expansion(moved[0], measure);
            const Expansion minus = analyse_expansion(moved[1], measure);
            for (int i = 0; i < 3; ++i) {
                const double d = (plus.principal[i].alpha.value - minus.principal[i].alpha.value) / (2 * h);
                variance[i] += d * d * esd * esd;
            }
            const double d = (plus.volume.value - minus.volume.value) / (2 * h);
            variance[3] += d * d * esd * esd;
        }
    std::array<double, 4> su{};
    for (int i = 0; i < 4; ++i) su[i] = std::sqrt(variance[i]);
    return su;
}

}  // namespace

// The propagation in one pass agrees with moving each parameter through the
// whole analysis, for every kind of strain, the first row (the reference of
// every strain and the divisor of alpha_V) included.
TEST(ExpansionEsd, AgreesWithRerunningTheAnalysisForEveryParameter) {
    const std::vector<SeriesPoint> points = triclinic_series(5);
    for (const StrainKind kind : {StrainKind::eulerian, StrainKind::lagrangian})
        for (const bool finite : {true, false}) {
            const StrainMeasure measure{kind, finite};
            const Expansion ex = analyse_expansion(points, measure);
            const std::array<double, 4> expected = brute_force(points, measure);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(ex.principal[i].alpha.sigma_esd, expected[i], 1e-5 * expected[i]) << "X" << i + 1;
            EXPECT_NEAR(ex.volume.sigma_esd, expected[3], 1e-5 * expected[3]);
            EXPECT_GT(expected[0], 0.01);
        }
}

// Only the first row's ESDs: every strain depends on it.
TEST(ExpansionEsd, TheFirstRowsEsdsReachEveryCoefficient) {
    std::vector<SeriesPoint> points = triclinic_series(4);
    for (std::size_t k = 1; k < points.size(); ++k) points[k].esd = {0, 0, 0, 0, 0, 0};
    const Expansion ex = analyse_expansion(points, {});
    const std::array<double, 4> expected = brute_force(points, {});
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(ex.principal[i].alpha.sigma_esd, 0);
        EXPECT_NEAR(ex.principal[i].alpha.sigma_esd, expected[i], 1e-5 * expected[i]);
    }
    EXPECT_NEAR(ex.volume.sigma_esd, expected[3], 1e-5 * expected[3]);
}
