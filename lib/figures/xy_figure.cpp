#include "figures/xy_figure.hpp"

#include <algorithm>
#include <cmath>

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

// cmap0: 0 background, 1 ink, then each series' colour.
constexpr int ink_index = 1, first_series = 2, most_series = 16;
constexpr double marker_scale = 0.7;  // of the text height

void set_colours(plstream& pls) { start_colours(pls, first_series + most_series); }

struct Range {
    double low = INFINITY, high = -INFINITY;
    void add(double v) {
        if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
    }
    bool empty() const { return !(low <= high); }
};

double sigma_at(const std::vector<double>& sigma, std::size_t k) {
    return k < sigma.size() && std::isfinite(sigma[k]) && sigma[k] > 0 ? sigma[k] : 0.0;
}

}  // namespace

std::string xy_figure_file(const XyFigure& figure, Format format, const Page& page) {
    // The axes hold the points and curves, and every bar no longer than
    // their spread: a bar far longer (F near f = 0, where it is P/f of two
    // small numbers) runs out of the frame rather than flatten the rest.
    Range x, y;
    for (const XySeries& s : figure.series) {
        for (std::size_t k = 0; k < s.x.size() && k < s.y.size(); ++k) x.add(s.x[k]), y.add(s.y[k]);
        for (std::size_t k = 0; k < s.curve_x.size() && k < s.curve_y.size(); ++k)
            x.add(s.curve_x[k]), y.add(s.curve_y[k]);
    }
    if (x.empty() || y.empty()) throw PlotError("nothing to draw: the figure has no point");
    const Range values_x = x, values_y = y;
    for (const XySeries& s : figure.series)
        for (std::size_t k = 0; k < s.x.size() && k < s.y.size(); ++k) {
            const double sx = sigma_at(s.sigma_x, k), sy = sigma_at(s.sigma_y, k);
            if (sx <= values_x.high - values_x.low) x.add(s.x[k] - sx), x.add(s.x[k] + sx);
            if (sy <= values_y.high - values_y.low) y.add(s.y[k] - sy), y.add(s.y[k] + sy);
        }
    const AxisScale xs = axis_scale(x.low, x.high), ys = axis_scale(y.low, y.high);

    return draw_file(format, page, [&](plstream& pls, const Device& device) {
        const Frame f = start_page(pls, device, set_colours, device.real_height_mm);
        const double width = f.width, height = f.height, ch = f.ch;
        std::size_t longest_name = 1;
        for (std::size_t i = 0; i < figure.series.size() && i < std::size_t(most_series); ++i) {
            const XySeries& s = figure.series[i];
            longest_name = std::max(longest_name, text_characters(s.name));
            const style::Colour c = style::quantity_colour(s.name).value_or(
                style::series_colours[i % std::size_t(style::series_colour_count)]);
            pls.scol0(first_series + int(i), c.r, c.g, c.b);
        }
        const double y_disp = 1.5 + 0.78 * double(ys.longest_label());
        const double left = (y_disp + 0.9) * ch, right = (4.5 + 0.8 * double(longest_name)) * ch;
        const double top = (figure.title.empty() ? 1.5 : 3.2) * ch, bottom = 4.4 * ch;
        if (!figure.title.empty()) {
            pls.vpor(0, 1, 0, 1);
            pls.wind(0, 1, 0, 1);
            pls.col0(ink_index);
            pls.ptex(0.5, 1 - 1.6 * ch / height, 1, 0, 0.5, plplot_text(figure.title).c_str());
        }
        pls.vpor(left / width, 1 - right / width, bottom / height, 1 - top / height);
        pls.wind(xs.low, xs.high, ys.low, ys.high);
        const double thin = device.line_width(style::thin_line_mm), heavy = device.line_width(style::fit_line_mm);
        std::vector<LegendEntry> entries;
        // The curves first, then the bars and markers over every curve, so
        // that no curve hides a measured point.
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < figure.series.size() && i < std::size_t(most_series); ++i) {
                const XySeries& s = figure.series[i];
                pls.col0(first_series + int(i));
                if (pass == 0) {
                    std::vector<PLFLT> cx, cy;
                    for (std::size_t k = 0; k < s.curve_x.size() && k < s.curve_y.size(); ++k)
                        if (std::isfinite(s.curve_x[k]) && std::isfinite(s.curve_y[k]))
                            cx.push_back(xs.to_plot(s.curve_x[k])), cy.push_back(ys.to_plot(s.curve_y[k]));
                    pls.width(heavy);
                    if (cx.size() > 1) pls.line(PLINT(cx.size()), cx.data(), cy.data());
                    continue;
                }
                std::vector<PLFLT> px, py, ex, exlo, exhi, ey, eylo, eyhi;
                for (std::size_t k = 0; k < s.x.size() && k < s.y.size(); ++k) {
                    if (!std::isfinite(s.x[k]) || !std::isfinite(s.y[k])) continue;
                    const double X = xs.to_plot(s.x[k]), Y = ys.to_plot(s.y[k]);
                    px.push_back(X), py.push_back(Y);
                    if (const double sx = sigma_at(s.sigma_x, k); sx > 0)
                        ex.push_back(Y), exlo.push_back(xs.to_plot(s.x[k] - sx)),
                            exhi.push_back(xs.to_plot(s.x[k] + sx));
                    if (const double sy = sigma_at(s.sigma_y, k); sy > 0)
                        ey.push_back(X), eylo.push_back(ys.to_plot(s.y[k] - sy)),
                            eyhi.push_back(ys.to_plot(s.y[k] + sy));
                }
                pls.width(thin);
                if (!ex.empty()) pls.errx(PLINT(ex.size()), exlo.data(), exhi.data(), ex.data());
                if (!ey.empty()) pls.erry(PLINT(ey.size()), ey.data(), eylo.data(), eyhi.data());
                const MarkerShape shape = marker_shape(int(i) + 1);
                draw_markers(pls, shape, px, py, style::marker_width * marker_scale * ch, thin);
                entries.push_back(series_entry(s.name, first_series + int(i), s.curve_x.size() > 1, heavy,
                                               px.empty() ? std::nullopt : std::optional<MarkerShape>(shape),
                                               style::marker_width * marker_scale * legend_beside(ch, f.least_ch).ch,
                                               thin));
            }
        pls.col0(ink_index);
        pls.width(thin);
        AxisScale pair[2] = {xs, ys};
        pls.slabelfunc(label_tick, pair);
        pls.box("bcnsto", xs.step, 0, "bcnstvo", ys.step, 0);
        pls.mtex("l", y_disp, 0.5, 0.5, plplot_text(figure.y_legend).c_str());
        if (!ys.annotation().empty()) pls.mtex("t", 0.5, 0.0, 0.0, ys.annotation().c_str());
        pls.mtex("b", 3.2, 0.5, 0.5, plplot_text(figure.x_legend).c_str());
        if (!xs.annotation().empty()) pls.mtex("b", 4.5, 1.0, 1.0, xs.annotation().c_str());
        draw_legend(pls, entries, legend_beside(ch, f.least_ch));
    });
}

}  // namespace figures
