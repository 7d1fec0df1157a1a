#include "figures/expansion_tensor.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

#include "crystal/alpha.hpp"
#include "crystal/crystal_direction.hpp"

namespace figures {

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// "a", "b", "c" or "[u v w]" as [u v w] and the name the figure shows.
Eigen::Vector3d read_direction(const std::string& text, std::string& name) {
    const std::string t = trimmed(text);
    if (t == "a" || t == "b" || t == "c") {
        name = t;
        return Eigen::Vector3d::Unit(t[0] - 'a');
    }
    if (t.size() > 2 && t.front() == '[' && t.back() == ']') {
        std::istringstream in(t.substr(1, t.size() - 2));
        Eigen::Vector3d uvw = Eigen::Vector3d::Zero();
        std::string rest;
        if (in >> uvw[0] >> uvw[1] >> uvw[2] && !(in >> rest) && std::isfinite(uvw.squaredNorm())) {
            std::ostringstream shown;
            shown << '[' << uvw[0] << ' ' << uvw[1] << ' ' << uvw[2] << ']';
            name = shown.str();
            return uvw;
        }
    }
    throw PlaneError("the direction \"" + t + "\": give a, b, c or [u v w]");
}

}  // namespace

ExpansionTensor tensor_from_principal(const Eigen::Vector3d& values, const std::array<Eigen::Vector3d, 3>& directions,
                                      const Eigen::Matrix3d& cell) {
    ExpansionTensor t;
    for (std::size_t k = 0; k < 3; ++k) t.alpha += values[Eigen::Index(k)] * directions[k] * directions[k].transpose();
    t.cell = cell;
    t.principal = values;
    t.principal_directions = directions;
    return t;
}

PlaneChoice read_plane(const std::string& text) {
    PlaneChoice choice;
    const std::string t = trimmed(text);
    choice.text = t;
    if (t.size() == 4 && t[0] == 'X' && t[2] == 'X' && t[1] >= '1' && t[1] <= '3' && t[3] >= '1' && t[3] <= '3' &&
        t[1] < t[3]) {
        choice.principal = true;
        choice.axes = {t[1] - '1', t[3] - '1'};
        choice.name1 = t.substr(0, 2);
        choice.name2 = t.substr(2, 2);
        return choice;
    }
    const auto comma = t.find(',');
    if (comma == std::string::npos)
        throw PlaneError("the plane \"" + t +
                         "\": give X1X2, X1X3, X2X3 or two directions such as a,c or [1 0 1],[0 1 0]");
    choice.uvw1 = read_direction(t.substr(0, comma), choice.name1);
    choice.uvw2 = read_direction(t.substr(comma + 1), choice.name2);
    // Directions parallel in one cell are parallel in every cell.
    if (!(choice.uvw1.cross(choice.uvw2).norm() > 1e-9 * choice.uvw1.norm() * choice.uvw2.norm()))
        throw PlaneError("the plane \"" + t + "\": its two directions are parallel (or one is zero) and span no plane");
    return choice;
}

SectionPlane section_plane(const PlaneChoice& asked, const ExpansionTensor& tensor) {
    SectionPlane plane;
    plane.e1_name = asked.name1;
    plane.e2_name = asked.name2;
    const Eigen::Vector3d d1 = asked.principal ? tensor.principal_directions[std::size_t(asked.axes[0])]
                                               : crystal::cartesian_direction(tensor.cell, asked.uvw1);
    const Eigen::Vector3d d2 = asked.principal ? tensor.principal_directions[std::size_t(asked.axes[1])]
                                               : crystal::cartesian_direction(tensor.cell, asked.uvw2);
    plane.e1 = d1.normalized();
    // The part of d2 across e1: the plane's second axis.
    const Eigen::Vector3d across = d2 - d2.dot(plane.e1) * plane.e1;
    if (plane.e1.squaredNorm() == 0 || !(across.norm() > 1e-9 * d2.norm()))
        throw PlaneError("the plane \"" + asked.text +
                         "\": its two directions are parallel (or one is zero) and span no plane");
    plane.e2 = across.normalized();
    // The second axis drawn is the second direction only when the two are
    // perpendicular; otherwise it is named for what it is.
    if (std::fabs(d2.normalized().dot(plane.e1)) > 1e-9)
        plane.e2_name = "⊥ " + plane.e1_name + ", towards " + plane.e2_name;
    return plane;
}

SectionPlane section_plane(const std::string& text, const ExpansionTensor& tensor) {
    return section_plane(read_plane(text), tensor);
}

std::vector<double> sign_changes(const Eigen::Matrix3d& alpha, const SectionPlane& plane) {
    const double a = crystal::alpha_along(alpha, plane.e1), c = crystal::alpha_along(alpha, plane.e2);
    const double b = plane.e1.dot(alpha * plane.e2);
    // r(ψ) = m + amplitude cos(2ψ − phase)
    const double m = (a + c) / 2, amplitude = std::hypot((a - c) / 2, b), phase = std::atan2(b, (a - c) / 2);
    if (!(amplitude > 0) || std::fabs(m) >= amplitude * (1 - 1e-12)) return {};
    const double spread = std::acos(-m / amplitude);
    std::vector<double> psi;
    for (double twice : {phase - spread, phase + spread}) {
        double p = std::fmod(twice / 2, std::numbers::pi);
        if (p < 0) p += std::numbers::pi;
        psi.push_back(p);
    }
    return psi;
}

bool is_zero(const ExpansionTensor& tensor) {
    for (Eigen::Index i = 0; i < 3; ++i)
        if (!(std::fabs(tensor.principal[i]) <= tensor.zero_below)) return false;
    return true;
}

double zero_level(const Eigen::Vector3d& principal, const Eigen::Vector3d& sigma, double temperature_range) {
    // 10⁻⁹ of the cell over the range, in 10⁻⁶ K⁻¹.
    double level = temperature_range > 0 ? 1e-3 / temperature_range : 0;
    bool within_sigma = true;
    double largest = 0;
    for (Eigen::Index i = 0; i < 3; ++i) {
        within_sigma = within_sigma && std::fabs(principal[i]) <= sigma[i];
        largest = std::max(largest, std::fabs(principal[i]));
    }
    return within_sigma ? std::max(level, largest) : level;
}

}  // namespace figures
