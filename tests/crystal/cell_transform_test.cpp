#include "crystal/cell_transform.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

using namespace crystal;
using namespace formats;

namespace {

constexpr double radian = std::numbers::pi / 180.0;

// The 100 K cell of the example series, with its ESDs.
const Cell example{9.18301, 6.81794, 13.20413, 90.0, 104.3117, 90.0};
const CellSu example_esd{0.00018, 0.00023, 0.00029, 0.0011, 0.0009, 0.0012};

// A cell with no special angle, so that every derivative is at work.
const Cell triclinic{7.123, 8.456, 9.789, 81.5, 97.25, 103.75};
const CellSu triclinic_esd{0.0011, 0.0017, 0.0023, 0.013, 0.017, 0.019};

Eigen::Matrix3d rows(std::array<double, 9> v) {
    Eigen::Matrix3d m;
    m << v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8];
    return m;
}

std::array<double, 7> values(const TransformedCell& t) {
    return {t.cell.a, t.cell.b, t.cell.c, t.cell.alpha, t.cell.beta, t.cell.gamma, t.volume};
}
std::array<double, 7> esds(const TransformedCell& t) {
    return {t.esd.a, t.esd.b, t.esd.c, t.esd.alpha, t.esd.beta, t.esd.gamma, t.volume_esd};
}
// The ESDs with only parameter p's kept.
CellSu only(const CellSu& su, int p) {
    std::array<double, 6> v{};
    v[p] = su.values()[p];
    return CellSu::from(v);
}
// The cell with parameter p moved by h.
Cell moved(const Cell& k, int p, double h) {
    std::array<double, 6> v = k.values();
    v[p] += h;
    return Cell::from(v);
}

}  // namespace

TEST(CellTransform, IdentityKeepsTheCellAndItsEsds) {
    const TransformedCell t = transform_cell(Eigen::Matrix3d::Identity(), triclinic, triclinic_esd);
    const std::array<double, 6> in{triclinic.a,     triclinic.b,    triclinic.c,
                                   triclinic.alpha, triclinic.beta, triclinic.gamma};
    const std::array<double, 6> in_esd{triclinic_esd.a,     triclinic_esd.b,    triclinic_esd.c,
                                       triclinic_esd.alpha, triclinic_esd.beta, triclinic_esd.gamma};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(values(t)[i], in[i], 1e-12) << i;
        EXPECT_NEAR(esds(t)[i], in_esd[i], 1e-15) << i;
    }
}

// V = abc sqrt(1 - cos²β) for alpha = gamma = 90, so dV/da = V/a, ...,
// dV/dβ = V cot β (per radian).
TEST(CellTransform, MonoclinicVolumeEsdByHand) {
    const double v = example.a * example.b * example.c * std::sin(example.beta * radian);
    const double expected =
        v * std::sqrt(std::pow(example_esd.a / example.a, 2) + std::pow(example_esd.b / example.b, 2) +
                      std::pow(example_esd.c / example.c, 2) +
                      std::pow(example_esd.beta * radian / std::tan(example.beta * radian), 2));
    const TransformedCell t = transform_cell(Eigen::Matrix3d::Identity(), example, example_esd);
    EXPECT_NEAR(t.volume, v, 1e-9);
    EXPECT_NEAR(t.volume_esd, expected, 1e-12);
}

TEST(CellTransform, ADoubledAxisDoublesItsEsdAndTheVolumeEsd) {
    const TransformedCell one = transform_cell(Eigen::Matrix3d::Identity(), triclinic, triclinic_esd);
    const TransformedCell t = transform_cell(rows({2, 0, 0, 0, 1, 0, 0, 0, 1}), triclinic, triclinic_esd);
    EXPECT_NEAR(t.cell.a, 2 * triclinic.a, 1e-12);
    EXPECT_NEAR(t.esd.a, 2 * triclinic_esd.a, 1e-15);
    EXPECT_NEAR(t.volume, 2 * one.volume, 1e-9);
    EXPECT_NEAR(t.volume_esd, 2 * one.volume_esd, 1e-12);
    // The angles do not depend on the length of a, so neither do their ESDs.
    for (std::size_t i : {1u, 2u, 3u, 4u, 5u}) {
        EXPECT_NEAR(values(t)[i], values(one)[i], 1e-10) << i;
        EXPECT_NEAR(esds(t)[i], esds(one)[i], 1e-14) << i;
    }
}

