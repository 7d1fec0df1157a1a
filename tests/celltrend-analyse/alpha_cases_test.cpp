// celltrend-analyse alpha end to end on hand-made series whose answers are
// known in closed form: when directions are determined, a cell that never
// changes, exact data, the default temperatures, a narrow window far from
// 0 K.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

// Rows "T a b c 90 90 90" at T = first, first + step, ... (n rows), the
// edges from `edges(T)` printed with `format` (three values).
std::string rows(int n, double first, double step, const char* format,
                 const std::function<std::array<double, 3>(double)>& edges) {
    std::string text = "# hand-made\n";
    for (int k = 0; k < n; ++k) {
        const double t = first + step * k;
        const auto e = edges(t);
        char line[200];
        std::snprintf(line, sizeof line, format, t, e[0], e[1], e[2]);
        text += line;
    }
    return text;
}

// The rows of quantity `q` in a TSV of alpha.
std::vector<std::vector<std::string>> rows_of(const std::string& tsv, const std::string& q) {
    std::vector<std::vector<std::string>> out;
    for (const auto& row : tsv_rows(tsv))
        if (row.size() > 1 && row[1] == q) out.push_back(row);
    return out;
}

// sigma of alpha (1e-6 K^-1) at the mean temperature of a straight line of
// slope k through L, 11 rows 20 K apart with ESD s and no scatter: alpha =
// c1/c0, var c0 = s^2/N, var c1 = s^2/Sxx, uncorrelated.
double line_sigma(double k, double length, double s) {
    return 1e6 * s * std::hypot(k / std::sqrt(11.0), length / std::sqrt(44000.0)) / (length * length);
}

}  // namespace

// X1 and X2 (alpha of a and b of an orthorhombic cell) m times
// sqrt(s1^2 + s2^2) apart, X3 far away: their directions are given, and the
// note left out, only when m is above 3.
TEST(AlphaCases, DirectionsOnlyBeyondThreeSigma) {
    const double s = 1e-4, length = 10, alpha_a = 20e-6;
    for (double m : {1.0, 2.0, 2.8, 3.2, 4.0}) {
        SCOPED_TRACE("apart by " + std::to_string(m) + " sigma");
        double alpha_b = alpha_a;
        for (int i = 0; i < 3; ++i)
            alpha_b =
                alpha_a +
                1e-6 * m * std::hypot(line_sigma(alpha_a * length, length, s), line_sigma(alpha_b * length, length, s));
        RunDir dir;
        dir.write("rows.txt", rows(11, 100, 20, "%g %.6f(100) %.6f(100) %.6f(100) 90 90 90\n", [&](double t) {
                      return std::array<double, 3>{length * (1 + alpha_a * (t - 200)),
                                                   length * (1 + alpha_b * (t - 200)), 12 * (1 + 1e-4 * (t - 200))};
                  }));
        const AnalyseResult tsv = run_analyse(dir, "alpha --model poly1 --tsv --at 200 rows.txt");
        ASSERT_EQ(tsv.status, 0) << tsv.err;
        const auto x1 = rows_of(tsv.out, "X1"), x2 = rows_of(tsv.out, "X2"), x3 = rows_of(tsv.out, "X3");
        ASSERT_EQ(x1.size(), 1u);
        EXPECT_NEAR(std::stod(x2[0][2]) - std::stod(x1[0][2]), m * std::hypot(std::stod(x1[0][3]), std::stod(x2[0][3])),
                    0.05);
        const bool determined = m > 3;
        EXPECT_EQ(x1[0][4] + x1[0][5] + x1[0][6], determined ? "100" : "");
        EXPECT_EQ(x2[0][4] + x2[0][5] + x2[0][6], determined ? "010" : "");
        EXPECT_EQ(x3[0][4] + x3[0][5] + x3[0][6], "001");
        const std::string summary = run_analyse(dir, "alpha --model poly1 --at 200 rows.txt").out;
        EXPECT_EQ(summary.find("X1 and X2 expand equally within 3 sigma: their directions are not determined.") !=
                      std::string::npos,
                  !determined)
            << summary;
    }
}

