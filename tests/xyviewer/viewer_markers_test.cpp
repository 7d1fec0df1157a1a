// Markers, colours and the page's legibility, read back from what the built
// xyviewer writes: markers as shapes (no font glyphs), each quantity in its
// colour, a normalised figure's plot kept tall, a page too small for its
// labels refused, and the legend kept in a small PNG as in its SVG.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "png_pixels.hpp"
#include "support/svg_counts.hpp"
#include "svg_text.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;
using celltrend::testing::svg_lines;
using celltrend::testing::svg_markers;
using celltrend::testing::SvgLine;
using celltrend::testing::SvgMarker;

namespace {

ViewerRun run_in(const ScratchDir& dir, std::vector<std::string> args) {
    return run_viewer(args, dir.path, no_display);
}

// The marker colours in drawing order, each once.
std::vector<std::string> marker_colours(const std::vector<SvgMarker>& markers) {
    std::vector<std::string> colours;
    for (const SvgMarker& m : markers)
        if (std::find(colours.begin(), colours.end(), m.colour) == colours.end()) colours.push_back(m.colour);
    return colours;
}

// The plot frame: the black lines drawn before the legend's white box.
struct Frame {
    double y0 = 1e300, y1 = -1e300;
};

Frame frame_of(const std::string& svg) {
    Frame f;
    for (const SvgLine& l : svg_lines(svg)) {
        if (l.fill == "#FFFFFF") break;
        if (l.stroke != "#000000" || !l.fill.empty()) continue;
        for (const auto& [x, y] : l.points) f.y0 = std::min(f.y0, y), f.y1 = std::max(f.y1, y);
    }
    return f;
}

bool has_text(const std::string& svg, const std::string& start) {
    for (const SvgText& t : svg_texts(svg))
        if (t.text.rfind(start, 0) == 0) return true;
    return false;
}

double page_height(const std::string& svg) {
    const std::size_t at = svg.find("height=\"");
    return at == std::string::npos ? 0 : std::stod(svg.substr(at + 8));
}

// The longest level run of pixels in the fit's red, and its height above
// the page's bottom in parts of the page.
struct RedRun {
    int length = 0;
    double height = 0;
};

RedRun longest_red_run(const fs::path& path) {
    RedRun longest;
    const Image png = decode_png(path);
    if (!png.ok) return longest;
    for (unsigned y = 0; y < png.height; ++y) {
        int run = 0;
        for (unsigned x = 0; x < png.width; ++x) {
            run = png.at(x, y, 0) > 150 && png.at(x, y, 1) < 90 && png.at(x, y, 2) < 90 ? run + 1 : 0;
            if (run > longest.length) longest = {run, 1 - (y + 0.5) / png.height};
        }
    }
    return longest;
}

// The fit's swatch in an SVG legend: a level line in the fit's red, its
// height above the page's bottom in parts of the page.
double swatch_height(const std::string& svg) {
    for (const SvgLine& l : svg_lines(svg))
        if (l.stroke == "#C81E1E" && l.fill.empty() && l.points.size() == 2 && l.points[0].second == l.points[1].second)
            return l.points[0].second / page_height(svg);
    return -1;
}

// A marker's shape by its corners and their lie.
std::string shape_of(const SvgMarker& m) {
    const std::string open = m.open ? "open " : "";
    if (m.corners == 16) return open + "circle";
    if (m.corners == 4) return open + (m.upright ? "square" : "diamond");
    if (m.corners == 3) return open + (m.apex_up ? "triangle up" : "triangle down");
    return open + std::to_string(m.corners) + " corners";
}

}  // namespace

