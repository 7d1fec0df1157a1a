#pragma once
// Drawing panels with PLplot into memory: the bytes of a PNG, SVG or PDF
// file, or the pixels of a window.  Nothing here touches a file or the
// display, so that the caller checks every write itself.

#include <stdexcept>
#include <string>
#include <vector>

#include "figures/figure.hpp"

namespace figures {

enum class Format { png, svg, pdf };

struct Page {
    double width_mm = 203.2;  // 800 x 600 pixels at 100 dpi
    double height_mm = 152.4;
    int dpi = 100;  // pixels per inch of a PNG or a window
    int width_px() const;
    int height_px() const;
};

struct DrawOptions {
    bool fit = true;  // the fitted lines and their legend
};

struct PlotError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// True when this PLplot installation has the device of that name.
bool plplot_has_device(const char* name);

// The file's bytes.  SVG comes from PLplot's own svg device, which keeps the
// text as text.
std::string render_file(const std::vector<Panel>& panels, Format format, const Page& page, const DrawOptions& options);

// Red, green, blue bytes row by row, page.width_px() by page.height_px().
std::vector<unsigned char> render_pixels(const std::vector<Panel>& panels, const Page& page,
                                         const DrawOptions& options);

}  // namespace figures
