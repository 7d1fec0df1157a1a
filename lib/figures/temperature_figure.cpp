#include "figures/temperature_figure.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "figures/axis_labels.hpp"
#include "figures/axis_scale.hpp"
#include "figures/legend.hpp"
#include "figures/markers.hpp"
#include "figures/page_frame.hpp"
#include "figures/plot_text.hpp"
#include "figures/plplot_output.hpp"
#include "figures/style.hpp"

namespace figures {

namespace {

using formats::Point;
using style::Colour;

// cmap0: 0 background, 1 ink, 2 the marks, 3 the bands' swatch, then each
// named series' colour
// and its light shade for the bands.
constexpr int ink_index = 1, mark_index = 2, band_swatch_index = 3, first_series = 4;
constexpr int most_series = 16;
constexpr double marker_scale = 0.7;  // of the text height

void set_colours(plstream& pls) {
    start_colours(pls, first_series + 2 * most_series);
    pls.scol0(mark_index, 110, 110, 110);
    pls.scol0(band_swatch_index, 219, 219, 219);  // a quarter of the marks' grey on white
}

// A colour per name: the series of both panels named alike (V above and
// below) share one, and a, b, c, V, X1, X2, X3 take theirs from the style.
struct SeriesColours {
    std::vector<std::string> names;

    SeriesColours(plstream& pls, const TemperatureFigure& figure) {
        for (const MeasuredSeries& s : figure.changes) add(s.name);
        for (const RateSeries& s : figure.rates) add(s.name);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const Colour c = style::quantity_colour(names[i]).value_or(
                style::series_colours[i % std::size_t(style::series_colour_count)]);
            pls.scol0(first_series + int(i), c.r, c.g, c.b);
            // A quarter of the colour on white: the band, under the line.
            const auto light = [](int v) { return int(std::lround(255 - 0.25 * (255 - v))); };
            pls.scol0(first_series + most_series + int(i), light(c.r), light(c.g), light(c.b));
        }
    }
    void add(const std::string& name) {
        if (std::find(names.begin(), names.end(), name) == names.end() && names.size() < most_series)
            names.push_back(name);
    }
    int position(const std::string& name) const {
        return int(std::find(names.begin(), names.end(), name) - names.begin()) % most_series;
    }
    int line(const std::string& name) const { return first_series + position(name); }
    int band(const std::string& name) const { return first_series + most_series + position(name); }
};

struct Range {
    double low = INFINITY, high = -INFINITY;
    void add(double v) {
        if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
    }
    bool empty() const { return !(low <= high); }
};

// A marked temperature's number above the upper panel: its place across
// the panel (0 to 1) and its row, counted upwards from the panel.
struct MarkLabel {
    std::string text;
    double at = 0;
    int row = 0;
};

// Each number in the lowest row where it stands clear of the others (its
// width judged at 0.7 text heights a character, with a gap of one), so
// that near temperatures (290, 298.15, 300) never print over each other;
// a temperature marked twice is named once.
std::vector<MarkLabel> place_marks(const std::vector<double>& marked, const AxisScale& xs, double panel_chars) {
    std::vector<double> sorted = marked;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<MarkLabel> labels;
    std::vector<double> row_end;  // the right edge of each row, in text heights
    for (double m : sorted) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", m);
        MarkLabel label{text, (xs.to_plot(m) - xs.low) / (xs.high - xs.low), 0};
        const double half = 0.35 * double(std::string_view(text).size()), centre = label.at * panel_chars;
        std::size_t row = 0;
        while (row < row_end.size() && row_end[row] + 1 > centre - half) ++row;
        if (row == row_end.size()) row_end.push_back(0);
        row_end[row] = centre + half;
        label.row = int(row);
        labels.push_back(label);
    }
    return labels;
}

}  // namespace

