// The figure of expansion against temperature, as a fit of α(T) fills it:
// curves through measured x/x(T_min), α(T) with a band of varying width,
// marked temperatures; read back from its SVG.

#include "figures/temperature_figure.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
        a.points.push_back({100 + tau, 1 + k * tau + q * tau * tau, 1e-5, true});
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
        if (t.text != "●") {
            EXPECT_GE(t.font_size, 7) << t.text;
        }
    }
    for (const char* text :
         {"curved\n", "x/x(T_min)\n", "α (10⁻⁶ K⁻¹)\n", "a\n", "X1\n", "band ±σ\n", "Temperature (K)\n"})
        EXPECT_NE(texts.find(text), std::string::npos) << text << texts;
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
