#include "figures/axis_scale.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

using namespace figures;

namespace {

// Every property a reader relies on: enough ticks, distinct labels of a few
// digits, and each label, with the offset and power of ten written on the
// axis, naming the value where its tick stands.
void expect_readable_axis(double low, double high) {
    SCOPED_TRACE("data from " + std::to_string(low) + " to " + std::to_string(high));
    const AxisScale s = axis_scale(low, high);
    EXPECT_LT(s.low, s.high);
    EXPECT_LE(s.low, s.to_plot(std::min(low, high)));
    EXPECT_GE(s.high, s.to_plot(std::max(low, high)));
    const std::vector<double> ticks = s.ticks();
    ASSERT_GE(ticks.size(), 3u);
    ASSERT_LE(ticks.size(), 12u);
    std::set<std::string> labels;
    const double unit = std::pow(10.0, s.exponent);
    for (double t : ticks) {
        const std::string label = s.label(t);
        labels.insert(label);
        EXPECT_LE(label.size(), 8u) << label;
        const double named = std::stod(label) * unit + s.offset;
        const double at = t * unit + s.offset;
        EXPECT_NEAR(named, at, std::fabs(s.step * unit) * 1e-3) << label << " " << s.annotation();
    }
    EXPECT_EQ(labels.size(), ticks.size()) << "labels repeat; annotation " << s.annotation();
}

}  // namespace

TEST(AxisScale, LabelsAreDistinctOnNarrowAndWideRangesAnywhere) {
    const double widths[] = {1e-5, 3e-5, 1e-4, 2.9e-3, 1.9e-2, 0.5, 7, 300, 4e4, 1e6};
    const double centres[] = {0, 90, 111.5455, 1e6, -1e6, 1683.4};
    for (double centre : centres)
        for (double width : widths) expect_readable_axis(centre - width / 2, centre + width / 2);
}

TEST(AxisScale, ReportedRangesOfAnglesGetDigitsEnoughToTellTicksApart) {
    // gamma 89.9988 to 90.0017 and a transformed beta: each once shown with
    // repeated labels.
    const AxisScale gamma = axis_scale(89.9988, 90.0017);
    EXPECT_EQ(gamma.annotation(), "");
    EXPECT_EQ(gamma.label(90.0005), "90.0005");
    const AxisScale beta = axis_scale(111.536, 111.555);
    EXPECT_EQ(beta.label(111.54), "111.540");
}

TEST(AxisScale, OffsetAndPowerOfTenAreWrittenOnce) {
    const AxisScale near_million = axis_scale(1e6 - 5e-6, 1e6 + 5e-6);
    EXPECT_EQ(near_million.annotation(), "×10⁻⁶ + 1000000");
    const AxisScale tiny = axis_scale(0, 1e-5);
    EXPECT_EQ(tiny.annotation(), "×10⁻⁶");
    EXPECT_EQ(axis_scale(-1e6 - 0.5, -1e6 + 0.5).annotation(), "− 1000000");
}

TEST(AxisScale, ExtremeAndDegenerateRanges) {
    expect_readable_axis(-1e308, 1e308);
    expect_readable_axis(1.5e308, 1.7e308);
    expect_readable_axis(7.5, 7.5);
    expect_readable_axis(0, 0);
    expect_readable_axis(5e-324, 1e-322);
    expect_readable_axis(300, 100);
}
