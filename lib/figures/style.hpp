#pragma once
// The one look of every figure: colours, marker sizes, text heights and
// line widths, all sized on the real page.

#include <algorithm>
#include <optional>
#include <string_view>

#include "figures/page.hpp"

namespace figures::style {

struct Colour {
    int r, g, b;
};

constexpr Colour background{255, 255, 255};
constexpr Colour ink{0, 0, 0};
constexpr Colour fit_colour{200, 30, 30};
constexpr Colour series_colours[] = {{0, 84, 166},  {0, 128, 64},  {148, 0, 148},
                                     {170, 100, 0}, {0, 150, 170}, {110, 110, 110}};
constexpr int series_colour_count = sizeof series_colours / sizeof series_colours[0];

// One colour per physical direction, the same in every figure: the cell's
// a, b, c and V, and the principal axes X1, X2, X3 a palette of their own,
// so that blue means a wherever it is drawn and never an X.
inline std::optional<Colour> quantity_colour(std::string_view name) {
    struct Named {
        std::string_view name;
        Colour colour;
    };
    static constexpr Named named[] = {{"a", series_colours[0]}, {"b", series_colours[1]}, {"c", series_colours[2]},
                                      {"V", {0, 0, 0}},         {"X1", {230, 120, 0}},    {"X2", {0, 150, 170}},
                                      {"X3", {150, 90, 40}}};
    for (const Named& n : named)
        if (n.name == name) return n.colour;
    return std::nullopt;
}

// The diverging scale of signed coefficients, centred at 0 (white):
// negative red, positive blue.
constexpr Colour negative{178, 24, 43};
constexpr Colour zero{247, 247, 247};
constexpr Colour positive{33, 102, 172};
// The lines along directions of zero expansion, a grey used for nothing else.
constexpr Colour zero_line{80, 80, 80};

// A marker's width in text heights at scale 1 (markers.hpp draws them):
// about what the filled circle glyph of the figures' font once measured.
constexpr double marker_width = 0.9;

// Text height in mm: legible in a one-column journal figure (8.5 cm wide),
// growing slowly with larger pages, never under 7 pt.
inline double text_height_mm(double panel_width_mm, double panel_height_mm) {
    const double small = std::min(panel_width_mm, panel_height_mm);
    return std::clamp(2.3 + 0.012 * (small - 65), least_text_height_mm, 4.5);
}

// Line widths in mm of the page: thin lines for frames and bars, a heavier
// one for fitted lines and curves.
constexpr double thin_line_mm = 0.254;  // one pixel at 100 dpi
constexpr double fit_line_mm = 0.38;
constexpr double curve_line_mm = 0.6;

}  // namespace figures::style
