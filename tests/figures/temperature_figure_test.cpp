// The figure of expansion against temperature, as a fit of α(T) fills it:
// curves through measured x/x(T_min), α(T) with a band of varying width,
// marked temperatures; read back from its SVG.

#include "figures/temperature_figure.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/svg_counts.hpp"
#include "xyviewer/svg_text.hpp"

using namespace figures;

namespace {

// a(T) = 1 + k τ + q τ², τ = T - 100, measured every 25 K with an ESD,
// and its α(T) = (k + 2qτ)/(1 + kτ + qτ²) on a fine grid with a σ growing
// away from the middle.
TemperatureFigure curved() {
    const double k = 2e-5, q = 4e-8;
    TemperatureFigure f;
    f.title = "curved";
    f.change_legend = "x/x(T_min)";
    f.rate_legend = "α (10⁻⁶ K⁻¹)";
    MeasuredSeries a{"a", {}, {}, {}};
    RateSeries alpha{"X1", {}, {}, {}};
    for (int i = 0; i <= 12; ++i) {
        const double tau = 25.0 * i;
        a.points.push_back({100 + tau, {1 + k * tau + q * tau * tau, 1e-5}});
    }
    for (int i = 0; i <= 300; ++i) {
        const double tau = i;
        a.curve_t.push_back(100 + tau);
        a.curve_y.push_back(1 + k * tau + q * tau * tau);
        alpha.t.push_back(100 + tau);
        alpha.value.push_back(1e6 * (k + 2 * q * tau) / (1 + k * tau + q * tau * tau));
        alpha.sigma.push_back(0.5 + 0.01 * std::fabs(tau - 150));
    }
    f.changes.push_back(a);
    f.rates.push_back(alpha);
    f.marked_t = {150, 300};
    return f;
}

}  // namespace

TEST(TemperatureFigure, CurvesBandsAndMarkedTemperatures) {
    const std::string svg = temperature_figure_file(curved(), Format::svg, temperature_page);
    std::string texts;
    for (const auto& t : xyviewer_test::svg_texts(svg)) {
        texts += t.text + "\n";
        EXPECT_GE(t.font_size, 7) << t.text;
    }
    for (const char* text :
         {"curved\n", "x/x(Tmin)\n", "α (10⁻⁶ K⁻¹)\n", "a\n", "X1\n", "band ±σ\n", "Temperature (K)\n"})
        EXPECT_NE(texts.find(text), std::string::npos) << text << texts;
    // "min" set as a subscript of T, not "T_min" with its underscore.
    EXPECT_NE(svg.find("&#x54;<tspan dy=\""), std::string::npos) << "T_min without a subscript";
    // Each marked temperature named above the panels, besides its tick on
    // the axis below.
    for (const char* mark : {"\n150\n", "\n300\n"}) {
        int n = 0;
        for (std::size_t at = texts.find(mark); at != std::string::npos; at = texts.find(mark, at + 1)) ++n;
        EXPECT_EQ(n, 2) << mark << texts;
    }
    // The band is one filled shape of X1's light shade (a quarter of its
    // orange on white): the curve forward along α + σ and back along α − σ.
    const std::string band = "fill=\"#F9DDBF\"";
    EXPECT_EQ(svg.find(band) != std::string::npos, true) << "no band of X1's shade";
    const std::size_t at = svg.find(band);
    const std::size_t points = svg.find("points=\"", at);
    const std::size_t end = svg.find('"', points + 8);
    int vertices = 0;
    for (std::size_t p = points; p < end; ++p) vertices += svg[p] == ',';
    EXPECT_GE(vertices, 2 * 301);
}

TEST(TemperatureFigure, NoBandWithoutSigmaAndNothingToDrawIsAnError) {
    TemperatureFigure f = curved();
    f.rates[0].sigma.clear();
    std::string texts;
    for (const auto& t : xyviewer_test::svg_texts(temperature_figure_file(f, Format::svg, temperature_page)))
        texts += t.text + "\n";
    EXPECT_EQ(texts.find("band ±σ"), std::string::npos) << texts;
    f.rates.clear();
    EXPECT_THROW(temperature_figure_file(f, Format::svg, temperature_page), PlotError);
}

