#include "crystal/symmetry_ties.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "crystal/alpha.hpp"
#include "crystal/expansion.hpp"

using namespace crystal;
using namespace formats;
using namespace fit;

namespace {

// 13 rows from 100 to 400 K of a(T) = a0 (1 + k tau + q tau^2), tau = T - 250,
// with a deterministic scatter of about the ESD so that chi2_nu is near 1.
struct Series {
    double a0, c0;      // c0 < 0: c = a
    double gamma = 90;  // 120: hexagonal
    double esd = 3e-4;
};

std::vector<SeriesPoint> rows(const Series& s) {
    std::vector<SeriesPoint> points;
    const double scatter[] = {0.8, -1.1, 0.3, 1.2, -0.6, -0.9, 0.5, 1.0, -1.3, 0.2, 0.7, -0.4, -0.2};
    for (int k = 0; k < 13; ++k) {
        SeriesPoint p;
        p.t = 100 + 25 * k;
        p.line = std::size_t(k + 2);
        const double tau = p.t - 250;
        const double a = s.a0 * (1 + 2e-5 * tau + 1e-8 * tau * tau) + scatter[k] * s.esd;
        const double c = s.c0 < 0 ? a : s.c0 * (1 + 4e-5 * tau) - scatter[12 - k] * s.esd;
        p.cell = {a, a, c, 90, 90, s.gamma};
        p.esd = {s.esd, s.esd, s.esd, 0, 0, 0};
        points.push_back(p);
    }
    return points;
}

struct Sigmas {
    double a, c, trace, x1, x2, x3;
};

Sigmas sigmas_at(std::vector<SeriesPoint> points, CrystalSystem system, double t = 250) {
    const SeriesSymmetry symmetry = apply_symmetry(points, system);
    const AlphaAt at = alpha_at(fit_cell_series(points, AlphaModel::poly2, symmetry.ties), t);
    const AlphaTensor& x = *at.tensor;
    return {at.lengths[q_a]->sigma,     at.lengths[q_c]->sigma,     x.trace.sigma,
            x.principal[0].alpha.sigma, x.principal[1].alpha.sigma, x.principal[2].alpha.sigma};
}

}  // namespace

// A cubic refinement's a = b = c is one parameter: the trace carries three
// times its sigma, not sqrt 3 times, and every principal coefficient its own.
TEST(SymmetryTies, CubicSigmasFollowTheClosedForm) {
    for (double t : {100.0, 250.0, 400.0}) {
        const Sigmas s = sigmas_at(rows({10, -1}), CrystalSystem::automatic, t);
        EXPECT_NEAR(s.trace, 3 * s.a, 1e-5 * s.a) << t;
        for (double x : {s.x1, s.x2, s.x3}) EXPECT_NEAR(x, s.a, 1e-5 * s.a) << t;
    }
}

// Hexagonal: sigma(trace)^2 = 4 sigma(alpha_a)^2 + sigma(alpha_c)^2.
TEST(SymmetryTies, HexagonalTraceCarriesTheTiedPairTwice) {
    const Sigmas s = sigmas_at(rows({5, 8, 120}), CrystalSystem::automatic);
    EXPECT_NEAR(s.trace * s.trace, 4 * s.a * s.a + s.c * s.c, 1e-5 * s.trace * s.trace);
}

// The volume ESD of a cubic row is 3 a^2 sigma_a, and of a hexagonal one
// with a = b tied (2 a c sin 120) sigma_a in a and a^2 sin 120 sigma_c in c.
TEST(SymmetryTies, VolumeEsdOfATiedRow) {
    std::vector<SeriesPoint> cubic = rows({10, -1});
    const CellTies ties = apply_symmetry(cubic, CrystalSystem::automatic).ties;
    const SeriesPoint& p = cubic[4];
    EXPECT_NEAR(measured_quantity(p, q_volume, ties).sigma, 3 * p.cell.a * p.cell.a * 3e-4, 1e-12);

    std::vector<SeriesPoint> hexagonal = rows({5, 8, 120});
    const CellTies hex = apply_symmetry(hexagonal, CrystalSystem::automatic).ties;
    const SeriesPoint& h = hexagonal[4];
    const double s120 = std::sqrt(3.0) / 2;
    EXPECT_NEAR(measured_quantity(h, q_volume, hex).sigma,
                std::hypot(2 * h.cell.a * h.cell.c * s120 * 3e-4, h.cell.a * h.cell.a * s120 * 3e-4), 1e-12);

    // The refinement's own ESD of V, where the input gives one, is taken
    // as it is rather than propagated again from the cell's.
    SeriesPoint given = cubic[4];
    given.volume_su = 0.25;
    EXPECT_EQ(measured_quantity(given, q_volume, ties).sigma, 0.25);
}

struct DetectionCase {
    const char* name;
    std::vector<SeriesPoint> points;
    std::array<int, 6> group;
    std::string description;
};

