// The choice of a model by AICc among all five, and what the fits give:
// the parameters a paper quotes, with their sigma.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "crystal/alpha.hpp"
#include "fit/temperature_model.hpp"

using namespace analysis;

namespace {

// A deterministic scatter of about unit spread, different for each quantity.
double scatter(int k, int q) { return std::sin(12.9898 * (k + 1) + 78.233 * (q + 1)) * 1.2; }

// 20 rows from 20 to 305 K of an orthorhombic cell whose edges follow
// x(T) = x0 + A theta / (exp(theta/T) - 1), theta = 250 K, with ESD 2e-5 A.
std::vector<SeriesPoint> einstein_series() {
    std::vector<SeriesPoint> points;
    const double x0[] = {5, 6, 7}, amplitude[] = {4e-5, 6e-5, 2e-5};
    for (int k = 0; k < 20; ++k) {
        SeriesPoint p;
        p.t = 20 + 15 * k;
        std::array<double, 6> v{0, 0, 0, 90, 90, 90};
        for (int q = 0; q < 3; ++q)
            v[std::size_t(q)] = x0[q] + amplitude[q] * 250 / std::expm1(250 / p.t) + 2e-5 * scatter(k, q);
        p.cell = Cell::from(v);
        p.esd = {2e-5, 2e-5, 2e-5, 0, 0, 0};
        points.push_back(p);
    }
    return points;
}

}  // namespace

// An Einstein-shaped series: auto chooses einstein for every edge (no
// polynomial bends like it at low T) and theta comes back within 3 sigma.
TEST(AlphaModels, AutoChoosesEinsteinOnAnEinsteinSeries) {
    const AlphaFits fits = fit_cell_series(einstein_series(), AlphaModel::automatic);
    for (int q : {q_a, q_b, q_c}) {
        const ModelFit& f = *fits.quantities[std::size_t(q)].fit;
        ASSERT_EQ(model_name(f), "einstein") << q;
        EXPECT_EQ(parameter_names(f), (std::vector<std::string>{"x0", "A", "theta"}));
        const double sigma = std::sqrt(f.covariance[8]);
        EXPECT_LT(std::abs(f.p[2] - 250), 3 * sigma) << q;
        EXPECT_LT(sigma, 10) << q;
    }
    // alpha of a at 30 K is the Einstein curve's, where a cubic is far off.
    const double u = 250.0 / 30;
    const double truth = 1e6 * 4e-5 * u * u * std::exp(u) / (std::expm1(u) * std::expm1(u)) / 5;
    const Estimate at30 = *alpha_at(fits, 30).lengths[q_a];
    EXPECT_NEAR(at30.value, truth, 3 * at30.sigma + 0.05 * truth);
}

// The correlations are those of the covariance; a parameter with no
// variance has none.
TEST(AlphaModels, CorrelationsOfTheCovariance) {
    ModelFit f;
    f.p = {1, 2};
    f.covariance = {4, -3, -3, 9};
    EXPECT_DOUBLE_EQ(correlation(f, 0, 1), -0.5);
    f.covariance = {0, 0, 0, 9};
    EXPECT_TRUE(std::isnan(correlation(f, 0, 1)));
}

// Einstein's rate near 0 K: u = theta/T beyond 1e154 must not overflow u^2
// into NaN; the rate is 0 there.
TEST(AlphaModels, EinsteinRateAtATinyTemperatureIsZero) {
    for (double t : {1e-3, 1e-160, 1e-300}) {
        const double slope = model_slope(ModelKind::einstein, 0, {5, 4e-5, 250}, t);
        EXPECT_EQ(slope, 0) << t;
    }
}
