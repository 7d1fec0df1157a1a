#pragma once
// The numbering of one axis: ticks at 1, 2 or 5 times a power of ten, and
// labels that are distinct numbers with just enough digits to tell
// neighbours apart.  When plain labels would run past six digits (an angle
// near 90 that varies by 1e-4, ticked every 2e-5, or values near 1e6), the
// axis is drawn in plot units
//     t = (v - offset) / 10^exponent
// and the offset and power of ten are written once on the axis.

#include <cstddef>
#include <string>
#include <vector>

namespace figures {

struct AxisScale {
    double offset = 0;  // in data units, a round number
    int offset_decimals = 0;
    int exponent = 0;          // labels count units of 10^exponent
    double low = 0, high = 1;  // the axis range in plot units (margins included)
    double step = 0.2;         // between ticks, in plot units
    int decimals = 1;          // of each label

    double to_plot(double value) const;
    // A tick label for a plot-unit value: decimals digits after the point.
    std::string label(double plot_value) const;
    // The ticks within [low, high] and their labels.
    std::vector<double> ticks() const;
    // What the labels leave out, for the end of the axis: "×10⁻⁶ + 90.0002",
    // "×10⁶", "− 1000000"; empty when the labels are the values.
    std::string annotation() const;
    // The characters of the longest tick label (at least 1), for the room
    // the labels take beside the axis.
    std::size_t longest_label() const;
};

// The scale for data from `low` to `high` (any finite numbers, in either
// order, equal allowed), with a margin of 6 % of the width on each side.
AxisScale axis_scale(double low, double high);

}  // namespace figures
