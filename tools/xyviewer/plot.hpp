#pragma once
// Drawing a plot file with PLplot: a window that stays until the user closes
// it, or a PNG, SVG or PDF file.

#include <stdexcept>
#include <string>

#include "pgf_reader.hpp"

namespace xyviewer {

enum class Output { window, png, svg, pdf };

struct PlotRequest {
    Output output = Output::png;
    std::string path;  // the file to write; unused for a window
    int width = 800;   // pixels (points for SVG and PDF)
    int height = 600;
};

struct PlotError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// True when an X display can really be opened (DISPLAY alone proves nothing).
bool display_opens();

// True when this PLplot installation has the device of that name.
bool plplot_has_device(const char* name);

// Draws the file.  For a window, returns once the user has closed it.
void draw(const PlotFile& file, const PlotRequest& request);

}  // namespace xyviewer
