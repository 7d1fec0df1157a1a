#include "crystal/ff_plot.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "support/eos_series.hpp"

using namespace crystal;

namespace {

using celltrend::testing::eos_volume_at;

// Ten pressures to 9 GPa.
EosData series(EosModel model, const std::vector<double>& q, unsigned noise_seed = 0) {
    return celltrend::testing::eos_series(model, q, noise_seed, 10, 1.0);
}

// The line of the F-f plot as the table of the forms gives it, in terms of
// the true parameters.
struct LineCase {
    EosModel model;
    std::vector<double> q;
    FfStrain strain;
    std::function<double(double f, const std::vector<double>& q)> line;
};

const LineCase lines[] = {
    {EosModel::bm2, {100, 50}, FfStrain::eulerian, [](double, const std::vector<double>& q) { return q[1]; }},
    {EosModel::bm3,
     {100, 50, 5.5},
     FfStrain::eulerian,
     [](double f, const std::vector<double>& q) { return q[1] * (1 + 1.5 * (q[2] - 4) * f); }},
    {EosModel::bm4,
     {100, 50, 5, -0.2},
     FfStrain::eulerian,
     [](double f, const std::vector<double>& q) {
         const double c = 1.5 * (q[1] * q[3] + (q[2] - 4) * (q[2] - 3) + 35.0 / 9);
         return q[1] * (1 + 1.5 * (q[2] - 4) * f + c * f * f);
     }},
    {EosModel::natural,
     {60, 120, 4.5},
     FfStrain::natural,
     [](double f, const std::vector<double>& q) { return q[1] * (1 + 1.5 * (q[2] - 2) * f); }},
    {EosModel::vinet,
     {112.98, 37, 6},
     FfStrain::vinet,
     [](double f, const std::vector<double>& q) { return std::log(q[1]) + 1.5 * (q[2] - 1) * f; }},
};

}  // namespace

// Exact data fitted: every row (but P = 0 at V0, left out) lies on the line
// the model's form implies, and the drawn line is that line.
TEST(FfPlot, ExactSeriesLieOnTheLineOfTheirForm) {
    for (const LineCase& c : lines) {
        const EosData data = series(c.model, c.q);
        const FfPlot plot = ff_plot(fit_eos(c.model, data), data);
        EXPECT_EQ(plot.strain, c.strain) << eos_model_name(c.model);
        ASSERT_EQ(plot.points.size(), data.p.size() - 1) << eos_model_name(c.model);
        for (const FfPoint& p : plot.points) {
            EXPECT_NE(p.row, 0u);
            EXPECT_NEAR(p.F, c.line(p.f, c.q), 1e-5 * std::abs(c.line(p.f, c.q))) << eos_model_name(c.model);
        }
        ASSERT_GT(plot.line_f.size(), 50u);
        EXPECT_LE(plot.line_f.front(), 1e-3 * plot.line_f.back()) << "the line starts at f = 0";
        for (std::size_t k = 0; k < plot.line_f.size(); ++k)
            EXPECT_NEAR(plot.line_F[k], c.line(plot.line_f[k], c.q), 1e-5 * std::abs(c.line(plot.line_f[k], c.q)))
                << eos_model_name(c.model) << " at f " << plot.line_f[k];
    }
}

// A BM3 series with noise of its stated sigma: the points scatter about
// K0 [1 + b f] of the fitted parameters within their sigma F (3 sigma,
// allowing for sigma f along the slope).
TEST(FfPlot, NoisyBm3PointsLieOnTheFittedLineWithinSigma) {
    const EosData data = series(EosModel::bm3, {100, 50, 5.5}, 11);
    const EosFit fit = fit_eos(EosModel::bm3, data);
    const FfPlot plot = ff_plot(fit, data);
    ASSERT_EQ(plot.points.size(), 10u);  // no row is exactly at V0 with noise
    const double b = 1.5 * (fit.q[2] - 4);
    for (const FfPoint& p : plot.points) {
        const double sigma = std::hypot(p.sigma_F, fit.q[1] * b * p.sigma_f);
        EXPECT_LT(std::abs(p.F - fit.q[1] * (1 + b * p.f)), 3 * sigma) << "row " << p.row;
    }
}

// One row worked by hand: V0 = 100(0.05), V = 90(0.1) A^3, P = 5(0.02)
// GPa.  eta = 0.9, f = (0.9^(-2/3) - 1)/2 = 0.0363830, F = P / [3f (1 +
// 2f)^(5/2)] = 38.4315 GPa; sigma eta = 0.9 sqrt[(0.1/90)^2 + (0.05/100)^2]
// = 1.09659e-3, sigma f = 0.9^(-5/3) sigma eta / 3 = 4.35696e-4, and sigma F
// = F sqrt[(0.02/5)^2 + ((7 - 5 0.9^(2/3)) / (3 0.9 (1 - 0.9^(2/3))))^2
// sigma eta^2] = 0.559793 GPa.
TEST(FfPlot, SigmaOfFAndFOnOneRowByHand) {
    EosFit fit;
    fit.model = EosModel::bm3;
    fit.q = {100, 50, 5};
    fit.covariance = Eigen::Matrix3d::Zero();
    fit.covariance(0, 0) = 0.05 * 0.05;
    const EosData data{{5}, {0.02}, {90}, {0.1}};
    const FfPlot plot = ff_plot(fit, data);
    ASSERT_EQ(plot.points.size(), 1u);
    const FfPoint& p = plot.points[0];
    EXPECT_NEAR(p.f, 0.036382991447572066, 1e-12);
    EXPECT_NEAR(p.F, 38.43154650145036, 1e-9);
    EXPECT_NEAR(p.sigma_f, 0.00043569619989312106, 1e-12);
    EXPECT_NEAR(p.sigma_F, 0.5597929510911054, 1e-9);
}
