#pragma once
// Markers drawn as polygons sized in mm of the page, filled or open: they
// look the same in PNG, SVG and PDF and need no font on the reader's side.

#include <plplot/plstream.h>

#include <utility>
#include <vector>

namespace figures {

enum class MarkerShape {
    circle,
    square,
    triangle_up,
    diamond,
    triangle_down,
    open_circle,
    open_square,
    open_triangle_up,
    open_diamond,
};

// Marker number 1, 2, ... as a shape: the filled ones first, then the open
// ones, and round again.
MarkerShape marker_shape(int marker);

bool is_open(MarkerShape shape);

// The outline of a marker `size` across (the circle's diameter; the others
// fit in about the same square), around 0,0, counter-clockwise, not closed.
std::vector<std::pair<double, double>> marker_outline(MarkerShape shape, double size);

// Where the current viewport lies: its edges in parts of the subpage, and
// the subpage's size in PLplot's mm.
struct ViewportPlace {
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
    double subpage_width_mm = 1, subpage_height_mm = 1;
    double width_mm() const { return (x1 - x0) * subpage_width_mm; }
    double height_mm() const { return (y1 - y0) * subpage_height_mm; }
};
ViewportPlace viewport_place(plstream& pls);

// World units per PLplot mm along x and y in the current viewport and
// window.
struct WorldPerMm {
    double x = 1, y = 1;
};
WorldPerMm world_per_mm(plstream& pls);

// One marker at each world point, `size_mm` across in PLplot's mm, in the
// current colour; an open shape's outline `line_width` wide (the line
// width stays so set).
void draw_markers(plstream& pls, MarkerShape shape, const std::vector<double>& x, const std::vector<double>& y,
                  double size_mm, double line_width);

}  // namespace figures
