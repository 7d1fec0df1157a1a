#include "fit/polynomial_fit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "fit/line_fit.hpp"

using namespace fit;
using namespace formats;

namespace {

std::vector<double> temperatures(int n, double first, double step) {
    std::vector<double> t;
    for (int k = 0; k < n; ++k) t.push_back(first + step * k);
    return t;
}

// A scatter that looks random but is the same on every run.
double wobble(int k) { return std::sin(12.9898 * k + 0.5) * std::cos(7.233 * k); }

// A scatter that no polynomial of low degree follows.
double alternating(int k) { return k % 2 == 0 ? 1.0 : -1.0; }

}  // namespace

// Exact polynomials in T of each degree come back exactly: value, slope and
// relative slope at temperatures inside and outside the range, with
// uncertainties of rounding only.  Temperatures far from zero make the
// powers of T badly conditioned; the fit in tau = T - mean with a QR copes.
TEST(PolynomialFit, ExactPolynomialsComeBack) {
    struct Case {
        int degree;
        std::vector<double> c;  // in T
        double first, step;
    };
    const Case cases[] = {
        {1, {5.0, 2e-5}, 100, 20},
        {2, {7.0, 1e-4, 3e-8}, 100, 10},
        {3, {9.0, -2e-5, 4e-8, 1e-10}, 290, 1},  // a narrow range far from 0 K
        {3, {1000.0, 0.05, 1e-5, -2e-9}, 10, 50},
    };
    for (const Case& c : cases) {
        const std::vector<double> t = temperatures(12, c.first, c.step);
        std::vector<double> x;
        const auto value = [&](double temp) {
            double v = 0;
            for (std::size_t k = c.c.size(); k-- > 0;) v = v * temp + c.c[k];
            return v;
        };
        const auto slope = [&](double temp) {
            double d = 0;
            for (std::size_t k = c.c.size(); k-- > 1;) d = d * temp + double(k) * c.c[k];
            return d;
        };
        for (double temp : t) x.push_back(value(temp));
        const FitOutcome f = fit_polynomial(t, x, {}, c.degree);
        ASSERT_TRUE(f.fit) << f.refusal;
        EXPECT_EQ(model_name(*f.fit), "poly" + std::to_string(c.degree));
        for (double temp : {t.front(), t[5], t.back(), t.back() + 30}) {
            EXPECT_NEAR(value_at(*f.fit, temp).value, value(temp), 1e-10 * value(temp)) << c.degree << " " << temp;
            EXPECT_NEAR(slope_at(*f.fit, temp).value, slope(temp), 1e-8 * std::abs(slope(temp))) << temp;
            const formats::Estimate r = relative_slope_at(*f.fit, temp);
            EXPECT_NEAR(r.value, slope(temp) / value(temp), 1e-8 * std::abs(r.value)) << temp;
            EXPECT_LT(r.sigma, 1e-6 * std::abs(r.value)) << temp;
        }
    }
}

// The straight line against fit_line, written independently: the same slope
// and standard uncertainty, with equal weights and with inverse variances
// (scaled by the reduced chi-square only when that exceeds 1).
TEST(PolynomialFit, StraightLineAgreesWithTheLineFit) {
    const std::vector<double> t = temperatures(9, 100, 25);
    for (const double sigma : {0.0, 0.5, 0.01}) {
        std::vector<double> y, w;
        std::vector<Point> points;
        for (int k = 0; k < 9; ++k) {
            y.push_back(3 + 0.01 * t[std::size_t(k)] + 0.05 * wobble(k));
            if (sigma > 0) w.push_back(1 / (sigma * sigma));
            points.push_back({t[std::size_t(k)], {y.back(), sigma}});
        }
        const FitOutcome f = fit_polynomial(t, y, w, 1);
        const LineFit line = fit_line(points);
        ASSERT_TRUE(f.fit);
        ASSERT_TRUE(line.ok);
        const formats::Estimate s = slope_at(*f.fit, 200);
        EXPECT_NEAR(s.value, line.slope, 1e-14) << sigma;
        EXPECT_NEAR(s.sigma, line.su_slope, 1e-9 * line.su_slope) << sigma;
        EXPECT_NEAR(f.fit->reduced_chi2, line.reduced_chi2, 1e-12 * line.reduced_chi2) << sigma;
    }
}

