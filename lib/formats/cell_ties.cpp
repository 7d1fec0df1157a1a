#include "formats/cell_ties.hpp"

#include <cmath>

namespace formats {

double volume_esd(const Cell& cell, const CellSu& su, const CellTies& ties) {
    const std::array<double, 6> gradient = volume_gradient(cell);
    const std::array<double, 6> sigma = su.values();
    std::array<double, 6> group_derivative{};
    for (int p = 0; p < 6; ++p) {
        if (!ties.fixed[p]) group_derivative[ties.group[p]] += gradient[p];
    }
    // hypot: squares of a cell of 1e-60 A would underflow to an ESD of 0.
    double esd = 0;
    for (int p = 0; p < 6; ++p) {
        if (ties.fixed[p] || ties.group[p] != p) continue;
        esd = std::hypot(esd, group_derivative[p] * sigma[p]);
    }
    return esd;
}

}  // namespace formats
