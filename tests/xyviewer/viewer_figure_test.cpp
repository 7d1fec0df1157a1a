// What the figures show, read back from the files the built xyviewer
// writes: the texts of its SVG (tick labels, legends, units) and the pixels
// of its PNG (error bars).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "png_pixels.hpp"
#include "support/sample_files.hpp"
#include "support/svg_counts.hpp"
#include "svg_text.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;

namespace {

// A plot file in celltrend's layout: five points from 100 to 300 K whose
// values run from centre - width/2 to centre + width/2.
std::string series_file(double centre, double width, const char* y_legend = "gamma angle (deg.)") {
    std::string text =
        std::string("# MAIN LEGEND TEXT: test\n# X LEGEND TEXT   : Temperature (K)\n# Y LEGEND TEXT   : ") + y_legend +
        "\n#   DATA: X Y SIGY\n";
    for (int i = 0; i < 5; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "%6.2f %.17g %.3g\n", 100.0 + 50 * i, centre + width * (i / 4.0 - 0.5),
                      width * 1e-3);
        text += line;
    }
    return text + "# END OF FILE\n";
}

bool is_number(const std::string& s) {
    if (s.empty()) return false;
    char* end = nullptr;
    std::strtod(s.c_str(), &end);
    return *end == '\0';
}

struct Axes {
    std::vector<std::string> x, y;  // tick labels
    double y_labels_left = 1e9;     // the leftmost point of any y label, estimated
};

// Numeric texts: the row that holds most of them is the x axis, the others
// stand upright beside the y axis.
Axes tick_labels(const std::vector<SvgText>& texts) {
    std::map<long, int> rows;
    for (const SvgText& t : texts)
        if (is_number(t.text)) ++rows[std::lround(t.y)];
    long x_row = 0;
    int most = 0;
    for (const auto& [row, count] : rows)
        if (count > most) most = count, x_row = row;
    Axes axes;
    for (const SvgText& t : texts)
        if (is_number(t.text)) {
            const bool on_x = std::lround(t.y) == x_row;
            (on_x ? axes.x : axes.y).push_back(t.text);
            // Digits are at most 0.64 of the font size wide (DejaVu Sans).
            const double width = 0.64 * t.font_size * double(t.text.size());
            const double left = t.anchor == "end" ? t.x - width : t.anchor == "middle" ? t.x - width / 2 : t.x;
            if (!on_x) axes.y_labels_left = std::min(axes.y_labels_left, left);
        }
    return axes;
}

std::string all_text(const std::vector<SvgText>& texts) {
    std::string s;
    for (const SvgText& t : texts) s += t.text + "\n";
    return s;
}

std::vector<SvgText> svg_of(const ScratchDir& dir, const std::vector<std::string>& args, std::string* out = nullptr) {
    const ViewerRun run = run_viewer(args, dir.path, no_display);
    EXPECT_EQ(run.status, 0) << run.err;
    if (out) *out = run.out;
    return svg_texts(slurp(dir.path / "out.svg"));
}

// The tallest vertical run of pixels near a colour: a marker is about as
// tall as a letter, an error bar far taller.
int tallest_run(const fs::path& png_path, int r, int g, int b) {
    const Image png = decode_png(png_path);
    if (!png.ok) return -1;
    const auto near = [](int a, int c) { return std::abs(a - c) <= 40; };
    int tallest = 0;
    for (unsigned x = 0; x < png.width; ++x) {
        int run = 0;
        for (unsigned y = 0; y < png.height; ++y) {
            run = near(png.at(x, y, 0), r) && near(png.at(x, y, 1), g) && near(png.at(x, y, 2), b) ? run + 1 : 0;
            tallest = std::max(tallest, run);
        }
    }
    return tallest;
}

}  // namespace

TEST(ViewerFigure, TickLabelsAreDistinctOnNarrowRangesOfAnyWidthAndOffset) {
    ScratchDir dir;
    const double widths[] = {1e-5, 2.9e-3, 1.9e-2, 1e6};
    const double centres[] = {0, 90, 1e6};
    for (double centre : centres)
        for (double width : widths) {
            SCOPED_TRACE("centre " + std::to_string(centre) + ", width " + std::to_string(width));
            write_file(dir.path / "s.pgf", series_file(centre, width));
            const std::vector<SvgText> texts = svg_of(dir, {"-o", "out.svg", "s.pgf"});
            const Axes axes = tick_labels(texts);
            ASSERT_GE(axes.y.size(), 3u) << all_text(svg_texts(slurp(dir.path / "out.svg")));
            EXPECT_EQ(std::set<std::string>(axes.y.begin(), axes.y.end()).size(), axes.y.size());
            EXPECT_EQ(std::set<std::string>(axes.x.begin(), axes.x.end()).size(), axes.x.size());
            for (const std::string& label : axes.y) EXPECT_LE(label.size(), 8u) << label;
            // The y legend, upright, stands clear of the longest label.
            for (const SvgText& t : texts) {
                if (t.text == "gamma angle (°)") {
                    EXPECT_LT(t.x + 0.3 * t.font_size, axes.y_labels_left);
                }
            }
        }
}

