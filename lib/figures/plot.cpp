#include "figures/plot.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "figures/axis_labels.hpp"
#include "figures/axis_scale.hpp"
#include "figures/page_frame.hpp"
#include "figures/plot_text.hpp"
#include "figures/plplot_output.hpp"
#include "figures/style.hpp"

namespace figures {

using namespace formats;
using namespace fit;

namespace {

using style::Colour;
using style::fit_colour;
using style::marker_glyph;
using style::series_colour_count;
using style::series_colours;
using style::text_height_mm;

// cmap0 entries: 0 background, 1 axes and text, 2 the fitted line of a
// lone series, then one colour per series.
constexpr int fit_index = 2;
constexpr int first_series_index = 3;

int series_index(std::size_t i) { return first_series_index + int(i % series_colour_count); }

double marker_scale(const Curve& s) { return 0.3 + 0.2 * std::min(s.size, 6.0); }

using style::fit_line_mm;
using style::thin_line_mm;

// pllegend draws its text at this fraction of the current height.
constexpr double legend_text_scale = 0.88;

// The least shrink of the legend's text that keeps it readable, for text of
// `real_ch` mm on the page (above 1 where the figure's text is at its least).
double least_legend_shrink(double real_ch) { return least_text_height_mm / (legend_text_scale * real_ch); }

struct Extent {
    double xlow = INFINITY, xhigh = -INFINITY, ylow = INFINITY, yhigh = -INFINITY;
};

Extent extent_of(const Panel& panel) {
    Extent e;
    for (const Curve& s : panel.curves)
        for (const formats::Point& p : s.points) {
            const double bar = p.has_sigy && p.sigy > 0 && std::isfinite(p.sigy) ? p.sigy : 0;
            e.xlow = std::min(e.xlow, p.x);
            e.xhigh = std::max(e.xhigh, p.x);
            // Bars beyond the range of a double are left out of the range.
            e.ylow = std::min(e.ylow, std::isfinite(p.y - bar) ? p.y - bar : p.y);
            e.yhigh = std::max(e.yhigh, std::isfinite(p.y + bar) ? p.y + bar : p.y);
        }
    return e;
}

struct LegendEntry {
    int options = PL_LEGEND_NONE;
    std::string text;
    int colour = 1;
    const char* symbol = "";
    double symbol_scale = 1;
};

// Where the legend goes: a corner inside the plot (0 top left, 1 top right,
// 2 bottom right, 3 bottom left) or below it, and how much smaller than the
// figure's its text is.
struct LegendPlace {
    int corner = 0;
    bool below = false;
    double shrink = 1;
};

constexpr int below_plot = 4;
constexpr double legend_gap_x = 0.02, legend_gap_y = 0.03;  // from the frame, in parts of the plot
constexpr double legend_symbol_width = 0.08;                // in parts of the plot's width

// Returns the box's width in parts of the viewport's.
double draw_legend(plstream& pls, const std::vector<LegendEntry>& entries, const LegendPlace& place, double ch,
                   double below_offset, double fit_width) {
    if (entries.empty()) return 0;
    const int n = int(entries.size());
    std::vector<PLINT> opts, colours, styles, symbol_numbers(n, 1), box_colours(n, 0), patterns(n, 0);
    std::vector<PLFLT> widths(n, fit_width), scales, box_scales(n, 0), box_widths(n, 0);
    std::vector<std::string> texts;
    std::vector<const char*> text_ptrs, symbols;
    for (const LegendEntry& e : entries) {
        opts.push_back(e.options);
        colours.push_back(e.colour);
        styles.push_back(1);
        scales.push_back(e.symbol_scale);
        texts.push_back(plplot_text(e.text));
        symbols.push_back(e.symbol);
    }
    for (const std::string& t : texts) text_ptrs.push_back(t.c_str());
    const PLINT positions[] = {PL_POSITION_TOP | PL_POSITION_LEFT | PL_POSITION_INSIDE,
                               PL_POSITION_TOP | PL_POSITION_RIGHT | PL_POSITION_INSIDE,
                               PL_POSITION_BOTTOM | PL_POSITION_RIGHT | PL_POSITION_INSIDE,
                               PL_POSITION_BOTTOM | PL_POSITION_LEFT | PL_POSITION_INSIDE,
                               PL_POSITION_BOTTOM | PL_POSITION_OUTSIDE};  // centred below
    const int at = place.below ? below_plot : place.corner;
    const double x = place.below ? 0 : legend_gap_x, y = place.below ? below_offset : legend_gap_y;
    std::vector<PLINT> text_colours(n, 1);
    PLFLT width = 0, height = 0;
    pls.schr(ch * place.shrink, 1.0);  // pllegend spaces its rows by this height, not by its text's
    pls.legend(&width, &height, PL_LEGEND_BACKGROUND | PL_LEGEND_BOUNDING_BOX, positions[at], x, y, legend_symbol_width,
               0, 1, 1, 0, 0, n, opts.data(), 0.6, legend_text_scale, 1.6, 0.0, text_colours.data(), text_ptrs.data(),
               box_colours.data(), patterns.data(), box_scales.data(), box_widths.data(), colours.data(), styles.data(),
               widths.data(), colours.data(), scales.data(), symbol_numbers.data(), symbols.data());
    pls.schr(ch, 1.0);
    return width;
}

// Writes a line of text on a side of the viewport, smaller when it would be
// wider than `room_mm` (average glyph width taken as 0.85 text heights).
// Never below `least_ch`, the height of 7-pt text.
void side_text(plstream& pls, const char* side, double disp, double pos, double just, const std::string& text,
               double ch, double room_mm, double least_ch) {
    const double width = 0.85 * ch * double(text_characters(text));
    const double scale = std::max(width > room_mm ? room_mm / width : 1.0, std::min(1.0, least_ch / ch));
    pls.schr(ch, scale);
    pls.mtex(side, disp / scale, pos, just, plplot_text(text).c_str());
    pls.schr(ch, 1.0);
}

// The margins around the plot, in mm, for the scales drawn.  The y tick
// labels stand upright, so the y legend moves out past the longest of them
// and never overlaps one.
struct Margins {
    double y_legend_disp;  // in text heights
    double left, right, bottom, top;
};

Margins margins_for(const Panel& panel, const AxisScale& xs, const AxisScale& ys, double ch) {
    Margins m;
    m.y_legend_disp = 1.5 + 0.78 * double(ys.longest_label());
    m.left = (m.y_legend_disp + 0.8) * ch;
    m.right = 1.2 * ch;
    m.bottom = (xs.annotation().empty() ? 4.4 : 5.7) * ch;
    m.top = (panel.title.empty() ? 1.8 : 3.0) * ch + (panel.under_page_title ? 1.8 * ch : 0);
    return m;
}

// A stdio stream that throws away what PLplot writes; `closed` says
// whether PLplot closed it itself.
ssize_t discard_write(void*, const char*, size_t size) { return ssize_t(size); }

int discard_close(void* closed) {
    *static_cast<bool*>(closed) = true;
    return 0;
}

bool is_memory_device(const std::string& device) { return device == "mem" || device == "memcairo"; }

// How wide PLplot draws a legend box.  pllegend measures the text with its
// device's own measure: cairo's fonts, but on the svg device, which has
// none, the widths of PLplot's Hershey glyphs, about a fifth wider than the
// text a browser draws; and it tells the width only after drawing the box.
// So each legend is drawn first on a scratch stream of the same device,
// page and subpages, whose output goes nowhere, and its width read back.
class LegendMeter {
public:
    LegendMeter(plstream& page, int columns, int rows) : page_(page), columns_(columns), rows_(rows) {}
    LegendMeter(const LegendMeter&) = delete;
    LegendMeter& operator=(const LegendMeter&) = delete;
    ~LegendMeter() {
        scratch_.reset();  // ends the stream, which closes its file
        if (file_ != nullptr && !closed_) std::fclose(file_);
    }

