#include "figures/plot.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "figures/axis_labels.hpp"
#include "figures/axis_scale.hpp"
#include "figures/legend.hpp"
#include "figures/markers.hpp"
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
using style::marker_width;
using style::series_colour_count;
using style::series_colours;
using style::text_height_mm;

// cmap0 entries: 0 background, 1 axes and text, 2 the fitted line of a
// lone series, then one colour per series.
constexpr int fit_index = 2;
constexpr int first_series_index = 3, most_series = 13;

int series_index(std::size_t i) { return first_series_index + int(i % most_series); }

// A series named after a quantity (a, b, c, V; "b (Å)", "volume") takes
// its colour, as in every figure; any other the palette's in its order.
Colour curve_colour(const Curve& s, std::size_t i) {
    std::string name = s.name.substr(0, s.name.find_first_of(" ("));
    if (name == "volume") name = "V";
    return style::quantity_colour(name).value_or(series_colours[i % series_colour_count]);
}

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
            const double bar = p.y.sigma > 0 && std::isfinite(p.y.sigma) ? p.y.sigma : 0;
            e.xlow = std::min(e.xlow, p.x);
            e.xhigh = std::max(e.xhigh, p.x);
            // Bars beyond the range of a double are left out of the range.
            e.ylow = std::min(e.ylow, std::isfinite(p.y.value - bar) ? p.y.value - bar : p.y.value);
            e.yhigh = std::max(e.yhigh, std::isfinite(p.y.value + bar) ? p.y.value + bar : p.y.value);
        }
    return e;
}

// Where the legend goes: a corner inside the plot or below it, in how many
// columns, and how much smaller than the figure's its text is.
struct LegendPlace {
    LegendAt at = LegendAt::top_left;
    double shrink = 1;
    int columns = 1;
    double shift = 0;  // below: sideways from the plot's middle, in parts of its width
};

constexpr double legend_gap_x = 0.02, legend_gap_y = 0.03;  // from the frame, in parts of the plot
constexpr double legend_swatch_width = 0.08;                // in parts of the plot's width

LegendPlacement placement(const LegendPlace& place, double ch) {
    LegendPlacement p;
    p.at = place.at;
    p.x = place.at == LegendAt::below ? place.shift : legend_gap_x;
    p.y = legend_gap_y;
    p.ch = ch * place.shrink;
    p.text_scale = legend_text_scale;
    p.spacing = 1.6;
    p.text_offset = 0.6;
    p.swatch_width = legend_swatch_width;
    p.columns = place.columns;
    return p;
}

// The legend box's size in mm of the real page, for its text `ch` mm high.
struct BoxSize {
    double width_mm, height_mm;
};