TEST(ViewerFigure, FitLegendWithSlopeCoefficientAndUnitSymbols) {
    ScratchDir dir;
    write_file(dir.path / "TK_cell_a.pgf", plain_cell_a);
    const std::string text = all_text(svg_of(dir, {"-o", "out.svg", "TK_cell_a.pgf"}));
    EXPECT_NE(text.find("a unit cell parameter (Å)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("fit: slope 1.25(8)×10⁻⁴ Å/K\n"), std::string::npos) << text;
    EXPECT_NE(text.find("α = 16.6(11)×10⁻⁶ K⁻¹\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("slope / mean"), std::string::npos) << text;        // the summary says it
    EXPECT_NE(text.find("a (Å)\n"), std::string::npos) << text;             // the pattern a(A)=f(T)
    EXPECT_EQ(text.find("error bars smaller"), std::string::npos) << text;  // 1e-3 Å bars show

    write_file(dir.path / "TK_mosaicity.pgf", mosaicity);
    const std::string angle = all_text(svg_of(dir, {"-o", "out.svg", "--no-fit", "TK_mosaicity.pgf"}));
    EXPECT_NE(angle.find("Crystal mosaicity (°)\n"), std::string::npos) << angle;
    EXPECT_EQ(angle.find("fit:"), std::string::npos) << angle;
}

// The legend holds the series and the fit only: error bars hidden under
// the markers are said in the summary, and the legend keeps its lines.
TEST(ViewerFigure, SummarySaysWhenEveryErrorBarHidesBehindItsMarker) {
    ScratchDir dir;
    write_file(dir.path / "s.pgf", series_file(10, 0.3, "b unit cell parameter (A)"));  // bars 1e-3 of the range
    std::string out;
    const std::string text = all_text(svg_of(dir, {"-o", "out.svg", "s.pgf"}, &out));
    EXPECT_EQ(text.find("error bars"), std::string::npos) << text;
    EXPECT_NE(out.find("    error bars       : each under 1 % of the value range, hidden under the markers\n"),
              std::string::npos)
        << out;
    write_file(dir.path / "a.pgf", plain_cell_a);  // bars of 1e-3 Å on 0.04 Å: they show
    svg_of(dir, {"-o", "out.svg", "a.pgf"}, &out);
    EXPECT_EQ(out.find("error bars"), std::string::npos) << out;
}

TEST(ViewerFigure, NormalisedSeriesAndPatternsGetALegendEach) {
    ScratchDir dir;
    write_file(dir.path / "a.pgf", plain_cell_a);
    write_file(dir.path / "V.pgf", transformed_volume);
    const std::string text = all_text(svg_of(dir, {"-o", "out.svg", "--normalise", "a.pgf", "V.pgf"}));
    EXPECT_NE(text.find("relative change x/x₀\n"), std::string::npos) << text;
    EXPECT_NE(text.find("a: α = 16.6(11)×10⁻⁶ K⁻¹\n"), std::string::npos) << text;
    EXPECT_NE(text.find("volume: αV = 13.1356×10⁻⁶ K⁻¹\n"), std::string::npos) << text;  // V a subscript
    EXPECT_EQ(text.find("slope / mean"), std::string::npos) << text;

    write_file(dir.path / "strains.pgf", principal_strains);
    std::string out;
    const std::string strains = all_text(svg_of(dir, {"-o", "out.svg", "strains.pgf"}, &out));
    for (const char* title : {"X1\n", "X2\n", "X3\n"}) EXPECT_NE(strains.find(title), std::string::npos) << strains;
    // A strain's slope in 10⁻⁶ K⁻¹, as its coefficient is quoted, not in %/K.
    EXPECT_NE(strains.find("fit: slope "), std::string::npos) << strains;
    EXPECT_EQ(strains.find("%/K"), std::string::npos) << strains;
    EXPECT_NE(strains.find("×10⁻⁶ K⁻¹\n"), std::string::npos) << strains;
    EXPECT_NE(out.find("  X3\n    points plotted   : 3"), std::string::npos) << out;
}

TEST(ViewerFigure, ASeriesLeftOutOfANormalisedFigureIsSaid) {
    ScratchDir dir;
    write_file(dir.path / "a.pgf", plain_cell_a);
    write_file(dir.path / "strains.pgf", principal_strains);  // each starts at 0
    const ViewerRun run = run_viewer({"-o", "out.svg", "--normalise", "a.pgf", "strains.pgf"}, dir.path, no_display);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* name : {"X1", "X2", "X3"})
        EXPECT_NE(run.err.find("xyviewer: warning: strains.pgf: " + std::string(name) +
                               " starts at 0 and is left out of the normalised figure\n"),
                  std::string::npos)
            << run.err;
}

TEST(ViewerFigure, SeveralFilesArePanelsOfOnePageSizedPerPanel) {
    ScratchDir dir;
    write_file(dir.path / "a.pgf", plain_cell_a);
    write_file(dir.path / "m.pgf", mosaicity);
    const ViewerRun run = run_viewer({"-o", "out.svg", "a.pgf", "m.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string svg = slurp(dir.path / "out.svg");
    EXPECT_NE(svg.find("width=\"482pt\""), std::string::npos) << svg.substr(0, 400);  // 2 x 8.5 cm
    const std::string text = all_text(svg_texts(svg));
    EXPECT_NE(text.find("a unit cell parameter (Å)"), std::string::npos);
    EXPECT_NE(text.find("Crystal mosaicity (°)"), std::string::npos);
}

TEST(ViewerFigure, SizeAndResolutionOfAPng) {
    ScratchDir dir;
    write_file(dir.path / "a.pgf", plain_cell_a);
    const ViewerRun run = run_viewer({"-o", "a.png", "--size=8.5x6cm", "--dpi=200", "a.pgf"}, dir.path, no_display);
    ASSERT_EQ(run.status, 0) << run.err;
    const Image png = decode_png(dir.path / "a.png");
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.width, 669u);  // 8.5 cm at 200 per inch
    EXPECT_EQ(png.height, 472u);
    const ViewerRun pdf = run_viewer({"-o", "a.pdf", "--size", "3x2in", "a.pgf"}, dir.path, no_display);
    ASSERT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_NE(slurp(dir.path / "a.pdf").find("/MediaBox [ 0 0 216 144 ]"), std::string::npos);
}

TEST(ViewerFigure, ErrorBarsAreDrawn) {
    ScratchDir dir;
    // Bars of a third of the range, and the same points without them.
    std::string with_bars = series_file(10, 0.3, "b unit cell parameter (A)");
    for (std::size_t pos = 0; (pos = with_bars.find(" 0.0003\n", pos)) != std::string::npos;)
        with_bars.replace(pos, 8, " 0.1\n");
    write_file(dir.path / "bars.pgf", with_bars);
    write_file(dir.path / "none.pgf", series_file(10, 0.3, "b unit cell parameter (A)"));  // bars under the markers
    ASSERT_EQ(run_viewer({"-o", "bars.png", "--no-fit", "bars.pgf"}, dir.path, no_display).status, 0);
    ASSERT_EQ(run_viewer({"-o", "none.png", "--no-fit", "none.pgf"}, dir.path, no_display).status, 0);
    const int marker_high = tallest_run(dir.path / "none.png", 0, 84, 166);
    ASSERT_GT(marker_high, 5);
    // 0.2 of a range of 0.3 plus margins: well over a third of the plot.
    EXPECT_GT(tallest_run(dir.path / "bars.png", 0, 84, 166), 150) << "markers alone are " << marker_high;
    EXPECT_LT(marker_high, 30);
}

TEST(ViewerFigure, TheLegendCoversNoMarkerOfAScatteredSeriesInASmallFigure) {
    ScratchDir dir;
    // Sixteen points scattered over the whole plot, their fit making a legend of two lines.
    std::string text =
        "# MAIN LEGEND TEXT: test\n# X LEGEND TEXT   : Temperature (K)\n"
        "# Y LEGEND TEXT   : b unit cell parameter (A)\n#   DATA: X Y SIGY\n";
    for (int i = 0; i < 16; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%d %.4f 0.0005\n", 100 + 20 * i, 10.2 + 0.01 * ((i * 7) % 16));
        text += line;
    }
    write_file(dir.path / "s.pgf", text + "# END OF FILE\n");
    const std::vector<SvgText> texts = svg_of(dir, {"-o", "out.svg", "--size", "8.5x6cm", "s.pgf"});
    // The legend's background: the one filled white shape drawn on the page.
    const std::string svg = slurp(dir.path / "out.svg");
    const std::size_t fill = svg.find("fill=\"#FFFFFF\"", svg.find("<polyline"));
    ASSERT_NE(fill, std::string::npos);
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
    std::size_t at = svg.find("points=\"", fill) + 8;
    for (double x, y; std::sscanf(svg.c_str() + at, "%lf,%lf", &x, &y) == 2; at = svg.find(' ', at) + 1) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        if (svg[svg.find(' ', at) + 1] == '"') break;
    }
    ASSERT_GT(x1 - x0, 20) << "legend box not found";
    int markers = 0;
    for (const celltrend::testing::SvgMarker& m : celltrend::testing::svg_markers(svg.substr(0, fill))) {
        ++markers;
        const double r = m.size / 2;
        EXPECT_FALSE(m.x + r > x0 && m.x - r < x1 && m.y + r > y0 && m.y - r < y1)
            << "marker at " << m.x << "," << m.y << " under the legend " << x0 << "-" << x1 << " x " << y0 << "-" << y1;
    }
    EXPECT_EQ(markers, 16);
}