    // The box's width in mm but for the symbol column's share of the plot
    // width (the border, the gap and the longest text), with text height
    // `ch` in PLplot's mm.
    double fixed_width_mm(const std::vector<LegendEntry>& entries, double ch) {
        std::vector<std::string> key;
        for (const LegendEntry& e : entries) key.push_back(e.text);
        key.push_back(std::to_string(ch));
        const auto known = widths_.find(key);
        if (known != widths_.end()) return known->second;
        if (!scratch_) open();
        const double viewport = draw_legend(*scratch_, entries, {}, ch, 0, 1);
        const double mm = (viewport - legend_symbol_width) * viewport_width_mm_;
        widths_.emplace(key, mm);
        return mm;
    }

private:
    void open() {
        char device[80] = "";
        page_.gdev(device);
        PLFLT xp = 0, yp = 0;
        PLINT xleng = 0, yleng = 0, xoff = 0, yoff = 0;
        page_.gpage(xp, yp, xleng, yleng, xoff, yoff);
        scratch_ = std::make_unique<plstream>();
        scratch_->sdev(device);
        if (is_memory_device(device)) {
            pixels_.assign(std::size_t(std::max(xleng, 1)) * std::size_t(std::max(yleng, 1)) * 3, 255);
            scratch_->spage(xp, yp, 0, 0, 0, 0);
            scratch_->smem(xleng, yleng, pixels_.data());
        } else {
            file_ = fopencookie(&closed_, "w", cookie_io_functions_t{nullptr, discard_write, nullptr, discard_close});
            if (file_ == nullptr) throw PlotError("cannot set up the drawing: out of memory");
            scratch_->sfile(file_);
            scratch_->spage(xp, yp, xleng, yleng, xoff, yoff);
        }
        scratch_->ssub(columns_, rows_);
        scratch_->init();
        scratch_->adv(0);
        PLFLT sx0, sx1, sy0, sy1;
        scratch_->gspa(sx0, sx1, sy0, sy1);
        viewport_width_mm_ = sx1 - sx0;
        scratch_->vpor(0, 1, 0, 1);
        scratch_->wind(0, 1, 0, 1);
    }

