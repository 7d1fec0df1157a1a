// The choice of a model by AICc among all five, and what the fits give:
// the parameters a paper quotes, with their sigma.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "crystal/alpha.hpp"
#include "fit/temperature_model.hpp"

using namespace crystal;
using namespace fit;
using namespace formats;

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
    const formats::Estimate at30 = *alpha_at(fits, 30).lengths[q_a];
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

namespace {

// 12 rows from 100 to 375 K of an orthorhombic cell that does not change
// but for a scatter of `noise` times its ESD, scaled by `scale`; beta opening by
// `beta_rate` degree/K from 95.
std::vector<SeriesPoint> still_series(double scale, double beta_rate = 0, double noise = 1) {
    std::vector<SeriesPoint> points;
    for (int k = 0; k < 12; ++k) {
        SeriesPoint p;
        p.t = 100 + 25 * k;
        const double e = 2e-4 * scale, n = noise * e;
        p.cell = {scale * 5 + n * scatter(k, 0),
                  scale * 6 + n * scatter(k, 1),
                  scale * 7 + n * scatter(k, 2),
                  90,
                  beta_rate == 0 ? 90 : 95 + beta_rate * (p.t - 100) + 1e-3 * scatter(k, 3),
                  90};
        p.esd = {e, e, e, 0, beta_rate == 0 ? 0 : 1e-3, 0};
        points.push_back(p);
    }
    return points;
}

}  // namespace

// Cells of 1e-60 A: 1/ESD^2 of the volume (1e-184 A^3) overflows; the
// volume is refused with its line, never fitted with sigma 0, while the
// edges, whose weights stay in range, keep their coefficients.
TEST(AlphaModels, WeightsOutOfRangeAreRefused) {
    const AlphaFits fits = fit_cell_series(still_series(1e-60), AlphaModel::poly1);
    EXPECT_FALSE(fits.quantities[q_volume].fit);
    EXPECT_NE(fits.quantities[q_volume].refusal.find("range of the weights"), std::string::npos);
    ASSERT_TRUE(fits.quantities[q_a].fit);
    EXPECT_GT(alpha_at(fits, 200).lengths[q_a]->sigma, 0);
}

// Far outside its range a fitted beta passes 180 degrees: no tensor there,
// with the reason, and none of NaN; inside, the tensor as usual.
TEST(AlphaModels, NoTensorWhereTheFittedCellIsNone) {
    const AlphaFits fits = fit_cell_series(still_series(1, 0.02), AlphaModel::poly1);
    const AlphaAt inside = alpha_at(fits, 300), outside = alpha_at(fits, 5000);
    EXPECT_TRUE(inside.tensor);
    EXPECT_FALSE(outside.tensor);
    EXPECT_NE(outside.no_tensor.find("no unit cell"), std::string::npos);
}

// On one smooth series every model's sigma of alpha is of one size: Fei and
// Einstein carry the weights into their covariance and chi2 as the
// polynomials do (weights left out made Fei's sigma thousands of times too
// large; chi2 without them halved Einstein's).
TEST(AlphaModels, SigmasOfEveryModelAgreeOnASmoothSeries) {
    // From 140 K on, where the Einstein curve is smooth enough for Fei and a
    // polynomial too.
    std::vector<SeriesPoint> points = einstein_series();
    std::erase_if(points, [](const SeriesPoint& p) { return p.t < 140; });
    const double reference = alpha_at(fit_cell_series(points, AlphaModel::poly3), 200).lengths[q_a]->sigma;
    for (AlphaModel model : {AlphaModel::fei, AlphaModel::einstein}) {
        const AlphaFits fits = fit_cell_series(points, model);
        ASSERT_TRUE(fits.quantities[q_a].fit) << fits.quantities[q_a].refusal;
        const ModelFit& f = *fits.quantities[q_a].fit;
        EXPECT_TRUE(f.weighted);
        // chi2 in units of the ESDs (the smooth scatter leaves it below 1): far
        // above the 1e-10 of squared residuals in A^2.
        EXPECT_GT(f.reduced_chi2, 1e-3);
        EXPECT_LT(f.reduced_chi2, 3);
        const double sigma = alpha_at(fits, 200).lengths[q_a]->sigma;
        EXPECT_GT(sigma, 0.3 * reference) << int(model);
        EXPECT_LT(sigma, 3 * reference) << int(model);
        // The angles under fei and einstein take a polynomial of degree 2.
        std::vector<SeriesPoint> tilted = points;
        for (SeriesPoint& p : tilted) p.cell.beta = 95 + 1e-3 * p.t + 1e-6 * p.t * p.t;
        EXPECT_EQ(model_name(*fit_cell_series(tilted, model).quantities[q_beta].fit), "poly2");
    }
}

// When only some rows have an ESD for a quantity, every row takes equal
// weights, as if none had one (not the rows with ESDs weighted and the
// others left out).
TEST(AlphaModels, SomeRowsWithoutEsdsMeanEqualWeights) {
    std::vector<SeriesPoint> some = einstein_series(), none = some;
    some[3].esd.a = std::nan("");
    for (SeriesPoint& p : none) p.esd.a = std::nan("");
    for (AlphaModel model : {AlphaModel::poly2, AlphaModel::einstein}) {
        const ModelFit f = *fit_cell_series(some, model).quantities[q_a].fit;
        const ModelFit g = *fit_cell_series(none, model).quantities[q_a].fit;
        EXPECT_FALSE(f.weighted);
        EXPECT_EQ(f.n, some.size());
        EXPECT_DOUBLE_EQ(f.chi2, g.chi2);
        EXPECT_DOUBLE_EQ(f.covariance[0], g.covariance[0]);
    }
}
