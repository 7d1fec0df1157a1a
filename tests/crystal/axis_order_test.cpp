// Following the principal axes through a series whose strains change order:
// each named axis X1, X2, X3 (named by the ascending strains of the second
// row) must keep its direction and its strain on every later row, whatever
// order the solver returns them in.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "crystal/expansion.hpp"

using namespace crystal;
using namespace formats;

namespace {

// An orthorhombic cell 5 x 7 x 9 at T = 100 + 20k K whose Eulerian finite
// strain along a, b, c is exactly e_j(k) = (m_j k + q_j (k^2 - 5k)) 1e-4:
// for a stretch s, u = 1 - 1/s and e = u + u^2/2.  Over k = 0..5 the term
// in q is symmetric about the middle, so the least-squares slope is m_j 1e-4
// per 20 K: alpha_j = 5 m_j in 1e-6 K^-1, while q bends the strains so
// that they cross.
struct BentSeries {
    std::string name;
    std::array<double, 3> m, q;  // along a, b, c
    std::array<int, 3> named;    // the cell axis (0 a, 1 b, 2 c) of X1, X2, X3
};

double strain_of(const BentSeries& s, int axis, int k) {
    return (s.m[axis] * k + s.q[axis] * (k * k - 5.0 * k)) * 1e-4;
}

std::vector<SeriesPoint> points_of(const BentSeries& s) {
    const double lengths[] = {5, 7, 9};
    std::vector<SeriesPoint> points;
    for (int k = 0; k < 6; ++k) {
        double stretched[3];
        for (int j = 0; j < 3; ++j) {
            const double u = -1 + std::sqrt(1 + 2 * strain_of(s, j, k));
            stretched[j] = lengths[j] / (1 - u);
        }
        SeriesPoint p;
        p.t = 100 + 20 * k;
        p.cell = {stretched[0], stretched[1], stretched[2], 90, 90, 90};
        points.push_back(p);
    }
    return points;
}

}  // namespace

TEST(AxisOrder, NamedAxesKeepTheirDirectionAndStrainWhenTheStrainsReorder) {
    const BentSeries cases[] = {
        // Row 1: a < b < c; from row 3 on b < c < a, a cycle of all three
        // (the solver's columns b, c, a), after a swap of a and b at row 2.
        {"cycle", {4, 1, 2}, {0.9, 0, 0.2}, {0, 1, 2}},
        // Row 1: c < b < a; from row 2 on c < a < b: two strains cross.
        {"crossing", {1, 2, -1}, {0, 0.3, 0}, {2, 1, 0}},
    };
    for (const BentSeries& s : cases) {
        SCOPED_TRACE(s.name);
        const Expansion ex = analyse_expansion(points_of(s), {});
        ASSERT_EQ(ex.strains.size(), 6u);
        for (int k = 1; k < 6; ++k)
            for (int i = 0; i < 3; ++i) {
                const int axis = s.named[i];
                EXPECT_NEAR(ex.strains[k](i), strain_of(s, axis, k), 1e-12) << "row " << k << " X" << i + 1;
                EXPECT_NEAR(std::abs(ex.axes[k](axis, i)), 1.0, 1e-9) << "row " << k << " X" << i + 1;
            }
        for (int i = 0; i < 3; ++i) {
            const int axis = s.named[i];
            EXPECT_NEAR(ex.principal[i].alpha.value, 5 * s.m[axis], 1e-8) << "X" << i + 1;
            EXPECT_NEAR(ex.principal[i].uvw(axis), 1.0, 1e-9) << "X" << i + 1;
        }
    }
}
