#pragma once
// The start of a one-panel figure's page, shared by the figures that draw
// their own layout (the figure against temperature, the tensor's surface
// and sections).

#include <plplot/plstream.h>

#include "figures/plplot_output.hpp"

namespace figures {

// Sizes of one figure on its page: the text height in PLplot's mm and the
// page in them.
struct Frame {
    double ch = 0, least_ch = 0;
    double width = 0, height = 0;  // PLplot's mm of the page
};

// The colour map every figure starts from: `entries` colours, 0 the page's
// background and 1 the ink of frames and text; the figure sets its own from
// 2 on.
void start_colours(plstream& pls, int entries);

// Sets the colours with `colours`, starts the page and sets the text height
// of a panel `panel_height_mm` high on the real page (style::text_height_mm).
Frame start_page(plstream& pls, const Device& device, void (*colours)(plstream&), double panel_height_mm);

}  // namespace figures
