// How many ticks an axis gets: never so few that a reader cannot tell the
// scale (three, as 0, 5, 10 for data from 0 to 12), never so many that the
// labels crowd, whatever the width of the range and wherever it lies.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "figures/axis_scale.hpp"

using namespace figures;

namespace {

// Distinct labels: a tick whose label repeats a neighbour's tells nothing.
std::size_t distinct_ticks(const AxisScale& s) {
    std::set<std::string> labels;
    for (double t : s.ticks()) labels.insert(s.label(t));
    return labels.size();
}

}  // namespace

TEST(TickCount, FourToNineDistinctTicksOverEveryWidthAndOffset) {
    for (const double centre : {0.0, 90.0, 1e6})
        for (int decade = -5; decade <= 6; ++decade)
            for (int i = 0; i < (decade < 6 ? 100 : 1); ++i) {
                const double width = (1 + 0.09 * i) * std::pow(10.0, decade);
                for (const double shift : {0.0, 0.37, -0.61}) {
                    const double low = centre + shift * width - width / 2;
                    const AxisScale s = axis_scale(low, low + width);
                    const std::size_t ticks = s.ticks().size();
                    ASSERT_GE(distinct_ticks(s), 4u) << "from " << low << " width " << width << ": step " << s.step;
                    ASSERT_LE(ticks, 9u) << "from " << low << " width " << width << ": step " << s.step;
                    ASSERT_EQ(distinct_ticks(s), ticks) << "from " << low << " width " << width;
                    // The data stay inside the axis.
                    ASSERT_LE(s.low, s.to_plot(low));
                    ASSERT_GE(s.high, s.to_plot(low + width));
                }
            }
}

TEST(TickCount, ZeroToTwelveIsNotThreeTicks) {
    const AxisScale s = axis_scale(0, 12);
    EXPECT_GE(s.ticks().size(), 4u);
    EXPECT_EQ(s.label(s.ticks().front()), "0");
}
