#pragma once
// Counting what an SVG figure holds: a string's occurrences, and its filled
// shapes by the tint of their colour.

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace celltrend::testing {

inline int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct FillTints {
    int red = 0;    // mostly red
    int blue = 0;   // mostly blue
    int light = 0;  // a pale tint, not white (the bands under coefficients)
};

inline FillTints fill_tints(const std::string& svg) {
    FillTints f;
    for (std::size_t at = svg.find("fill=\"#"); at != std::string::npos; at = svg.find("fill=\"#", at + 1)) {
        const int r = std::stoi(svg.substr(at + 7, 2), nullptr, 16), g = std::stoi(svg.substr(at + 9, 2), nullptr, 16),
                  b = std::stoi(svg.substr(at + 11, 2), nullptr, 16);
        f.red += r > b + 40;
        f.blue += b > r + 40;
        f.light += std::min({r, g, b}) >= 0xB0 && std::min({r, g, b}) < 0xFF;
    }
    return f;
}

// The lines and filled shapes of PLplot's SVG, in drawing order: each
// polyline's stroke and fill ("#RRGGBB") and its points in the page's
// units, y upwards (PLplot dashes a line itself, in pieces of their own).
struct SvgLine {
    std::string stroke;
    std::string fill;  // "#RRGGBB" of a filled shape, else empty
    std::vector<std::pair<double, double>> points;
};

inline std::vector<SvgLine> svg_lines(const std::string& svg) {
    std::vector<SvgLine> lines;
    for (std::size_t at = svg.find("<polyline"); at != std::string::npos; at = svg.find("<polyline", at + 1)) {
        const std::size_t end = svg.find("/>", at);
        const std::string element = svg.substr(at, end - at);
        SvgLine line;
        if (const std::size_t s = element.find("stroke=\"#"); s != std::string::npos)
            line.stroke = element.substr(s + 8, 7);
        if (const std::size_t f = element.find("fill=\"#"); f != std::string::npos)
            line.fill = element.substr(f + 6, 7);
        const std::size_t p = element.find("points=\"");
        if (p == std::string::npos) continue;
        const char* c = element.c_str() + p + 8;
        double x = 0, y = 0;
        int used = 0;
        while (std::sscanf(c, " %lf,%lf%n", &x, &y, &used) == 2) {
            line.points.emplace_back(x, y);
            c += used;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// The stroke colours of the lines of more than `least_points` points (the
// curves, not the frames, ticks or legend swatches), in drawing order,
// each once.
inline std::vector<std::string> curve_colours(const std::string& svg, std::size_t least_points = 20) {
    std::vector<std::string> colours;
    for (const SvgLine& l : svg_lines(svg))
        if (l.points.size() > least_points && std::find(colours.begin(), colours.end(), l.stroke) == colours.end())
            colours.push_back(l.stroke);
    return colours;
}

}  // namespace celltrend::testing