    plstream& page_;
    int columns_, rows_;
    std::unique_ptr<plstream> scratch_;
    std::FILE* file_ = nullptr;
    bool closed_ = false;
    std::vector<unsigned char> pixels_;  // a memory device's page
    double viewport_width_mm_ = 0;
    std::map<std::vector<std::string>, double> widths_;
};

// The legend box's size in mm, for the text height `ch` it is drawn with:
// the width as PLplot draws it on this device, and its rows 1.6 text
// heights apart.
struct BoxSize {
    double width_mm, height_mm;
};

BoxSize legend_size(const std::vector<LegendEntry>& entries, double ch, double plot_width_mm, LegendMeter& meter) {
    return {legend_symbol_width * plot_width_mm + meter.fixed_width_mm(entries, ch),
            (1.6 * double(entries.size()) + 0.1) * ch};
}

// True when no marker or error bar of the panel reaches into the box
// [u0, u1] x [v0, v1], in parts of the plot's width and height.
bool box_is_free(const Panel& panel, const AxisScale& xs, const AxisScale& ys, double u0, double u1, double v0,
                 double v1, double plot_width_mm, double plot_height_mm, double ch) {
    for (const Curve& s : panel.curves) {
        const double half_mm = 0.5 * 0.75 * ch * marker_scale(s);
        const double du = half_mm / plot_width_mm, dv = half_mm / plot_height_mm;
        for (const formats::Point& p : s.points) {
            const double u = (xs.to_plot(p.x) - xs.low) / (xs.high - xs.low);
            const auto v_of = [&](double y) { return (ys.to_plot(y) - ys.low) / (ys.high - ys.low); };
            double top = v_of(p.y) + dv, bottom = v_of(p.y) - dv;
            if (p.has_sigy && p.sigy > 0 && std::isfinite(p.sigy)) {
                top = std::max(top, v_of(p.y + p.sigy));
                bottom = std::min(bottom, v_of(p.y - p.sigy));
            }
            if (u + du > u0 && u - du < u1 && top > v0 && bottom < v1) return false;
        }
    }
    return true;
}

// The corners from the one holding fewest points to the one holding most
// (0 top left, 1 top right, 2 bottom right, 3 bottom left).
std::array<int, 4> corners_by_emptiness(const Panel& panel, const AxisScale& xs, const AxisScale& ys) {
    int count[4] = {0, 0, 0, 0};
    for (const Curve& s : panel.curves)
        for (const formats::Point& p : s.points) {
            const double u = (xs.to_plot(p.x) - xs.low) / (xs.high - xs.low);
            const double v = (ys.to_plot(p.y) - ys.low) / (ys.high - ys.low);
            const bool left = u < 0.5, top = v >= 0.5;
            ++count[top ? (left ? 0 : 1) : (left ? 3 : 2)];
        }
    std::array<int, 4> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return count[a] < count[b]; });
    return order;
}

// How the panel is laid out: its y scale (with headroom for the legend when
// it needs some) and where the legend goes.
struct PanelLayout {
    AxisScale ys;
    LegendPlace legend;
};

