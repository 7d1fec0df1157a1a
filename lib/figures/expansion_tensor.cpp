#include "figures/expansion_tensor.hpp"

#include <cmath>
#include <numbers>
#include <sstream>

namespace figures {

namespace {

double dot(const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vector3 scaled(const Vector3& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }

Vector3 minus(const Vector3& a, const Vector3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

// Zero for a vector too short to have a direction.
Vector3 unit(const Vector3& a) {
    const double n = std::sqrt(dot(a, a));
    return n > 0 && std::isfinite(n) ? scaled(a, 1 / n) : Vector3{};
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// "a", "b", "c" or "[u v w]" as [u v w] and the name the figure shows.
Vector3 crystal_direction(const std::string& text, std::string& name) {
    const std::string t = trimmed(text);
    if (t == "a" || t == "b" || t == "c") {
        name = t;
        Vector3 uvw{};
        uvw[std::size_t(t[0] - 'a')] = 1;
        return uvw;
    }
    if (t.size() > 2 && t.front() == '[' && t.back() == ']') {
        std::istringstream in(t.substr(1, t.size() - 2));
        Vector3 uvw{};
        std::string rest;
        if (in >> uvw[0] >> uvw[1] >> uvw[2] && !(in >> rest) && std::isfinite(dot(uvw, uvw))) {
            std::ostringstream shown;
            shown << '[' << uvw[0] << ' ' << uvw[1] << ' ' << uvw[2] << ']';
            name = shown.str();
            return uvw;
        }
    }
    throw PlaneError("the direction \"" + t + "\": give a, b, c or [u v w]");
}

}  // namespace

ExpansionTensor tensor_from_principal(const Vector3& values, const std::array<Vector3, 3>& directions,
                                      const Matrix3& cell) {
    ExpansionTensor t;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            for (std::size_t k = 0; k < 3; ++k) t.alpha[i][j] += values[k] * directions[k][i] * directions[k][j];
    t.cell = cell;
    t.principal = values;
    t.principal_directions = directions;
    return t;
}

double value_along(const Matrix3& alpha, const Vector3& n) {
    double r = 0;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) r += n[i] * alpha[i][j] * n[j];
    return r;
}

Vector3 crystal_axis(const Matrix3& cell, const Vector3& uvw) {
    Vector3 x{};
    for (std::size_t i = 0; i < 3; ++i) x[i] = cell[i][0] * uvw[0] + cell[i][1] * uvw[1] + cell[i][2] * uvw[2];
    return unit(x);
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
    choice.uvw1 = crystal_direction(t.substr(0, comma), choice.name1);
    choice.uvw2 = crystal_direction(t.substr(comma + 1), choice.name2);
    // Directions parallel in one cell are parallel in every cell.
    const Vector3 c{choice.uvw1[1] * choice.uvw2[2] - choice.uvw1[2] * choice.uvw2[1],
                    choice.uvw1[2] * choice.uvw2[0] - choice.uvw1[0] * choice.uvw2[2],
                    choice.uvw1[0] * choice.uvw2[1] - choice.uvw1[1] * choice.uvw2[0]};
    if (!(std::sqrt(dot(c, c)) > 1e-9 * std::sqrt(dot(choice.uvw1, choice.uvw1) * dot(choice.uvw2, choice.uvw2))))
        throw PlaneError("the plane \"" + t + "\": its two directions are parallel (or one is zero) and span no plane");
    return choice;
}

SectionPlane section_plane(const PlaneChoice& asked, const ExpansionTensor& tensor) {
    SectionPlane plane;
    plane.e1_name = asked.name1;
    plane.e2_name = asked.name2;
    const Vector3 d1 = asked.principal ? tensor.principal_directions[std::size_t(asked.axes[0])]
                                       : crystal_axis(tensor.cell, asked.uvw1);
    const Vector3 d2 = asked.principal ? tensor.principal_directions[std::size_t(asked.axes[1])]
                                       : crystal_axis(tensor.cell, asked.uvw2);
    plane.e1 = unit(d1);
    // The part of d2 across e1: the plane's second axis.
    const Vector3 across = minus(d2, scaled(plane.e1, dot(d2, plane.e1)));
    if (dot(plane.e1, plane.e1) == 0 || !(std::sqrt(dot(across, across)) > 1e-9 * std::sqrt(dot(d2, d2))))
        throw PlaneError("the plane \"" + asked.text +
                         "\": its two directions are parallel (or one is zero) and span no plane");
    plane.e2 = unit(across);
    // The second axis drawn is the second direction only when the two are
    // perpendicular; otherwise it is named for what it is.
    if (std::fabs(dot(unit(d2), plane.e1)) > 1e-9) plane.e2_name = "⊥ " + plane.e1_name + ", towards " + plane.e2_name;
    return plane;
}

SectionPlane section_plane(const std::string& text, const ExpansionTensor& tensor) {
    return section_plane(read_plane(text), tensor);
}

std::vector<double> sign_changes(const Matrix3& alpha, const SectionPlane& plane) {
    const double a = value_along(alpha, plane.e1), c = value_along(alpha, plane.e2);
    double b = 0;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) b += plane.e1[i] * alpha[i][j] * plane.e2[j];
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
    for (double v : tensor.principal)
        if (!(std::fabs(v) <= tensor.zero_below)) return false;
    return true;
}

double zero_level(const Vector3& principal, const Vector3& sigma, double temperature_range) {
    // 10⁻⁹ of the cell over the range, in 10⁻⁶ K⁻¹.
    double level = temperature_range > 0 ? 1e-3 / temperature_range : 0;
    bool within_sigma = true;
    double largest = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        within_sigma = within_sigma && std::fabs(principal[i]) <= sigma[i];
        largest = std::max(largest, std::fabs(principal[i]));
    }
    return within_sigma ? std::max(level, largest) : level;
}

}  // namespace figures
