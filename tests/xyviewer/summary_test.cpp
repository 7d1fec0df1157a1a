#include "summary.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "figures/plot_text.hpp"
#include "support/sample_files.hpp"

using namespace xyviewer;
using namespace formats;
using namespace fit;
using namespace figures;

namespace {

PlotFile read_text(std::string_view text, const std::string& name) {
    std::istringstream in{std::string(text)};
    return read_plot_file(in, name);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(Summary, UnitIsTheLastParenthesisedWord) {
    EXPECT_EQ(unit_of("a unit cell parameter (A)"), "A");
    EXPECT_EQ(unit_of("Unit cell volume (A3)"), "A3");
    EXPECT_EQ(unit_of("Crystal mosaicity (deg.)"), "deg.");
    EXPECT_EQ(unit_of("my own series"), "");
    EXPECT_EQ(kind_of("b unit cell parameter (A)"), QuantityKind::length);
    EXPECT_EQ(kind_of("Unit cell volume (A3)"), QuantityKind::volume);
    EXPECT_EQ(kind_of("beta angle (deg.)"), QuantityKind::other);
    EXPECT_EQ(kind_of(""), QuantityKind::other);
}

TEST(Summary, UncertaintyInParenthesesOfTheLastDigit) {
    EXPECT_EQ(with_uncertainty(12.345, 0.042), "12.35(4)");
    EXPECT_EQ(with_uncertainty(13.6, 0.15), "13.60(15)");  // 1 leads: two digits
    EXPECT_EQ(with_uncertainty(-3.214, 0.05), "-3.21(5)");
    EXPECT_EQ(with_uncertainty(1.0, 0.0996), "1.00(10)");  // rounds up to the next decade
    EXPECT_EQ(with_uncertainty(1234.5, 23), "1230(20)");
    EXPECT_EQ(with_uncertainty(2.312e-5, 4.1e-7), "2.31(4)e-5");
    EXPECT_EQ(with_uncertainty(7.5, 0), "7.5");
    EXPECT_EQ(with_uncertainty(7.5, std::nan("")), "7.5 (uncertainty undetermined)");
}

TEST(Summary, UncertaintyNotationNeverOverflowsAndIsConcise) {
    struct Case {
        double value, su;
        const char* text;
    } cases[] = {
        {1e-6, 4e-6, "1(4)e-6"},    // not 10(40)e-7
        {1e-6, 4e-5, "0(4)e-5"},    // the exponent follows the larger
        {0, 1e-31, "0.0(10)e-31"},  // a constant angle with unequal ESDs
        {3e5, 6e19, "0(6)e19"},     // once printed 0(0)
        {-2.5e-7, 1.5e-8, "-2.50(15)e-7"},
        {1.5e300, 2e299, "1.5(2)e300"},
        {1e-310, 4e-320, "1.0000000000(4)e-310"},
        {123456.7, 0.04, "123456.70(4)"},
        {1.7e308, 1.7e308, "1.7(17)e308"},
        {0, 5e-324, "0(5)e-324"},
        {1, INFINITY, "1 (uncertainty undetermined)"},
        {-INFINITY, 1, "-inf"},
    };
    for (const Case& c : cases) EXPECT_EQ(with_uncertainty(c.value, c.su), c.text) << c.value << " " << c.su;
}

TEST(Summary, RelativeExpansionIsSlopeOverMeanInPpmPerKelvin) {
    LineFit fit;
    fit.ok = true;
    fit.slope = 1e-4;
    fit.su_slope = 2e-6;
    fit.mean_y = 10;
    const RelativeExpansion e = relative_expansion(fit, QuantityKind::length);
    ASSERT_TRUE(e.given);
    EXPECT_NEAR(e.coefficient.value, 10.0, 1e-12);
    EXPECT_NEAR(e.coefficient.sigma, 0.2, 1e-12);
    EXPECT_FALSE(e.implausible);
    EXPECT_FALSE(relative_expansion(fit, QuantityKind::other).given);
    fit.mean_y = 0;
    EXPECT_FALSE(relative_expansion(fit, QuantityKind::length).given);
}

TEST(Summary, ImplausibleBeyond300PpmLinearOr900PpmInVolume) {
    LineFit fit;
    fit.ok = true;
    fit.mean_y = 10;
    fit.slope = 4e-3;  // 400e-6 per K
    EXPECT_TRUE(relative_expansion(fit, QuantityKind::length).implausible);
    EXPECT_FALSE(relative_expansion(fit, QuantityKind::volume).implausible);
    fit.slope = -1e-2;  // contraction counts as well
    EXPECT_TRUE(relative_expansion(fit, QuantityKind::volume).implausible);
}

TEST(Summary, PlainLengthFile) {
    const std::string s = summary(read_text(xyviewer_test::plain_cell_a, "TK_cell_a.pgf"));
    EXPECT_TRUE(contains(s, "TK_cell_a.pgf: NiO film, cooling run")) << s;
    EXPECT_TRUE(contains(s, "points plotted   : 3\n")) << s;
    EXPECT_TRUE(contains(s, "temperature range: 100.00 to 300.00 K")) << s;
    EXPECT_TRUE(contains(s, "value range      : 7.50000 to 7.52500 Å")) << s;
    EXPECT_TRUE(contains(s, "weights 1/SIGY^2")) << s;
    // By hand, weights 1e6, 2.5e5, 1e6 about the weighted mean 200 K:
    // Sxx 2e10, Sxy 2.5e6, slope 1.25e-4 A/K; residuals 1/3600, -1/450,
    // 1/3600 give a chi-square of 25/18 on one degree of freedom, so the
    // uncertainty is sqrt(25/18 / 2e10) = 8.3e-6 A/K.
    EXPECT_TRUE(contains(s, "reduced chi-square 1.39, uncertainties scaled")) << s;
    EXPECT_TRUE(contains(s, "slope            : 1.25(8)e-4 Å/K")) << s;
    // Over the mean 7.511667 A: 16.64e-6 per K with 1.11e-6.
    EXPECT_TRUE(contains(s, "linear expansion : 16.6(11) x 1e-6 /K")) << s;
    EXPECT_FALSE(contains(s, "WARNING")) << s;
}

TEST(Summary, TransformedVolumeFitsWithEqualWeights) {
    const std::string s = summary(read_text(xyviewer_test::transformed_volume, "TK_volume_transf.pgf"));
    EXPECT_TRUE(contains(s, "equal weights")) << s;
    EXPECT_TRUE(contains(s, "slope            : 0.02213 Å³/K")) << s;  // an exact line
    EXPECT_TRUE(contains(s, "volume expansion : 13.1356 x 1e-6 /K")) << s;
}

TEST(Summary, AnglesAndMosaicityGetTheSlopeAlone) {
    const std::string s = summary(read_text(xyviewer_test::mosaicity, "TK_mosaicity.pgf"));
    EXPECT_TRUE(contains(s, "°/K")) << s;
    EXPECT_FALSE(contains(s, "expansion")) << s;
}

TEST(Summary, SaysWhenNumberOfPointsDisagrees) {
    const std::string s = summary(read_text(xyviewer_test::wide_and_short, "TK_volume.pgf"));
    EXPECT_TRUE(contains(s, "points plotted   : 2 (NUMBER OF POINTS says 14)")) << s;
}

TEST(Summary, FlagsAnImplausibleCoefficient) {
    const std::string s =
        summary(read_text("# Y LEGEND TEXT   : c unit cell parameter (A)\n"
                          "# X LEGEND TEXT   : Temperature (K)\n"
                          "#   DATA: X Y\n"
                          "100.00            10.00000\n"
                          "200.00            10.50000\n"
                          "300.00            11.00000\n"
                          "# END OF FILE\n",
                          "c.pgf"));
    EXPECT_TRUE(contains(s, "WARNING: implausible expansion")) << s;
}

TEST(Summary, HugeValuesAreWrittenInFull) {
    // A 64-byte buffer once cut -1e308 to a wrong 62-digit number.
    std::vector<char> big(700);
    std::snprintf(big.data(), big.size(), "%.5f to %.5f", -1e308, 1e308);
    const std::string s = summary(read_text("100.00 -1e308\n200.00 1e308\n# END OF FILE\n", "huge.pgf"));
    EXPECT_TRUE(contains(s, "value range      : " + std::string(big.data()) + "\n")) << s;
}

TEST(Summary, FitBeyondTheRangeOfADoubleIsNoneAndSaysWhy) {
    // Once "slope : -nan", or "fewer than two temperatures" for three.
    const std::string s = summary(read_text("100.00 -1e308 0.1\n200.00 5 0.1\n300.00 6 0.1\n", "huge.pgf"));
    EXPECT_TRUE(contains(s, "    fit              : none (its sums leave the range of a double)\n")) << s;
    EXPECT_FALSE(contains(s, "nan")) << s;
}

TEST(Summary, SlopeUnitWithoutAnXUnit) {
    const std::string s =
        summary(read_text("# Y LEGEND TEXT : a unit cell parameter (A)\n"
                          "100 7.5\n200 7.6\n300 7.7\n# END OF FILE\n",
                          "hand.pgf"));
    EXPECT_TRUE(contains(s, "slope            : 0.001 Å per unit of X\n")) << s;  // once "Åper"
}

TEST(Summary, OnePointHasNoFit) {
    const std::string s = summary(read_text("100.00             7.50000\n# END OF FILE\n", "one.pgf"));
    EXPECT_TRUE(contains(s, "points plotted   : 1")) << s;
    EXPECT_TRUE(contains(s, "fit              : none")) << s;
}

TEST(PlotText, EscapeCharacterIsDoubledSoPlplotShowsItAsTyped) {
    EXPECT_EQ(plplot_literal("a#u2#d (A)"), "a##u2##d (A)");
    EXPECT_EQ(plplot_literal("no escapes"), "no escapes");
    EXPECT_EQ(plplot_literal("##"), "####");
    EXPECT_EQ(plplot_literal("100% sure!", '!'), "100% sure!!");
}
