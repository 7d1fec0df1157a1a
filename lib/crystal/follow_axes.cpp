#include "crystal/follow_axes.hpp"

#include <algorithm>
#include <cmath>

#include "crystal/principal_axes.hpp"

namespace crystal {

std::vector<std::array<int, 3>> follow_axes(const std::vector<Eigen::Matrix3d>& axes) {
    std::vector<std::array<int, 3>> orders;
    Eigen::Matrix3d previous = Eigen::Matrix3d::Identity();
    for (std::size_t k = 0; k < axes.size(); ++k) {
        const std::array<int, 3> order = k == 0 ? std::array<int, 3>{0, 1, 2} : matching_order(previous, axes[k]);
        for (int i = 0; i < 3; ++i) previous.col(i) = axes[k].col(order[i]);
        orders.push_back(order);
    }
    return orders;
}

namespace {

Eigen::Matrix3d directions(const AlphaTensor& t) {
    Eigen::Matrix3d m;
    for (int i = 0; i < 3; ++i) m.col(i) = t.principal[std::size_t(i)].direction;
    return m;
}

}  // namespace

std::vector<AlphaAt> alpha_followed(const AlphaFits& fits, const std::vector<double>& temperatures,
                                    std::vector<AxisCrossing>* crossings, int steps) {
    double low = fits.t_min, high = fits.t_max;
    for (double t : temperatures) low = std::min(low, t), high = std::max(high, t);
    std::vector<double> grid = temperatures;
    for (int k = 0; k <= steps; ++k) grid.push_back(k == steps ? high : low + (high - low) * k / steps);
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());

    std::vector<AlphaAt> on_grid = alpha_on_grid(fits, grid);
    std::vector<Eigen::Matrix3d> axes;
    std::vector<std::size_t> with_tensor;
    for (std::size_t k = 0; k < on_grid.size(); ++k)
        if (on_grid[k].tensor) {
            axes.push_back(directions(*on_grid[k].tensor));
            with_tensor.push_back(k);
        }
    const std::vector<std::array<int, 3>> orders = follow_axes(axes);
    for (std::size_t j = 0; j < with_tensor.size(); ++j) {
        AlphaTensor& t = *on_grid[with_tensor[j]].tensor;
        const std::array<PrincipalAxis, 3> sorted = t.principal;
        for (std::size_t i = 0; i < 3; ++i) t.principal[i] = sorted[std::size_t(orders[j][i])];
    }

    if (crossings) {
        // The order of two followed coefficients changes where their
        // difference changes sign; a difference at rounding level (equal
        // coefficients, as symmetry makes them) has no sign.
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b) {
                int last_sign = 0;
                double last_t = 0;
                for (std::size_t k : with_tensor) {
                    const auto& p = on_grid[k].tensor->principal;
                    const double x = p[std::size_t(a)].alpha.value, y = p[std::size_t(b)].alpha.value;
                    const double scale =
                        std::max({std::abs(p[0].alpha.value), std::abs(p[1].alpha.value), std::abs(p[2].alpha.value)});
                    const double d = y - x;
                    if (!(std::abs(d) > 1e-9 * scale)) continue;
                    const int sign = d > 0 ? 1 : -1;
                    if (last_sign != 0 && sign != last_sign) crossings->push_back({a, b, last_t, on_grid[k].t});
                    last_sign = sign;
                    last_t = on_grid[k].t;
                }
            }
        std::sort(crossings->begin(), crossings->end(),
                  [](const AxisCrossing& x, const AxisCrossing& y) { return x.t_before < y.t_before; });
    }

    std::vector<AlphaAt> asked;
    for (double t : temperatures)
        asked.push_back(on_grid[std::size_t(std::lower_bound(grid.begin(), grid.end(), t) - grid.begin())]);
    return asked;
}

}  // namespace crystal
