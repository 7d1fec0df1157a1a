#include "figures/plot.hpp"

#include <plplot/plstream.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "figures/axis_scale.hpp"
#include "figures/plot_text.hpp"

namespace figures {

using namespace analysis;

namespace {

struct Colour {
    int r, g, b;
};

// cmap0 entries: 0 background, 1 axes and text, 2 the fitted line of a
// lone series, then one colour per series.
constexpr Colour background{255, 255, 255};
constexpr Colour ink{0, 0, 0};
constexpr Colour fit_colour{200, 30, 30};
constexpr Colour series_colours[] = {{0, 84, 166},  {0, 128, 64},  {148, 0, 148},
                                     {170, 100, 0}, {0, 150, 170}, {110, 110, 110}};
constexpr int series_colour_count = sizeof series_colours / sizeof series_colours[0];
constexpr int fit_index = 2;
constexpr int first_series_index = 3;

int series_index(std::size_t i) { return first_series_index + int(i % series_colour_count); }

// The header's MARKER as a glyph; drawn as text, so it scales with the font.
const char* marker_glyph(int marker) {
    static const char* const glyphs[] = {"●", "■", "▲", "◆", "▼", "○", "□", "△", "◇"};
    constexpr int count = sizeof glyphs / sizeof glyphs[0];
    return glyphs[((std::max(marker, 1) - 1) % count + count) % count];
}

double marker_scale(const Series& s) { return 0.3 + 0.2 * std::min(s.size, 6.0); }

// Text height in mm: legible in a one-column journal figure (8.5 cm wide),
// growing slowly with larger pages.
double text_height_mm(double panel_width_mm, double panel_height_mm) {
    const double small = std::min(panel_width_mm, panel_height_mm);
    return std::clamp(2.3 + 0.012 * (small - 65), 1.8, 4.5);
}

constexpr double points_per_mm = 72 / 25.4;

void label_tick(PLINT axis, PLFLT value, char* label, PLINT length, PLPointer data) {
    const AxisScale* scales = static_cast<const AxisScale*>(data);
    const std::string text = scales[axis == PL_Y_AXIS ? 1 : 0].label(value);
    std::snprintf(label, std::size_t(length), "%s", text.c_str());
}

struct Extent {
    double xlow = INFINITY, xhigh = -INFINITY, ylow = INFINITY, yhigh = -INFINITY;
};

Extent extent_of(const Panel& panel) {
    Extent e;
    for (const Series& s : panel.series)
        for (const Point& p : s.points) {
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

void draw_legend(plstream& pls, const std::vector<LegendEntry>& entries, const LegendPlace& place, double ch,
                 double below_offset) {
    if (entries.empty()) return;
    const int n = int(entries.size());
    std::vector<PLINT> opts, colours, styles, symbol_numbers(n, 1), box_colours(n, 0), patterns(n, 0);
    std::vector<PLFLT> widths(n, 1.5), scales, box_scales(n, 0), box_widths(n, 0);
    std::vector<std::string> texts;
    std::vector<const char*> text_ptrs, symbols;
    for (const LegendEntry& e : entries) {
        opts.push_back(e.options);
        colours.push_back(e.colour);
        styles.push_back(1);
        scales.push_back(e.symbol_scale);
        texts.push_back(plplot_literal(e.text));
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
               0, 1, 1, 0, 0, n, opts.data(), 0.6, 0.88, 1.6, 0.0, text_colours.data(), text_ptrs.data(),
               box_colours.data(), patterns.data(), box_scales.data(), box_widths.data(), colours.data(), styles.data(),
               widths.data(), colours.data(), scales.data(), symbol_numbers.data(), symbols.data());
    pls.schr(ch, 1.0);
}

// True when the panel has error bars and every one of them, drawn, is
// shorter than the marker is high (so none of them can be seen).
bool bars_hidden_by_markers(const Panel& panel, const AxisScale& ys, double plot_height_mm, double char_mm) {
    bool any = false;
    const double mm_per_unit = plot_height_mm / (ys.high - ys.low);
    for (const Series& s : panel.series) {
        const double marker_mm = 0.75 * char_mm * marker_scale(s);
        for (const Point& p : s.points) {
            if (!p.has_sigy || !(p.sigy > 0)) continue;
            any = true;
            const double bar_mm = (ys.to_plot(p.y + p.sigy) - ys.to_plot(p.y - p.sigy)) * mm_per_unit;
            if (!(bar_mm < marker_mm)) return false;
        }
    }
    return any;
}

// Characters, not bytes, of UTF-8 text.
std::size_t characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// Writes a line of text on a side of the viewport, smaller when it would be
// wider than `room_mm` (average glyph width taken as 0.85 text heights).
void side_text(plstream& pls, const char* side, double disp, double pos, double just, const std::string& text,
               double ch, double room_mm) {
    const double width = 0.85 * ch * double(characters(text));
    const double scale = width > room_mm ? room_mm / width : 1.0;
    pls.schr(ch, scale);
    pls.mtex(side, disp / scale, pos, just, plplot_literal(text).c_str());
    pls.schr(ch, 1.0);
}

std::size_t longest_label(const AxisScale& s) {
    std::size_t n = 1;
    for (double t : s.ticks()) n = std::max(n, s.label(t).size());
    return n;
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
    m.y_legend_disp = 1.5 + 0.78 * double(longest_label(ys));
    m.left = (m.y_legend_disp + 0.8) * ch;
    m.right = 1.2 * ch;
    m.bottom = (xs.annotation().empty() ? 4.4 : 5.7) * ch;
    m.top = (panel.title.empty() ? 1.8 : 3.0) * ch;
    return m;
}

// The legend box's size in mm, for the text height `ch` it is drawn with.
// PLplot reports it only after drawing the box, so it is estimated the way
// pllegend lays it out: rows 1.6 text heights apart; the symbol column, a
// little wider than asked, then the longest text at 0.88 of the height,
// glyphs taken as 0.85 text heights wide (the widest of PLplot's devices
// measured on these legends, SVG, needs about 0.8).
struct BoxSize {
    double width_mm, height_mm;
};

BoxSize legend_size(const std::vector<LegendEntry>& entries, double ch, double plot_width_mm) {
    const double text = 0.88 * ch;
    std::size_t longest = 0;
    for (const LegendEntry& e : entries) longest = std::max(longest, characters(e.text));
    return {(legend_symbol_width + 0.012) * plot_width_mm + (2.6 + 0.85 * double(longest)) * text,
            (1.6 * double(entries.size()) + 0.1) * ch};
}

// True when no marker or error bar of the panel reaches into the box
// [u0, u1] x [v0, v1], in parts of the plot's width and height.
bool box_is_free(const Panel& panel, const AxisScale& xs, const AxisScale& ys, double u0, double u1, double v0,
                 double v1, double plot_width_mm, double plot_height_mm, double ch) {
    for (const Series& s : panel.series) {
        const double half_mm = 0.5 * 0.75 * ch * marker_scale(s);
        const double du = half_mm / plot_width_mm, dv = half_mm / plot_height_mm;
        for (const Point& p : s.points) {
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
    for (const Series& s : panel.series)
        for (const Point& p : s.points) {
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
                         const std::vector<LegendEntry>& entries, double ch, double width_mm, double height_mm) {
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
        const BoxSize box = legend_size(entries, ch * shrink, pw);
        const double w = box.width_mm / pw, h = box.height_mm / ph;
        if (w > 1 - 2 * legend_gap_x || h > 0.45) return false;
        const bool left = corner == 0 || corner == 3, top = corner < 2;
        const double u0 = left ? legend_gap_x : 1 - legend_gap_x - w;
        const double v0 = top ? 1 - legend_gap_y - h : legend_gap_y;
        return box_is_free(panel, xs, ys, u0, u0 + w, v0, v0 + h, pw, ph, ch);
    };
    for (double shrink : {1.0, 0.85, 0.7}) {
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
    const BoxSize box = legend_size(entries, ch, plot_width_mm);
    best.legend = {0, true, std::min({1.0, 0.9 * plot_width_mm / box.width_mm, room_mm / box.height_mm})};
    return best;
}

// The legend of each series, and of its fit when drawn.
std::vector<LegendEntry> legend_entries(const Panel& panel, const DrawOptions& options) {
    const bool lone = panel.series.size() == 1;
    std::vector<LegendEntry> legend;
    for (std::size_t i = 0; i < panel.series.size(); ++i) {
        const Series& s = panel.series[i];
        LegendEntry marker{PL_LEGEND_SYMBOL, s.name, series_index(i), marker_glyph(s.marker), marker_scale(s)};
        const bool fitted = options.fit && analysis::fit_line(s.points).ok;
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

void draw_panel(plstream& pls, const Panel& panel, const DrawOptions& options, double real_width_mm,
                double real_height_mm, AxisScale scales[2]) {
    pls.adv(0);
    PLFLT sx0, sx1, sy0, sy1;
    pls.gspa(sx0, sx1, sy0, sy1);  // this subpage in PLplot's mm
    const double width_mm = sx1 - sx0, height_mm = sy1 - sy0;
    // PLplot's mm are the page's only for vector devices (its cairo bitmaps
    // assume their own resolution): the text is sized on the real page and
    // then put in PLplot's measure.
    const double ch = text_height_mm(real_width_mm, real_height_mm) * width_mm / real_width_mm;
    pls.schr(ch, 1.0);

    const Extent e = extent_of(panel);
    scales[0] = axis_scale(e.xlow, e.xhigh);
    const AxisScale& xs = scales[0];

    // The note on hidden bars is a line of the legend, and whether it is
    // true depends on the y scale the legend's room sets: a stretched axis
    // only shortens the bars, so a note once added stays true.
    std::vector<LegendEntry> legend = legend_entries(panel, options);
    const LegendEntry bars_note{PL_LEGEND_NONE, "error bars smaller than the markers", 1, "", 1};
    PanelLayout layout;
    Margins m;
    double plot_height_mm = 0;
    for (int pass = 0; pass < 2; ++pass) {
        layout = place_legend(panel, xs, e, legend, ch, width_mm, height_mm);
        m = margins_for(panel, xs, layout.ys, ch);
        plot_height_mm = height_mm - m.top - m.bottom;
        const bool noted = !legend.empty() && legend.back().text == bars_note.text;
        if (noted || !bars_hidden_by_markers(panel, layout.ys, plot_height_mm, ch)) break;
        legend.push_back(bars_note);
    }
    scales[1] = layout.ys;
    const AxisScale& ys = scales[1];

    // Below the plot the legend takes room from its height.
    const double axis_bottom = m.bottom;
    if (layout.legend.below) {
        const double plot_width_mm = width_mm - m.left - m.right;
        m.bottom += legend_size(legend, ch * layout.legend.shrink, plot_width_mm).height_mm + 0.3 * ch;
        plot_height_mm = height_mm - m.top - m.bottom;
    }
    pls.vpor(m.left / width_mm, 1 - m.right / width_mm, m.bottom / height_mm, 1 - m.top / height_mm);
    pls.wind(xs.low, xs.high, ys.low, ys.high);
    pls.col0(1);
    pls.slabelfunc(label_tick, scales);
    pls.box("bcnsto", xs.step, 0, "bcnstvo", ys.step, 0);

    const double plot_width_mm = width_mm - m.left - m.right;
    side_text(pls, "b", 3.2, 0.5, 0.5, panel.x_legend, ch, plot_width_mm * 0.75);
    side_text(pls, "l", m.y_legend_disp, 0.5, 0.5, panel.y_legend, ch, plot_height_mm);
    if (!panel.title.empty()) side_text(pls, "t", 1.5, 0.5, 0.5, panel.title, ch, width_mm * 0.95);
    if (!ys.annotation().empty()) pls.mtex("t", 0.5, 0.0, 0.0, ys.annotation().c_str());
    if (!xs.annotation().empty()) pls.mtex("b", 4.5, 1.0, 1.0, xs.annotation().c_str());

    const bool lone = panel.series.size() == 1;
    for (std::size_t i = 0; i < panel.series.size(); ++i) {
        const Series& s = panel.series[i];
        std::vector<double> x, y, bar_x, bar_low, bar_high;
        for (const Point& p : s.points) {
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

        const analysis::LineFit drawn = analysis::fit_line(s.points);
        if (options.fit && drawn.ok) {
            const auto [lo, hi] = std::minmax_element(s.points.begin(), s.points.end(),
                                                      [](const Point& a, const Point& b) { return a.x < b.x; });
            const double fx[2] = {xs.to_plot(lo->x), xs.to_plot(hi->x)};
            const double fy[2] = {ys.to_plot(drawn.intercept + drawn.slope * lo->x),
                                  ys.to_plot(drawn.intercept + drawn.slope * hi->x)};
            pls.col0(lone ? fit_index : series_index(i));
            pls.width(1.5);
            pls.line(2, fx, fy);
            pls.width(1);
        }
    }
    pls.col0(1);
    draw_legend(pls, legend, layout.legend, ch, (axis_bottom - 0.2 * ch) / plot_height_mm);
}

void set_colours(plstream& pls) {
    pls.scmap0n(16);
    pls.scolbg(background.r, background.g, background.b);
    pls.scol0(1, ink.r, ink.g, ink.b);
    pls.scol0(fit_index, fit_colour.r, fit_colour.g, fit_colour.b);
    for (int i = 0; i < series_colour_count; ++i)
        pls.scol0(first_series_index + i, series_colours[i].r, series_colours[i].g, series_colours[i].b);
}

void draw_page(plstream& pls, const std::vector<Panel>& panels, const Page& page, const DrawOptions& options) {
    const int n = std::max<int>(1, int(panels.size()));
    const int columns = int(std::ceil(std::sqrt(double(n))));
    const int rows = (n + columns - 1) / columns;
    pls.ssub(columns, rows);
    set_colours(pls);
    pls.init();
    // The label callback reads the scales while each panel's box is drawn.
    AxisScale scales[2];
    for (const Panel& panel : panels)
        draw_panel(pls, panel, options, page.width_mm / columns, page.height_mm / rows, scales);
}

const char* device_name(Format format) {
    switch (format) {
        case Format::png:
            return "pngcairo";
        case Format::svg:
            return "svg";
        case Format::pdf:
            return "pdfcairo";
    }
    return "pngcairo";
}

// A stdio stream that collects what PLplot writes; PLplot closes it itself.
struct Sink {
    std::string bytes;
    bool closed = false;
    bool failed = false;
};

ssize_t sink_write(void* cookie, const char* data, size_t size) {
    auto* sink = static_cast<Sink*>(cookie);
    try {
        sink->bytes.append(data, size);
    } catch (const std::bad_alloc&) {
        sink->failed = true;
        return -1;
    }
    return ssize_t(size);
}

int sink_close(void* cookie) {
    static_cast<Sink*>(cookie)->closed = true;
    return 0;
}

// PLplot's errors come to these handlers instead of its own lines on
// standard error.  An abort leaves the drawing without what failed: the
// drawing is then refused, never a blank picture passed on as written.  An
// exit would end the program inside PLplot: one message, status 1, and
// nothing has been written yet, since the bytes are written only after the
// drawing.
thread_local std::string plplot_abort;

void on_plplot_abort(PLCHAR_VECTOR message) {
    if (plplot_abort.empty()) plplot_abort = message != nullptr && *message != '\0' ? message : "drawing aborted";
}

int on_plplot_exit(PLCHAR_VECTOR message) {
    std::fprintf(stderr, "xyviewer: PLplot stopped the drawing: %s; nothing written\n",
                 message != nullptr ? message : "");
    std::fflush(stderr);
    std::_Exit(1);
}

// Installs the handlers for one drawing.
void catch_plplot_errors() {
    plplot_abort.clear();
    plsabort(on_plplot_abort);
    plsexit(on_plplot_exit);
}

// Where a stream puts its abort messages instead of standard error: they
// are the handler's to report, once.
struct QuietErrors {
    PLINT code = 0;
    char message[1024] = {};
    explicit QuietErrors(plstream& pls) { pls.sError(&code, message); }
};

void throw_plplot_abort() {
    if (!plplot_abort.empty()) throw PlotError("PLplot could not draw the plot: " + plplot_abort);
}

}  // namespace

int Page::width_px() const { return std::max(16, int(std::lround(width_mm / 25.4 * dpi))); }
int Page::height_px() const { return std::max(16, int(std::lround(height_mm / 25.4 * dpi))); }

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

std::string render_file(const std::vector<Panel>& panels, Format format, const Page& page, const DrawOptions& options) {
    const char* device = device_name(format);
    if (!plplot_has_device(device))
        throw PlotError(std::string("PLplot has no \"") + device + "\" device; install its driver package");
    Sink sink;
    const cookie_io_functions_t io{nullptr, sink_write, nullptr, sink_close};
    std::FILE* stream = fopencookie(&sink, "w", io);
    if (stream == nullptr) throw PlotError("cannot set up the drawing: out of memory");
    catch_plplot_errors();
    {
        plstream pls;
        const QuietErrors quiet(pls);
        pls.sdev(device);
        pls.sfile(stream);
        if (format == Format::png)
            pls.spage(page.dpi, page.dpi, page.width_px(), page.height_px(), 0, 0);
        else  // vector pages are measured in points
            pls.spage(72, 72, PLINT(std::lround(page.width_mm * points_per_mm)),
                      PLINT(std::lround(page.height_mm * points_per_mm)), 0, 0);
        draw_page(pls, panels, page, options);
    }  // the destructor ends the page and closes the stream
    if (!sink.closed) std::fclose(stream);
    throw_plplot_abort();
    if (sink.failed || sink.bytes.empty()) throw PlotError("PLplot produced no output");
    return std::move(sink.bytes);
}

std::vector<unsigned char> render_pixels(const std::vector<Panel>& panels, const Page& page,
                                         const DrawOptions& options) {
    const int w = page.width_px(), h = page.height_px();
    std::vector<unsigned char> rgb(std::size_t(w) * std::size_t(h) * 3, 255);  // the device draws on what is there
    catch_plplot_errors();
    {
        plstream pls;
        const QuietErrors quiet(pls);
        pls.sdev(plplot_has_device("memcairo") ? "memcairo" : "mem");
        pls.spage(page.dpi, page.dpi, 0, 0, 0, 0);
        pls.smem(w, h, rgb.data());
        draw_page(pls, panels, page, options);
    }
    throw_plplot_abort();
    return rgb;
}

}  // namespace figures
