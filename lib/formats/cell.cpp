#include "formats/cell.hpp"

#include <cmath>
#include <limits>
#include <numbers>

namespace formats {

double volume(const Cell& cell) {
    const auto cosd = [](double degrees) { return std::cos(degrees * std::numbers::pi / 180.0); };
    const double ca = cosd(cell.alpha), cb = cosd(cell.beta), cg = cosd(cell.gamma);
    const double q = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
    if (!(q > 0)) return std::numeric_limits<double>::quiet_NaN();
    return cell.a * cell.b * cell.c * std::sqrt(q);
}

bool is_cell(const Cell& cell) {
    for (double angle : {cell.alpha, cell.beta, cell.gamma})
        if (!(angle > 0 && angle < 180)) return false;
    // A flat cell (alpha + beta + gamma = 360) has a volume of rounding only.
    // Measured on the unit lengths, so that no product of lengths overflows.
    const Cell shape{1, 1, 1, cell.alpha, cell.beta, cell.gamma};
    return cell.a > 0 && cell.b > 0 && cell.c > 0 && volume(shape) > 1e-6;
}

std::array<double, 6> volume_gradient(const Cell& cell) {
    constexpr double radian = std::numbers::pi / 180.0;
    const double v = volume(cell);
    const double ca = std::cos(cell.alpha * radian), cb = std::cos(cell.beta * radian),
                 cg = std::cos(cell.gamma * radian);
    const double abc = cell.a * cell.b * cell.c;
    // dV/dalpha = (abc)^2 sin(alpha) (cos alpha - cos beta cos gamma) / V, and so on.
    const auto d_angle = [&](double angle, double c_own, double c_other1, double c_other2) {
        return abc / v * abc * std::sin(angle * radian) * (c_own - c_other1 * c_other2) * radian;
    };
    return {v / cell.a,
            v / cell.b,
            v / cell.c,
            d_angle(cell.alpha, ca, cb, cg),
            d_angle(cell.beta, cb, ca, cg),
            d_angle(cell.gamma, cg, ca, cb)};
}

}  // namespace formats
