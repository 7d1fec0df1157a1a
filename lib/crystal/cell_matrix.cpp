#include "crystal/cell_matrix.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace crystal {

namespace {

double cosd(double degrees) { return std::cos(degrees * std::numbers::pi / 180.0); }
double sind(double degrees) { return std::sin(degrees * std::numbers::pi / 180.0); }
double acosd(double x) { return std::acos(x) * 180.0 / std::numbers::pi; }

}  // namespace

Eigen::Matrix3d metric_tensor(const formats::Cell& cell) {
    const double ab = cell.a * cell.b * cosd(cell.gamma);
    const double ac = cell.a * cell.c * cosd(cell.beta);
    const double bc = cell.b * cell.c * cosd(cell.alpha);
    Eigen::Matrix3d g;
    // clang-format off
    g << cell.a * cell.a, ab, ac,
         ab, cell.b * cell.b, bc,
         ac, bc, cell.c * cell.c;
    // clang-format on
    return g;
}

formats::Cell cell_from_metric(const Eigen::Matrix3d& g) {
    formats::Cell cell;
    cell.a = std::sqrt(g(0, 0));
    cell.b = std::sqrt(g(1, 1));
    cell.c = std::sqrt(g(2, 2));
    // Rounding can carry a cosine of a flat angle just beyond 1.
    const auto angle = [](double cosine) { return acosd(std::clamp(cosine, -1.0, 1.0)); };
    cell.alpha = angle(g(1, 2) / (cell.b * cell.c));
    cell.beta = angle(g(0, 2) / (cell.a * cell.c));
    cell.gamma = angle(g(0, 1) / (cell.a * cell.b));
    return cell;
}

Eigen::Matrix3d cartesian_matrix(const formats::Cell& cell) {
    const double ca = cosd(cell.alpha), sa = sind(cell.alpha);
    const double cb = cosd(cell.beta), sb = sind(cell.beta);
    const double cg = cosd(cell.gamma);
    const double cos_gamma_star = (ca * cb - cg) / (sa * sb);
    const double sin_gamma_star = std::sqrt(1 - cos_gamma_star * cos_gamma_star);
    Eigen::Matrix3d m;
    // clang-format off
    m << cell.a * sb * sin_gamma_star, 0, 0,
         -cell.a * sb * cos_gamma_star, cell.b * sa, 0,
         cell.a * cb, cell.b * ca, cell.c;
    // clang-format on
    return m;
}

}  // namespace crystal
