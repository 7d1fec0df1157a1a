// celltrend-analyse alpha drawing its figures: alpha(T) with four curves and
// their bands and the temperatures asked marked, the surface and section at
// the first of them in both colours where an axis contracts, a crystal whose
// coefficients are equal, and the wrong command lines that draw nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/analyse_run.hpp"
#include "support/svg_counts.hpp"
#include "xyviewer/svg_text.hpp"

using namespace celltrend::testing;

namespace {

// Rows "T sigmaT a b c alpha beta gamma" of an orthorhombic cell whose a, b
// and c change by the given fractions per K, with a little curvature.
std::string rows(double per_k_a, double per_k_b, double per_k_c) {
    std::string text = "# curving crystal\n";
    for (int k = 0; k < 8; ++k) {
        const double d = 20.0 * k;
        const auto edge = [&](double x, double per_k) { return x * (1 + per_k * d + 2e-9 * d * d); };
        std::ostringstream line;
        line.precision(12);
        line << 100 + d << " 1  " << edge(5, per_k_a) << " " << edge(7, per_k_b) << " " << edge(9, per_k_c)
             << "  90 90 90\n";
        text += line.str();
    }
    return text;
}

std::vector<std::string> texts_of(const std::string& svg) {
    std::vector<std::string> texts;
    for (const auto& t : xyviewer_test::svg_texts(svg)) texts.push_back(t.text);
    return texts;
}

bool has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

TEST(AlphaFigures, TheExampleCurvesWithBandsAndTheTemperaturesAsked) {
    RunDir dir;
    ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0);
    const AnalyseResult r = run_analyse(dir, "alpha --at 170,333 --figure curves.svg TK_parameters_HTML.xy");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, run_analyse(dir, "alpha --at 170,333 TK_parameters_HTML.xy").out);
    const std::string svg = dir.read("curves.svg");
    const std::vector<std::string> texts = texts_of(svg);
    for (const char* text : {"a", "b", "c", "V", "X1", "X2", "X3", "band ±σ", "x/x(Tmin)", "α (10⁻⁶ K⁻¹)",
                             "Temperature (K)", "170", "333"})
        EXPECT_TRUE(has(texts, text)) << text;
    // Sixteen measured points for each of a, b, c and V, and their legend.
    EXPECT_EQ(svg_markers(svg).size(), 4u * 16 + 4);
    // A band under each of the four coefficients, and the legend's swatch
    // for them.
    EXPECT_EQ(fill_tints(svg).light, 4 + 1);
    // Each marked temperature dotted across both panels in the marks'
    // grey: one more mark, as many more dots.
    int grey[3] = {};
    for (int marks = 1; marks <= 3; ++marks) {
        const std::string at[] = {"170", "170,333", "170,333,250"};
        const AnalyseResult m =
            run_analyse(dir, "alpha --at " + at[marks - 1] + " --figure m.svg TK_parameters_HTML.xy");
        ASSERT_EQ(m.status, 0) << m.err;
        grey[marks - 1] = occurrences(dir.read("m.svg"), "stroke=\"#6E6E6E\"");
    }
    EXPECT_GT(grey[1] - grey[0], 4);
    EXPECT_EQ(grey[2] - grey[1], grey[1] - grey[0]);
}

TEST(AlphaFigures, EachFigureInTheFormatOfItsName) {
    RunDir dir;
    dir.write("rows.txt", rows(2e-5, 4e-5, 1e-5));
    const AnalyseResult r =
        run_analyse(dir, "alpha --figure curves.pdf --surface surface.png --section section.svg rows.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dir.read("curves.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(dir.read("surface.png").substr(1, 3), "PNG");
    EXPECT_NE(dir.read("section.svg").find("<svg"), std::string::npos);
}

TEST(AlphaFigures, TheSurfaceAtTheFirstTemperatureHasBothColoursWhereAnAxisContracts) {
    RunDir dir;
    dir.write("rows.txt", rows(-2e-5, 3e-5, 1e-5));
    const AnalyseResult r =
        run_analyse(dir, "alpha --at 250,120 --surface surface.svg --section section.svg --plane a,b rows.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string surface = dir.read("surface.svg");
    EXPECT_LT(surface.size(), 1000000u);
    const FillTints f = fill_tints(surface);
    EXPECT_GT(f.red, 100);  // beyond the colour bar's bands
    EXPECT_GT(f.blue, 100);
    EXPECT_TRUE(has(texts_of(surface), "250 K"));
    // a shrinks and b grows: the section by a and b dashed where it turns.
    const std::string section = dir.read("section.svg");
    EXPECT_GT(occurrences(section, "stroke=\"#505050\""), 2);
    const std::vector<std::string> texts = texts_of(section);
    for (const char* text : {"α > 0", "α < 0", "α = 0", "a", "b", "250 K"}) EXPECT_TRUE(has(texts, text)) << text;
}

TEST(AlphaFigures, EqualCoefficientsStillDrawTheirSurfaceAndSections) {
    RunDir dir;
    dir.write("rows.txt", rows(2e-5, 2e-5, 2e-5));
    for (const char* plane : {"X1X2", "X1X3", "X2X3", "a,c"}) {
        const AnalyseResult r =
            run_analyse(dir, std::string("alpha --surface s.svg --section p.svg --plane ") + plane + " rows.txt");
        ASSERT_EQ(r.status, 0) << plane << "\n" << r.err;
        const FillTints f = fill_tints(dir.read("s.svg"));
        EXPECT_LT(f.red, 40) << plane;  // the colour bar's alone
        EXPECT_GT(f.blue, 100) << plane;
        EXPECT_EQ(occurrences(dir.read("p.svg"), "stroke=\"#505050\""), 0) << plane;
    }
}

TEST(AlphaFigures, WrongFigureOptionsDrawNothing) {
    RunDir dir;
    dir.write("rows.txt", rows(2e-5, 4e-5, 1e-5));
    const char* wrong[] = {
        "alpha --figure curves.txt --surface s.svg rows.txt",
        "alpha --surface - rows.txt",
        "alpha --surface s.svg --plane X1X2 rows.txt",
        "alpha --surface s.svg --section p.svg --plane X3X1 rows.txt",
        "alpha --surface s.svg --section p.svg --plane \"a,[0 0 0]\" rows.txt",
        "alpha --surface s.svg --section p.svg --plane b,b rows.txt",
    };
    for (const char* args : wrong) {
        const AnalyseResult r = run_analyse(dir, args);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_NE(r.err.find("celltrend-analyse alpha: "), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "s.svg"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "p.svg"));
    // The input is never drawn over, whatever its name says.
    dir.write("rows.svg", rows(2e-5, 4e-5, 1e-5));
    const AnalyseResult over = run_analyse(dir, "alpha --figure rows.svg rows.svg");
    EXPECT_EQ(over.status, 1);
    EXPECT_NE(over.err.find("rows.svg: is the input file"), std::string::npos) << over.err;
    EXPECT_EQ(dir.read("rows.svg"), rows(2e-5, 4e-5, 1e-5));
}
