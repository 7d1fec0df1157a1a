#include "crystal/equation_of_state.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "crystal/compression.hpp"
#include "support/eos_series.hpp"

using namespace crystal;

namespace {

using celltrend::testing::eos_volume_at;

EosData series(EosModel model, const std::vector<double>& q, unsigned noise_seed = 0) {
    return celltrend::testing::eos_series(model, q, noise_seed);
}

struct ModelCase {
    EosModel model;
    std::vector<double> q;
};

const ModelCase models[] = {
    {EosModel::bm2, {100, 50}},         {EosModel::bm3, {100, 50, 5.5}},     {EosModel::bm4, {100, 50, 5, -0.2}},
    {EosModel::vinet, {112.98, 37, 6}}, {EosModel::natural, {60, 120, 4.5}}, {EosModel::murnaghan, {100, 50, 4.5}},
};

}  // namespace

// Each form at V0 has the bulk modulus K0 and, by its derivative along P,
// K'; the Birch-Murnaghan form of 2nd order has K' = 4.
TEST(EquationOfState, ModulusAtV0IsK0AndItsSlopeIsKPrime) {
    for (const ModelCase& c : models) {
        EXPECT_NEAR(eos_pressure(c.model, c.q, c.q[0]), 0, 1e-12) << eos_model_name(c.model);
        EXPECT_NEAR(eos_bulk_modulus(c.model, c.q, c.q[0]), c.q[1], 1e-9 * c.q[1]) << eos_model_name(c.model);
        // K' = dK/dP = (dK/dV) / (dP/dV), by central differences in V.
        const double h = 1e-5 * c.q[0];
        const double dk = eos_bulk_modulus(c.model, c.q, c.q[0] + h) - eos_bulk_modulus(c.model, c.q, c.q[0] - h);
        const double dp = eos_pressure(c.model, c.q, c.q[0] + h) - eos_pressure(c.model, c.q, c.q[0] - h);
        EXPECT_NEAR(dk / dp, eos_k_prime(c.model, c.q), 1e-5) << eos_model_name(c.model);
    }
}

// Exact data give back the parameters they were made from; with noise of
// the stated sigma every parameter lies within 2 sigma (sigma being scaled
// by chi2_nu only above 1).
TEST(EquationOfState, RoundTripsRecoverTheParameters) {
    for (const ModelCase& c : models) {
        const EosFit exact = fit_eos(c.model, series(c.model, c.q));
        ASSERT_EQ(exact.q.size(), c.q.size());
        for (std::size_t k = 0; k < c.q.size(); ++k)
            EXPECT_NEAR(exact.q[k], c.q[k], 1e-6 * std::max(1.0, std::abs(c.q[k])))
                << eos_model_name(c.model) << " parameter " << k;
        EXPECT_LT(exact.chi2_nu, 1e-6);
        const EosFit noisy = fit_eos(c.model, series(c.model, c.q, 7));
        for (std::size_t k = 0; k < c.q.size(); ++k) {
            const double sigma = std::sqrt(noisy.covariance(Eigen::Index(k), Eigen::Index(k)));
            EXPECT_GT(sigma, 0);
            EXPECT_LT(std::abs(noisy.q[k] - c.q[k]), 2 * sigma) << eos_model_name(c.model) << " parameter " << k;
        }
    }
}

// The covariance is (J'WJ)^-1 with W the inverse variances: with sigmaV = 0
// and chi2_nu below 1 (no scaling), sigma(K0) grows as the sigmaP given (a
// weight that forgot to square would make it grow as its root).
TEST(EquationOfState, SigmaScalesWithSigmaP) {
    EosData d = series(EosModel::bm3, {100, 50, 5.5});
    for (double& s : d.sigma_v) s = 0;
    const EosFit one = fit_eos(EosModel::bm3, d);
    for (double& s : d.sigma_p) s *= 4;
    const EosFit four = fit_eos(EosModel::bm3, d);
    EXPECT_NEAR(std::sqrt(four.covariance(1, 1)) / std::sqrt(one.covariance(1, 1)), 4, 1e-6);
}

// At P = 0 the values with their sigma are V0 and K0 with theirs.
TEST(EquationOfState, AtZeroPressureGivesV0AndK0) {
    const EosFit fit = fit_eos(EosModel::bm3, series(EosModel::bm3, {100, 50, 5.5}, 3));
    const EosValue at = eos_at(fit, 0);
    EXPECT_NEAR(at.v, fit.q[0], 1e-10 * fit.q[0]);
    EXPECT_NEAR(at.k, fit.q[1], 1e-8 * fit.q[1]);
    EXPECT_NEAR(at.sigma_v, std::sqrt(fit.covariance(0, 0)), 1e-6 * at.sigma_v);
    EXPECT_NEAR(at.sigma_k, std::sqrt(fit.covariance(1, 1)), 1e-4 * at.sigma_k);
}

