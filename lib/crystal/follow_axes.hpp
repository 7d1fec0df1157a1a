#pragma once
// The principal axes of α(T) followed through a range of temperatures by the
// continuity of their directions, rather than sorted afresh at each one: the
// names X1 < X2 < X3 are those at the lowest temperature, and a curve of X1
// stays on one physical axis where the coefficients cross.

#include <array>
#include <vector>

#include <Eigen/Dense>

#include "crystal/alpha.hpp"

namespace crystal {

// Two followed axes whose coefficients change order between two
// temperatures of the grid.
struct AxisCrossing {
    int first = 0, second = 0;  // 0-based: X1 is 0; first < second
    double t_before = 0, t_after = 0;
};

// For principal axes given in ascending order at each step (unit Cartesian
// columns, steps in T order), the order in which step k's columns continue
// the axes of step 0: position i takes column order[k][i].  Each step is
// matched to the previous followed axes by the greatest total overlap of
// directions (matching_order), so equal coefficients, whose directions
// are arbitrary, never make a division.
std::vector<std::array<int, 3>> follow_axes(const std::vector<Eigen::Matrix3d>& axes);

// alpha_at at each of `temperatures` (any order), with the tensors'
// principal axes followed from the lowest of the measured range and these
// temperatures through a grid dense enough to follow them (the grid of
// `steps` intervals plus the temperatures themselves).  A temperature
// without a tensor is passed over.  The crossings on the way, in T order,
// go to `crossings` when given.
std::vector<AlphaAt> alpha_followed(const AlphaFits& fits, const std::vector<double>& temperatures,
                                    std::vector<AxisCrossing>* crossings = nullptr, int steps = 240);

}  // namespace crystal
