// What the figure says, decided before drawing: units as symbols, text made
// displayable, the fit legend, normalised series and the command line.

#include "figures/figure.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "formats/display_text.hpp"
#include "support/sample_files.hpp"

using namespace formats;
using namespace fit;
using namespace figures;

namespace {

PlotFile read_text(std::string_view text, const std::string& name) {
    std::istringstream in{std::string(text)};
    return read_plot_file(in, name);
}

}  // namespace

TEST(Units, AsciiUnitsBecomeSymbolsEverywhereInAText) {
    EXPECT_EQ(with_unit_symbols("a unit cell parameter (A)"), "a unit cell parameter (Å)");
    EXPECT_EQ(with_unit_symbols("volume(A3)=f(T)"), "volume(Å³)=f(T)");
    EXPECT_EQ(with_unit_symbols("Crystal mosaicity (deg.)"), "Crystal mosaicity (°)");
    EXPECT_EQ(with_unit_symbols("(A) and (B) (deg"), "(Å) and (B) (deg");
    EXPECT_EQ(unit_symbol("K"), "K");
}

TEST(DisplayText, UndecodableBytesAndControlsAreReplacedOneForOne) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string in, out;
    } cases[] = {
        {"b (\xC5)", "b (" + fffd + ")"},                     // Latin-1 Å
        {"title \xC3", "title " + fffd},                      // cut at the field's end
        {"\xE2\x82", fffd + fffd},                            // cut inside a 3-byte letter
        {"\x1B[2J\x07 bell", fffd + "[2J" + fffd + " bell"},  // escape sequence, BEL
        {"\xC2\x9B"
         "31m",
         fffd + "31m"},                                                     // C1 CSI in UTF-8
        {"\xC0\xAF \xED\xA0\x80", fffd + fffd + " " + fffd + fffd + fffd},  // overlong, surrogate
        {"Å³ ° ×10⁻⁶\tK", "Å³ ° ×10⁻⁶ K"},
    };
    for (const Case& c : cases) EXPECT_EQ(displayable(c.in), c.out) << c.in;
}

TEST(FitLegend, SlopeAndCoefficientWithUnits) {
    const std::vector<Panel> panels = panels_for({read_text(xyviewer_test::plain_cell_a, "a.pgf")}, false);
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(panels[0].y_legend, "a unit cell parameter (Å)");
    const std::vector<std::string> legend = fit_legend(panels[0].curves[0], panels[0]);
    // The slope and the coefficient; what it is relative to is the
    // summary's to say.
    ASSERT_EQ(legend.size(), 2u);
    EXPECT_EQ(legend[0], "fit: slope 1.25(8)×10⁻⁴ Å/K");
    EXPECT_EQ(legend[1], "α = 16.6(11)×10⁻⁶ K⁻¹");
    const auto hand = panels_for({read_text("# Y LEGEND TEXT : b (A)\n100 7.5\n200 7.6\n300 7.7\n", "b.pgf")}, false);
    EXPECT_EQ(fit_legend(hand[0].curves[0], hand[0]).front(), "fit: slope 0.001 Å per unit of X");  // once "Å/"
    const auto angle = panels_for({read_text(xyviewer_test::mosaicity, "m.pgf")}, false);
    EXPECT_EQ(fit_legend(angle[0].curves[0], angle[0]), std::vector<std::string>{"fit: slope 3.3(2)×10⁻⁴ °/K"});
}

TEST(FitLegend, NormalisedSeriesStartAtOneAndNameTheirCoefficient) {
    const std::vector<Panel> panels = panels_for(
        {read_text(xyviewer_test::plain_cell_a, "a.pgf"), read_text(xyviewer_test::transformed_volume, "V.pgf")}, true);
    ASSERT_EQ(panels.size(), 1u);
    const Panel& p = panels[0];
    ASSERT_EQ(p.curves.size(), 2u);
    EXPECT_DOUBLE_EQ(p.curves[0].points.front().y.value, 1.0);
    EXPECT_DOUBLE_EQ(p.curves[0].points.back().y.value, 7.525 / 7.5);
    EXPECT_DOUBLE_EQ(p.curves[0].points.back().y.sigma, 0.001 / 7.5);
    EXPECT_NE(p.curves[0].marker, p.curves[1].marker);
    EXPECT_EQ(fit_legend(p.curves[0], p), std::vector<std::string>{"a: α = 16.6(11)×10⁻⁶ K⁻¹"});
    // The volume coefficient is α_V, never β beside the cell angle β.
    EXPECT_EQ(fit_legend(p.curves[1], p), std::vector<std::string>{"volume: α_V = 13.1356×10⁻⁶ K⁻¹"});
}

TEST(FitLegend, PowerOfTenOnlyForAnExponent) {
    EXPECT_EQ(with_power_of_ten("2.31(4)e-5"), "2.31(4)×10⁻⁵");
    EXPECT_EQ(with_power_of_ten("0(6)e19"), "0(6)×10¹⁹");
    EXPECT_EQ(with_power_of_ten("7.5 (uncertainty undetermined)"), "7.5 (uncertainty undetermined)");
    // The note once vanished, and "×10⁻⁰⁵" kept printf's zero.
    EXPECT_EQ(with_power_of_ten("2.5e-05 (uncertainty undetermined)"), "2.5×10⁻⁵ (uncertainty undetermined)");
    // A coefficient in units of 10⁻⁶ gets one power of ten, not "×10⁻⁸×10⁻⁶".
    EXPECT_EQ(with_power_of_ten("0.6(11)e-8", -6), "0.6(11)×10⁻¹⁴");
    EXPECT_EQ(with_power_of_ten("16.6(11)", -6), "16.6(11)×10⁻⁶");
}