// A cubic edge fitted as its cube, with sigma(a^3) = 3 a^2 sigma(a), is the
// volume's fit: M0 = 3 K0, M' = 3 K', sigma(M0) = 3 sigma(K0), L0^3 = V0.
TEST(EquationOfState, AnEdgeIsItsCube) {
    const EosData volume = series(EosModel::bm3, {125, 40, 4.5}, 11);
    EosData edge = volume;
    for (std::size_t n = 0; n < edge.v.size(); ++n) {
        const double a = std::cbrt(volume.v[n]);
        const double sigma_a = volume.sigma_v[n] / (3 * a * a);
        edge.v[n] = a * a * a;
        edge.sigma_v[n] = 3 * a * a * sigma_a;
    }
    const EosFit v = fit_eos(EosModel::bm3, volume);
    const LinearParameters l = linear_modulus(fit_eos(EosModel::bm3, edge));
    EXPECT_NEAR(std::pow(l.q[0], 3), v.q[0], 1e-9 * v.q[0]);
    EXPECT_NEAR(l.q[1], 3 * v.q[1], 1e-7 * v.q[1]);
    EXPECT_NEAR(l.q[2], 3 * v.q[2], 1e-7);
    EXPECT_NEAR(std::sqrt(l.covariance(1, 1)), 3 * std::sqrt(v.covariance(1, 1)), 1e-6 * v.q[1]);
    EXPECT_NEAR(std::sqrt(l.covariance(0, 0)), std::sqrt(v.covariance(0, 0)) / (3 * l.q[0] * l.q[0]), 1e-9);
}

// Three orthogonal edges, each a bm3 in its cube: 1/M0_a + 1/M0_b + 1/M0_c
// is 1/K0 of the volume they make, within sigma.
TEST(EquationOfState, OrthogonalEdgesSumToTheVolume) {
    const std::vector<std::vector<double>> edges{{64, 20, 5}, {125, 40, 4}, {216, 60, 6}};
    std::vector<EosData> data;
    EosData volume;
    for (const auto& q : edges) data.push_back(series(EosModel::bm3, q));
    volume = data[0];
    for (std::size_t n = 0; n < volume.v.size(); ++n) {
        volume.v[n] = std::cbrt(data[0].v[n]) * std::cbrt(data[1].v[n]) * std::cbrt(data[2].v[n]);
        volume.sigma_v[n] = 0.001;
    }
    const EosFit v = fit_eos(EosModel::bm3, volume);
    double sum = 0;
    for (const EosData& d : data) sum += 1 / linear_modulus(fit_eos(EosModel::bm3, d)).q[1];
    // The product of three bm3 edges is no exact bm3: agreement within the
    // volume's own sigma of 1/K0.
    const double sigma = std::sqrt(v.covariance(1, 1)) / (v.q[1] * v.q[1]);
    EXPECT_NEAR(sum, 1 / v.q[1], 2 * sigma + 1e-4 / v.q[1]);
}

// Too few rows, and a series the model cannot follow, are refused.
TEST(EquationOfState, UndeterminedFitsAreRefused) {
    EosData d = series(EosModel::bm3, {100, 50, 5.5});
    d.p.resize(3), d.sigma_p.resize(3), d.v.resize(3), d.sigma_v.resize(3);
    EXPECT_THROW(fit_eos(EosModel::bm3, d), EosError);
    EXPECT_NO_THROW(fit_eos(EosModel::bm2, d));
    // Every row at one volume: no K0.
    EosData flat = series(EosModel::bm2, {100, 50});
    for (double& v : flat.v) v = 100;
    EXPECT_THROW(fit_eos(EosModel::bm2, flat), EosError);
}

// auto takes the order the data need: bm2 data keep bm2 (a tie goes to the
// lower order), strongly curved bm3 data take bm3.
TEST(EquationOfState, AutoChoosesByAicc) {
    EXPECT_EQ(fit_eos_auto(series(EosModel::bm2, {100, 50}, 5)).model, EosModel::bm2);
    EXPECT_EQ(fit_eos_auto(series(EosModel::bm3, {100, 20, 7}, 5)).model, EosModel::bm3);
}

