// What the colours of celltrend-analyse's figures mean, read back from the
// SVG: one colour per physical direction in every panel and figure, and
// principal curves that stay on their axis where two coefficients cross.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/analyse_run.hpp"
#include "support/svg_counts.hpp"
#include "xyviewer/svg_text.hpp"

using namespace celltrend::testing;

namespace {

// a, b, c, V and X1, X2, X3 as the style draws them.
const std::string a = "#0054A6", b = "#008040", c = "#940094", v = "#000000", x1 = "#E67800", x2 = "#0096AA",
                  x3 = "#965A28";

// Rows of an orthorhombic cell: a expands at 10⁻⁵ K⁻¹, c at 2·10⁻⁵ K⁻¹,
// and b from 5·10⁻⁶ K⁻¹ at 100 K, growing, so that its coefficient
// overtakes a's near 225 K.
std::string crossing_rows() {
    std::string text = "# crossing\n";
    for (int k = 0; k <= 15; ++k) {
        const double t = 20.0 * k;
        std::ostringstream line;
        line.precision(12);
        line << 100 + t << " 0.1 " << 10 * (1 + 1e-5 * t) << " " << 11 * (1 + 0.5e-5 * t + 2e-8 * t * t) << " "
             << 12 * (1 + 2e-5 * t) << " 90 90 90\n";
        text += line.str();
    }
    return text;
}

// The longest line of that colour: the curve, not its legend swatch.
SvgLine curve_of(const std::string& svg, const std::string& colour) {
    SvgLine best;
    for (const SvgLine& l : svg_lines(svg))
        if (l.stroke == colour && l.points.size() > best.points.size()) best = l;
    return best;
}

}  // namespace

TEST(FigureColours, EachDirectionKeepsItsColourInEveryPanel) {
    RunDir dir;
    dir.write("rows.txt", crossing_rows());
    struct Case {
        const char* args;
        std::vector<std::string> colours;  // of the curves, in drawing order
    };
    const Case cases[] = {
        // a, b, c and V above; X1, X2, X3 and V below, V black in both.
        {"alpha --figure f.svg rows.txt", {a, b, c, v, x1, x2, x3}},
        // The principal strains and V above and their coefficients below.
        {"expansion --figure f.svg rows.txt", {x1, x2, x3, v}},
    };
    for (const Case& k : cases) {
        const AnalyseResult r = run_analyse(dir, k.args);
        ASSERT_EQ(r.status, 0) << k.args << "\n" << r.err;
        std::vector<std::string> drawn = curve_colours(dir.read("f.svg"), 1);
        std::vector<std::string> expected = k.colours;
        std::erase_if(drawn, [&](const std::string& s) {
            return std::find(expected.begin(), expected.end(), s) == expected.end();
        });
        EXPECT_EQ(drawn.size(), expected.size()) << k.args;
        for (const std::string& colour : expected)
            EXPECT_NE(std::find(drawn.begin(), drawn.end(), colour), drawn.end()) << k.args << " " << colour;
    }
}

