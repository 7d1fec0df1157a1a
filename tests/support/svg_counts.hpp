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
    std::size_t at = 0;  // where it starts in the file
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
        line.at = at;
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

// The markers the figures draw as shapes: small closed polylines, filled in
// their series' colour or (open markers) outlined in it, at most `most`
// page units across; their corners tell the shape (16 a circle, 4 a square
// or a diamond, 3 a triangle).
struct SvgMarker {
    std::size_t at = 0;  // where it starts in the file
    std::string colour;
    bool open = false;
    int corners = 0;
    double x = 0, y = 0;   // the middle
    double size = 0;       // across
    bool upright = false;  // a square's sides (or a triangle's base) level with the page
    bool apex_up = false;  // a triangle's third corner above its first (y upwards)
};

inline std::vector<SvgMarker> svg_markers(const std::string& svg, double most = 15) {
    std::vector<SvgMarker> markers;
    for (const SvgLine& l : svg_lines(svg)) {
        if (l.points.size() < 4 || l.points.front() != l.points.back()) continue;
        const bool filled = !l.fill.empty() && l.fill != "#FFFFFF";
        if (!filled && l.stroke.empty()) continue;
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
        for (const auto& [x, y] : l.points)
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        if (x1 - x0 > most || y1 - y0 > most || x1 - x0 <= 0) continue;
        SvgMarker m;
        m.at = l.at;
        m.colour = filled ? l.fill : l.stroke;
        m.open = !filled;
        m.corners = int(l.points.size()) - 1;
        m.x = (x0 + x1) / 2;
        m.y = (y0 + y1) / 2;
        m.size = std::max(x1 - x0, y1 - y0);
        m.upright = l.points[0].second == l.points[1].second;
        m.apex_up = l.points[2].second > l.points[0].second;
        markers.push_back(m);
    }
    return markers;
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