// A cell the same at every temperature, with ESDs: every coefficient is 0
// (the fits' rates exactly so), and sigma of X1, X2, X3 is sigma of alpha of
// a, b, c, s/(L sqrt(Sxx)) of each edge's straight line (Sxx = 50000 K^2 for
// 100 ... 400 K); the trace's is their sum in quadrature, or for a cubic
// cell (a = b = c one parameter) three times one.
TEST(AlphaCases, StillCellCarriesTheFitsSigma) {
    struct Case {
        std::string row;
        std::array<double, 3> length, esd;
        double trace_factor;  // sigma of the trace over the largest sigma of alpha_a, alpha_b, alpha_c
    };
    const Case cases[] = {
        {" 4.0000(1) 8.0000(1) 16.0000(2) 90 90 90\n",
         {4, 8, 16},
         {1e-4, 1e-4, 2e-4},
         std::sqrt(1.5)},  // sigma_a = 2 sigma_b = 2 sigma_c
        {" 8.0000(1) 8.0000(1) 8.0000(1) 90 90 90\n", {8, 8, 8}, {1e-4, 1e-4, 1e-4}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        RunDir dir;
        std::string text;
        for (int t = 100; t <= 400; t += 100) text += std::to_string(t) + c.row;
        dir.write("still.txt", text);
        const AnalyseResult r = run_analyse(dir, "alpha --model poly1 --tsv --at 250 still.txt");
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<double> edges, principal;
        const char* names[] = {"a", "b", "c"};
        for (std::size_t i = 0; i < 3; ++i) {
            edges.push_back(1e6 * c.esd[i] / (c.length[i] * std::sqrt(50000.0)));
            EXPECT_NEAR(std::stod(rows_of(r.out, names[i])[0][3]), edges[i], 1e-6 * edges[i]) << names[i];
        }
        for (const char* q : {"X1", "X2", "X3"}) {
            const auto row = rows_of(r.out, q)[0];
            EXPECT_EQ(std::stod(row[2]), 0) << q;
            principal.push_back(std::stod(row[3]));
        }
        std::sort(edges.begin(), edges.end());
        std::sort(principal.begin(), principal.end());
        for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(principal[i], edges[i], 1e-6 * edges[i]);
        EXPECT_NEAR(std::stod(rows_of(r.out, "trace")[0][3]), c.trace_factor * edges[2], 1e-6 * edges[2]);
    }
}

// Straight-line edges written to ten decimals: the residuals are rounding
// alone and must not choose a curve.  (The volume, a product of three lines,
// is a cubic.)
TEST(AlphaCases, ExactLinesStayLines) {
    const std::array<std::array<double, 6>, 2> series{
        {{5.4321, 1.23e-4, 7.777, 3.3e-4, 11.1, -2.2e-5}, {3.9, 4.1e-5, 12.34, 7.7e-5, 8.88, 1.9e-4}}};
    for (const auto& e : series) {
        RunDir dir;
        dir.write(
            "exact.txt", rows(16, 100, 20, "%g 1 %.10f %.10f %.10f 90 90 90\n", [&](double t) {
                return std::array<double, 3>{e[0] + e[1] * (t - 250), e[2] + e[3] * (t - 250), e[4] + e[5] * (t - 250)};
            }));
        const AnalyseResult r = run_analyse(dir, "alpha --parameters exact.txt");
        ASSERT_EQ(r.status, 0) << r.err;
        std::string models;
        for (const auto& row : tsv_rows(r.out))
            if (row[2] == "T_r") models += row[0] + " " + row[1] + "; ";
        EXPECT_EQ(models, "a poly1; b poly1; c poly1; V poly3; ");
    }
}

// The default temperatures name each once: here the middle row is at the
// lowest temperature: 100, 298.15 and 300 K.
TEST(AlphaCases, DefaultTemperaturesEachOnce) {
    RunDir dir;
    dir.write("low.txt",
              "100 1 5 7 9 90 90 90\n100 1 5 7 9 90 90 90\n100 1 5 7 9 90 90 90\n"
              "200 1 5.001 7.002 9.003 90 90 90\n300 1 5.002 7.004 9.006 90 90 90\n");
    const AnalyseResult r = run_analyse(dir, "alpha --model poly1 --tsv low.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string temperatures;
    for (const auto& row : rows_of(r.out, "a")) temperatures += row[0] + " ";
    EXPECT_EQ(temperatures, "100 298.15 300 ");
}

// The same rows measured over 0.55 K at 20 K and at 5000 K: the polynomials
// are fitted in T - T_r, so alpha and its sigma do not depend on where the
// window lies (in powers of T itself, 5000^3 against a window of 0.55 K
// leaves the fit to rounding).
TEST(AlphaCases, NarrowWindowFarFromZeroKeepsItsSigma) {
    const auto edges = [](double tau) {
        const double wobble = 2e-5 * std::sin(12.9898 * tau * 20 + 0.5);
        return std::array<double, 3>{10 + 1e-3 * tau + 3e-4 * tau * tau + wobble, 7 + 2e-3 * tau, 9 + 1e-3 * tau};
    };
    RunDir dir;
    dir.write("low.txt",
              rows(12, 20, 0.05, "%.2f 1 %.10f %.10f %.10f 90 90 90\n", [&](double t) { return edges(t - 20); }));
    dir.write("high.txt",
              rows(12, 5000, 0.05, "%.2f 1 %.10f %.10f %.10f 90 90 90\n", [&](double t) { return edges(t - 5000); }));
    const auto low = rows_of(run_analyse(dir, "alpha --model poly3 --tsv --at 20.25 low.txt").out, "a");
    const auto high = rows_of(run_analyse(dir, "alpha --model poly3 --tsv --at 5000.25 high.txt").out, "a");
    ASSERT_EQ(low.size(), 1u);
    ASSERT_EQ(high.size(), 1u);
    EXPECT_NEAR(std::stod(high[0][2]), std::stod(low[0][2]), 1e-6 * std::abs(std::stod(low[0][2])));
    EXPECT_NEAR(std::stod(high[0][3]), std::stod(low[0][3]), 1e-4 * std::stod(low[0][3]));
}
