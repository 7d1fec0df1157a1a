#include "crystal/cell_transform.hpp"

#include <array>
#include <cmath>
#include <numbers>

namespace crystal {

namespace {

constexpr double radian = std::numbers::pi / 180.0;

// dG/dp for p = a, b, c, alpha, beta, gamma; angles per degree, since their
// ESDs are in degrees.
std::array<Eigen::Matrix3d, 6> metric_derivatives(const formats::Cell& k) {
    const double ca = std::cos(k.alpha * radian), sa = std::sin(k.alpha * radian);
    const double cb = std::cos(k.beta * radian), sb = std::sin(k.beta * radian);
    const double cg = std::cos(k.gamma * radian), sg = std::sin(k.gamma * radian);
    std::array<Eigen::Matrix3d, 6> d;
    for (Eigen::Matrix3d& x : d) x.setZero();
    // clang-format off
    d[0] << 2 * k.a, k.b * cg, k.c * cb,
            k.b * cg, 0, 0,
            k.c * cb, 0, 0;
    d[1] << 0, k.a * cg, 0,
            k.a * cg, 2 * k.b, k.c * ca,
            0, k.c * ca, 0;
    d[2] << 0, 0, k.a * cb,
            0, 0, k.b * ca,
            k.a * cb, k.b * ca, 2 * k.c;
    // clang-format on
    d[3](1, 2) = d[3](2, 1) = -k.b * k.c * sa * radian;
    d[4](0, 2) = d[4](2, 0) = -k.a * k.c * sb * radian;
    d[5](0, 1) = d[5](1, 0) = -k.a * k.b * sg * radian;
    return d;
}

// The changes of the seven parameters (a, b, c, alpha, beta, gamma, volume)
// of the cell with metric g and lengths len when g changes by h.
std::array<double, 7> parameter_changes(const Eigen::Matrix3d& g, const Eigen::Matrix3d& g_inverse,
                                        const std::array<double, 3>& len, const std::array<double, 3>& angle,
                                        double vol, const Eigen::Matrix3d& h) {
    std::array<double, 7> out{};
    std::array<double, 3> rel{};  // d(length) / length
    for (int i = 0; i < 3; ++i) {
        out[static_cast<std::size_t>(i)] = h(i, i) / (2 * len[static_cast<std::size_t>(i)]);
        rel[static_cast<std::size_t>(i)] = h(i, i) / (2 * g(i, i));
    }
    // Angle i lies between the two other axes j and k.
    constexpr int others[3][2] = {{1, 2}, {0, 2}, {0, 1}};
    for (int i = 0; i < 3; ++i) {
        const int j = others[i][0], k = others[i][1];
        const auto ju = static_cast<std::size_t>(j), ku = static_cast<std::size_t>(k);
        const double cosine = g(j, k) / (len[ju] * len[ku]);
        const double d_cosine = h(j, k) / (len[ju] * len[ku]) - cosine * (rel[ju] + rel[ku]);
        const double sine = std::sin(angle[static_cast<std::size_t>(i)] * radian);
        out[static_cast<std::size_t>(3 + i)] = -d_cosine / sine / radian;
    }
    // V = sqrt(det G), and d(det G) = det G tr(G⁻¹ dG).
    out[6] = 0.5 * vol * (g_inverse * h).trace();
    return out;
}

}  // namespace

TransformedCell transform_cell(const Eigen::Matrix3d& m, const formats::Cell& cell, const formats::CellSu& esd) {
    const Eigen::Matrix3d g = m * metric_tensor(cell) * m.transpose();
    TransformedCell out;
    out.cell = cell_from_metric(g);
    out.volume = formats::volume(out.cell);

    const Eigen::Matrix3d g_inverse = g.inverse();
    const std::array<double, 3> len{out.cell.a, out.cell.b, out.cell.c};
    const std::array<double, 3> angle{out.cell.alpha, out.cell.beta, out.cell.gamma};
    const std::array<double, 6> sigma = esd.values();
    const std::array<Eigen::Matrix3d, 6> dg = metric_derivatives(cell);

    std::array<double, 7> variance{};
    for (std::size_t p = 0; p < 6; ++p) {
        const std::array<double, 7> change =
            parameter_changes(g, g_inverse, len, angle, out.volume, m * dg[p] * m.transpose());
        for (std::size_t q = 0; q < 7; ++q) variance[q] += std::pow(change[q] * sigma[p], 2);
    }
    out.esd = {std::sqrt(variance[0]), std::sqrt(variance[1]), std::sqrt(variance[2]),
               std::sqrt(variance[3]), std::sqrt(variance[4]), std::sqrt(variance[5])};
    out.volume_esd = std::sqrt(variance[6]);
    return out;
}

}  // namespace crystal
