#include "figures/markers.hpp"

#include <cmath>
#include <numbers>

namespace figures {

MarkerShape marker_shape(int marker) {
    constexpr MarkerShape order[] = {
        MarkerShape::circle,      MarkerShape::square,           MarkerShape::triangle_up,
        MarkerShape::diamond,     MarkerShape::triangle_down,    MarkerShape::open_circle,
        MarkerShape::open_square, MarkerShape::open_triangle_up, MarkerShape::open_diamond};
    constexpr int count = sizeof order / sizeof order[0];
    return order[((marker < 1 ? 1 : marker) - 1) % count];
}

bool is_open(MarkerShape shape) {
    return shape == MarkerShape::open_circle || shape == MarkerShape::open_square ||
           shape == MarkerShape::open_triangle_up || shape == MarkerShape::open_diamond;
}

std::vector<std::pair<double, double>> marker_outline(MarkerShape shape, double size) {
    const double r = size / 2;
    // As large as the font's glyphs of these shapes were: the square fills
    // the circle's square, the triangle is as wide.
    const double s = r, t = r;
    switch (shape) {
        case MarkerShape::circle:
        case MarkerShape::open_circle: {
            constexpr int sides = 16;
            std::vector<std::pair<double, double>> out;
            for (int k = 0; k < sides; ++k) {
                const double phi = 2 * std::numbers::pi * k / sides;
                out.emplace_back(r * std::cos(phi), r * std::sin(phi));
            }
            return out;
        }
        case MarkerShape::square:
        case MarkerShape::open_square:
            return {{-s, -s}, {s, -s}, {s, s}, {-s, s}};
        case MarkerShape::triangle_up:
        case MarkerShape::open_triangle_up:
            // The centroid on the point.
            return {{-t, -0.58 * t}, {t, -0.58 * t}, {0, 1.15 * t}};
        case MarkerShape::triangle_down:
            return {{t, 0.58 * t}, {-t, 0.58 * t}, {0, -1.15 * t}};
        case MarkerShape::diamond:
        case MarkerShape::open_diamond:
            return {{0, -r}, {0.85 * r, 0}, {0, r}, {-0.85 * r, 0}};
    }
    return {};
}

ViewportPlace viewport_place(plstream& pls) {
    // PLplot tells the viewport in parts of the page and the subpage in mm;
    // the subpage's parts of the page are read by setting the viewport to
    // it for a moment.
    PLFLT vx0, vx1, vy0, vy1, wx0, wx1, wy0, wy1, sx0, sx1, sy0, sy1, px0, px1, py0, py1;
    pls.gvpd(vx0, vx1, vy0, vy1);
    pls.gvpw(wx0, wx1, wy0, wy1);
    pls.gspa(sx0, sx1, sy0, sy1);
    pls.vpor(0, 1, 0, 1);
    pls.gvpd(px0, px1, py0, py1);
    ViewportPlace place;
    place.x0 = (vx0 - px0) / (px1 - px0);
    place.x1 = (vx1 - px0) / (px1 - px0);
    place.y0 = (vy0 - py0) / (py1 - py0);
    place.y1 = (vy1 - py0) / (py1 - py0);
    place.subpage_width_mm = sx1 - sx0;
    place.subpage_height_mm = sy1 - sy0;
    pls.vpor(place.x0, place.x1, place.y0, place.y1);
    pls.wind(wx0, wx1, wy0, wy1);
    return place;
}

WorldPerMm world_per_mm(plstream& pls) {
    const ViewportPlace place = viewport_place(pls);
    PLFLT wx0, wx1, wy0, wy1;
    pls.gvpw(wx0, wx1, wy0, wy1);
    return {(wx1 - wx0) / place.width_mm(), (wy1 - wy0) / place.height_mm()};
}

void draw_markers(plstream& pls, MarkerShape shape, const std::vector<double>& x, const std::vector<double>& y,
                  double size_mm, double line_width) {
    if (x.empty()) return;
    const WorldPerMm scale = world_per_mm(pls);
    const std::vector<std::pair<double, double>> outline = marker_outline(shape, size_mm);
    const bool open = is_open(shape);
    std::vector<PLFLT> px, py;
    if (open) pls.width(line_width);
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        px.clear();
        py.clear();
        for (const auto& [dx, dy] : outline) {
            px.push_back(x[i] + dx * scale.x);
            py.push_back(y[i] + dy * scale.y);
        }
        if (open) {
            px.push_back(px.front());
            py.push_back(py.front());
            pls.line(PLINT(px.size()), px.data(), py.data());
        } else {
            pls.fill(PLINT(px.size()), px.data(), py.data());
        }
    }
}

}  // namespace figures
