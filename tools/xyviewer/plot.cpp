#include "plot.hpp"

#include <X11/Xlib.h>
#include <plplot/plstream.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "line_fit.hpp"
#include "plot_text.hpp"

namespace xyviewer {

namespace {

struct Colour {
    int r, g, b;
};

// cmap0 entries: 0 background, 1 axes and text, then one marker colour and
// one fit colour per pattern.
constexpr Colour background{255, 255, 255};
constexpr Colour ink{0, 0, 0};
constexpr Colour pattern_colours[] = {{0, 84, 166}, {0, 128, 64}, {148, 0, 148}, {170, 100, 0}};
constexpr Colour fit_colour{200, 30, 30};
constexpr int first_pattern_index = 2;
constexpr int fit_index = 6;

// The header's MARKER as a glyph; drawn as text, so it scales with the font.
const char* marker_glyph(int marker) {
    static const char* const glyphs[] = {"●", "■", "▲", "◆", "▼", "○", "□", "△", "◇"};
    constexpr int count = sizeof glyphs / sizeof glyphs[0];
    return glyphs[((std::max(marker, 1) - 1) % count + count) % count];
}

const char* device_name(Output output) {
    switch (output) {
        case Output::window: return "qtwidget";
        case Output::png: return "pngcairo";
        case Output::svg: return "svgcairo";
        case Output::pdf: return "pdfcairo";
    }
    return "pngcairo";
}

struct Range {
    double low, high;
};

// Data limits with a margin, never of zero width.
Range padded(double low, double high) {
    double span = high - low;
    if (!(span > 0)) span = std::max(std::fabs(high) * 1e-3, 1e-6);
    return {low - 0.06 * span, high + 0.06 * span};
}

}  // namespace

bool display_opens() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
}

bool plplot_has_device(const char* name) {
    // plgDevs fills arrays of the caller's, up to the size given in n.
    std::vector<const char*> menu(256), devices(256);
    int n = int(devices.size());
    const char** menu_data = menu.data();
    const char** device_data = devices.data();
    plgDevs(&menu_data, &device_data, &n);
    for (int i = 0; i < n && i < int(devices.size()); ++i)
        if (devices[i] != nullptr && std::strcmp(devices[i], name) == 0) return true;
    return false;
}

void draw(const PlotFile& file, const PlotRequest& request) {
    const char* device = device_name(request.output);
    if (!plplot_has_device(device))
        throw PlotError(std::string("PLplot has no \"") + device + "\" device; install its driver package");
    if (request.output != Output::window) {
        // PLplot ends the process when it cannot create its file; find out first.
        std::FILE* probe = std::fopen(request.path.c_str(), "wb");
        if (probe == nullptr) throw PlotError("cannot write " + request.path + ": " + std::strerror(errno));
        std::fclose(probe);
    }

    double xlow = INFINITY, xhigh = -INFINITY, ylow = INFINITY, yhigh = -INFINITY;
    for (const Pattern& pattern : file.patterns)
        for (const Point& p : pattern.points) {
            const double bar = p.has_sigy && p.sigy > 0 ? p.sigy : 0;
            xlow = std::min(xlow, p.x);
            xhigh = std::max(xhigh, p.x);
            ylow = std::min(ylow, p.y - bar);
            yhigh = std::max(yhigh, p.y + bar);
        }
    const Range xr = padded(xlow, xhigh), yr = padded(ylow, yhigh);

    std::string pattern_titles;
    for (const Pattern& pattern : file.patterns) {
        if (pattern.title.empty()) continue;
        if (!pattern_titles.empty()) pattern_titles += "; ";
        pattern_titles += pattern.title;
    }

    {
        plstream pls;  // its destructor ends the plot: writes the file, or waits for the window
        pls.sdev(device);
        const std::string geometry = std::to_string(request.width) + "x" + std::to_string(request.height);
        pls.setopt("geometry", geometry.c_str());
        if (request.output == Output::window) {
            const std::string title = "xyviewer: " + file.name;
            pls.setopt("plwindow", title.c_str());
        } else {
            pls.sfnam(request.path.c_str());
        }
        pls.scolbg(background.r, background.g, background.b);
        pls.scol0(1, ink.r, ink.g, ink.b);
        for (int i = 0; i < 4; ++i)
            pls.scol0(first_pattern_index + i, pattern_colours[i].r, pattern_colours[i].g, pattern_colours[i].b);
        pls.scol0(fit_index, fit_colour.r, fit_colour.g, fit_colour.b);
        pls.init();

        pls.col0(1);
        pls.schr(0, 0.9);
        pls.env(xr.low, xr.high, yr.low, yr.high, 0, 0);
        pls.lab(plplot_literal(file.x_legend).c_str(), plplot_literal(file.y_legend).c_str(), "");
        pls.mtex("t", pattern_titles.empty() ? 1.5 : 3.0, 0.5, 0.5, plplot_literal(file.main_legend).c_str());
        if (!pattern_titles.empty()) pls.mtex("t", 1.2, 0.5, 0.5, plplot_literal(pattern_titles).c_str());

        int index = 0;
        for (const Pattern& pattern : file.patterns) {
            std::vector<double> x, y, bar_x, bar_low, bar_high;
            for (const Point& p : pattern.points) {
                x.push_back(p.x);
                y.push_back(p.y);
                if (p.has_sigy && p.sigy > 0) {
                    bar_x.push_back(p.x);
                    bar_low.push_back(p.y - p.sigy);
                    bar_high.push_back(p.y + p.sigy);
                }
            }
            pls.col0(first_pattern_index + index % 4);
            if (!bar_x.empty()) pls.erry(PLINT(bar_x.size()), bar_x.data(), bar_low.data(), bar_high.data());
            pls.schr(0, 0.35 + 0.25 * std::min(pattern.size, 6.0));
            pls.string(PLINT(x.size()), x.data(), y.data(), marker_glyph(pattern.marker));
            pls.schr(0, 0.9);

            const analysis::LineFit fit = analysis::fit_line(pattern.points);
            if (fit.ok) {
                const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
                const double fx[2] = {*lo, *hi};
                const double fy[2] = {fit.intercept + fit.slope * *lo, fit.intercept + fit.slope * *hi};
                pls.col0(fit_index);
                pls.width(1.5);
                pls.line(2, fx, fy);
                pls.width(1);
            }
            ++index;
        }
    }
}

}  // namespace xyviewer
