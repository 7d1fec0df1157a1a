#pragma once
// The legend beside a panel, outside its right edge, shared by the figures
// that draw their own layout: one entry per series, a line, a marker or
// both in the series' colour, or a filled box.

#include <plplot/plstream.h>

#include <cstddef>
#include <string>
#include <vector>

namespace figures {

struct LegendEntry {
    std::string text;
    int colour;  // cmap0 index
    bool line, marker;
    std::size_t glyph;  // style::marker_glyph(glyph + 1)
    bool box = false;
};

// Texts in ink (cmap0 1), at the text height `ch` but never under
// `least_ch`; lines `width` wide.  Nothing for no entries.
void legend_beside(plstream& pls, const std::vector<LegendEntry>& entries, double ch, double least_ch, double width);

}  // namespace figures