// The legend goes in a corner whose box covers no point and no error bar.
// When no corner is free, the y axis is stretched up (for a top corner) or
// down (for a bottom one) by as little as frees one; when that would leave
// the data less than half the plot, the text shrinks, and as a last resort
// the legend goes below the plot.
PanelLayout place_legend(const Panel& panel, const AxisScale& xs, const Extent& e,
                         const std::vector<LegendEntry>& entries, double ch, double width_mm, double height_mm,
                         double least_shrink, LegendMeter& meter) {
    const AxisScale plain = axis_scale(e.ylow, e.yhigh);
    PanelLayout best{plain, {}};
    if (entries.empty()) return best;
    const double span = (plain.high - plain.low) * std::pow(10.0, plain.exponent);
    const auto stretched = [&](int corner, double t) {
        return corner < 2 ? axis_scale(e.ylow, e.yhigh + t * span) : axis_scale(e.ylow - t * span, e.yhigh);
    };
    const auto fits = [&](int corner, double shrink, const AxisScale& ys) {
        const Margins m = margins_for(panel, xs, ys, ch);
        const double pw = width_mm - m.left - m.right, ph = height_mm - m.top - m.bottom;
        const BoxSize box = legend_size(entries, ch * shrink, pw, meter);
        const double w = box.width_mm / pw, h = box.height_mm / ph;
        if (w > 1 - 2 * legend_gap_x || h > 0.45) return false;
        const bool left = corner == 0 || corner == 3, top = corner < 2;
        const double u0 = left ? legend_gap_x : 1 - legend_gap_x - w;
        const double v0 = top ? 1 - legend_gap_y - h : legend_gap_y;
        return box_is_free(panel, xs, ys, u0, u0 + w, v0, v0 + h, pw, ph, ch);
    };
    for (double shrink : {1.0, 0.85, 0.7}) {
        shrink = std::max(shrink, least_shrink);
        double least = INFINITY;
        for (int corner : corners_by_emptiness(panel, xs, plain)) {
            constexpr double most = 4;  // times the data's range: far more than half the plot
            if (!fits(corner, shrink, stretched(corner, most))) continue;
            double lo = 0, hi = most;
            if (fits(corner, shrink, plain))
                hi = 0;
            else
                for (int i = 0; i < 30; ++i) {
                    const double mid = (lo + hi) / 2;
                    (fits(corner, shrink, stretched(corner, mid)) ? hi : lo) = mid;
                }
            if (hi < least) {
                least = hi;
                best = {stretched(corner, hi), {corner, false, shrink}};
            }
        }
        if (least < INFINITY) return best;
    }
    // Below the plot, the legend's text shrinks until the box is no wider
    // than the plot and takes no more than half of the panel's height left
    // over by the margins.
    const Margins m = margins_for(panel, xs, plain, ch);
    const double plot_width_mm = width_mm - m.left - m.right, room_mm = 0.5 * (height_mm - m.top - m.bottom);
    const BoxSize box = legend_size(entries, ch, plot_width_mm, meter);
    best.legend = {
        0, true, std::max(std::min({1.0, 0.9 * plot_width_mm / box.width_mm, room_mm / box.height_mm}), least_shrink)};
    return best;
}

// The legend of each series, and of its fit when drawn.
std::vector<LegendEntry> legend_entries(const Panel& panel, const DrawOptions& options) {
    const bool lone = panel.curves.size() == 1;
    std::vector<LegendEntry> legend;
    for (std::size_t i = 0; i < panel.curves.size(); ++i) {
        const Curve& s = panel.curves[i];
        LegendEntry marker{PL_LEGEND_SYMBOL, s.name, series_index(i), marker_glyph(s.marker), marker_scale(s)};
        const bool fitted = options.fit && fit::fit_line(s.points).ok;
        const std::vector<std::string> fit_lines = fitted ? fit_legend(s, panel) : std::vector<std::string>{};
        if (panel.normalised) {
            if (fitted) marker.options |= PL_LEGEND_LINE;
            if (!fit_lines.empty()) marker.text = fit_lines.front();
            legend.push_back(marker);
            continue;
        }
        if (!s.name.empty() || !lone) legend.push_back(marker);
        for (std::size_t k = 0; k < fit_lines.size(); ++k) {
            LegendEntry line{k == 0 ? PL_LEGEND_LINE : PL_LEGEND_NONE, fit_lines[k], lone ? fit_index : series_index(i),
                             "", 1};
            legend.push_back(line);
        }
    }
    return legend;
}

