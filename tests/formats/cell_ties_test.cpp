#include "formats/cell_ties.hpp"

#include <gtest/gtest.h>

#include <cmath>

using namespace formats;

namespace {

const Cell cubic{5.4309, 5.4309, 5.4309, 90, 90, 90};
const CellSu cubic_su{0.0004, 0.0004, 0.0004, 0, 0, 0};

}  // namespace

// A cubic refinement's one length: V = a³, so sigma(V) = 3a²sigma(a), not the
// sqrt(3)a²sigma(a) of three independent lengths.
TEST(CellTies, ATiedCubicLengthCountsOnce) {
    CellTies cubic_ties;
    cubic_ties.group = {0, 0, 0, 3, 4, 5};
    cubic_ties.fixed = {false, false, false, true, true, true};
    const double a2s = cubic.a * cubic.a * 0.0004;
    EXPECT_NEAR(volume_esd(cubic, cubic_su, cubic_ties), 3 * a2s, 1e-12);
    EXPECT_NEAR(volume_esd(cubic, cubic_su), std::sqrt(3.0) * a2s, 1e-12);
}

// Hexagonal, a = b tied and the angles fixed: V = (sqrt 3 / 2) a² c, so
// sigma(V)² = (2V/a sigma_a)² + (V/c sigma_c)²; fixed angles add nothing even
// with an ESD given for them.
TEST(CellTies, HexagonalTieAndFixedAngles) {
    const Cell hex{4.9134, 4.9134, 5.4052, 90, 90, 120};
    const CellSu su{0.0003, 0.0003, 0.0005, 0.01, 0.01, 0.01};
    CellTies ties;
    ties.group = {0, 0, 2, 3, 4, 5};
    ties.fixed = {false, false, false, true, true, true};
    const double v = volume(hex);
    EXPECT_NEAR(volume_esd(hex, su, ties), std::hypot(2 * v / hex.a * 0.0003, v / hex.c * 0.0005), 1e-12);
}
