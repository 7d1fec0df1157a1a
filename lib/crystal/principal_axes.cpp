#include "crystal/principal_axes.hpp"

#include <cmath>

namespace crystal {

PrincipalStrains principal_strains(const Eigen::Matrix3d& strain) {
    Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver;
    solver.compute(strain);
    return {solver.eigenvalues(), solver.eigenvectors()};
}

std::array<int, 3> matching_order(const Eigen::Matrix3d& anchor, const Eigen::Matrix3d& axes) {
    constexpr std::array<std::array<int, 3>, 6> orders{
        {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}}};
    const Eigen::Matrix3d overlap = anchor.transpose() * axes;
    std::array<int, 3> best = orders[0];
    double best_sum = -1;
    for (const auto& p : orders) {
        double sum = 0;
        for (int i = 0; i < 3; ++i) sum += std::abs(overlap(i, p[i]));
        if (sum > best_sum) {  // strictly: the first order wins a tie
            best_sum = sum;
            best = p;
        }
    }
    return best;
}

PrincipalStrains reordered(const PrincipalStrains& p, const std::array<int, 3>& order) {
    PrincipalStrains r;
    for (int i = 0; i < 3; ++i) {
        r.values(i) = p.values(order[i]);
        r.axes.col(i) = p.axes.col(order[i]);
    }
    return r;
}

}  // namespace crystal
