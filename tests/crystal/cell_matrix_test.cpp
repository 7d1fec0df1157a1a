#include "crystal/cell_matrix.hpp"

#include <gtest/gtest.h>

using namespace crystal;
using namespace formats;

// The frame c along Z, a* along X: the matrix is lower triangular, its
// columns reproduce every scalar product of the axes, and its determinant is
// the volume.
TEST(Cell, CartesianMatrixHasTheCellsMetricInTheFrameOfCAlongZ) {
    const Cell cells[] = {
        {5, 5, 5, 90, 90, 90},
        {7.5, 10.2, 12.8, 90, 101.5, 90},
        {6.1, 7.3, 8.9, 78.4, 95.2, 103.7},
        {13.49, 10.2, 7.5, 89.9998, 111.538, 90.0005},
    };
    for (const Cell& cell : cells) {
        const Eigen::Matrix3d a = cartesian_matrix(cell);
        EXPECT_EQ(a(0, 1), 0.0);
        EXPECT_EQ(a(0, 2), 0.0);
        EXPECT_EQ(a(1, 2), 0.0);
        EXPECT_EQ(a(2, 2), cell.c);
        EXPECT_LT((a.transpose() * a - metric_tensor(cell)).norm(), 1e-12) << cell.a;
        EXPECT_NEAR(a.determinant(), volume(cell), 1e-10) << cell.a;
    }
}
