#pragma once
// Drawing panels with PLplot into memory: the bytes of a PNG, SVG or PDF
// file, or the pixels of a window.  Nothing here touches a file or the
// display, so that the caller checks every write itself.

#include <string>
#include <vector>

#include "figures/figure.hpp"
#include "figures/page.hpp"

namespace figures {

struct DrawOptions {
    bool fit = true;  // the fitted lines and their legend
};

// What drawing the panels on the page would leave unreadable or out,
// decided as every format draws them (the layout is the same for PNG, SVG,
// PDF and the window).
struct PageCheck {
    std::string unreadable;             // the first tick labels that run together; empty when none do
    std::vector<std::string> left_out;  // a line for each legend left out, and why
};
PageCheck check_page(const std::vector<Panel>& panels, const Page& page, const DrawOptions& options);

// The file's bytes.  SVG comes from PLplot's own svg device, which keeps the
// text as text.
std::string render_file(const std::vector<Panel>& panels, Format format, const Page& page, const DrawOptions& options);

// Red, green, blue bytes row by row, page.width_px() by page.height_px().
std::vector<unsigned char> render_pixels(const std::vector<Panel>& panels, const Page& page,
                                         const DrawOptions& options);

}  // namespace figures