std::string temperature_figure_file(const TemperatureFigure& figure, Format format, const Page& page) {
    Range t, change, rate;
    for (const MeasuredSeries& s : figure.changes) {
        for (const formats::Point& p : s.points) {
            t.add(p.x);
            change.add(p.y.value);
            if (p.y.sigma > 0) change.add(p.y.value - p.y.sigma), change.add(p.y.value + p.y.sigma);
        }
        for (double v : s.curve_t) t.add(v);
        for (double v : s.curve_y) change.add(v);
    }
    for (const RateSeries& s : figure.rates)
        for (std::size_t k = 0; k < s.t.size(); ++k) {
            t.add(s.t[k]);
            rate.add(s.value[k]);
            if (k < s.sigma.size()) rate.add(s.value[k] - s.sigma[k]), rate.add(s.value[k] + s.sigma[k]);
        }
    for (double v : figure.marked_t) t.add(v);
    if (t.empty() || change.empty() || rate.empty())
        throw PlotError("nothing to draw: the figure needs measured points and coefficients");
    // The coefficients' panel always shows 0, so that a small coefficient
    // does not look large.
    rate.add(0);
    AxisScale scales[3] = {axis_scale(t.low, t.high), axis_scale(change.low, change.high),
                           axis_scale(rate.low, rate.high)};

    return draw_file(format, page, [&](plstream& pls, const Device& device) {
        // Text as for a panel of half the page: the figure has two.
        const Frame f = start_page(pls, device, set_colours, device.real_height_mm / 2);
        const SeriesColours colours(pls, figure);
        const double width = f.width, height = f.height, ch = f.ch, least_ch = f.least_ch;

        std::size_t longest_name = 8;  // "band ±σ"
        for (const MeasuredSeries& s : figure.changes) longest_name = std::max(longest_name, text_characters(s.name));
        for (const RateSeries& s : figure.rates) longest_name = std::max(longest_name, text_characters(s.name));
        // A subscript ("x/x(T_min)") hangs below its title's line, which on
        // the left axis is towards the tick labels: half a line more room.
        const auto hangs = [](const std::string& title) { return plplot_text(title).find("#d") != std::string::npos; };
        const double y_disp = 1.5 + 0.78 * double(std::max(scales[1].longest_label(), scales[2].longest_label())) +
                              (hangs(figure.change_legend) || hangs(figure.rate_legend) ? 0.5 : 0.0);
        const double left = (y_disp + 0.9) * ch, right = (4.5 + 0.8 * double(longest_name)) * ch;
        // The marked temperatures' numbers, in the least text, take a line
        // of their own between the title and the upper panel.
        const std::vector<MarkLabel> mark_labels =
            place_marks(figure.marked_t, scales[0], (width - left - right) / least_ch);
        int mark_rows = 0;
        for (const MarkLabel& m : mark_labels) mark_rows = std::max(mark_rows, m.row + 1);
        const double marks = mark_rows == 0 ? 0 : (0.4 + 1.4 * mark_rows) * least_ch;
        const double top = (figure.title.empty() ? 1.5 : 3.2) * ch + marks, bottom = 4.4 * ch, gap = 1.2 * ch;
        const double panel = (height - top - bottom - gap) / 2;
        const AxisScale& xs = scales[0];

        if (!figure.title.empty()) {
            pls.vpor(0, 1, 0, 1);
            pls.wind(0, 1, 0, 1);
            pls.col0(ink_index);
            pls.ptex(0.5, 1 - 1.6 * ch / height, 1, 0, 0.5, plplot_text(figure.title).c_str());
        }
        const double thin = device.line_width(style::thin_line_mm), heavy = device.line_width(style::fit_line_mm);
        const double marker_mm = style::marker_width * marker_scale * ch;
        const double legend_marker_mm = style::marker_width * marker_scale * legend_beside(ch, least_ch).ch;
        for (int which = 0; which < 2; ++which) {
            const bool upper = which == 0;
            const AxisScale& ys = scales[upper ? 1 : 2];
            const double base = upper ? bottom + panel + gap : bottom;
            pls.vpor(left / width, 1 - right / width, base / height, (base + panel) / height);
            pls.wind(xs.low, xs.high, ys.low, ys.high);
            std::vector<LegendEntry> entries;
            if (upper) {
                // The curves first, then each series' bars and markers over
                // every curve, so that no curve hides a measured point.
                for (int pass = 0; pass < 2; ++pass)
                    for (std::size_t i = 0; i < figure.changes.size(); ++i) {
                        const MeasuredSeries& s = figure.changes[i];
                        pls.col0(colours.line(s.name));
                        if (pass == 0) {
                            std::vector<PLFLT> cx, cy;
                            for (std::size_t k = 0; k < s.curve_t.size() && k < s.curve_y.size(); ++k) {
                                cx.push_back(xs.to_plot(s.curve_t[k]));
                                cy.push_back(ys.to_plot(s.curve_y[k]));
                            }
                            pls.width(heavy);
                            if (cx.size() > 1) pls.line(PLINT(cx.size()), cx.data(), cy.data());
                            continue;
                        }
                        std::vector<PLFLT> x, y, bx, blo, bhi;
                        for (const formats::Point& p : s.points) {
                            x.push_back(xs.to_plot(p.x));
                            y.push_back(ys.to_plot(p.y.value));
                            if (p.y.sigma > 0) {
                                bx.push_back(xs.to_plot(p.x));
                                blo.push_back(ys.to_plot(p.y.value - p.y.sigma));
                                bhi.push_back(ys.to_plot(p.y.value + p.y.sigma));
                            }
                        }
                        pls.width(thin);
                        if (!bx.empty()) pls.erry(PLINT(bx.size()), bx.data(), blo.data(), bhi.data());
                        draw_markers(pls, marker_shape(int(i) + 1), x, y, marker_mm, thin);
                        entries.push_back(series_entry(s.name, colours.line(s.name), s.curve_t.size() > 1, heavy,
                                                       marker_shape(int(i) + 1), legend_marker_mm, thin));
                    }
            } else {
                bool bands = false;
                for (std::size_t i = 0; i < figure.rates.size(); ++i) {
                    const RateSeries& s = figure.rates[i];
                    if (s.sigma.size() != s.t.size() || s.t.size() < 2) continue;
                    std::vector<PLFLT> bx, by;
                    for (std::size_t k = 0; k < s.t.size(); ++k)
                        bx.push_back(xs.to_plot(s.t[k])), by.push_back(ys.to_plot(s.value[k] + s.sigma[k]));
                    for (std::size_t k = s.t.size(); k-- > 0;)
                        bx.push_back(xs.to_plot(s.t[k])), by.push_back(ys.to_plot(s.value[k] - s.sigma[k]));
                    pls.col0(colours.band(s.name));
                    pls.fill(PLINT(bx.size()), bx.data(), by.data());
                    bands = true;
                }
                pls.col0(mark_index);
                pls.width(thin);
                pls.join(xs.low, ys.to_plot(0), xs.high, ys.to_plot(0));
                for (std::size_t i = 0; i < figure.rates.size(); ++i) {
                    const RateSeries& s = figure.rates[i];
                    std::vector<PLFLT> x, y;
                    for (std::size_t k = 0; k < s.t.size(); ++k)
                        x.push_back(xs.to_plot(s.t[k])), y.push_back(ys.to_plot(s.value[k]));
                    pls.col0(colours.line(s.name));
                    pls.width(heavy);
                    if (x.size() > 1) pls.line(PLINT(x.size()), x.data(), y.data());
                    entries.push_back(series_entry(s.name, colours.line(s.name), true, heavy, std::nullopt, 0, thin));
                }
                // The bands' swatch in the light grey of no series: each
                // band is its series' colour, lighter.
                if (bands) {
                    LegendEntry band;
                    band.text = "band ±σ";
                    band.colour = band_swatch_index;
                    band.box = true;
                    entries.push_back(band);
                }
            }
            // The marked temperatures, dotted across the panel and named
            // above the upper one by their numbers alone (the axis says K),
            // so that two near ones stay apart.
            pls.col0(mark_index);
            pls.width(thin);
            pls.lsty(3);
            for (double m : figure.marked_t) pls.join(xs.to_plot(m), ys.low, xs.to_plot(m), ys.high);
            pls.lsty(1);
            if (upper)
                for (const MarkLabel& m : mark_labels) {
                    pls.schr(least_ch, 1.0);
                    // Outside the window, where ptex would clip it.
                    pls.mtex("t", 0.8 + 1.4 * m.row, m.at, 0.5, m.text.c_str());
                    pls.schr(ch, 1.0);
                }
            pls.col0(ink_index);
            pls.width(thin);
            AxisScale pair[2] = {xs, ys};
            pls.slabelfunc(label_tick, pair);
            pls.box(upper ? "bcsto" : "bcnsto", xs.step, 0, "bcnstvo", ys.step, 0);
            pls.mtex("l", y_disp, 0.5, 0.5, plplot_text(upper ? figure.change_legend : figure.rate_legend).c_str());
            if (!ys.annotation().empty()) pls.mtex("t", 0.5, 0.0, 0.0, ys.annotation().c_str());
            if (!upper) {
                pls.mtex("b", 3.2, 0.5, 0.5, plplot_text(figure.variable_legend).c_str());
                if (!xs.annotation().empty()) pls.mtex("b", 4.5, 1.0, 1.0, xs.annotation().c_str());
            }
            draw_legend(pls, entries, legend_beside(ch, least_ch));
        }
    });
}

}  // namespace figures