TEST(TemperatureFigure, MarkersOverEveryCurveAndABandSwatch) {
    TemperatureFigure f = curved();
    MeasuredSeries b = f.changes[0];
    b.name = "b";
    for (auto& p : b.points) p.y.value = 2 - p.y.value;  // crossing a's curve
    for (double& y : b.curve_y) y = 2 - y;
    f.changes.push_back(b);
    const std::string svg = temperature_figure_file(f, Format::svg, temperature_page);
    // Every curve of the upper panel (a blue, b green) is drawn before the
    // first marker, so none hides a measured point.
    std::size_t last_curve = 0;
    for (const char* colour : {"stroke=\"#0054A6\"", "stroke=\"#008040\""})
        for (std::size_t at = svg.find(colour); at != std::string::npos; at = svg.find(colour, at + 1))
            if (svg.substr(at, 400).find("points=\"") != std::string::npos &&
                std::count(svg.begin() + long(at), svg.begin() + long(svg.find("/>", at)), ' ') > 100)
                last_curve = std::max(last_curve, at);
    ASSERT_GT(last_curve, 0u);
    const std::vector<celltrend::testing::SvgMarker> markers = celltrend::testing::svg_markers(svg);
    ASSERT_FALSE(markers.empty());
    EXPECT_GT(markers.front().at, last_curve);
    // The band's entry in the legend has a filled swatch, light grey.
    EXPECT_NE(svg.find("fill=\"#DBDBDB\""), std::string::npos);
}

TEST(TemperatureFigure, MarkedTemperaturesNeverPrintOverEachOther) {
    struct Case {
        std::vector<double> marked;
        std::size_t named;  // distinct numbers above the panel
    };
    const Case cases[] = {
        {{290, 298.15, 300}, 3}, {{150, 151, 152, 153, 300}, 5}, {{298.15, 298.15}, 1},  // marked twice, named once
    };
    for (const Case& k : cases) {
        TemperatureFigure f = curved();
        f.marked_t = k.marked;
        std::vector<xyviewer_test::SvgText> labels;
        for (const auto& t : xyviewer_test::svg_texts(temperature_figure_file(f, Format::svg, temperature_page)))
            for (double m : k.marked) {
                char text[32];
                std::snprintf(text, sizeof text, "%g", m);
                // The numbers above the panel, not the axis' ticks, which
                // lie at the foot of the page (y upwards).
                if (t.text == text && t.y > 100) {
                    labels.push_back(t);
                    break;
                }
            }
        EXPECT_EQ(labels.size(), k.named);
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j) {
                const auto& a = labels[i];
                const auto& b = labels[j];
                const double half = 0.3 * a.font_size * double(a.text.size() + b.text.size());
                const bool same_line = std::abs(a.y - b.y) < a.font_size;
                EXPECT_FALSE(same_line && std::abs(a.x - b.x) < half) << a.text << " over " << b.text;
            }
    }
}

// The subscript of "x/x(T_min)" hangs from the rotated title towards the
// axis: it must end clear of the widest tick label's left edge (digits
// 0.64 em wide and a point 0.32 em, as the usual sans-serif fonts set them).
TEST(TemperatureFigure, TheSubscriptOfTheAxisTitleStaysClearOfTheTickLabels) {
    const std::string svg = temperature_figure_file(curved(), Format::svg, temperature_page);
    const auto attribute = [](const std::string& tag, const std::string& name) {
        const std::size_t at = tag.find(" " + name + "=\"");
        if (at == std::string::npos) return std::string();
        const std::size_t from = at + name.size() + 3;
        return tag.substr(from, tag.find('"', from) - from);
    };
    double subscript_x = -1, labels_left = 1e9;
    for (std::size_t at = 0; (at = svg.find("<text", at)) != std::string::npos;) {
        const std::size_t open_end = svg.find('>', at), close = svg.find("</text>", at);
        ASSERT_NE(close, std::string::npos);
        const std::string tag = svg.substr(at, open_end - at), body = svg.substr(open_end, close - open_end);
        at = close;
        double a, b, c, d, e, f;
        ASSERT_EQ(
            std::sscanf(attribute(tag, "transform").c_str(), "matrix(%lf %lf %lf %lf %lf %lf)", &a, &b, &c, &d, &e, &f),
            6);
        (void)d, (void)f;
        const std::size_t dy = body.find("<tspan dy=\"");
        if (b == 1 && c == 1 && dy != std::string::npos) {
            // The rotated text's down is the page's right.
            subscript_x = e + std::stod(attribute(tag, "y")) + std::stod(body.substr(dy + 11));
        } else if (a == 1 && attribute(tag, "text-anchor") == "end" && body.find("&#x2e;") != std::string::npos) {
            // The upper panel's numbers, the only ones with a decimal point.
            double em = 0;
            for (std::size_t k = 0; (k = body.find("&#x", k)) != std::string::npos; k += 3)
                em += body.compare(k, 6, "&#x2e;") == 0 ? 0.32 : 0.64;
            labels_left = std::min(labels_left, e - em * std::stod(attribute(tag, "font-size")));
        }
    }
    ASSERT_GT(subscript_x, 0) << "no subscript in the axis title";
    ASSERT_LT(labels_left, 1e9) << "no tick labels";
    EXPECT_LT(subscript_x + 1, labels_left);
}