TEST(CellTransform, ASwapOfAxesSwapsTheEsds) {
    // a <-> b: alpha (b^c) and beta (a^c) change places, gamma stays.
    const TransformedCell t = transform_cell(rows({0, 1, 0, 1, 0, 0, 0, 0, 1}), triclinic, triclinic_esd);
    EXPECT_NEAR(t.cell.a, triclinic.b, 1e-12);
    EXPECT_NEAR(t.cell.b, triclinic.a, 1e-12);
    EXPECT_NEAR(t.cell.alpha, triclinic.beta, 1e-10);
    EXPECT_NEAR(t.cell.beta, triclinic.alpha, 1e-10);
    EXPECT_NEAR(t.cell.gamma, triclinic.gamma, 1e-10);
    EXPECT_NEAR(t.esd.a, triclinic_esd.b, 1e-15);
    EXPECT_NEAR(t.esd.b, triclinic_esd.a, 1e-15);
    EXPECT_NEAR(t.esd.c, triclinic_esd.c, 1e-15);
    EXPECT_NEAR(t.esd.alpha, triclinic_esd.beta, 1e-13);
    EXPECT_NEAR(t.esd.beta, triclinic_esd.alpha, 1e-13);
    EXPECT_NEAR(t.esd.gamma, triclinic_esd.gamma, 1e-13);
    // Left-handed axes, but the volume is a length cubed.
    const TransformedCell one = transform_cell(Eigen::Matrix3d::Identity(), triclinic, triclinic_esd);
    EXPECT_NEAR(t.volume, one.volume, 1e-9);
    EXPECT_NEAR(t.volume_esd, one.volume_esd, 1e-12);
}

// The example series' matrix: new a = a + c, new b = b, new c = -a.
// a'² = a² + c² + 2ac cos β, so σ(a')² = ((a + c cos β) σa)² / a'² +
// ((c + a cos β) σc)² / a'² + (ac sin β σβ)² / a'²; c' = a keeps σa.
TEST(CellTransform, ExampleMatrixKeepsTheVolumeAndItsEsd) {
    const TransformedCell one = transform_cell(Eigen::Matrix3d::Identity(), example, example_esd);
    const TransformedCell t = transform_cell(rows({1, 0, 1, 0, 1, 0, -1, 0, 0}), example, example_esd);
    EXPECT_NEAR(t.volume, one.volume, 1e-9);
    EXPECT_NEAR(t.volume_esd, one.volume_esd, 1e-12);

    const double cb = std::cos(example.beta * radian), sb = std::sin(example.beta * radian);
    const double a_new = std::sqrt(example.a * example.a + example.c * example.c + 2 * example.a * example.c * cb);
    EXPECT_NEAR(t.cell.a, a_new, 1e-12);
    const double sigma_a_new = std::sqrt(std::pow((example.a + example.c * cb) * example_esd.a, 2) +
                                         std::pow((example.c + example.a * cb) * example_esd.c, 2) +
                                         std::pow(example.a * example.c * sb * example_esd.beta * radian, 2)) /
                               a_new;
    EXPECT_NEAR(t.esd.a, sigma_a_new, 1e-15);
    EXPECT_NEAR(t.esd.b, example_esd.b, 1e-15);
    EXPECT_NEAR(t.esd.c, example_esd.a, 1e-15);
    // b stays perpendicular to both new axes, exactly.
    EXPECT_NEAR(t.cell.alpha, 90.0, 1e-10);
    EXPECT_NEAR(t.cell.gamma, 90.0, 1e-10);
}

// Every ESD is |d(value)/d(parameter)| σ for one parameter at a time; the
// derivatives are checked against central differences of the transformed
// values, for a triclinic cell and a centred-to-primitive matrix with halves.
TEST(CellTransform, EsdsAgreeWithCentralDifferences) {
    const Eigen::Matrix3d m = rows({0.5, 0.5, 0, -0.5, 0.5, 0, 0, 0.5, 1.0 / 3});
    for (int p = 0; p < 6; ++p) {
        const CellSu sigma = only(triclinic_esd, p);
        const TransformedCell t = transform_cell(m, triclinic, sigma);

        const double step = p < 3 ? 1e-5 : 1e-4;
        const auto vu = values(transform_cell(m, moved(triclinic, p, step), sigma));
        const auto vd = values(transform_cell(m, moved(triclinic, p, -step), sigma));
        for (std::size_t q = 0; q < 7; ++q) {
            const double expected = std::fabs((vu[q] - vd[q]) / (2 * step)) * sigma.values()[p];
            EXPECT_NEAR(esds(t)[q], expected, 1e-7 * std::fabs(expected) + 1e-13)
                << "parameter " << p << " value " << q;
        }
    }
}

TEST(CellTransform, IndependentEsdsAddInQuadrature) {
    const Eigen::Matrix3d m = rows({1, 0, 1, 0, 1, 0, -1, 0, 0});
    const TransformedCell all = transform_cell(m, triclinic, triclinic_esd);
    std::array<double, 7> sum{};
    for (int p = 0; p < 6; ++p) {
        const auto e = esds(transform_cell(m, triclinic, only(triclinic_esd, p)));
        for (std::size_t q = 0; q < 7; ++q) sum[q] += e[q] * e[q];
    }
    for (std::size_t q = 0; q < 7; ++q) EXPECT_NEAR(esds(all)[q], std::sqrt(sum[q]), 1e-14) << q;
}