TEST(FigureColours, CrossingCoefficientsKeepTheirCurvesAndSaySo) {
    RunDir dir;
    dir.write("rows.txt", crossing_rows());
    const AnalyseResult r = run_analyse(dir, "alpha --at 150,300 --figure f.svg rows.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    // Named at 100 K, X1 is b and X2 is a; b's coefficient overtakes a's
    // between two temperatures of the grid round 225 K.
    EXPECT_NE(r.err.find("X1 and X2 cross between 223.75 and 225 K"), std::string::npos) << r.err;
    // The table keeps the names on the axes: X1 along b at both.
    const auto row_of = [&](const std::string& at, const std::string& name) {
        const std::size_t block = r.out.find("At " + at);
        const std::size_t line = r.out.find("\n" + name + " ", block);
        return r.out.substr(line + 1, r.out.find('\n', line + 1) - line - 1);
    };
    EXPECT_NE(row_of("150.00 K", "X1").find("0.0000   1.0000   0.0000"), std::string::npos) << r.out;
    EXPECT_NE(row_of("300.00 K", "X1").find("0.0000   1.0000   0.0000"), std::string::npos) << r.out;
    EXPECT_NE(row_of("300.00 K", "X1").find("12.97"), std::string::npos) << r.out;
    // In the figure X1 starts below X2 and ends above it (y upwards), each
    // curve smooth: no jump between neighbouring points larger than a tenth
    // of the curve's rise.
    const std::string svg = dir.read("f.svg");
    const SvgLine first = curve_of(svg, x1), second = curve_of(svg, x2);
    ASSERT_GT(first.points.size(), 100u);
    ASSERT_EQ(first.points.size(), second.points.size());
    EXPECT_LT(first.points.front().second, second.points.front().second);
    EXPECT_GT(first.points.back().second, second.points.back().second);
    const double rise = first.points.back().second - first.points.front().second;
    for (std::size_t k = 1; k < first.points.size(); ++k)
        EXPECT_LT(std::abs(first.points[k].second - first.points[k - 1].second), 0.1 * rise) << k;
}

namespace {

// The page of PLplot's SVG, in pt.
std::pair<double, double> page_pt(const std::string& svg) {
    const auto number = [&](const std::string& key) {
        const std::size_t at = svg.find(key + "=\"");
        return at == std::string::npos ? 0.0 : std::stod(svg.substr(at + key.size() + 2));
    };
    return {number("width"), number("height")};
}

}  // namespace

TEST(FigureOptions, TitleSizeAndResolutionOnEveryFigure) {
    RunDir dir;
    dir.write("rows.txt", crossing_rows());
    struct Case {
        const char* options;
        const char* title;    // the one title text expected; "" for none
        double width_mm = 0;  // 0: the figure's own page
        double height_mm = 0;
    };
    const Case cases[] = {
        // A table without a title: none against T, the temperature alone
        // on the tensor's figures, never the file's name.
        {"", ""},
        {"--title 'Cu(pz) at 300 K'", "Cu(pz) at 300 K"},
        {"--no-title", ""},
        // Latin-1, not UTF-8: drawn with the replacement character.
        {"--title \"$(printf 'M\\374ller')\"", "M\uFFFDller"},
        {"--size 12x9cm", "", 120, 90},
        {"--size 3.5x2.5in --title T", "T", 88.9, 63.5},
    };
    // alpha draws its tensor at the first --at temperature.
    for (const std::string command : {"alpha --at 150", "expansion"})
        for (const Case& k : cases) {
            const std::string run =
                command + " " + k.options + " --figure f.svg --surface s.svg --section p.svg rows.txt";
            const AnalyseResult r = run_analyse(dir, run);
            ASSERT_EQ(r.status, 0) << run << "\n" << r.err;
            for (const char* file : {"f.svg", "s.svg", "p.svg"}) {
                const std::string svg = dir.read(file);
                std::vector<std::string> texts;
                for (const auto& t : xyviewer_test::svg_texts(svg)) texts.push_back(t.text);
                const bool tensor = std::string(file) != "f.svg";
                std::string expected = k.title;
                if (tensor && std::string(command) == "alpha" &&
                    std::string(k.options).find("title") == std::string::npos)
                    expected = "150 K";
                EXPECT_EQ(std::find(texts.begin(), texts.end(), "rows.txt"), texts.end()) << run << " " << file;
                if (!expected.empty()) {
                    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << run << " " << file;
                }
                if (std::string(k.options) == "--no-title") {
                    EXPECT_EQ(std::find(texts.begin(), texts.end(), "150 K"), texts.end()) << run << " " << file;
                }
                if (k.width_mm > 0) {
                    const auto [w, h] = page_pt(svg);
                    EXPECT_NEAR(w, k.width_mm / 25.4 * 72, 1.5) << run << " " << file;
                    EXPECT_NEAR(h, k.height_mm / 25.4 * 72, 1.5) << run << " " << file;
                }
            }
        }
    // A PNG at the resolution asked: 4 x 4 cm at 150 dpi.
    ASSERT_EQ(run_analyse(dir, "alpha --surface s.png --size 4x4cm --dpi 150 rows.txt").status, 0);
    const std::string png = dir.read("s.png");
    const auto be32 = [&](std::size_t at) {
        return (unsigned(static_cast<unsigned char>(png[at])) << 24) |
               (unsigned(static_cast<unsigned char>(png[at + 1])) << 16) |
               (unsigned(static_cast<unsigned char>(png[at + 2])) << 8) |
               unsigned(static_cast<unsigned char>(png[at + 3]));
    };
    EXPECT_EQ(be32(16), 236u);
    EXPECT_EQ(be32(20), 236u);
    // Without --at, the tensor at room temperature, inside 100 to 400 K;
    // seen from where --view says.
    ASSERT_EQ(run_analyse(dir, "alpha --surface s.svg --view 200,-30 rows.txt").status, 0);
    std::vector<std::string> texts;
    for (const auto& t : xyviewer_test::svg_texts(dir.read("s.svg"))) texts.push_back(t.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "298.15 K"), texts.end());
    for (const char* wrong :
         {"alpha --surface s.svg --view 10 rows.txt", "alpha --surface s.svg --view 0,90 rows.txt",
          "expansion --surface s.svg --view a,b rows.txt", "alpha --figure f.svg --view 10,20 rows.txt"})
        EXPECT_EQ(run_analyse(dir, wrong).status, 2) << wrong;
    // Figure options without a figure, or both titles, are wrong.
    for (const char* wrong :
         {"alpha --size 8x6cm rows.txt", "alpha --dpi 300 rows.txt",
          "alpha --figure f.svg --title A --no-title rows.txt", "expansion --figure f.svg --size 8x6 rows.txt",
          "expansion --surface s.png --dpi 0 rows.txt"})
        EXPECT_EQ(run_analyse(dir, wrong).status, 2) << wrong;
}