void draw_panel(plstream& pls, const Panel& panel, const DrawOptions& options, const Device& device,
                double real_width_mm, double real_height_mm, AxisScale scales[2], LegendMeter& meter) {
    pls.adv(0);
    PLFLT sx0, sx1, sy0, sy1;
    pls.gspa(sx0, sx1, sy0, sy1);  // this subpage in PLplot's mm
    const double width_mm = sx1 - sx0, height_mm = sy1 - sy0;
    // PLplot's mm are the page's only for vector devices (its cairo bitmaps
    // assume their own resolution): the text is sized on the real page and
    // then put in PLplot's measure.
    const double real_ch = text_height_mm(real_width_mm, real_height_mm);
    const double ch = real_ch * width_mm / real_width_mm;
    const double least_ch = least_text_height_mm * width_mm / real_width_mm;
    pls.schr(ch, 1.0);

    const Extent e = extent_of(panel);
    scales[0] = axis_scale(e.xlow, e.xhigh);
    const AxisScale& xs = scales[0];

    // The legend holds the series and their fits only: whether the error
    // bars hide under the markers is the summary's to say.
    std::vector<LegendEntry> legend = legend_entries(panel, options);
    const PanelLayout layout =
        place_legend(panel, xs, e, legend, ch, width_mm, height_mm, least_legend_shrink(real_ch), meter);
    Margins m = margins_for(panel, xs, layout.ys, ch);
    double plot_height_mm = height_mm - m.top - m.bottom;
    scales[1] = layout.ys;
    const AxisScale& ys = scales[1];

    // Below the plot the legend takes room from its height.
    const double axis_bottom = m.bottom;
    if (layout.legend.below) {
        const double plot_width_mm = width_mm - m.left - m.right;
        const double legend_mm = legend_size(legend, ch * layout.legend.shrink, plot_width_mm, meter).height_mm;
        // On a page too small for both, the plot keeps its room and the
        // legend is left out (the terminal summary still gives the fit).
        if (height_mm - m.top - m.bottom - legend_mm - 0.3 * ch < height_mm / 3) {
            legend.clear();
        } else {
            m.bottom += legend_mm + 0.3 * ch;
            plot_height_mm = height_mm - m.top - m.bottom;
        }
    }
    pls.vpor(m.left / width_mm, 1 - m.right / width_mm, m.bottom / height_mm, 1 - m.top / height_mm);
    pls.wind(xs.low, xs.high, ys.low, ys.high);
    pls.col0(1);
    pls.width(device.line_width(thin_line_mm));
    pls.slabelfunc(label_tick, scales);
    pls.box("bcnsto", xs.step, 0, "bcnstvo", ys.step, 0);

    const double plot_width_mm = width_mm - m.left - m.right;
    side_text(pls, "b", 3.2, 0.5, 0.5, panel.x_legend, ch, plot_width_mm * 0.75, least_ch);
    side_text(pls, "l", m.y_legend_disp, 0.5, 0.5, panel.y_legend, ch, plot_height_mm, least_ch);
    if (!panel.title.empty()) side_text(pls, "t", 1.5, 0.5, 0.5, panel.title, ch, width_mm * 0.95, least_ch);
    if (!ys.annotation().empty()) pls.mtex("t", 0.5, 0.0, 0.0, ys.annotation().c_str());
    if (!xs.annotation().empty()) pls.mtex("b", 4.5, 1.0, 1.0, xs.annotation().c_str());

    const bool lone = panel.curves.size() == 1;
    for (std::size_t i = 0; i < panel.curves.size(); ++i) {
        const Curve& s = panel.curves[i];
        std::vector<double> x, y, bar_x, bar_low, bar_high;
        for (const formats::Point& p : s.points) {
            x.push_back(xs.to_plot(p.x));
            y.push_back(ys.to_plot(p.y));
            if (p.has_sigy && p.sigy > 0 && std::isfinite(p.sigy)) {
                bar_x.push_back(xs.to_plot(p.x));
                bar_low.push_back(ys.to_plot(p.y - p.sigy));
                bar_high.push_back(ys.to_plot(p.y + p.sigy));
            }
        }
        pls.col0(series_index(i));
        if (!bar_x.empty()) {
            pls.smin(0, 0.6);  // the bar ends: short
            pls.erry(PLINT(bar_x.size()), bar_x.data(), bar_low.data(), bar_high.data());
        }
        pls.schr(ch, marker_scale(s));
        pls.string(PLINT(x.size()), x.data(), y.data(), marker_glyph(s.marker));
        pls.schr(ch, 1.0);

        const fit::LineFit drawn = fit::fit_line(s.points);
        if (options.fit && drawn.ok) {
            const auto [lo, hi] =
                std::minmax_element(s.points.begin(), s.points.end(),
                                    [](const formats::Point& a, const formats::Point& b) { return a.x < b.x; });
            const double fx[2] = {xs.to_plot(lo->x), xs.to_plot(hi->x)};
            const double fy[2] = {ys.to_plot(drawn.intercept + drawn.slope * lo->x),
                                  ys.to_plot(drawn.intercept + drawn.slope * hi->x)};
            pls.col0(lone ? fit_index : series_index(i));
            pls.width(device.line_width(fit_line_mm));
            pls.line(2, fx, fy);
            pls.width(device.line_width(thin_line_mm));
        }
    }
    pls.col0(1);
    draw_legend(pls, legend, layout.legend, ch, (axis_bottom - 0.2 * ch) / plot_height_mm,
                device.line_width(fit_line_mm));
}

