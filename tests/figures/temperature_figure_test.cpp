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
