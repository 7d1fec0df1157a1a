#include "crystal/crystal_direction.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "crystal/cell_matrix.hpp"

using namespace crystal;
using namespace formats;

TEST(CrystalDirection, UnitLengthAndTheLargestComponentPositive) {
    struct Case {
        Eigen::Vector3d t, expected;
    };
    const double r = 1 / std::sqrt(2.0);
    const Case cases[] = {
        {{0, -2, 0}, {0, 1, 0}},
        {{3, -4, 0}, {-0.6, 0.8, 0}},
        {{-1, 1, 0}, {r, -r, 0}},  // a tie: the first of the two decides
        {{0, 5, -5}, {0, r, -r}},
    };
    for (const Case& c : cases) EXPECT_LT((normalised_direction(c.t) - c.expected).norm(), 1e-15) << c.t.transpose();
}

// a' = a + c, b' = b, c' = -a: a itself is -c', and c = a' - a = a' + c'.
TEST(CrystalDirection, InNewAxesByTheInverseTransposeOfTheMatrix) {
    Eigen::Matrix3d m;
    m << 1, 0, 1, 0, 1, 0, -1, 0, 0;
    const double r = 1 / std::sqrt(2.0);
    EXPECT_LT((direction_in_new_axes(m, {1, 0, 0}) - Eigen::Vector3d(0, 0, 1)).norm(), 1e-15);
    EXPECT_LT((direction_in_new_axes(m, {0, 0, 1}) - Eigen::Vector3d(r, 0, r)).norm(), 1e-15);
    EXPECT_LT((direction_in_new_axes(m, {0, 1, 0}) - Eigen::Vector3d(0, 1, 0)).norm(), 1e-15);
}

TEST(CrystalDirection, CartesianDirectionBackToTheAxesOfAMonoclinicCell) {
    const Cell cell{5, 6, 7, 90, 100, 90};
    const Eigen::Matrix3d a = cartesian_matrix(cell);
    // Along c (Z) and along b: [0 0 1] and [0 1 0], at 0 degrees to c and b.
    EXPECT_LT((crystal_direction(a, {0, 0, 1}) - Eigen::Vector3d(0, 0, 1)).norm(), 1e-15);
    EXPECT_LT((crystal_direction(a, {0, -1, 0}) - Eigen::Vector3d(0, 1, 0)).norm(), 1e-15);
    const Eigen::Vector3d angles = angles_to_axes(a, {0, 0, 1});
    EXPECT_NEAR(angles(0), 100.0, 1e-12);  // c makes beta with a
    EXPECT_NEAR(angles(1), 90.0, 1e-12);
    EXPECT_NEAR(angles(2), 0.0, 1e-6);
}