void set_colours(plstream& pls) {
    start_colours(pls, 16);
    pls.scol0(fit_index, fit_colour.r, fit_colour.g, fit_colour.b);
    for (int i = 0; i < series_colour_count; ++i)
        pls.scol0(first_series_index + i, series_colours[i].r, series_colours[i].g, series_colours[i].b);
}

// Several panels on a page are lettered (a), (b), ... in their title's
// place; a title they all share is the page's, written once above them.
struct PageOfPanels {
    std::vector<Panel> panels;
    std::string title;
};

PageOfPanels page_of_panels(const std::vector<Panel>& panels, int columns) {
    PageOfPanels page{panels, ""};
    if (panels.size() < 2) return page;
    const bool shared = !panels.front().title.empty() && std::all_of(panels.begin(), panels.end(), [&](const Panel& p) {
        return p.title == panels.front().title;
    });
    if (shared) page.title = panels.front().title;
    for (std::size_t i = 0; i < page.panels.size(); ++i) {
        Panel& p = page.panels[i];
        const std::string letter = std::string("(") + char('a' + i % 26) + ")";
        p.title = shared || p.title.empty() ? letter : letter + " " + p.title;
        p.under_page_title = shared && int(i) < columns;
    }
    return page;
}

void draw_page(plstream& pls, const std::vector<Panel>& panels, const Device& device, const DrawOptions& options) {
    const int n = std::max<int>(1, int(panels.size()));
    const int columns = int(std::ceil(std::sqrt(double(n))));
    const int rows = (n + columns - 1) / columns;
    pls.ssub(columns, rows);
    set_colours(pls);
    pls.init();
    // The label callback reads the scales while each panel's box is drawn.
    AxisScale scales[2];
    LegendMeter meter(pls, columns, rows);
    const PageOfPanels page = page_of_panels(panels, columns);
    for (const Panel& panel : page.panels)
        draw_panel(pls, panel, options, device, device.real_width_mm / columns, device.real_height_mm / rows, scales,
                   meter);
    if (page.title.empty()) return;
    // Across the top row, from the first subpage: its viewport may reach
    // over the others.
    pls.adv(1);
    pls.vpor(0, columns, 0, 1);
    pls.wind(0, 1, 0, 1);
    pls.col0(1);
    PLFLT x0, x1, y0, y1;
    pls.gspa(x0, x1, y0, y1);
    const double ch = text_height_mm(device.real_width_mm / columns, device.real_height_mm / rows) * (x1 - x0) /
                      (device.real_width_mm / columns);
    pls.schr(ch, 1.0);
    pls.ptex(0.5, 1 - 1.4 * ch / (y1 - y0), 1, 0, 0.5, plplot_text(page.title).c_str());
}

}  // namespace

std::string render_file(const std::vector<Panel>& panels, Format format, const Page& page, const DrawOptions& options) {
    return draw_file(format, page,
                     [&](plstream& pls, const Device& device) { draw_page(pls, panels, device, options); });
}

std::vector<unsigned char> render_pixels(const std::vector<Panel>& panels, const Page& page,
                                         const DrawOptions& options) {
    return draw_pixels(page, [&](plstream& pls, const Device& device) { draw_page(pls, panels, device, options); });
}

}  // namespace figures