TEST(ViewerMarkers, ShapesNotGlyphsInEveryKindOfPage) {
    ScratchDir dir;
    copy_golden(dir, "plain_all", "TK_parameters_HTML.xy");
    copy_golden(dir, "matrix_all", "TK_parameters_transf_HTML.xy");
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    const std::vector<std::string> filled{"circle", "square", "triangle up", "diamond"};
    struct Case {
        std::vector<std::string> args;
        std::size_t markers;              // sixteen points a series, and one in the legend of each
        std::vector<std::string> shapes;  // in the order the series take them
    } cases[] = {
        {{"TK_cell_b.pgf"}, 16 + 1, {"circle"}},
        {{"--column", "a,b,c,V", "TK_parameters_HTML.xy"}, 4 * (16 + 1), {"circle"}},
        {{"--normalise", "--column", "a,b,c,V", "TK_parameters_HTML.xy"}, 4 * (16 + 1), filled},
        {{"--size", "20x15cm", "--normalise", "--column", "a,b,c,V", "TK_parameters_HTML.xy",
          "TK_parameters_transf_HTML.xy"},
         8 * (16 + 1),
         {"circle", "square", "triangle up", "diamond", "triangle down", "open circle", "open square",
          "open triangle up"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"-o", "m.svg"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ViewerRun run = run_in(dir, args);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string svg = slurp(dir.path / "m.svg");
        for (const SvgText& t : svg_texts(svg))
            for (const char* glyph : {"●", "■", "▲", "◆", "▼", "○", "□", "△", "◇"})
                EXPECT_EQ(t.text.find(glyph), std::string::npos) << t.text << " in " << c.args.back();
        const std::vector<SvgMarker> markers = svg_markers(svg);
        EXPECT_EQ(markers.size(), c.markers) << c.args.back();
        std::vector<std::string> shapes;
        for (const SvgMarker& m : markers)
            if (std::find(shapes.begin(), shapes.end(), shape_of(m)) == shapes.end()) shapes.push_back(shape_of(m));
        EXPECT_EQ(shapes, c.shapes) << c.args.back();
        // Every marker of a page is about one size, a millimetre or two
        // across.
        for (const SvgMarker& m : markers) {
            EXPECT_GT(m.size, 2.5) << c.args.back();  // points of the page
            EXPECT_LT(m.size, 8) << c.args.back();
        }
    }
}

TEST(ViewerMarkers, EachQuantityInItsColourInEveryPanel) {
    ScratchDir dir;
    copy_golden(dir, "plain_all", "TK_parameters_HTML.xy");
    struct Case {
        const char* columns;
        std::vector<std::string> colours;  // of the markers, panel by panel
    } cases[] = {
        {"b", {"#008040"}},
        {"a", {"#0054A6"}},
        {"c,b", {"#940094", "#008040"}},
        {"b,a,c", {"#008040", "#0054A6", "#940094"}},
        {"V,b", {"#000000", "#008040"}},
    };
    for (const Case& c : cases) {
        const ViewerRun run = run_in(dir, {"-o", "c.svg", "--column", c.columns, "TK_parameters_HTML.xy"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(marker_colours(svg_markers(slurp(dir.path / "c.svg"))), c.colours) << c.columns;
    }
}

// A normalised figure of many series keeps its legend, and the plot at least
// two thirds of the page's height.
TEST(ViewerMarkers, ANormalisedFigureKeepsTheLegendAndItsPlotTall) {
    ScratchDir dir;
    copy_golden(dir, "plain_all", "TK_parameters_HTML.xy");
    copy_golden(dir, "matrix_all", "TK_parameters_transf_HTML.xy");
    struct Case {
        const char* size;
        bool legend;  // else left out with a word
    } cases[] = {{"20x15cm", true}, {"15x10cm", true}, {"12x9cm", true},
                 {"20x7cm", true},  {"12x7cm", false}, {"8.5x6.5cm", false}};
    for (const Case& c : cases) {
        const ViewerRun run = run_in(dir, {"-o", "n.svg", "--size", c.size, "--normalise", "--column", "a,b,c,V",
                                           "TK_parameters_HTML.xy", "TK_parameters_transf_HTML.xy"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("legend does not fit"), c.legend ? std::string::npos : 23)
            << run.err;  // after "xyviewer: warning: the "
        const std::string svg = slurp(dir.path / "n.svg");
        const Frame frame = frame_of(svg);
        EXPECT_GE(frame.y1 - frame.y0, 2.0 / 3 * page_height(svg)) << c.size;
        std::string texts;
        for (const SvgText& t : svg_texts(svg)) texts += t.text + "\n";
        // "b: α = ..." for each series, or none.
        EXPECT_EQ(std::count(texts.begin(), texts.end(), '='), c.legend ? 8 : 0) << texts;
    }
}

TEST(ViewerMarkers, APageTooSmallForItsLabelsIsRefused) {
    ScratchDir dir;
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    const std::vector<std::string> cases[] = {
        {"-o", "p.svg", "--size", "2x1.5cm", "TK_cell_b.pgf"},
        {"-o", "p.png", "--size", "2x1.5cm", "--dpi", "1000", "TK_cell_b.pgf"},
        {"-o", "p.svg", "--size", "4x3cm", "TK_cell_b.pgf"},
        {"-o", "p.pdf", "--size", "8.5x6cm", "TK_cell_b.pgf", "TK_cell_b.pgf", "TK_cell_b.pgf"},
    };
    for (const std::vector<std::string>& args : cases) {
        const ViewerRun r = run_in(dir, args);
        EXPECT_EQ(r.status, 2) << args[3];
        EXPECT_EQ(r.out, "") << args[3];
        EXPECT_EQ(r.err.rfind("xyviewer: the page is too small for its labels", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_NE(r.err.find("\nTry 'xyviewer --help'.\n"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir.path / args[1])) << args[3];
    }
    // The least page that still holds its labels draws.
    EXPECT_EQ(run_in(dir, {"-o", "p.svg", "--size", "7x5cm", "TK_cell_b.pgf"}).status, 0);
}

// The layout is the same in every format: a 7 x 5 cm page keeps its fit
// legend (with the fit's red line as its swatch) in a PNG of any resolution
// as in its SVG, and says nothing of a legend left out.
TEST(ViewerMarkers, ASmallPngKeepsTheLegendItsSvgKeeps) {
    ScratchDir dir;
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    const ViewerRun svg = run_in(dir, {"-o", "s.svg", "--size", "7x5cm", "TK_cell_b.pgf"});
    ASSERT_EQ(svg.status, 0) << svg.err;
    EXPECT_EQ(svg.err, "");
    const std::string svg_text = slurp(dir.path / "s.svg");
    EXPECT_TRUE(has_text(svg_text, "fit: slope"));
    const double swatch = swatch_height(svg_text);
    ASSERT_GT(swatch, 0);
    for (const char* dpi : {"100", "300", "600"}) {
        const ViewerRun png = run_in(dir, {"-o", "s.png", "--size", "7x5cm", "--dpi", dpi, "TK_cell_b.pgf"});
        ASSERT_EQ(png.status, 0) << png.err;
        EXPECT_EQ(png.err, "") << dpi;
        // The swatch: 0.08 of a plot 5 cm wide, level, where the SVG has
        // it; the fitted line is steep and makes no long level run.
        const RedRun run = longest_red_run(dir.path / "s.png");
        EXPECT_GT(run.length, 3 * std::stod(dpi) / 25.4) << dpi;
        EXPECT_NEAR(run.height, swatch, 0.02) << dpi;
    }
}

// Where a legend cannot fit at all, it is left out with a word.
TEST(ViewerMarkers, ALegendLeftOutIsSaid) {
    ScratchDir dir;
    copy_golden(dir, "plain_each", "TK_cell_b.pgf");
    const ViewerRun run = run_in(dir, {"-o", "s.svg", "--size", "6x4.5cm", "TK_cell_b.pgf"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "xyviewer: warning: the legend does not fit in the panel: left out; a larger --size shows it\n");
    EXPECT_FALSE(has_text(slurp(dir.path / "s.svg"), "fit: slope"));
}
