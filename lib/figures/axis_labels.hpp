#pragma once
// Tick labels from AxisScale for PLplot's boxes: set with
// pls.slabelfunc(label_tick, scales), scales[0] the x axis and scales[1]
// the y axis, kept alive while the box is drawn.

#include <plplot/plstream.h>

#include <cstdio>
#include <string>

#include "figures/axis_scale.hpp"

namespace figures {

inline void label_tick(PLINT axis, PLFLT value, char* label, PLINT length, PLPointer data) {
    const AxisScale* scales = static_cast<const AxisScale*>(data);
    const std::string text = scales[axis == PL_Y_AXIS ? 1 : 0].label(value);
    std::snprintf(label, std::size_t(length), "%s", text.c_str());
}

}  // namespace figures
