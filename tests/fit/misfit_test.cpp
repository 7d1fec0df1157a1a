#include "fit/misfit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace analysis;

namespace {

// Residuals of the signs in `signs` ('+', '-', '0'), in order.
std::vector<double> residuals(const std::string& signs) {
    std::vector<double> r;
    for (char c : signs) r.push_back(c == '+' ? 1.5 : c == '-' ? -0.5 : 0.0);
    return r;
}

}  // namespace

// Runs counted by hand; mu = 2 n+ n- / n + 1 and
// s^2 = 2 n+ n- (2 n+ n- - n) / (n^2 (n - 1)).
TEST(RunsTest, CountsAndZAsWorkedByHand) {
    struct Case {
        std::string signs;
        std::size_t plus, minus, runs;
    };
    const Case cases[] = {
        {"+++++-----", 5, 5, 2},
        {"+-+-+-+-+-", 5, 5, 10},
        {"++0--++--+", 5, 4, 5},  // the zero left out: ++ -- ++ -- +
        {"------", 0, 6, 1},
    };
    for (const Case& c : cases) {
        const RunsTest t = runs_test(residuals(c.signs));
        EXPECT_EQ(t.plus, c.plus) << c.signs;
        EXPECT_EQ(t.minus, c.minus) << c.signs;
        EXPECT_EQ(t.runs, c.runs) << c.signs;
        const double n = double(c.plus + c.minus), a = double(c.plus), b = double(c.minus);
        const double mu = 2 * a * b / n + 1;
        EXPECT_DOUBLE_EQ(t.expected, mu) << c.signs;
        const double s2 = 2 * a * b * (2 * a * b - n) / (n * n * (n - 1));
        if (s2 > 0) {
            EXPECT_NEAR(t.z, (double(c.runs) - mu) / std::sqrt(s2), 1e-12) << c.signs;
        }
    }
    // Five and five in two runs: mu = 6, s^2 = 50 * 40 / 900, z = -4 / 1.4907.
    EXPECT_NEAR(runs_test(residuals("+++++-----")).z, -2.683281573, 1e-9);
}

// Too few runs misses from 10 residuals on; fewer rows, or a weighted fit
// within its errors, never do.
TEST(RunsTest, VerdictNeedsTenRowsAndAChiSquareAboveOne) {
    const RunsTest two_runs = runs_test(residuals("+++++-----"));
    EXPECT_TRUE(misses(two_runs, true, 3.0));
    EXPECT_TRUE(misses(two_runs, false, 0.5));  // equal weights: chi2_nu says nothing
    EXPECT_FALSE(misses(two_runs, true, 0.9));
    EXPECT_FALSE(misses(runs_test(residuals("++++----")), true, 3.0));
    EXPECT_FALSE(misses(runs_test(residuals("+-+-+-+-+-")), true, 3.0));
}

TEST(RunsTest, LargestResidualsByMagnitude) {
    const auto top = largest_residuals({0.1, -3.0, 2.0, -0.5});
    EXPECT_EQ(top[0], 1u);
    EXPECT_EQ(top[1], 2u);
    const auto first = largest_residuals({-4.0, 1.0, 2.0});
    EXPECT_EQ(first[0], 0u);
    EXPECT_EQ(first[1], 2u);
}
