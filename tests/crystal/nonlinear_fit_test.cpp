#include "crystal/nonlinear_fit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace crystal;
using namespace fit;

namespace {

std::vector<double> temperatures(int n, double first, double step) {
    std::vector<double> t;
    for (int k = 0; k < n; ++k) t.push_back(first + step * k);
    return t;
}

double einstein(double x0, double a, double theta, double t) { return x0 + a * theta / std::expm1(theta / t); }

}  // namespace

// Exact Einstein data: theta and the coefficient of expansion
// A xi(T)/x(T), xi = u^2 e^u/(e^u - 1)^2, u = theta/T, come back.
TEST(NonlinearFit, EinsteinDataGiveTheirTheta) {
    struct Case {
        double x0, a, theta;
        double first, step;
    };
    const Case cases[] = {{10.0, 2e-4, 250, 90, 20}, {7.5, 5e-5, 600, 100, 15}, {1200, 0.1, 150, 20, 20}};
    for (const Case& c : cases) {
        const std::vector<double> t = temperatures(16, c.first, c.step);
        std::vector<double> x;
        for (double temp : t) x.push_back(einstein(c.x0, c.a, c.theta, temp));
        const FitOutcome f = fit_einstein(t, x, {});
        ASSERT_TRUE(f.fit) << f.refusal;
        EXPECT_EQ(model_name(*f.fit), "einstein");
        EXPECT_NEAR(f.fit->p[2], c.theta, 1e-5 * c.theta);
        for (double temp : {t.front(), 298.15, t.back()}) {
            const double u = c.theta / temp;
            const double xi = u * u * std::exp(u) / std::pow(std::expm1(u), 2);
            const double alpha = c.a * xi / einstein(c.x0, c.a, c.theta, temp);
            EXPECT_NEAR(relative_slope_at(*f.fit, temp).value, alpha, 1e-6 * alpha) << c.theta << " " << temp;
        }
    }
}

// A straight line is the Einstein curve of theta -> 0: the best theta lies
// at the bottom edge of the grid, so there is no theta to give.
TEST(NonlinearFit, EinsteinOnALineIsRefused) {
    const std::vector<double> t = temperatures(12, 100, 25);
    std::vector<double> x;
    for (double temp : t) x.push_back(6 * (1 + 2e-5 * temp) + 1e-9 * std::sin(temp));
    const FitOutcome f = fit_einstein(t, x, {});
    EXPECT_FALSE(f.fit);
    EXPECT_NE(f.refusal.find("the data do not determine the Einstein temperature theta"), std::string::npos)
        << f.refusal;
    EXPECT_NE(f.refusal.find("try a polynomial"), std::string::npos);
    EXPECT_EQ(fit_einstein({100, 200, 300}, {5, 5.01, 5.03}, {}).refusal,
              "einstein has 3 parameters and needs more rows than that (3 rows)");
}

// Fei data, alpha = a0 + a1 T + a2 / T^2 exactly, with weights.
TEST(NonlinearFit, FeiDataGiveTheirCoefficients) {
    const std::vector<double> t = temperatures(15, 100, 20);
    const double a0 = 3e-5, a1 = 2e-8, a2 = -0.4, t0 = 250;
    std::vector<double> x, w;
    for (double temp : t) {
        x.push_back(9 * std::exp(a0 * (temp - t0) + 0.5 * a1 * (temp * temp - t0 * t0) - a2 * (1 / temp - 1 / t0)));
        w.push_back(1 / (1e-4 * 1e-4));
    }
    const FitOutcome f = fit_fei(t, x, w);
    ASSERT_TRUE(f.fit) << f.refusal;
    EXPECT_TRUE(f.fit->weighted);
    for (double temp : {100.0, 250.0, 380.0}) {
        const double alpha = a0 + a1 * temp + a2 / (temp * temp);
        EXPECT_NEAR(relative_slope_at(*f.fit, temp).value, alpha, 1e-9) << temp;
        EXPECT_NEAR(value_at(*f.fit, temp).value,
                    9 * std::exp(a0 * (temp - t0) + 0.5 * a1 * (temp * temp - t0 * t0) - a2 * (1 / temp - 1 / t0)),
                    1e-9);
    }
    EXPECT_EQ(fit_fei({100, 200, 300, 400}, {5, 5.01, 5.03, 5.06}, {}).refusal,
              "fei has 4 parameters and needs more rows than that (4 rows)");
}
