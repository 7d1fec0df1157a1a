#include "fit/line_fit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace fit;
using namespace formats;

namespace {

Point with_sigy(double x, double y, double s) { return {x, {y, s}}; }
Point without_sigy(double x, double y) { return point_without_sigma(x, y); }

}  // namespace

TEST(LineFit, ExactLineWithEqualWeightsHasNoUncertainty) {
    const LineFit f = fit_line({without_sigy(1, 2.5), without_sigy(2, 3), without_sigy(3, 3.5), without_sigy(4, 4)});
    ASSERT_TRUE(f.ok);
    EXPECT_FALSE(f.weighted);
    EXPECT_NEAR(f.slope, 0.5, 1e-15);
    EXPECT_NEAR(f.intercept, 2.0, 1e-14);
    EXPECT_NEAR(f.su_slope, 0.0, 1e-15);
    EXPECT_NEAR(f.su_intercept, 0.0, 1e-14);
    EXPECT_NEAR(f.reduced_chi2, 0.0, 1e-28);
}

// (0,0), (1,1), (2,3) by hand: mean x 1, mean y 4/3, Sxx 2, Sxy 3, so slope
// 3/2 and intercept -1/6; residuals 1/6, -1/3, 1/6 give a chi-square of 1/6
// on one degree of freedom.
TEST(LineFit, ThreePointsWithEqualWeights) {
    const LineFit f = fit_line({without_sigy(0, 0), without_sigy(1, 1), without_sigy(2, 3)});
    ASSERT_TRUE(f.ok);
    EXPECT_NEAR(f.slope, 1.5, 1e-15);
    EXPECT_NEAR(f.intercept, -1.0 / 6, 1e-15);
    EXPECT_NEAR(f.chi2, 1.0 / 6, 1e-15);
    EXPECT_NEAR(f.reduced_chi2, 1.0 / 6, 1e-15);
    EXPECT_TRUE(f.scaled);                                   // the scatter is all there is
    EXPECT_NEAR(f.su_slope, std::sqrt(1.0 / 12), 1e-15);     // (1/6) / Sxx
    EXPECT_NEAR(f.su_intercept, std::sqrt(5.0) / 6, 1e-15);  // (1/6) (1/3 + 1/2)
    EXPECT_NEAR(f.mean_y, 4.0 / 3, 1e-15);
}

TEST(LineFit, SameThreePointsWithLargeSigyAreNotScaledDown) {
    // SIGY 0.5: weights 4, chi-square 4/6, reduced 2/3 < 1, so the
    // uncertainty stays 1/sqrt(4 * 2).
    const LineFit f = fit_line({with_sigy(0, 0, 0.5), with_sigy(1, 1, 0.5), with_sigy(2, 3, 0.5)});
    ASSERT_TRUE(f.ok);
    EXPECT_TRUE(f.weighted);
    EXPECT_NEAR(f.slope, 1.5, 1e-15);
    EXPECT_NEAR(f.reduced_chi2, 2.0 / 3, 1e-14);
    EXPECT_FALSE(f.scaled);
    EXPECT_NEAR(f.su_slope, std::sqrt(1.0 / 8), 1e-15);
}

TEST(LineFit, SameThreePointsWithTooSmallSigyAreScaledUp) {
    // SIGY 0.1: reduced chi-square 100/6 > 1; scaled, the uncertainty is that
    // of the scatter, as with equal weights.
    const LineFit f = fit_line({with_sigy(0, 0, 0.1), with_sigy(1, 1, 0.1), with_sigy(2, 3, 0.1)});
    ASSERT_TRUE(f.ok);
    EXPECT_NEAR(f.reduced_chi2, 100.0 / 6, 1e-12);
    EXPECT_TRUE(f.scaled);
    EXPECT_NEAR(f.su_slope, std::sqrt(1.0 / 12), 1e-14);
}

