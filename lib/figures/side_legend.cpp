#include "figures/side_legend.hpp"

#include <algorithm>

#include "figures/plot_text.hpp"
#include "figures/style.hpp"

namespace figures {

void legend_beside(plstream& pls, const std::vector<LegendEntry>& entries, double ch, double least_ch, double width) {
    if (entries.empty()) return;
    constexpr int ink_index = 1;
    const int n = int(entries.size());
    std::vector<PLINT> opts, colours, text_colours(n, ink_index), styles(n, 1), numbers(n, 1), zero_i(n, 0);
    std::vector<PLFLT> widths(n, width), scales(n, 0.7), zero_f(n, 0), box_scales(n, 0.8);
    std::vector<const char*> texts, symbols;
    std::vector<std::string> kept;
    for (const LegendEntry& e : entries) {
        opts.push_back((e.line ? PL_LEGEND_LINE : 0) | (e.marker ? PL_LEGEND_SYMBOL : 0) |
                       (e.box ? PL_LEGEND_COLOR_BOX : 0) | (!e.line && !e.marker && !e.box ? PL_LEGEND_NONE : 0));
        colours.push_back(e.colour);
        kept.push_back(plplot_text(e.text));
        symbols.push_back(style::marker_glyph(int(e.glyph) + 1));
    }
    for (const std::string& t : kept) texts.push_back(t.c_str());
    PLFLT w = 0, h = 0;
    pls.schr(std::max(ch, least_ch / 0.88), 1.0);
    pls.legend(&w, &h, PL_LEGEND_NONE, PL_POSITION_RIGHT | PL_POSITION_OUTSIDE, 0.02, 0, 0.12, 0, 0, 1, 0, 0, n,
               opts.data(), 0.5, 0.88, 1.5, 0.0, text_colours.data(), texts.data(), colours.data(), zero_i.data(),
               box_scales.data(), zero_f.data(), colours.data(), styles.data(), widths.data(), colours.data(),
               scales.data(), numbers.data(), symbols.data());
    pls.schr(ch, 1.0);
}

}  // namespace figures
