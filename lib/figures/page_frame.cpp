#include "figures/page_frame.hpp"

#include "figures/style.hpp"

namespace figures {

void start_colours(plstream& pls, int entries) {
    pls.scmap0n(entries);
    pls.scolbg(style::background.r, style::background.g, style::background.b);
    pls.scol0(1, style::ink.r, style::ink.g, style::ink.b);
}

Frame start_page(plstream& pls, const Device& device, void (*colours)(plstream&), double panel_height_mm) {
    pls.ssub(1, 1);
    colours(pls);
    pls.init();
    pls.adv(0);
    PLFLT x0, x1, y0, y1;
    pls.gspa(x0, x1, y0, y1);
    Frame f;
    f.width = x1 - x0;
    f.height = y1 - y0;
    const double to_plplot = f.width / device.real_width_mm;
    f.ch = style::text_height_mm(device.real_width_mm, panel_height_mm) * to_plplot;
    f.least_ch = least_text_height_mm * to_plplot;
    pls.schr(f.ch, 1.0);
    return f;
}

}  // namespace figures
