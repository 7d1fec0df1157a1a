#pragma once
// The thermal-expansion tensor as its figures take it, and the planes of its
// sections.  Vectors and matrices are Cartesian, in the frame of
// crystal::cartesian_matrix (c along Z, a* along X); the value along a
// direction and the direction of [u v w] are crystal's (alpha_along,
// cartesian_direction).

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include <Eigen/Dense>

namespace figures {

struct ExpansionTensor {
    Eigen::Matrix3d alpha = Eigen::Matrix3d::Zero();     // symmetric, in 10⁻⁶ K⁻¹
    Eigen::Matrix3d cell = Eigen::Matrix3d::Identity();  // the Cartesian components of a, b, c as its columns, in Å
    // The principal coefficients X1 <= X2 <= X3 and their unit directions,
    // for the principal planes of a section.
    Eigen::Vector3d principal = Eigen::Vector3d::Zero();
    std::array<Eigen::Vector3d, 3> principal_directions{
        {Eigen::Vector3d::Zero(), Eigen::Vector3d::Zero(), Eigen::Vector3d::Zero()}};
    // Coefficients no larger than this, in 10⁻⁶ K⁻¹, are rounding or
    // uncertainty, not expansion: a tensor whose principal coefficients are
    // all within it is drawn as zero, with a note and no lobes.
    double zero_below = 0;
};

// Whether every principal coefficient is within zero_below of 0.
bool is_zero(const ExpansionTensor& tensor);

// What the caller knows of the noise in a tensor: its principal
// coefficients' σ and the temperature range of the data.  A change over the
// whole range under 10⁻⁹ of the cell is rounding; coefficients all within
// their σ of 0 are not determined to be anything else.
double zero_level(const Eigen::Vector3d& principal, const Eigen::Vector3d& sigma, double temperature_range);

// The tensor sum_i values[i] d_i d_iᵀ of principal coefficients and their
// (orthonormal) Cartesian directions, with those as its principal axes.
ExpansionTensor tensor_from_principal(const Eigen::Vector3d& values, const std::array<Eigen::Vector3d, 3>& directions,
                                      const Eigen::Matrix3d& cell);

// The plane of a section: orthonormal e1, e2 and what the figure calls the
// directions they come from.
struct SectionPlane {
    Eigen::Vector3d e1 = Eigen::Vector3d::Zero(), e2 = Eigen::Vector3d::Zero();
    std::string e1_name, e2_name;
};

// A plane that cannot be read, or directions that span no plane; what() says
// what was expected.
struct PlaneError : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

// A plane as the command line names it, read once before any tensor is
// known: "X1X2", "X1X3", "X2X3" (the principal planes), or two crystal
// directions separated by a comma, each "a", "b", "c" or "[u v w]" ("a,c",
// "[1 0 1],[0 1 0]").  Throws PlaneError for any other text, and for
// crystal directions that are parallel (in one cell, so in every cell).
struct PlaneChoice {
    bool principal = false;
    std::array<int, 2> axes{};  // principal planes: X(axes[0] + 1), X(axes[1] + 1)
    Eigen::Vector3d uvw1 = Eigen::Vector3d::Zero(), uvw2 = Eigen::Vector3d::Zero();  // crystal directions
    std::string name1, name2;                                                        // as the figure shows them
    std::string text;                                                                // as given, for messages
};
PlaneChoice read_plane(const std::string& text);

// The plane of `asked` in this tensor's frame.  e1 is the first direction;
// e2 is the second made perpendicular to it within the plane, and named
// "⊥ a, towards c" when it had to be.
SectionPlane section_plane(const PlaneChoice& asked, const ExpansionTensor& tensor);

// read_plane and section_plane in one.
SectionPlane section_plane(const std::string& text, const ExpansionTensor& tensor);

// The directions ψ in [0, π) of the plane where the coefficient changes
// sign, r(ψ) = 0 with n = e1 cos ψ + e2 sin ψ: none, or two (one when the
// two coincide).  A coefficient that touches 0 without changing sign, or is
// 0 all round, has none.
std::vector<double> sign_changes(const Eigen::Matrix3d& alpha, const SectionPlane& plane);

}  // namespace figures
