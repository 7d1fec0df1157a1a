#include "formats/cell.hpp"

#include <cmath>
#include <limits>
#include <numbers>

namespace analysis {

double volume(const Cell& cell) {
    const auto cosd = [](double degrees) { return std::cos(degrees * std::numbers::pi / 180.0); };
    const double ca = cosd(cell.alpha), cb = cosd(cell.beta), cg = cosd(cell.gamma);
    const double q = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
    if (!(q > 0)) return std::numeric_limits<double>::quiet_NaN();
    return cell.a * cell.b * cell.c * std::sqrt(q);
}

}  // namespace analysis