TEST(FigureOptions, TwoFiguresNamingOneFileAreRefusedBeforeAnyIsDrawn) {
    RunDir dir;
    dir.write("rows.txt", crossing_rows());
    std::filesystem::create_directory(dir.path() / "sub");
    for (const char* args : {"alpha --figure same.png --surface same.png rows.txt",
                             "expansion --surface same.svg --section ./same.svg rows.txt",
                             "alpha --figure same.svg --section sub/../same.svg rows.txt"}) {
        const AnalyseResult r = run_analyse(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("both name"), std::string::npos) << args << "\n" << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "same.png")) << args;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "same.svg")) << args;
    }
}

// A series that does not expand, or only within its ESDs, draws no lobes of
// noise: its tensor figures say the expansion is zero, status 0.
TEST(FigureZero, NoLobesOfRoundingOrNoise) {
    RunDir dir;
    struct Case {
        const char* name;
        double wobble;  // Å, on a, b and c, alternating in sign
        const char* esd;
    };
    const Case cases[] = {{"still", 0, ""}, {"wobbling within its ESDs", 1e-5, "(30)"}};
    for (const Case& k : cases) {
        std::string rows = "# " + std::string(k.name) + "\n";
        for (int i = 0; i <= 15; ++i) {
            const double w = (i % 2 ? 1 : -1) * k.wobble;
            char line[200];
            std::snprintf(line, sizeof line, "%d(1) %.5f%s %.5f%s %.5f%s 90 101.5 90\n", 100 + 20 * i, 7.5 + w, k.esd,
                          10.2 - w, k.esd, 12.8 + w, k.esd);
            rows += line;
        }
        dir.write("rows.txt", rows);
        for (const char* command : {"alpha", "expansion"}) {
            const AnalyseResult r =
                run_analyse(dir, std::string(command) + " --surface s.svg --section p.svg rows.txt");
            ASSERT_EQ(r.status, 0) << k.name << " " << command << "\n" << r.err;
            EXPECT_NE(r.err.find("s.svg: note: the expansion is zero"), std::string::npos) << k.name << r.err;
            const FillTints f = fill_tints(dir.read("s.svg"));
            EXPECT_EQ(f.red + f.blue, 0) << k.name << " " << command;
            std::vector<std::string> texts;
            for (const auto& t : xyviewer_test::svg_texts(dir.read("p.svg"))) texts.push_back(t.text);
            EXPECT_NE(std::find(texts.begin(), texts.end(), "α = 0 in every direction of the plane"), texts.end())
                << k.name << " " << command;
        }
    }
}
