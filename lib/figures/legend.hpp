#pragma once
// The legend of every figure: a list of entries, each a text and its swatch
// (a line in its dash style, a marker shape, both, or a filled box for a
// band), drawn at a place in or around the plot.  PLplot's legend sets the
// text, the box and the lines; the markers are the figures' own shapes
// (markers.hpp), never font glyphs.

#include <plplot/plstream.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "figures/markers.hpp"

namespace figures {

struct LegendEntry {
    std::string text;
    int colour = 1;  // cmap0 index of the swatch
    bool line = false;
    int line_style = 1;     // PLplot's line style (lsty)
    double line_width = 0;  // in the device's units
    std::optional<MarkerShape> marker;
    double marker_mm = 0;  // across, in PLplot's mm
    bool box = false;      // a filled box, a band's swatch
};

enum class LegendAt { top_left, top_right, bottom_right, bottom_left, below, beside };

struct LegendPlacement {
    LegendAt at = LegendAt::top_left;
    double x = 0, y = 0;  // away from that place (inwards inside, outwards outside), in parts of the viewport
    double ch = 0;        // text height in PLplot's mm; the rows are `spacing` of them apart
    double text_scale = 0.88;
    double spacing = 1.6;
    double text_offset = 0.6;    // from the swatch to the text, in text heights
    double swatch_width = 0.08;  // in parts of the viewport's width
    int columns = 1;             // the entries fill the first column first
    bool boxed = true;           // on white, in a frame
};

// The box's size in parts of the viewport.
struct LegendSize {
    double width = 0, height = 0;
};

// Draws the entries in ink (cmap0 1) and leaves the colour at ink, the
// viewport and window as they were.  Nothing for no entries.
LegendSize draw_legend(plstream& pls, const std::vector<LegendEntry>& entries, const LegendPlacement& place);

// The legend beside a figure's plot, outside its right edge and centred on
// it, unframed, for the figures that lay out their own page: text `ch` high
// (PLplot's mm) but never under `least_ch`.
LegendPlacement legend_beside(double ch, double least_ch);

// An entry of a series drawn with a line `line_width` wide (when `line`), a
// marker (when given) `marker_mm` across, open ones outlined `thin_width`.
LegendEntry series_entry(const std::string& text, int colour, bool line, double line_width,
                         std::optional<MarkerShape> marker, double marker_mm, double thin_width);

// Widths of texts and legends as every format holds them.  PLplot measures
// text with its device's fonts (cairo's), or on the svg device, which has
// none, with its own glyph widths, about a fifth wider than a browser's
// text; so a layout measured on the drawing's device would differ between
// a PNG and an SVG of one page.  This measures on a scratch SVG page of the
// real page's size, whose output goes nowhere, and so gives every format
// the same, slightly generous, widths, in mm of the real page.
class TextMeter {
public:
    // A page of `width_mm` x `height_mm` split into `columns` x `rows`
    // subpages, as the drawing splits it.
    TextMeter(double width_mm, double height_mm, int columns = 1, int rows = 1);
    TextMeter(const TextMeter&) = delete;
    TextMeter& operator=(const TextMeter&) = delete;
    ~TextMeter();

    // The width of a legend but for its swatches (the border, the gaps and
    // the texts), for text `ch_mm` high.
    double legend_fixed_width_mm(const std::vector<LegendEntry>& entries, double ch_mm, const LegendPlacement& like);
    // The width of one line of text `ch_mm` high.
    double text_width_mm(const std::string& text, double ch_mm);

private:
    struct Scratch;
    void open();

    double width_mm_, height_mm_;
    int columns_, rows_;
    std::unique_ptr<Scratch> scratch_;
    std::map<std::vector<std::string>, double> widths_;
};

}  // namespace figures
