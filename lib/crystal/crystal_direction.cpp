#include "crystal/crystal_direction.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace crystal {

Eigen::Vector3d normalised_direction(const Eigen::Vector3d& t) {
    Eigen::Vector3d d = t / t.norm();
    int largest = 0;
    for (int i = 1; i < 3; ++i)
        if (std::abs(d(i)) > std::abs(d(largest))) largest = i;
    if (d(largest) < 0) d = -d;
    return d;
}

Eigen::Vector3d cartesian_direction(const Eigen::Matrix3d& a, const Eigen::Vector3d& uvw) {
    return (a * uvw).normalized();
}

Eigen::Vector3d crystal_direction(const Eigen::Matrix3d& a, const Eigen::Vector3d& x) {
    return normalised_direction(a.inverse() * x);
}

Eigen::Vector3d direction_in_new_axes(const Eigen::Matrix3d& m, const Eigen::Vector3d& t) {
    return normalised_direction(m.transpose().inverse() * t);
}

Eigen::Vector3d angles_to_axes(const Eigen::Matrix3d& a, const Eigen::Vector3d& x) {
    Eigen::Vector3d angles;
    const Eigen::Vector3d unit = x.normalized();
    for (int j = 0; j < 3; ++j) {
        const double cosine = std::clamp(unit.dot(a.col(j).normalized()), -1.0, 1.0);
        angles(j) = std::acos(cosine) * 180.0 / std::numbers::pi;
    }
    return angles;
}

}  // namespace crystal
