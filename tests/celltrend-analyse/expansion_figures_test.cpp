// celltrend-analyse expansion drawing its figures: the files by extension,
// the surface of a crystal that contracts along one axis in both colours,
// the section's dashes, and the wrong command lines that draw nothing.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/analyse_run.hpp"
#include "support/svg_counts.hpp"
#include "xyviewer/svg_text.hpp"

using namespace celltrend::testing;

namespace {

// Rows "T sigmaT a b c alpha beta gamma" of an orthorhombic cell that
// shrinks along a (-2e-5 per K) and grows along b and c.
std::string contracting_rows() {
    std::string text = "# contracting along a\n";
    for (int k = 0; k < 6; ++k) {
        const double dt = 20.0 * k;
        std::ostringstream line;
        line.precision(12);
        line << 100 + dt << " 1  " << 5 * (1 - 2e-5 * dt) << " " << 7 * (1 + 3e-5 * dt) << " " << 9 * (1 + 1e-5 * dt)
             << "  90 90 90\n";
        text += line.str();
    }
    return text;
}

std::string texts_of(const std::string& svg) {
    std::string s;
    for (const auto& t : xyviewer_test::svg_texts(svg)) s += t.text + "\n";
    return s;
}

}  // namespace

TEST(ExpansionFigures, EachFigureInTheFormatOfItsName) {
    RunDir dir;
    ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0);
    const AnalyseResult r = run_analyse(
        dir, "expansion --figure lines.pdf --surface surface.png --section section.svg TK_parameters_HTML.xy");
    ASSERT_EQ(r.status, 0) << r.err;
    const AnalyseResult plain = run_analyse(dir, "expansion TK_parameters_HTML.xy");
    EXPECT_EQ(r.err, plain.err);
    EXPECT_EQ(r.out, plain.out);  // the summary as without figures
    EXPECT_EQ(dir.read("lines.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(dir.read("surface.png").substr(1, 3), "PNG");
    const std::string section = dir.read("section.svg");
    EXPECT_NE(section.find("<svg"), std::string::npos);
    // The default plane X1X3 of the example holds b (X3) but neither a nor c.
    const std::string texts = texts_of(section);
    EXPECT_NE(texts.find("along X1 (10⁻⁶ K⁻¹)\n"), std::string::npos) << texts;
    EXPECT_NE(texts.find("b\n"), std::string::npos) << texts;
    EXPECT_EQ(texts.find("a\n"), std::string::npos) << texts;
    // Positive all round: no dashes.
    EXPECT_EQ(occurrences(section, "stroke=\"#505050\""), 0);
}

TEST(ExpansionFigures, TheLinesFigureNamesEveryAxisAndTheVolume) {
    RunDir dir;
    ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0);
    ASSERT_EQ(run_analyse(dir, "expansion --figure lines.svg TK_parameters_HTML.xy").status, 0);
    const std::string svg = dir.read("lines.svg");
    const std::string texts = texts_of(svg);
    for (const char* text : {"X1\n", "X2\n", "X3\n", "V\n", "band ±σ\n", "α (10⁻⁶ K⁻¹)\n", "Temperature (K)\n"})
        EXPECT_EQ(occurrences(texts, text) >= 1, true) << text << texts;
    // Sixteen markers for each of X1, X2, X3 and V, and four bands.
    EXPECT_EQ(svg_markers(svg).size(), 4u * 16 + 4);
}

TEST(ExpansionFigures, ASurfaceWithOneNegativeCoefficientHasBothColours) {
    RunDir dir;
    dir.write("rows.txt", contracting_rows());
    const AnalyseResult r =
        run_analyse(dir, "expansion --surface surface.svg --section section.svg --plane a,b rows.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string surface = dir.read("surface.svg");
    EXPECT_LT(surface.size(), 1000000u);
    const auto [red, blue, light] = fill_tints(surface);
    EXPECT_GT(red, 100);  // beyond the colour bar's 32 red bands
    EXPECT_GT(blue, 100);
    // In the a-b plane, a shrinks and b grows: two dashed directions.
    const std::string section = dir.read("section.svg");
    EXPECT_GT(occurrences(section, "stroke=\"#505050\""), 2);
    const std::string texts = texts_of(section);
    for (const char* text : {"α > 0\n", "α < 0\n", "α = 0\n", "a\n", "b\n"})
        EXPECT_NE(texts.find(text), std::string::npos) << text << texts;
}

TEST(ExpansionFigures, WrongFigureOptionsDrawNothing) {
    RunDir dir;
    dir.write("rows.txt", contracting_rows());
    const char* wrong[] = {
        "expansion --figure lines.txt rows.txt",
        "expansion --surface - rows.txt",
        "expansion --plane X1X2 rows.txt",
        "expansion --section s.svg --plane X2X1 rows.txt",
        "expansion --section s.svg --plane a,2a rows.txt",
        "expansion --section s.svg --plane \"a,[0 0 0]\" rows.txt",
    };
    for (const char* args : wrong) {
        const AnalyseResult r = run_analyse(dir, args);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << args;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "s.svg"));
    // The input is never drawn over, whatever its name says.
    dir.write("rows.svg", contracting_rows());
    const AnalyseResult over = run_analyse(dir, "expansion --figure rows.svg rows.svg");
    EXPECT_EQ(over.status, 1);
    EXPECT_NE(over.err.find("rows.svg: is the input file"), std::string::npos) << over.err;
    EXPECT_EQ(dir.read("rows.svg"), contracting_rows());
}
