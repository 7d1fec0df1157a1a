#include "crystal/strain.hpp"

namespace crystal {

std::string strain_name(StrainMeasure measure) {
    return std::string(measure.kind == StrainKind::eulerian ? "Eulerian" : "Lagrangian") +
           (measure.finite ? " finite" : " infinitesimal");
}

StrainReference strain_reference(const formats::Cell& reference) {
    StrainReference r;
    r.a0 = cartesian_matrix(reference);
    r.a0_inverse = r.a0.inverse();
    return r;
}

Eigen::Matrix3d strain(const StrainReference& reference, const Eigen::Matrix3d& a, StrainMeasure measure) {
    const Eigen::Matrix3d identity = Eigen::Matrix3d::Identity();
    const Eigen::Matrix3d u = measure.kind == StrainKind::eulerian
                                  ? Eigen::Matrix3d(identity - reference.a0 * a.inverse())
                                  : Eigen::Matrix3d(a * reference.a0_inverse - identity);
    Eigen::Matrix3d e = u + u.transpose();
    if (measure.finite) e += u * u.transpose();
    return 0.5 * e;
}

}  // namespace crystal
