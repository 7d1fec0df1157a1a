#pragma once
// A measured point of a series, as the plot files and the fits carry it.

namespace formats {

// One measured value: y at x, with its standard uncertainty when known.
struct Point {
    double x = 0;
    double y = 0;
    double sigy = 0;  // meaningful only when has_sigy
    bool has_sigy = false;
};

}  // namespace formats