// The strain law's compressibility against its closed form
// K = -1000 lambda nu (p - pc)^(nu - 1), from exact strains: the fit returns
// the parameters, sigma is nearly 0, and a lengthening axis keeps its
// negative K.
TEST(StrainLaw, CompressibilityHasItsClosedForm) {
    struct Case {
        double eps0, lambda, pc, nu;
    };
    const Case cases[] = {{0.01, -0.004, -0.5, 0.7}, {0.0, -0.002, -2.0, 0.5}, {-0.001, 0.0015, -1.0, 0.8}};
    for (const Case& c : cases) {
        std::vector<double> p, strain;
        for (int k = 0; k < 10; ++k) {
            p.push_back(0.6 * k);
            strain.push_back(c.eps0 + c.lambda * std::pow(p.back() - c.pc, c.nu));
        }
        const StrainLaw law = fit_strain_law(p, strain, std::vector<double>(p.size(), 0.05));
        EXPECT_NEAR(law.q[2], c.pc, 1e-5);
        EXPECT_NEAR(law.q[3], c.nu, 1e-6);
        for (double at : {0.0, 2.7, 5.4}) {
            const AxisCompressibility k = strain_law_compressibility(law, at);
            ASSERT_TRUE(k.defined);
            const double expected = -1000 * c.lambda * c.nu * std::pow(at - c.pc, c.nu - 1);
            EXPECT_NEAR(k.k, expected, 1e-5 * std::abs(expected));
            EXPECT_LT(k.sigma, 1e-5 * std::abs(expected));
            EXPECT_EQ(k.k<0, c.lambda> 0);
        }
        EXPECT_FALSE(strain_law_compressibility(law, c.pc - 0.1).defined);
    }
}

// The calculator's two third-order fits span the same curves: with pc = 0
// the same parameters as the plain third order, with pc = -1.5 GPa other
// parameters but the same fitted pressure at every V, and p = pc at V0.
TEST(CriticalBm3, SpansTheSameCurvesAsTheThirdOrder) {
    EosData d = series(EosModel::bm3, {100, 50, 5.5}, 13);
    for (double& s : d.sigma_v) s = 0;
    const EosFit plain = fit_eos(EosModel::bm3, d);
    const std::array<double, 3> start{plain.q[0], plain.q[1], plain.q[2]};
    const CriticalBm3 at_zero = fit_critical_bm3(d.p, d.v, d.sigma_p, 0, start);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(at_zero.q[k], plain.q[k], 1e-7 * std::abs(plain.q[k]));
    const CriticalBm3 critical = fit_critical_bm3(d.p, d.v, d.sigma_p, -1.5, start);
    EXPECT_GT(critical.q[0], plain.q[0] + 1);  // the volume at -1.5 GPa
    EXPECT_NEAR(critical_bm3_pressure(critical.q, -1.5, critical.q[0]), -1.5, 1e-12);
    for (double v : d.v)
        EXPECT_NEAR(critical_bm3_pressure(critical.q, -1.5, v), eos_pressure(EosModel::bm3, plain.q, v), 1e-6);
    EXPECT_NEAR(critical.chi2_nu, plain.chi2_nu, 1e-6 * plain.chi2_nu);
    // At V0 the modulus -V dP/dV is K0, and its slope along P is K'.
    const auto modulus = [&](double v) {
        const double h = 1e-6 * v;
        return -v * (critical_bm3_pressure(critical.q, -1.5, v + h) - critical_bm3_pressure(critical.q, -1.5, v - h)) /
               (2 * h);
    };
    const double v0 = critical.q[0], h = 1e-4 * v0;
    EXPECT_NEAR(modulus(v0), critical.q[1], 1e-5 * critical.q[1]);
    const double slope = (modulus(v0 + h) - modulus(v0 - h)) / (critical_bm3_pressure(critical.q, -1.5, v0 + h) -
                                                                critical_bm3_pressure(critical.q, -1.5, v0 - h));
    EXPECT_NEAR(slope, critical.q[2], 1e-3);
}

// An edge that lengthens under pressure, as its cube (K0 = M0/3 < 0): the
// fit is a result, kept with its sign, and gives back the parameters the
// edge was made from; L at a pressure lies beyond L0.
TEST(EquationOfState, ALengtheningEdgeHasANegativeModulus) {
    const std::vector<double> q{343, -150, 3};  // L0 = 7 A, M0 = -450 GPa, M' = 9
    EosData d = series(EosModel::bm3, q);
    for (std::size_t n = 0; n < d.v.size(); ++n) d.sigma_v[n] = 3 * std::cbrt(d.v[n] * d.v[n]) * 0.0002;
    EXPECT_GT(d.v.back(), d.v.front());
    EXPECT_THROW(fit_eos(EosModel::bm3, d), EosError);  // as a volume: refused
    const EosFit fit = fit_eos(EosModel::bm3, d, true);
    for (std::size_t k = 0; k < q.size(); ++k) EXPECT_NEAR(fit.q[k], q[k], 1e-6 * std::abs(q[k]));
    const LinearParameters l = linear_modulus(fit);
    EXPECT_NEAR(l.q[0], 7, 1e-8);
    EXPECT_NEAR(l.q[1], -450, 1e-4);
    const EosValue at = eos_at(fit, 4);
    EXPECT_GT(at.v, fit.q[0]);
    EXPECT_NEAR(eos_pressure(EosModel::bm3, fit.q, at.v), 4, 1e-9);
}
