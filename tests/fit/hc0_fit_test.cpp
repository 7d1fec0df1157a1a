#include "fit/hc0_fit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace fit;

// (0,0), (1,1), (2,3), worked by hand.  Equal weights: mean x 1, Sxx 2,
// slope coefficients (-1/2, 0, 1/2), slope 3/2, residuals 1/6, -1/3, 1/6, so
// HC0 gives (1/4)(1/36) twice: 1/72.  Weights 1, 1, 4 (sigmaT 1, 1, 1/4):
// mean x 3/2, Sxx 7/2, coefficients (-3/7, -1/7, 4/7), slope 11/7, residuals
// 4/21, -8/21, 1/21, so (9*16 + 64 + 16*1) / (49*441) = 224/21609.
TEST(Hc0Fit, HandWorkedLinesWithEqualAndUnequalWeights) {
    struct Case {
        std::vector<double> weights;
        double slope, intercept, variance;
    };
    const Case cases[] = {
        {{}, 1.5, -1.0 / 6, 1.0 / 72},
        {{1, 1, 4}, 11.0 / 7, -4.0 / 21, 224.0 / 21609},
        {{2, 2, 8}, 11.0 / 7, -4.0 / 21, 224.0 / 21609},  // only the ratios of the weights count
    };
    const std::vector<double> x{0, 1, 2}, y{0, 1, 3};
    for (const Case& c : cases) {
        const LineDesign d = line_design(x, c.weights);
        ASSERT_TRUE(d.ok);
        const Hc0Line line = fit_hc0(d, x, y);
        EXPECT_NEAR(line.slope, c.slope, 1e-15);
        EXPECT_NEAR(line.intercept, c.intercept, 1e-15);
        EXPECT_NEAR(line.su_slope, std::sqrt(c.variance), 1e-15);
    }
}

TEST(Hc0Fit, TwoPointsGiveTheLineThroughThemAndNoUncertainty) {
    const std::vector<double> x{100, 300}, y{1e-3, 5e-3};
    const LineDesign d = line_design(x, {0.5, 2});
    ASSERT_TRUE(d.ok);
    const Hc0Line line = fit_hc0(d, x, y);
    EXPECT_NEAR(line.slope, 2e-5, 1e-20);
    EXPECT_EQ(line.su_slope, 0.0);
}

TEST(Hc0Fit, NoLineThroughOneTemperature) {
    EXPECT_FALSE(line_design({200, 200, 200}, {}).ok);
    EXPECT_FALSE(line_design({200}, {}).ok);
    EXPECT_FALSE(line_design({100, 200}, {1}).ok);  // a weight missing
}

// The intercept's HC0 variance on the same points: it is linear in the y
// with coefficients a_k = w_k / sum w - mean_x c_k.  Equal weights:
// a = (5/6, 1/3, -1/6), so (5/36)^2 + (1/9)^2 + (1/36)^2 = 7/216.  Weights
// 1, 1, 4: a = (17/21, 8/21, -4/21), so (68^2 + 64^2 + 4^2) / 441^2.
TEST(Hc0Fit, HandWorkedInterceptUncertainty) {
    const std::vector<double> x{0, 1, 2}, y{0, 1, 3};
    EXPECT_NEAR(fit_hc0(line_design(x, {}), x, y).su_intercept, std::sqrt(7.0 / 216), 1e-15);
    EXPECT_NEAR(fit_hc0(line_design(x, {1, 1, 4}), x, y).su_intercept, std::sqrt(8736.0 / 194481), 1e-15);
}
