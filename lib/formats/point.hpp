#pragma once
// A measured point of a series, as the plot files and the fits carry it.

#include <limits>

#include "formats/estimate.hpp"

namespace formats {

// One measured value: y at x, with its standard uncertainty when known
// (sigma NaN when not).
struct Point {
    double x = 0;
    Estimate y{0, std::numeric_limits<double>::quiet_NaN()};
};

// A point whose y has no uncertainty.
inline Point point_without_sigma(double x, double y) { return {x, {y, std::numeric_limits<double>::quiet_NaN()}}; }

}  // namespace formats
