#pragma once
// Which of a cell's six parameters a refinement treats as one parameter and
// which it holds fixed.  A cubic refinement reports a = b = c as one refined
// length with one ESD; counting a, b and c as three independent parameters
// would understate every uncertainty that combines them (the volume's by
// sqrt 3).

#include <array>

#include "formats/cell.hpp"

namespace formats {

struct CellTies {
    // Parameters (a, b, c, alpha, beta, gamma) with the same number are one
    // refined parameter, numbered by its first member: {0, 0, 0, 3, 4, 5} is
    // a = b = c.
    std::array<int, 6> group{0, 1, 2, 3, 4, 5};
    // Held by symmetry (an angle of 90 or 120 degrees): no rate, no ESD.
    std::array<bool, 6> fixed{};
};

// The volume's ESD carried to first order over the independent parameters:
// a tied group contributes (sum of its members' dV/dx)² times the ESD of its
// first member squared, a fixed parameter nothing, and each other parameter
// (dV/dx)² ESD².  Without ties, the six ESDs taken as independent.  NaN where
// the volume is, or where a parameter that counts has no ESD.
double volume_esd(const Cell& cell, const CellSu& su, const CellTies& ties = {});

}  // namespace formats