// Weights 1, 1, 4: S 6, Sx 9, Sy 13, Sxx 17, Sxy 25, D = 6*17 - 81 = 21;
// slope (150 - 117)/21 = 11/7, intercept (221 - 225)/21 = -4/21,
// var(slope) S/D = 2/7, var(intercept) Sxx/D = 17/21; residuals 4/21, -8/21,
// 1/21 give chi-square (16 + 64 + 4)/441 = 4/21.
TEST(LineFit, UnequalWeightsPullTheLineToThePreciseValue) {
    const LineFit f = fit_line({with_sigy(0, 0, 1), with_sigy(1, 1, 1), with_sigy(2, 3, 0.5)});
    ASSERT_TRUE(f.ok);
    EXPECT_TRUE(f.weighted);
    EXPECT_NEAR(f.slope, 11.0 / 7, 1e-14);
    EXPECT_NEAR(f.intercept, -4.0 / 21, 1e-14);
    EXPECT_NEAR(f.chi2, 4.0 / 21, 1e-14);
    EXPECT_FALSE(f.scaled);
    EXPECT_NEAR(f.su_slope, std::sqrt(2.0 / 7), 1e-14);
    EXPECT_NEAR(f.su_intercept, std::sqrt(17.0 / 21), 1e-14);
}

TEST(LineFit, AZeroOrMissingSigyMeansEqualWeights) {
    const LineFit zero = fit_line({with_sigy(0, 0, 1), with_sigy(1, 1, 0), with_sigy(2, 3, 0.5)});
    EXPECT_FALSE(zero.weighted);
    EXPECT_NEAR(zero.slope, 1.5, 1e-15);
    const LineFit missing = fit_line({with_sigy(0, 0, 1), without_sigy(1, 1), with_sigy(2, 3, 0.5)});
    EXPECT_FALSE(missing.weighted);
    EXPECT_NEAR(missing.slope, 1.5, 1e-15);
}

TEST(LineFit, TwoWeightedPointsKeepTheUncertaintyOfTheirSigy) {
    const LineFit f = fit_line({with_sigy(0, 0, 1), with_sigy(2, 2, 1)});
    ASSERT_TRUE(f.ok);
    EXPECT_NEAR(f.slope, 1.0, 1e-15);
    EXPECT_TRUE(std::isnan(f.reduced_chi2));
    EXPECT_FALSE(f.scaled);
    EXPECT_NEAR(f.su_slope, std::sqrt(0.5), 1e-15);
}

TEST(LineFit, TwoUnweightedPointsHaveAnUnknownUncertainty) {
    const LineFit f = fit_line({without_sigy(0, 0), without_sigy(2, 2)});
    ASSERT_TRUE(f.ok);
    EXPECT_NEAR(f.slope, 1.0, 1e-15);
    EXPECT_TRUE(std::isnan(f.su_slope));
}

TEST(LineFit, NoSlopeWithoutTwoTemperatures) {
    EXPECT_FALSE(fit_line({}).ok);
    const LineFit one = fit_line({without_sigy(100, 7.5)});
    EXPECT_FALSE(one.ok);
    EXPECT_DOUBLE_EQ(one.mean_y, 7.5);
    EXPECT_FALSE(fit_line({without_sigy(100, 7.5), without_sigy(100, 7.6)}).ok);
}

TEST(LineFit, NoSlopeWhenTheSumsLeaveTheRangeOfADouble) {
    // -1e308 * 100 overflows (the slope came out NaN); weights of 1e-600
    // and 1e600 leave the range the other way.
    EXPECT_FALSE(fit_line({with_sigy(100, -1e308, 0.1), with_sigy(200, 5, 0.1), with_sigy(300, 6, 0.1)}).ok);
    EXPECT_FALSE(fit_line({with_sigy(100, 5, 1e300), with_sigy(200, 5.5, 1e300), with_sigy(300, 6, 1e300)}).ok);
    EXPECT_FALSE(fit_line({with_sigy(100, 1e-300, 1e-302), with_sigy(200, 2e-300, 1e-302)}).ok);
}

TEST(LineFit, LargeValuesOverATemperatureRangeKeepTheirPrecision) {
    // A volume of about 1500 A3 growing by 0.05 A3/K: the slope must come out
    // to many digits, not be lost in sums of squares of 1e6.
    std::vector<Point> pts;
    for (int i = 0; i <= 15; ++i) {
        const double t = 100 + 20.0 * i;
        pts.push_back(with_sigy(t, 1500.0 + 0.05 * t, 0.3));
    }
    const LineFit f = fit_line(pts);
    EXPECT_NEAR(f.slope, 0.05, 1e-12);
    EXPECT_NEAR(f.intercept, 1500.0, 1e-9);
    EXPECT_NEAR(f.chi2, 0.0, 1e-12);
}
