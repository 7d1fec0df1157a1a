#pragma once
// Cell geometry: a cell re-expressed in new axes, and the volume of a cell.
// Single-precision storage with double-precision evaluation, rounded to
// single precision exactly where a value is stored.

#include <array>
#include <functional>
#include <string_view>

namespace celltrend {

// A unit cell: edge lengths in angstrom, angles in degrees.
struct Cell {
    float a = 0.0f, b = 0.0f, c = 0.0f;
    float alpha = 0.0f, beta = 0.0f, gamma = 0.0f;
};
// M[i][j]: row i gives new axis i as a combination of the old a, b, c.
using Matrix = std::array<std::array<float, 3>, 3>;

inline constexpr Matrix identity_matrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

// cos(x degrees), evaluated in double precision and rounded to single.
float cosd_sp(float x);

// Called with one console line when an arc-cosine argument lies beyond
// plus or minus 1; the angle then becomes 0 or 180 degrees and the run goes on.
using Diagnostic = std::function<void(std::string_view)>;

// The determinant of M, in double precision from its single-precision
// elements: 0 when the new axes are coplanar, negative when they form a
// left-handed set.
double determinant(const Matrix& m);

// Replaces the cell by the lengths and angles of the axes the rows of M give.
void transf_cell_parameters(const Matrix& m, Cell& cell, const Diagnostic& diagnostic);

// The cell volume.  A cell whose angles admit no volume has each angle
// replaced by 180 minus itself first, in the caller's cell.
void volume_calculation(Cell& cell, float& volume);

}  // namespace celltrend
