#include "transf_cell.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace celltrend {

float cosd_sp(float x) {
    // The factor is pi/180 in double precision, so the argument carries no
    // single-precision error and the only rounding to single is the result's:
    // cos(90) comes out at about 6e-17 rather than the -4.4e-8 a
    // single-precision pi would give.
    return static_cast<float>(std::cos(static_cast<double>(x) * 0.017453292519943295));
}

namespace {

// The tables print angles to five decimals, where the last digit can depend
// on these single-precision values; they stay fixed so that a series
// transformed again prints exactly as it did before.
constexpr float pi_sp = 3.14159274f;
constexpr float one_over_180 = 0.0055555557f;
constexpr float one_over_pi = 0.31830987f;

float rounded(double x) { return static_cast<float>(x); }

// The cosine of an angle in degrees with the fixed single-precision constants,
// stored as single.
double stored_cosine(float degrees) {
    return rounded(
        std::cos(static_cast<double>(degrees) * static_cast<double>(pi_sp) * static_cast<double>(one_over_180)));
}

// 180 minus the angle, stored as single.
float supplement(float degrees) { return rounded(180.0 - static_cast<double>(degrees)); }

// x86 gives an invalid operation a not-a-number with the sign bit set, which
// the tables print as -NaN; making the sign explicit keeps the tables the same
// on processors whose default not-a-number is positive.
float negative_if_nan(float x) { return std::isnan(x) ? -std::numeric_limits<float>::quiet_NaN() : x; }

std::string shortest_text(float x) {
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, result.ptr);
}

// The arc cosine in degrees.  Two nearly parallel axes can push a rounded
// cosine a step past 1; that is rounding, not a broken cell, so the angle is
// taken as the limit and the run goes on, with a line telling the user.
float angle_from_cosine(float cosine, std::string_view name, const Diagnostic& diagnostic) {
    if (std::isnan(cosine)) return negative_if_nan(cosine);
    if (cosine > 1.0f || cosine < -1.0f) {
        const bool above = cosine > 1.0f;
        if (diagnostic)
            diagnostic(" !! arc cosine of " + shortest_text(cosine) + " for " + std::string(name) +
                       ": argument beyond " + (above ? "1" : "-1") + ", angle set to " + (above ? "0" : "180") +
                       " degrees");
        return above ? 0.0f : 180.0f;
    }
    // Double-precision acos rounded once gives the correctly rounded single
    // value, whatever the quality of the C library's single-precision acos.
    const float radians = rounded(std::acos(static_cast<double>(cosine)));
    return rounded(static_cast<double>(radians) * 180.0 * static_cast<double>(one_over_pi));
}

}  // namespace

double determinant(const Matrix& m) {
    const auto e = [&m](int i, int j) { return static_cast<double>(m[i][j]); };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) - e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

void transf_cell_parameters(const Matrix& m, Cell& cell, const Diagnostic& diagnostic) {
    const double a = cell.a, b = cell.b, c = cell.c;
    const double ca = stored_cosine(cell.alpha), cb = stored_cosine(cell.beta), cg = stored_cosine(cell.gamma);

    // Row i of M against the old cell's metric tensor, with row k.
    const auto scalar = [&](int i, int k) {
        const double p_i = m[i][0], q_i = m[i][1], r_i = m[i][2];
        const double p_k = m[k][0], q_k = m[k][1], r_k = m[k][2];
        return p_i * p_k * a * a + q_i * q_k * b * b + r_i * r_k * c * c + (p_i * q_k + p_k * q_i) * a * b * cg +
               (p_i * r_k + p_k * r_i) * a * c * cb + (q_i * r_k + q_k * r_i) * b * c * ca;
    };

    double length[3];
    for (int i = 0; i < 3; ++i) length[i] = rounded(std::sqrt(static_cast<double>(rounded(scalar(i, i)))));

    const float cos_gamma = rounded(scalar(0, 1) / (length[0] * length[1]));
    const float cos_beta = rounded(scalar(0, 2) / (length[0] * length[2]));
    const float cos_alpha = rounded(scalar(1, 2) / (length[1] * length[2]));

    const float alpha = angle_from_cosine(cos_alpha, "alpha", diagnostic);
    const float beta = angle_from_cosine(cos_beta, "beta", diagnostic);
    const float gamma = angle_from_cosine(cos_gamma, "gamma", diagnostic);

    cell = {static_cast<float>(length[0]),
            static_cast<float>(length[1]),
            static_cast<float>(length[2]),
            alpha,
            beta,
            gamma};
}

void volume_calculation(Cell& cell, float& volume) {
    double ca = cosd_sp(cell.alpha), cb = cosd_sp(cell.beta), cg = cosd_sp(cell.gamma);
    const double t = 2.0 * ca * cb * cg - ca * ca - cb * cb - cg * cg;
    // Angles read as their supplements (130 for 50, as some reports give an
    // obtuse setting of an acute cell) describe no cell; their supplements do.
    if (t < -1.0) {
        cell.alpha = supplement(cell.alpha);
        cell.beta = supplement(cell.beta);
        cell.gamma = supplement(cell.gamma);
        ca = cosd_sp(cell.alpha);
        cb = cosd_sp(cell.beta);
        cg = cosd_sp(cell.gamma);
    }
    const float s = rounded(std::sqrt(((2.0 * ca) * cb * cg + 1.0) - ca * ca - cb * cb - cg * cg));
    volume = negative_if_nan(rounded(static_cast<double>(cell.a) * s * cell.b * cell.c));
}

}  // namespace celltrend
