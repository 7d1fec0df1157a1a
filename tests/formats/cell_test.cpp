#include "formats/cell.hpp"

#include <gtest/gtest.h>

#include <cmath>

using namespace formats;

// The unit-cell test every subcommand uses: angles that close no cell are
// refused, however the cosines happen to combine.
TEST(Cell, OnlyAnglesThatCloseACellMakeOne) {
    struct Case {
        Cell cell;
        bool is_cell;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {{7.5, 10.2, 12.8, 90, 101.48, 90}, true},
        {{4.9, 4.9, 5.4, 90, 90, 120}, true},
        {{5, 5, 5, 60.5, 60.5, 60.5}, true},
        {{5, 6, 7, 270, 90, 90}, false},  // cos 270 = cos 90
        {{5, 6, 7, 90, 360, 90}, false},
        {{5, 6, 7, 90, 180, 90}, false},
        {{5, 6, 7, 0, 90, 90}, false},
        {{5, 6, 7, 120, 120, 120}, false},  // alpha + beta + gamma = 360: flat
        {{5, 6, 7, 100, 130, 130}, false},  // flat as well
        {{5, 6, 7, -90, 90, 90}, false},
        {{0, 6, 7, 90, 90, 90}, false},
        {{5, 6, nan, 90, 90, 90}, false},
        {{1e200, 1e200, 1e200, 90, 90, 90}, true},  // abc overflows, the shape is still a cell
    };
    for (const Case& c : cases)
        EXPECT_EQ(is_cell(c.cell), c.is_cell)
            << c.cell.a << " " << c.cell.alpha << " " << c.cell.beta << " " << c.cell.gamma;
}
