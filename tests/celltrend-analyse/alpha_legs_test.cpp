// celltrend-analyse alpha over the legs of a run whose temperature turns,
// run end to end on hand-written rows whose fits are known in closed form.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

// A leg of rows at 300, 280, ... 100 K (or back up), a = a0 + ka (T - 200),
// b = 7 + 2e-4 (T - 200), c = 9; every value exact in four decimals, ESDs
// 3e-4 in every row.
std::string leg_rows(bool cooling, bool skip_first, double a0, double ka) {
    std::string text;
    for (int k = skip_first ? 1 : 0; k <= 10; ++k) {
        const double t = cooling ? 300 - 20 * k : 100 + 20 * k;
        char line[160];
        std::snprintf(line, sizeof line, "%g %.4f(3) %.4f(3) 9.0000(3) 90 90 90\n", t, a0 + ka * (t - 200),
                      7 + 2e-4 * (t - 200));
        text += line;
    }
    return text;
}

// A straight line of slope k through x0 at the leg's mean temperature 200 K,
// 11 rows 20 K apart with ESD s and no scatter (chi2_nu below 1, so the
// covariance is (J'WJ)^-1): var c0 = s^2/N, var c1 = s^2/Sxx, uncorrelated.
struct Line {
    double x0, k;
    static constexpr double s = 3e-4, n = 11, sxx = 44000;
    double x(double t) const { return x0 + k * (t - 200); }
    double sigma_x(double t) const { return s * std::sqrt(1 / n + (t - 200) * (t - 200) / sxx); }
    double alpha(double t) const { return 1e6 * k / x(t); }
    // alpha = c1 / (c0 + c1 tau): g = (-c1/x^2, c0/x^2).
    double sigma_alpha(double t) const {
        return 1e6 * s * std::hypot(k / std::sqrt(n), x0 / std::sqrt(sxx)) / (x(t) * x(t));
    }
};

}  // namespace