TEST(PolynomialFit, TooFewRowsOrTemperaturesAreRefused) {
    struct Case {
        std::vector<double> t;
        int degree;
        const char* why;
    };
    const Case cases[] = {
        {{100, 200, 300, 400}, 3, "poly3 has 4 parameters and needs more rows than that (4 rows)"},
        {{100, 200}, 1, "poly1 has 2 parameters and needs more rows than that (2 rows)"},
        {{100, 100, 100, 200, 200}, 2, "poly2 needs at least 3 distinct temperatures"},
    };
    for (const Case& c : cases) {
        std::vector<double> x(c.t.size(), 5.0);
        for (std::size_t k = 0; k < x.size(); ++k) x[k] += 1e-4 * double(k);
        const FitOutcome f = fit_polynomial(c.t, x, {}, c.degree);
        EXPECT_FALSE(f.fit);
        EXPECT_EQ(f.refusal, c.why);
    }
}

// AICc picks the degree the data have, against a scatter of 1e-5 that no
// polynomial follows; exact
// straight-line data (rounding alone in the residuals) stay a line.
TEST(PolynomialFit, AiccChoosesTheDegree) {
    const std::vector<double> t = temperatures(16, 100, 20);
    struct Case {
        double quadratic, cubic, noise;
        int degree;
    };
    const Case cases[] = {{0, 0, 1e-5, 1}, {2e-7, 0, 1e-5, 2}, {2e-7, 4e-9, 1e-5, 3}, {0, 0, 0, 1}};
    for (const Case& c : cases) {
        std::vector<double> x;
        for (int k = 0; k < 16; ++k) {
            const double tau = t[std::size_t(k)] - 250;
            x.push_back(10 + 1e-4 * tau + c.quadratic * tau * tau + c.cubic * tau * tau * tau +
                        c.noise * alternating(k));
        }
        const FitOutcome f = fit_best_polynomial(t, x, {});
        ASSERT_TRUE(f.fit);
        EXPECT_EQ(model_name(*f.fit), "poly" + std::to_string(c.degree)) << c.quadratic << " " << c.cubic;
    }
    // Three rows: no degree has p + 2 rows; the straight line then.
    const FitOutcome three = fit_best_polynomial({100, 200, 300}, {5, 5.01, 5.03}, {});
    ASSERT_TRUE(three.fit);
    EXPECT_EQ(model_name(*three.fit), "poly1");
}

// The sigma of the coefficient of expansion at one temperature against its
// spread over 2000 synthetic series with Gaussian errors of known ESD.
TEST(PolynomialFit, SigmaAgreesWithMonteCarlo) {
    const std::vector<double> t = temperatures(20, 100, 15);
    const double esd = 2e-4, at = 380;  // near the end, where sigma grows
    std::mt19937 random(20261207);
    std::normal_distribution<double> error(0.0, esd);
    const std::vector<double> w(t.size(), 1 / (esd * esd));
    double sum = 0, sum2 = 0, predicted = 0;
    constexpr int series = 2000;
    for (int s = 0; s < series; ++s) {
        std::vector<double> x;
        for (double temp : t)
            x.push_back(8 * (1 + 3e-5 * (temp - 100) + 4e-8 * (temp - 100) * (temp - 100)) + error(random));
        const FitOutcome f = fit_polynomial(t, x, w, 2);
        const formats::Estimate alpha = relative_slope_at(*f.fit, at);
        sum += alpha.value;
        sum2 += alpha.value * alpha.value;
        predicted += alpha.sigma;
    }
    const double spread = std::sqrt(sum2 / series - (sum / series) * (sum / series));
    predicted /= series;
    // max(1, chi2_nu) makes the predicted sigma a little larger on average.
    EXPECT_GT(predicted, 0.97 * spread);
    EXPECT_LT(predicted, 1.15 * spread);
}
