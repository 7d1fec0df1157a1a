#include "fit/misfit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fit/polynomial_fit.hpp"

using namespace fit;

namespace {

// 20 rows at 100, 110, ... 290 K of x = 10 + 3e-4 (T - 200) with ESD 1e-4,
// a deterministic scatter of about one ESD, and a step of `step` ESDs
// from 200 K on.
struct Rows {
    std::vector<double> t, x, w;
};

Rows rows(double step, double curvature = 0) {
    Rows r;
    for (int k = 0; k < 20; ++k) {
        const double t = 100 + 10 * k;
        r.t.push_back(t);
        r.x.push_back(10 + 3e-4 * (t - 200) + curvature * (t - 200) * (t - 200) +
                      1e-4 * (std::sin(3.7 * k) + (t >= 200 ? step : 0)));
        r.w.push_back(1e8);
    }
    return r;
}

// The verdict on a polynomial of `degree` through the rows, with the same
// degree refitted on each side of a break.
Misfit verdict(const Rows& r, int degree) {
    const ModelFit f = *fit_polynomial(r.t, r.x, r.w, degree).fit;
    std::vector<double> residuals;
    for (std::size_t k = 0; k < r.t.size(); ++k)
        residuals.push_back((r.x[k] - model_value(f.kind, f.t_ref, f.p, r.t[k])) * 1e4);
    const auto chi2_of = [&](std::size_t b, std::size_t e) {
        const auto part = [&](const std::vector<double>& v) {
            return std::vector<double>(v.begin() + long(b), v.begin() + long(e));
        };
        const FitOutcome o = fit_polynomial(part(r.t), part(r.x), part(r.w), degree);
        return o.fit ? o.fit->chi2 : std::nan("");
    };
    return judge_fit(residuals, true, f.reduced_chi2, f.p.size(), chi2_of);
}

}  // namespace

// n+ = 3, n- = 2, R = 3 runs: mu = 12/5 + 1 = 3.4, s^2 = 12 (12 - 5) / (25 * 4)
// = 0.84, z = -0.4 / sqrt(0.84); zeros are left out.
TEST(Misfit, RunsTestByHand) {
    const RunsTest r = runs_test({1.0, 0.5, 0.0, -2.0, -1.0, 3.0});
    EXPECT_EQ(r.plus, 3u);
    EXPECT_EQ(r.minus, 2u);
    EXPECT_EQ(r.runs, 3u);
    EXPECT_DOUBLE_EQ(r.expected, 3.4);
    EXPECT_NEAR(r.z, -0.4 / std::sqrt(0.84), 1e-12);
    EXPECT_FALSE(r.too_few);  // fewer than 10 signs: no verdict
}

// Ten signs in two runs: 2 n+ n- = 50, mu = 6, s^2 = 50 (50 - 10)/(100 * 9),
// z = -4/sqrt(2000/900) = -2.683 < -2.576.
TEST(Misfit, TwoRunsOfTenAreTooFew) {
    const RunsTest r = runs_test({1, 1, 1, 1, 1, -1, -1, -1, -1, -1});
    EXPECT_NEAR(r.z, -4 / std::sqrt(2000.0 / 900), 1e-12);
    EXPECT_TRUE(r.too_few);
    EXPECT_FALSE(runs_test({1, 1, 1, 1, -1, -1, -1, -1, -1}).too_few);  // nine
}

// A straight line through a step of 20 ESDs misses, and the best break is
// the step's interval; the same line without the step, or a fit within its
// errors, does not miss.
TEST(Misfit, StepAtTheMiddleNamesItsInterval) {
    struct Case {
        const char* name;
        Rows rows;
        int degree;
        bool misses;
        std::size_t after;  // the break after this row, when it misses
    };
    const Case cases[] = {
        {"step of 20 ESDs", rows(20), 1, true, 9},
        {"step of 20 ESDs, cubic", rows(20), 3, true, 9},
        {"no step", rows(0), 1, false, 0},
        {"curved, a line", rows(0, 2e-7), 1, true, 0},
        {"curved, a parabola", rows(0, 2e-7), 2, false, 0},
    };
    for (const Case& c : cases) {
        const Misfit m = verdict(c.rows, c.degree);
        EXPECT_EQ(m.misses, c.misses) << c.name;
        if (c.misses && c.after > 0) {
            ASSERT_TRUE(m.break_found) << c.name;
            EXPECT_EQ(m.split->after, c.after) << c.name;
            EXPECT_GT(m.split->aicc_drop, 10) << c.name;
        }
    }
}

// The best break tries at most 200 splits however long the series, each
// leaving more rows than the model's parameters on either side.
TEST(Misfit, BreakSearchIsBounded) {
    std::size_t calls = 0, shortest = 1000000;
    const auto chi2_of = [&](std::size_t b, std::size_t e) {
        ++calls;
        shortest = std::min(shortest, e - b);
        return double(e - b);
    };
    best_break(5000, 3, 5000, chi2_of);
    EXPECT_EQ(calls, 2 * 200u);
    EXPECT_EQ(shortest, 4u);
}
