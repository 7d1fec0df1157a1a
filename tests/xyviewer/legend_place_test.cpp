// Where the legend lands, read back from the SVG that the built xyviewer
// writes: the box PLplot drew (whose width comes from PLplot's own measure
// of the text), the plot frame, the markers and the error bars drawn before
// it.  The box must lie inside the frame and cover no
// marker and no error bar, for series that rise, fall or stay flat with long
// error bars, at the default size and at journal sizes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/sample_files.hpp"
#include "svg_text.hpp"
#include "viewer_process.hpp"

using namespace xyviewer_test;

namespace {

struct Box {
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    void add(double x, double y) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    bool overlaps(const Box& b) const { return b.x1 > x0 && b.x0 < x1 && b.y1 > y0 && b.y0 < y1; }
};

struct Polyline {
    std::size_t at;  // where it starts in the file
    std::string stroke, fill;
    std::vector<std::pair<double, double>> points;
};

// Attributes stand each on a line of their own, indented.
std::string attribute(const std::string& element, const std::string& name) {
    const std::size_t at = element.find(" " + name + "=\"");
    if (at == std::string::npos) return "";
    const std::size_t from = at + name.size() + 3;
    return element.substr(from, element.find('"', from) - from);
}

std::vector<Polyline> polylines(const std::string& svg) {
    std::vector<Polyline> out;
    for (std::size_t pos = 0; (pos = svg.find("<polyline", pos)) != std::string::npos; ++pos) {
        const std::string element = svg.substr(pos, svg.find("/>", pos) - pos);
        Polyline p{pos, attribute(element, "stroke"), attribute(element, "fill"), {}};
        const std::string points = attribute(element, "points");
        double x, y;
        int used = 0;
        for (const char* s = points.c_str(); std::sscanf(s, " %lf,%lf%n", &x, &y, &used) == 2; s += used)
            p.points.emplace_back(x, y);
        out.push_back(p);
    }
    return out;
}

// Nine points from 100 to 300 K with error bars of 0.0005, but `long_bar`
// (0.03, three times the data's range of 0.01 per step) at the points
// named.
std::string series(const std::string& shape, const std::string& long_bars) {
    std::string text =
        "# MAIN LEGEND TEXT: legend room\n# X LEGEND TEXT   : Temperature (K)\n"
        "# Y LEGEND TEXT   : b unit cell parameter (A)\n#   DATA: X Y SIGY\n";
    for (int i = 0; i < 9; ++i) {
        const double y = shape == "rising" ? 10 + 0.01 * i : shape == "falling" ? 10 - 0.01 * i : 10 + 0.0004 * (i % 2);
        const bool long_bar = long_bars == "all" || (long_bars == "first" && i == 0) || (long_bars == "last" && i == 8);
        char line[64];
        std::snprintf(line, sizeof line, "%d %.5f %.5f\n", 100 + 25 * i, y, long_bar ? 0.03 : 0.0005);
        text += line;
    }
    return text + "# END OF FILE\n";
}

}  // namespace

TEST(LegendPlace, InsideTheFrameOverNoMarkerAndNoErrorBar) {
    ScratchDir dir;
    const std::vector<std::string> sizes[] = {{}, {"--size", "8.5x6cm"}, {"--size", "17x12cm"}};
    for (const std::vector<std::string>& size : sizes)
        for (const std::string shape : {"rising", "falling", "flat"})
            for (const std::string long_bars : {"last", "first", "all"}) {
                SCOPED_TRACE(shape + ", long error bar " + long_bars + (size.empty() ? "" : ", " + size[1]));
                write_file(dir.path / "s.pgf", series(shape, long_bars));
                std::vector<std::string> args{"-o", "out.svg"};
                args.insert(args.end(), size.begin(), size.end());
                args.push_back("s.pgf");
                const ViewerRun run = run_viewer(args, dir.path, {{"DISPLAY", std::nullopt}});
                ASSERT_EQ(run.status, 0) << run.err;
                const std::string svg = slurp(dir.path / "out.svg");

                // The legend: the filled white box; what is drawn before it
                // is the plot.
                const std::vector<Polyline> lines = polylines(svg);
                const auto legend =
                    std::find_if(lines.begin(), lines.end(), [](const Polyline& p) { return p.fill == "#FFFFFF"; });
                ASSERT_NE(legend, lines.end()) << "no legend box";
                Box box;
                for (const auto& [x, y] : legend->points) box.add(x, y);
                ASSERT_GT(box.x1 - box.x0, 20);
                // The frame: the axes and their ticks, in black.
                Box frame;
                for (auto p = lines.begin(); p != legend; ++p)
                    if (p->stroke == "#000000")
                        for (const auto& [x, y] : p->points) frame.add(x, y);
                EXPECT_GE(box.x0, frame.x0);
                EXPECT_LE(box.x1, frame.x1);
                EXPECT_GE(box.y0, frame.y0);
                EXPECT_LE(box.y1, frame.y1);

                // Error bars and their ends, in the series' colour.
                int bars = 0;
                for (auto p = lines.begin(); p != legend; ++p) {
                    if (p->stroke != "#0054A6" || p->fill != "none") continue;
                    ++bars;
                    Box bar;
                    for (const auto& [x, y] : p->points) bar.add(x, y);
                    bar.x0 -= 0.5, bar.x1 += 0.5;  // a line's width
                    EXPECT_FALSE(box.overlaps(bar))
                        << "error bar " << bar.x0 << "-" << bar.x1 << " x " << bar.y0 << "-" << bar.y1
                        << " under the legend " << box.x0 << "-" << box.x1 << " x " << box.y0 << "-" << box.y1;
                }
                EXPECT_EQ(bars, 27);
                // Markers: filled shapes in the series' colour.
                int markers = 0;
                for (auto p = lines.begin(); p != legend; ++p) {
                    if (p->fill != "#0054A6") continue;
                    ++markers;
                    Box marker;
                    for (const auto& [x, y] : p->points) marker.add(x, y);
                    EXPECT_FALSE(box.overlaps(marker))
                        << "marker at " << marker.x0 << "," << marker.y0 << " under the legend " << box.x0 << "-"
                        << box.x1 << " x " << box.y0 << "-" << box.y1;
                }
                EXPECT_EQ(markers, 9);
            }
}
