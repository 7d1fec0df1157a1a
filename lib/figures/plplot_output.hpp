#pragma once
// Running a PLplot stream on a page and collecting what it draws: the bytes
// of a PNG, SVG or PDF file, or the pixels of a window.  Every figure draws
// through these, so that sizes mean the same on every device.

#include <plplot/plstream.h>

#include <functional>
#include <string>
#include <vector>

#include "figures/page.hpp"

namespace figures {

// What a drawing needs to know of its device.  Line widths are given in mm
// of the real page and turned into the device's units, so that they scale
// with the page and its resolution as the text does.
struct Device {
    double width_units_per_mm = 1;
    double real_width_mm = 0, real_height_mm = 0;  // the page's size
    double line_width(double mm) const { return mm * width_units_per_mm; }
};

// The drawing gets the stream before plinit (for ssub, colours) and must
// call init itself.
using DrawOnStream = std::function<void(plstream&, const Device&)>;

std::string draw_file(Format format, const Page& page, const DrawOnStream& draw);
std::vector<unsigned char> draw_pixels(const Page& page, const DrawOnStream& draw);

}  // namespace figures