BoxSize legend_size(const std::vector<LegendEntry>& entries, const LegendPlace& place, double ch, double plot_width_mm,
                    TextMeter& meter) {
    const LegendPlacement p = placement(place, ch);
    const int rows = (int(entries.size()) + place.columns - 1) / place.columns;
    return {place.columns * legend_swatch_width * plot_width_mm + meter.legend_fixed_width_mm(entries, p.ch, p),
            (1.6 * double(rows) + 0.1) * p.ch};
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

// True when no marker or error bar of the panel reaches into the box
// [u0, u1] x [v0, v1], in parts of the plot's width and height.
bool box_is_free(const Panel& panel, const AxisScale& xs, const AxisScale& ys, double u0, double u1, double v0,
                 double v1, double plot_width_mm, double plot_height_mm, double ch) {
    for (const Curve& s : panel.curves) {
        const double half_mm = 0.5 * marker_width * ch * marker_scale(s);
        const double du = half_mm / plot_width_mm, dv = half_mm / plot_height_mm;
        for (const formats::Point& p : s.points) {
            const double u = (xs.to_plot(p.x) - xs.low) / (xs.high - xs.low);
            const auto v_of = [&](double y) { return (ys.to_plot(y) - ys.low) / (ys.high - ys.low); };
            double top = v_of(p.y.value) + dv, bottom = v_of(p.y.value) - dv;
            if (p.y.sigma > 0 && std::isfinite(p.y.sigma)) {
                top = std::max(top, v_of(p.y.value + p.y.sigma));
                bottom = std::min(bottom, v_of(p.y.value - p.y.sigma));
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
            const double v = (ys.to_plot(p.y.value) - ys.low) / (ys.high - ys.low);
            const bool left = u < 0.5, top = v >= 0.5;
            ++count[top ? (left ? 0 : 1) : (left ? 3 : 2)];
        }
    std::array<int, 4> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return count[a] < count[b]; });
    return order;
}

// How the panel is laid out, in mm of the real page, the same for every
// format: its scales (the y one with headroom for the legend when it needs
// some), margins and the legend's place, or why the legend is left out.
struct PanelLayout {
    AxisScale xs, ys;
    Margins m;
    std::vector<LegendEntry> legend;
    LegendPlace place;
    std::string legend_left_out;  // why, when it is
    std::string unreadable;       // why the tick labels cannot be read, when they cannot
};

// The legend of each series, and of its fit when drawn, for text `ch`
// high (PLplot's mm; 0 where only the texts count, as in the layout) and
// lines of these widths.
std::vector<LegendEntry> legend_entries(const Panel& panel, const DrawOptions& options, double ch = 0,
                                        double line_width = 0, double thin_width = 0) {
    const bool lone = panel.curves.size() == 1;
    std::vector<LegendEntry> legend;
    for (std::size_t i = 0; i < panel.curves.size(); ++i) {
        const Curve& s = panel.curves[i];
        LegendEntry marker;
        marker.text = s.name;
        marker.colour = series_index(i);
        marker.marker = marker_shape(s.marker);
        marker.marker_mm = marker_width * ch * marker_scale(s);
        marker.line_width = thin_width;
        const bool fitted = options.fit && fit::fit_line(s.points).ok;
        const std::vector<std::string> fit_lines = fitted ? fit_legend(s, panel) : std::vector<std::string>{};
        if (panel.normalised) {
            if (fitted) marker.line = true, marker.line_width = line_width;
            if (!fit_lines.empty()) marker.text = fit_lines.front();
            legend.push_back(marker);
            continue;
        }
        if (!s.name.empty() || !lone) legend.push_back(marker);
        for (std::size_t k = 0; k < fit_lines.size(); ++k) {
            LegendEntry line;
            line.text = fit_lines[k];
            line.colour = lone ? fit_index : series_index(i);
            line.line = k == 0;
            line.line_width = line_width;
            legend.push_back(line);
        }
    }
    return legend;
}

// Why neighbouring tick labels run together, empty when they do not: the
// x labels side by side, the y labels (upright) one above the other, as
// wide and high as the meter finds them.
std::string tick_labels_run_together(const AxisScale& xs, const AxisScale& ys, double plot_width_mm,
                                     double plot_height_mm, double ch, TextMeter& meter) {
    const std::vector<double> x_ticks = xs.ticks();
    for (std::size_t k = 1; k < x_ticks.size(); ++k) {
        const double apart = (x_ticks[k] - x_ticks[k - 1]) / (xs.high - xs.low) * plot_width_mm;
        // The meter's glyphs are about a fifth wider than the fonts' digits:
        // labels that meet by its measure stand a digit's fifth apart.
        const double needed =
            (meter.text_width_mm(xs.label(x_ticks[k - 1]), ch) + meter.text_width_mm(xs.label(x_ticks[k]), ch)) / 2;
        if (apart < needed) return "the x axis's labels " + xs.label(x_ticks[k - 1]) + " and " + xs.label(x_ticks[k]);
    }
    const std::vector<double> y_ticks = ys.ticks();
    for (std::size_t k = 1; k < y_ticks.size(); ++k) {
        const double apart = (y_ticks[k] - y_ticks[k - 1]) / (ys.high - ys.low) * plot_height_mm;
        if (apart < 1.3 * ch) return "the y axis's labels " + ys.label(y_ticks[k - 1]) + " and " + ys.label(y_ticks[k]);
    }
    return {};
}

// The legend goes in a corner whose box covers no point and no error bar.
// When no corner is free, the y axis is stretched up (for a top corner) or
// down (for a bottom one) by as little as frees one; when that would leave
// the data less than half the plot, the text shrinks, a legend of one line
// per series (a normalised panel's) takes two columns, and as a last resort
// the legend goes below the plot, taking no more than a third of a
// normalised plot's height, and leaving another at least a third of the
// panel.  Where even that fails it is left out, and said so.
PanelLayout layout_panel(const Panel& panel, const DrawOptions& options, double width_mm, double height_mm,
                         TextMeter& meter) {
    const double ch = text_height_mm(width_mm, height_mm);
    const double least_shrink = least_legend_shrink(ch);
    const Extent e = extent_of(panel);
    PanelLayout best;
    best.xs = axis_scale(e.xlow, e.xhigh);
    const AxisScale& xs = best.xs;
    const AxisScale plain = axis_scale(e.ylow, e.yhigh);
    best.ys = plain;
    best.legend = legend_entries(panel, options);
    const std::vector<LegendEntry>& entries = best.legend;
    const auto finish = [&](PanelLayout& layout) -> PanelLayout& {
        layout.m = margins_for(panel, xs, layout.ys, ch);
        const double pw = width_mm - layout.m.left - layout.m.right;
        if (layout.place.at == LegendAt::below && !layout.legend.empty())
            layout.m.bottom += legend_size(entries, layout.place, ch, pw, meter).height_mm + 0.3 * ch;
        const double ph = height_mm - layout.m.top - layout.m.bottom;
        layout.unreadable = tick_labels_run_together(xs, layout.ys, pw, ph, ch, meter);
        return layout;
    };
    if (entries.empty()) return finish(best);
    const double span = (plain.high - plain.low) * std::pow(10.0, plain.exponent);
    const auto stretched = [&](LegendAt corner, double t) {
        return corner == LegendAt::top_left || corner == LegendAt::top_right ? axis_scale(e.ylow, e.yhigh + t * span)
                                                                             : axis_scale(e.ylow - t * span, e.yhigh);
    };
    const auto fits = [&](const LegendPlace& place, const AxisScale& ys) {
        const Margins m = margins_for(panel, xs, ys, ch);
        const double pw = width_mm - m.left - m.right, ph = height_mm - m.top - m.bottom;
        const BoxSize box = legend_size(entries, place, ch, pw, meter);
        const double w = box.width_mm / pw, h = box.height_mm / ph;
        if (w > 1 - 2 * legend_gap_x || h > 0.45) return false;
        const bool left = place.at == LegendAt::top_left || place.at == LegendAt::bottom_left;
        const bool top = place.at == LegendAt::top_left || place.at == LegendAt::top_right;
        const double u0 = left ? legend_gap_x : 1 - legend_gap_x - w;
        const double v0 = top ? 1 - legend_gap_y - h : legend_gap_y;
        return box_is_free(panel, xs, ys, u0, u0 + w, v0, v0 + h, pw, ph, ch);
    };
    constexpr LegendAt corners[] = {LegendAt::top_left, LegendAt::top_right, LegendAt::bottom_right,
                                    LegendAt::bottom_left};
    // Two columns only where each entry stands alone: a series and its fit
    // must not be split between columns.
    const int most_columns = panel.normalised && entries.size() >= 4 ? 2 : 1;
    for (int columns = 1; columns <= most_columns; ++columns)
        for (double shrink : {1.0, 0.85, 0.7}) {
            shrink = std::max(shrink, least_shrink);
            double least = INFINITY;
            for (int corner : corners_by_emptiness(panel, xs, plain)) {
                const LegendPlace place{corners[corner], shrink, columns};
                constexpr double most = 4;  // times the data's range: far more than half the plot
                if (!fits(place, stretched(place.at, most))) continue;
                double lo = 0, hi = most;
                if (fits(place, plain))
                    hi = 0;
                else
                    for (int i = 0; i < 30; ++i) {
                        const double mid = (lo + hi) / 2;
                        (fits(place, stretched(place.at, mid)) ? hi : lo) = mid;
                    }
                if (hi < least) {
                    least = hi;
                    best.ys = stretched(place.at, hi);
                    best.place = place;
                }
            }
            if (least < INFINITY) return finish(best);
        }
    // Below the plot, the legend's text shrinks until the box is no wider
    // than the panel and takes no more than its share of the panel's height
    // left over by the margins; it stands under the plot's middle, or as
    // near it as the panel's edges let it.
    best.ys = plain;
    const Margins m = margins_for(panel, xs, plain, ch);
    // A normalised figure compares its series by their slopes, so its plot
    // keeps two thirds of its height; a panel of one file's series keeps a
    // third of the panel's.
    const double plot_width_mm = width_mm - m.left - m.right, free_mm = height_mm - m.top - m.bottom;
    const double room_mm = panel.normalised ? free_mm / 3 : free_mm - height_mm / 3;
    const double widest_mm = width_mm - ch;
    for (int columns = 1; columns <= most_columns; ++columns) {
        LegendPlace place{LegendAt::below, 1, columns};
        const BoxSize box = legend_size(entries, place, ch, plot_width_mm, meter);
        place.shrink = std::min({1.0, widest_mm / box.width_mm, room_mm / box.height_mm});
        if (place.shrink < least_shrink) place.shrink = least_shrink;
        const BoxSize shrunk = legend_size(entries, place, ch, plot_width_mm, meter);
        if (shrunk.width_mm > widest_mm || shrunk.height_mm + 0.3 * ch > room_mm) continue;
        const double middle = m.left + plot_width_mm / 2;
        const double over_right = middle + shrunk.width_mm / 2 - (width_mm - ch / 2);
        const double over_left = ch / 2 - (middle - shrunk.width_mm / 2);
        place.shift = (over_right > 0 ? -over_right : over_left > 0 ? over_left : 0) / plot_width_mm;
        best.place = place;
        return finish(best);
    }
    best.legend.clear();
    best.legend_left_out = "the legend does not fit in the panel";
    return finish(best);
}

void draw_panel(plstream& pls, const Panel& panel, const DrawOptions& options, const Device& device,
                double real_width_mm, double real_height_mm, AxisScale scales[2], TextMeter& meter) {
    pls.adv(0);
    PLFLT sx0, sx1, sy0, sy1;
    pls.gspa(sx0, sx1, sy0, sy1);  // this subpage in PLplot's mm
    const double width_mm = sx1 - sx0, height_mm = sy1 - sy0;
    // The layout is made on the real page, the same for every format; the
    // drawing then puts it in PLplot's mm, which are the page's only for
    // vector devices (its cairo bitmaps assume their own resolution).
    const PanelLayout layout = layout_panel(panel, options, real_width_mm, real_height_mm, meter);
    const double to_plplot = width_mm / real_width_mm;
    const double real_ch = text_height_mm(real_width_mm, real_height_mm);
    const double ch = real_ch * to_plplot;
    const double least_ch = least_text_height_mm * to_plplot;
    pls.schr(ch, 1.0);

    scales[0] = layout.xs;
    scales[1] = layout.ys;
    const AxisScale& xs = scales[0];
    const AxisScale& ys = scales[1];
    Margins m = layout.m;
    m.left *= to_plplot, m.right *= to_plplot, m.top *= to_plplot, m.bottom *= to_plplot;
    const double plot_width_mm = width_mm - m.left - m.right, plot_height_mm = height_mm - m.top - m.bottom;
    // Below the plot the legend stands under the axis's texts.
    const double axis_bottom = margins_for(panel, xs, ys, ch).bottom;

    for (std::size_t i = 0; i < panel.curves.size(); ++i) {
        const Colour c = curve_colour(panel.curves[i], i);
        pls.scol0(series_index(i), c.r, c.g, c.b);
    }
    pls.vpor(m.left / width_mm, 1 - m.right / width_mm, m.bottom / height_mm, 1 - m.top / height_mm);
    pls.wind(xs.low, xs.high, ys.low, ys.high);
    pls.col0(1);
    pls.width(device.line_width(thin_line_mm));
    pls.slabelfunc(label_tick, scales);
    pls.box("bcnsto", xs.step, 0, "bcnstvo", ys.step, 0);

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
            y.push_back(ys.to_plot(p.y.value));
            if (p.y.sigma > 0 && std::isfinite(p.y.sigma)) {
                bar_x.push_back(xs.to_plot(p.x));
                bar_low.push_back(ys.to_plot(p.y.value - p.y.sigma));
                bar_high.push_back(ys.to_plot(p.y.value + p.y.sigma));
            }
        }
        pls.col0(series_index(i));
        pls.width(device.line_width(thin_line_mm));
        if (!bar_x.empty()) {
            pls.smin(0, 0.6);  // the bar ends: short
            pls.erry(PLINT(bar_x.size()), bar_x.data(), bar_low.data(), bar_high.data());
        }
        draw_markers(pls, marker_shape(s.marker), x, y, marker_width * ch * marker_scale(s),
                     device.line_width(thin_line_mm));

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
    if (layout.legend.empty()) return;
    const std::vector<LegendEntry> legend = legend_entries(
        panel, options, ch * layout.place.shrink, device.line_width(fit_line_mm), device.line_width(thin_line_mm));
    LegendPlacement place = placement(layout.place, ch);
    if (layout.place.at == LegendAt::below) place.y = (axis_bottom - 0.2 * ch) / plot_height_mm;
    draw_legend(pls, legend, place);
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
    TextMeter meter(device.real_width_mm, device.real_height_mm, columns, rows);
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

PageCheck check_page(const std::vector<Panel>& panels, const Page& page, const DrawOptions& options) {
    const int n = std::max<int>(1, int(panels.size()));
    const int columns = int(std::ceil(std::sqrt(double(n))));
    const int rows = (n + columns - 1) / columns;
    TextMeter meter(page.width_mm, page.height_mm, columns, rows);
    PageCheck check;
    const PageOfPanels laid = page_of_panels(panels, columns);
    for (std::size_t i = 0; i < laid.panels.size(); ++i) {
        const PanelLayout layout =
            layout_panel(laid.panels[i], options, page.width_mm / columns, page.height_mm / rows, meter);
        const std::string which = laid.panels.size() > 1 ? "panel (" + std::string(1, char('a' + i % 26)) + "): " : "";
        if (check.unreadable.empty() && !layout.unreadable.empty()) check.unreadable = which + layout.unreadable;
        if (!layout.legend_left_out.empty()) check.left_out.push_back(which + layout.legend_left_out);
    }
    return check;
}

std::string render_file(const std::vector<Panel>& panels, Format format, const Page& page, const DrawOptions& options) {
    return draw_file(format, page,
                     [&](plstream& pls, const Device& device) { draw_page(pls, panels, device, options); });
}

std::vector<unsigned char> render_pixels(const std::vector<Panel>& panels, const Page& page,
                                         const DrawOptions& options) {
    return draw_pixels(page, [&](plstream& pls, const Device& device) { draw_page(pls, panels, device, options); });
}

}  // namespace figures