// Cooling, heating and cooling again, each leg starting at the row where the
// last turned: the heating leg's a grows half as fast again (0.005 A higher
// at 200 K), the second cooling leg's as fast as the first's but 0.01 A
// higher.  Each difference from leg 1 and its sigma sqrt(s1^2 + sk^2) as
// worked by hand.
TEST(AlphaLegs, DifferencesFromTheFirstLegWithTheirSigma) {
    RunDir dir;
    dir.write("turning.txt", "# cooling, heating, cooling\n" + leg_rows(true, false, 5, 1e-4) +
                                 leg_rows(false, true, 5.005, 1.5e-4) + leg_rows(true, true, 5.01, 1e-4));
    const AnalyseResult r = run_analyse(dir, "alpha --legs --model poly1 --tsv --at 200,300 turning.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = tsv_rows(r.out);
    ASSERT_EQ(rows.size(), 1u + 2 * 4 * 5) << r.out;  // per T: a, b, c, V, each 3 legs and 2 differences
    EXPECT_EQ(rows[0], (std::vector<std::string>{"T", "quantity", "leg", "alpha", "sigma", "x", "sigma_x"}));
    const Line cooling{5, 1e-4}, heating{5.005, 1.5e-4}, again{5.01, 1e-4};
    struct Case {
        std::size_t row;
        std::string t, leg;
        double alpha, sigma, x, sigma_x;
    };
    const double t2 = 300;
    const Case cases[] = {
        {1, "200", "1", cooling.alpha(200), cooling.sigma_alpha(200), 5, cooling.sigma_x(200)},
        {2, "200", "2", heating.alpha(200), heating.sigma_alpha(200), 5.005, heating.sigma_x(200)},
        {4, "200", "2-1", heating.alpha(200) - cooling.alpha(200),
         std::hypot(heating.sigma_alpha(200), cooling.sigma_alpha(200)), 0.005,
         std::hypot(heating.sigma_x(200), cooling.sigma_x(200))},
        {5, "200", "3-1", again.alpha(200) - cooling.alpha(200),
         std::hypot(again.sigma_alpha(200), cooling.sigma_alpha(200)), 0.01, std::sqrt(2.0) * cooling.sigma_x(200)},
        {24, "300", "2-1", heating.alpha(t2) - cooling.alpha(t2),
         std::hypot(heating.sigma_alpha(t2), cooling.sigma_alpha(t2)), heating.x(t2) - cooling.x(t2),
         std::hypot(heating.sigma_x(t2), cooling.sigma_x(t2))},
    };
    for (const Case& c : cases) {
        const auto& row = rows[c.row];
        SCOPED_TRACE(c.t + " K, leg " + c.leg);
        EXPECT_EQ(row[0], c.t);
        EXPECT_EQ(row[1], "a");
        EXPECT_EQ(row[2], c.leg);
        EXPECT_NEAR(std::stod(row[3]), c.alpha, 1e-6);
        EXPECT_NEAR(std::stod(row[4]), c.sigma, 1e-4 * c.sigma);
        EXPECT_NEAR(std::stod(row[5]), c.x, 1e-9);
        EXPECT_NEAR(std::stod(row[6]), c.sigma_x, 1e-4 * c.sigma_x);
    }
    // b is the same in every leg: no difference, its sigma still carried.
    EXPECT_EQ(rows[9][1], "b");
    EXPECT_EQ(rows[9][2], "2-1");
    EXPECT_NEAR(std::stod(rows[9][3]), 0, 1e-9);
    EXPECT_GT(std::stod(rows[9][4]), 0);

    // The summary gives the same numbers per leg.
    const AnalyseResult summary = run_analyse(dir, "alpha --legs --model poly1 --at 200 turning.txt");
    EXPECT_EQ(summary.status, 0);
    EXPECT_NE(summary.out.find("3 legs, each fitted on its own"), std::string::npos) << summary.out;
    EXPECT_NE(summary.out.find("\nLeg 2: 11 temperatures from 100.00 K to 300.00 K\n"), std::string::npos);
    char difference[80];
    std::snprintf(difference, sizeof difference, "\na         2-1   %12.4f", heating.alpha(200) - cooling.alpha(200));
    EXPECT_NE(summary.out.find(difference), std::string::npos) << summary.out;
}

// What --legs refuses: with --leg (a wrong argument), a leg too short for
// the model (as a short series is), temperatures outside some leg.
TEST(AlphaLegs, RefusalsAndTheirStatus) {
    RunDir dir;
    dir.write("turning.txt", leg_rows(true, false, 5, 1e-4) + leg_rows(false, true, 4.99 + 1.5e-2, 1.5e-4));
    // Cooling from 300 to 100 K, then three rows back up to 140 K.
    dir.write("short.txt", leg_rows(true, false, 5, 1e-4) + "120 5.0000(3) 7.0000(3) 9.0000(3) 90 90 90\n" +
                               "140 5.0000(3) 7.0000(3) 9.0000(3) 90 90 90\n");
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"--legs --leg 1 turning.txt", 2, "--legs and --leg: one or the other"},
        {"--legs --parameters turning.txt", 2, "--legs and --parameters: one or the other"},
        {"--legs --model poly3 short.txt", 1, "short.txt: leg 2: nothing could be fitted"},
        {"--legs --range 150: turning.txt", 0, ""},
        {"--legs --at 50,400 turning.txt", 1, "no temperature asked lies inside every leg"},
        {"--legs --at 50,200 turning.txt", 0, "50 K lies outside the range every leg covers, 100 to 300 K"},
    };
    for (const Case& c : cases) {
        const AnalyseResult r = run_analyse(dir, "alpha " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    // The short leg's refusal names the leg and the quantity.
    EXPECT_NE(run_analyse(dir, "alpha --legs --model poly3 short.txt").err.find("short.txt: leg 2: a: "),
              std::string::npos);
}