// A tie is the same value and ESD in every row; equality in some rows, or
// equal values with different ESDs, is none.
TEST(SymmetryTies, DetectedOnlyWhenEveryRowAgrees) {
    std::vector<SeriesPoint> one_row = rows({10, 10.0002});
    one_row[3].cell.c = one_row[3].cell.a;
    std::vector<SeriesPoint> other_esd = rows({10, -1});
    for (SeriesPoint& p : other_esd) p.esd.c = 4e-4;
    std::vector<SeriesPoint> perturbed = rows({10, -1});
    for (SeriesPoint& p : perturbed) p.cell.c += 1e-4;
    const DetectionCase cases[] = {
        {"cubic",
         rows({10, -1}),
         {0, 0, 0, 3, 4, 5},
         "cubic (detected: a = b = c in every row; alpha, beta, gamma 90 fixed)"},
        {"hexagonal",
         rows({5, 8, 120}),
         {0, 0, 2, 3, 4, 5},
         "hexagonal (detected: a = b in every row; alpha, beta 90 and gamma 120 fixed)"},
        {"equal in one row",
         one_row,
         {0, 0, 2, 3, 4, 5},
         "tetragonal (detected: a = b in every row; alpha, beta, gamma 90 fixed)"},
        {"c with another ESD",
         other_esd,
         {0, 0, 2, 3, 4, 5},
         "tetragonal (detected: a = b in every row; alpha, beta, gamma 90 fixed)"},
        {"c perturbed",
         perturbed,
         {0, 0, 2, 3, 4, 5},
         "tetragonal (detected: a = b in every row; alpha, beta, gamma 90 fixed)"},
    };
    for (const DetectionCase& c : cases) {
        std::vector<SeriesPoint> points = c.points;
        const SeriesSymmetry s = apply_symmetry(points, CrystalSystem::automatic);
        EXPECT_EQ(s.ties.group, c.group) << c.name;
        EXPECT_EQ(s.description, c.description) << c.name;
    }
}

// --system cubic on a cell perturbed in its last digits restores the tie:
// the weighted mean of a, b, c with sigma/sqrt 3 in every row.
TEST(SymmetryTies, ImposedTieTakesTheWeightedMean) {
    std::vector<SeriesPoint> points = rows({10, -1});
    points[0].cell.b += 2e-4;
    points[0].esd.b = 6e-4;
    const double a = points[0].cell.a, b = points[0].cell.b;
    const SeriesSymmetry s = apply_symmetry(points, CrystalSystem::cubic);
    EXPECT_EQ(s.description, "cubic (imposed: a = b = c; alpha, beta, gamma 90 fixed)");
    const double w = 1 / (3e-4 * 3e-4), wb = 1 / (6e-4 * 6e-4);
    EXPECT_NEAR(points[0].cell.a, (2 * w * a + wb * b) / (2 * w + wb), 1e-12);
    EXPECT_EQ(points[0].cell.b, points[0].cell.a);
    EXPECT_EQ(points[0].cell.c, points[0].cell.a);
    EXPECT_NEAR(points[0].esd.a, 1 / std::sqrt(2 * w + wb), 1e-15);
    // Rows already tied keep their value and ESD.
    EXPECT_EQ(points[1].esd.a, 3e-4);
}

// A named system the cells contradict stops at the first row that breaks it.
TEST(SymmetryTies, ContradictedSystemNamesTheRow) {
    struct Case {
        CrystalSystem system;
        std::vector<SeriesPoint> points;
        std::string message;
    };
    std::vector<SeriesPoint> tilted = rows({10, -1});
    tilted[5].cell.alpha = 90.01;
    tilted[5].esd.alpha = 1e-3;
    std::vector<SeriesPoint> close = rows({10, -1});
    close[2].cell.c += 5e-4;  // 1.2 combined ESDs: one value
    const Case cases[] = {
        {CrystalSystem::cubic, rows({5, 8, 120}), "line 2 is not cubic: a "},
        {CrystalSystem::hexagonal, rows({5, 8, 90}), "line 2 is not hexagonal: gamma is 90, not 120"},
        {CrystalSystem::orthorhombic, tilted, "line 7 is not orthorhombic: alpha is 90.01, not 90"},
        {CrystalSystem::cubic, close, ""},
    };
    for (const Case& c : cases) {
        std::vector<SeriesPoint> points = c.points;
        std::string message;
        try {
            apply_symmetry(points, c.system);
        } catch (const ExpansionError& e) {
            message = e.what();
        }
        EXPECT_EQ(message.substr(0, c.message.size()), c.message);
        EXPECT_EQ(message.empty(), c.message.empty()) << message;
    }
}

// expansion's coefficients stay the strain calculators'; only sigma_esd
// carries the ties (a cubic cell's volume: three times a's, not sqrt 3).
TEST(SymmetryTies, ExpansionSigmaEsdCarriesTheTie) {
    std::vector<SeriesPoint> points = rows({10, -1});
    const Expansion independent = analyse_expansion(points, {}, CellTies{});
    std::vector<SeriesPoint> tied = points;
    const CellTies ties = apply_symmetry(tied, CrystalSystem::automatic).ties;
    const Expansion with_ties = analyse_expansion(points, {}, ties);
    EXPECT_EQ(with_ties.volume.value, independent.volume.value);
    EXPECT_EQ(with_ties.volume.sigma, independent.volume.sigma);
    EXPECT_NEAR(with_ties.volume.sigma_esd, std::sqrt(3.0) * independent.volume.sigma_esd,
                1e-6 * with_ties.volume.sigma_esd);
}
